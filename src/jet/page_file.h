// The file I/O seam of the engine: a database file seen as numbered 4 KB pages, backed by a real
// file (read-only or read-write) or by memory (tests, fuzzing). Every read, write, flush and
// truncation of a database file goes through it. Pages read are cached until the file is seen to
// change (size or modification time); beyond a budget the least recently used ones are dropped at
// the next refresh().
#pragma once
#include "jet/bytes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace jet {

// The stages of one change to a file, in the order its writes must reach the disk to survive a
// power cut: new rows and pages (referenced by nothing yet), pages marked used in the global
// map, pages added to their owners' maps, rows switched to the new data, the old data freed.
// A write of one stage may only land once the writes of the earlier stages are on the disk.
enum class WriteStage : uint8_t { Data, Claim, Maps, Switch, Free };

class PageFile {
public:
    virtual ~PageFile() = default;
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    const std::string& name() const { return name_; } // the path, or a label for memory files
    virtual bool writable() const = 0;
    virtual uint64_t sizeBytes() const = 0;
    // Whole pages only (a trailing partial page is not counted), as of the last refresh() or write.
    uint32_t pageCount() const;

    // The page's bytes (exactly one page). Throws jet::Error naming the file for a page past the
    // end. The reference stays valid until the cache is dropped or trimmed (refresh(), which the
    // engine calls at the start of every operation, or a write).
    const Bytes& page(uint32_t number) const;
    // A checked view of a page, its `what` naming the page ("page 12") for error messages.
    ByteView view(uint32_t number) const;

    // One pass over many pages (a table scan) without keeping them: a page in the cache (held
    // ones included) comes from there, any other is read, a run of pages at a time, into the
    // caller's buffer. The view stays valid until the next call with the same buffer.
    struct ScanBuffer {
        Bytes bytes;
        uint32_t first = 0;
        uint32_t count = 0; // pages in `bytes`, from `first`
    };
    ByteView scanView(uint32_t number, ScanBuffer& buffer) const;

    // Writes one whole page (number == pageCount() appends). Needs a writable file. While writes
    // are held (holdWrites) the page only goes into the cache, tagged with its stage.
    void writePage(uint32_t number, const Bytes& bytes, WriteStage stage = WriteStage::Data);
    // Shortens the file to `pages` pages (compaction). Needs a writable file.
    void truncatePages(uint32_t pages);
    // Makes every write so far durable (fsync for a file on disk; nothing when nothing was
    // written since the last one).
    void flush();

    // Bulk transfer of whole pages past the cache (streaming copies): `count` pages from `first`.
    void readPages(uint32_t first, uint32_t count, uint8_t* dst) const;
    void writePages(uint32_t first, uint32_t count, const uint8_t* src);

    // Holding writes groups the writes of many changes so that each stage costs one flush for
    // all of them: held pages are readable through this object at once and reach the file only
    // at writeHeld(), stage by stage, with a flush after each stage that had writes (the frees
    // excepted: nothing depends on them, the next flush takes them along). A page held in one
    // stage and written again in another first sends everything held to the disk.
    void holdWrites(bool on);
    bool holdingWrites() const { return holding_; }
    size_t heldPages() const { return held_.size(); }
    // The stage a page is held in, if it is held.
    const WriteStage* heldStage(uint32_t number) const;
    void writeHeld();

    // One change's held writes, so that a change that fails can take back what it held: while a
    // change is open, the held state of each page before the change first holds it is kept.
    // discardHeldChange() drops what the change still holds (pages held before it get their
    // earlier bytes back; pages it held anew leave the cache and read from the file again);
    // writes that already reached the file stay there. Both end the change.
    void beginHeldChange();
    void endHeldChange();
    void discardHeldChange();

    // Identity of the on-disk state (size, modification time, inode): compared before and after
    // a long read to notice another program's writes. 0 for memory files.
    uint64_t diskStamp() const { return stamp(); }

    // Drops cached pages when the file changed on disk since they were read. Returns true when
    // it did (callers drop what they parsed from those pages as well). Otherwise trims the cache
    // to its budget, dropping the least recently used pages that are not held.
    bool refresh();
    // How many pages (not counting held ones) the cache keeps across a refresh(). A table scan
    // reads every page of the table; only what the next operations are likely to reuse stays.
    void setCacheBudget(size_t pages) { cacheBudget_ = pages; }
    size_t cachedPages() const { return cache_.size(); }
    // A value that changes whenever the file's content may have changed (size, mtime, own writes).
    uint64_t generation() const { return generation_; }

protected:
    explicit PageFile(std::string name) : name_(std::move(name)) {}
    virtual void readAt(uint64_t offset, uint8_t* dst, size_t length) const = 0;
    virtual void writeAt(uint64_t offset, const uint8_t* src, size_t length) = 0;
    virtual void truncateTo(uint64_t size) = 0;
    virtual void sync() {}
    // Identity of the on-disk state (size and modification time); 0 for memory files.
    virtual uint64_t stamp() const { return 0; }
    // Whether the file was modified so recently that a further change could carry the same
    // modification time (file systems keep it in clock ticks of a few milliseconds).
    virtual bool modifiedJustNow() const { return false; }

private:
    friend class FaultPageFile; // the tests' failing page file (tests/support) forwards to the file it wraps
    void noteOwnWrite();
    void keep(uint32_t number, const Bytes& bytes); // a written page into the cache
    uint32_t uncachedRun(uint32_t number) const;    // pages to read from `number` on (throws past the end)
    void trimCache();
    std::string name_;
    static constexpr uint64_t kUnknownSize = ~uint64_t(0);
    struct CachedPage {
        Bytes bytes;
        uint64_t lastUse = 0; // useClock_ at the last read
    };
    mutable std::map<uint32_t, CachedPage> cache_;
    mutable uint64_t useClock_ = 0;
    size_t cacheBudget_ = 256; // 1 MB
    mutable uint64_t size_ = kUnknownSize; // file size as of the last refresh or own write
    static constexpr uint32_t kReadAhead = 16;
    mutable Bytes readBuffer_;
    uint64_t stamp_ = 0;
    uint64_t generation_ = 1;
    bool stampKnown_ = false;
    std::chrono::steady_clock::time_point lastOwnWrite_{};
    bool holding_ = false;
    bool unsynced_ = false;               // written since the last sync
    std::map<uint32_t, WriteStage> held_; // their bytes are in cache_, never trimmed
    struct HeldBefore {
        Bytes bytes;
        WriteStage stage;
    };
    bool changeOpen_ = false;
    // Per page the open change held: what was held before it (nullopt: nothing).
    std::map<uint32_t, std::optional<HeldBefore>> changeUndo_;
    uint32_t heldEnd_ = 0;                // one past the highest held page
};

// Opens a file on disk (`path` in UTF-8). Throws jet::Error naming the path when it is missing, a
// folder, cannot be opened (or, with `writable`, cannot be opened for writing). On Windows a
// writable file is a write session: it holds the file with share mode 0, and a file that another
// program has open is refused with InUseError (page_file_windows.cpp); reading opens share
// everything, as Jet's shared opens do.
std::unique_ptr<PageFile> openPageFile(const std::string& path, bool writable);
// Opens a database read-only for copying it: a shared lock over the file's bytes is held while
// the object lives, so that no writer of this program changes it meanwhile (they lock each page
// they write). Where the file system refuses locks it goes ahead unlocked; a file another program
// keeps locked is refused after a bounded wait. On Windows the file is also opened denying
// writers, so a file another program has open for writing is refused with InUseError.
std::unique_ptr<PageFile> openPageFileForCopy(const std::string& path);
// Creates a new, empty file for writing (on Windows with share mode 0); throws when `path`
// exists or cannot be created.
std::unique_ptr<PageFile> createPageFile(const std::string& path);
// The refusal of a file that cannot be opened for writing (read-only or no permission).
Error notWritableError(const std::string& path);

// How openPageFile opens files: tests put a read-only or failing file in place of a real one.
// An empty function restores the default. Returns the previous opener.
using PageFileOpener = std::function<std::unique_ptr<PageFile>(const std::string& path, bool writable)>;
PageFileOpener setPageFileOpener(PageFileOpener opener);
// The default behaviour of openPageFile, for openers that wrap the real file.
std::unique_ptr<PageFile> openDiskPageFile(const std::string& path, bool writable);

// A file held in memory; `name` is used in error messages.
std::unique_ptr<PageFile> memoryPageFile(Bytes contents, std::string name, bool writable = true);

} // namespace jet
