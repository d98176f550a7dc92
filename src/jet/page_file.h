// The file I/O seam of the engine: a database file seen as numbered 4 KB pages, backed by a real
// file (read-only or read-write) or by memory (tests, fuzzing). Pages read are cached until the
// file is seen to change (size or modification time) or is written through this object.
#pragma once
#include "jet/bytes.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace jet {

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
    // end. The reference stays valid until the cache is dropped (refresh() or a write).
    const Bytes& page(uint32_t number) const;
    // A checked view of a page, its `what` naming the page ("page 12") for error messages.
    ByteView view(uint32_t number) const;

    // Writes one whole page (number == pageCount() appends). Needs a writable file.
    void writePage(uint32_t number, const Bytes& bytes);
    // Shortens the file to `pages` pages (compaction). Needs a writable file.
    void truncatePages(uint32_t pages);
    virtual void flush() {}

    // Drops cached pages when the file changed on disk since they were read. Returns true when
    // it did (callers drop what they parsed from those pages as well).
    bool refresh();
    // A value that changes whenever the file's content may have changed (size, mtime, own writes).
    uint64_t generation() const { return generation_; }

protected:
    explicit PageFile(std::string name) : name_(std::move(name)) {}
    virtual void readAt(uint64_t offset, uint8_t* dst, size_t length) const = 0;
    virtual void writeAt(uint64_t offset, const uint8_t* src, size_t length) = 0;
    virtual void truncateTo(uint64_t size) = 0;
    // Identity of the on-disk state (size and modification time); 0 for memory files.
    virtual uint64_t stamp() const { return 0; }
    // Whether the file was modified so recently that a further change could carry the same
    // modification time (file systems keep it in clock ticks of a few milliseconds).
    virtual bool modifiedJustNow() const { return false; }

private:
    std::string name_;
    static constexpr uint64_t kUnknownSize = ~uint64_t(0);
    mutable std::map<uint32_t, Bytes> cache_;
    mutable uint64_t size_ = kUnknownSize; // file size as of the last refresh or own write
    static constexpr uint32_t kReadAhead = 16;
    mutable Bytes readBuffer_;
    uint64_t stamp_ = 0;
    uint64_t generation_ = 1;
    bool stampKnown_ = false;
    std::chrono::steady_clock::time_point lastOwnWrite_{};
};

// Opens a file on disk. Throws jet::Error naming the path when it is missing, a folder, cannot be
// opened (or, with `writable`, cannot be opened for writing).
std::unique_ptr<PageFile> openPageFile(const std::string& path, bool writable);
// The same checks and messages, returning the bare descriptor (the caller closes it).
int openDatabaseFile(const std::string& path, bool writable);

// A file held in memory; `name` is used in error messages.
std::unique_ptr<PageFile> memoryPageFile(Bytes contents, std::string name, bool writable = true);

} // namespace jet
