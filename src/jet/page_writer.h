// Ordered page writes for one change to a file: whole-page writes, taking new pages (free pages
// of the global usage map first, then pages past the end), and usage-map edits.
#pragma once
#include "jet/bytes.h"
#include "jet/page_edit.h"
#include "jet/page_file.h"
#include "jet/usage_map.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace jet {

// How a usage map's bits read: owned/free maps list pages (bit set = member); the global map
// (page 1, row 0) lists free pages, and pages past the end of the file read as free.
enum class MapSemantics { Members, GlobalFree };

class PageWriter {
public:
    explicit PageWriter(PageFile& file);
    PageFile& file() { return file_; }

    EditablePage load(uint32_t page) const;
    // One pwrite of the whole page at its page-aligned offset, never a partial page. A reader in
    // another process sees the page either before or after the write: the page file holds an
    // exclusive byte-range lock on the page during the pwrite and our readers a shared one during
    // their pread (Linux alone does not order a buffered read against a concurrent write of the
    // same page on ext4). A reader that takes no lock (another program) gets the kernel's
    // behaviour: the page is copied in one piece, with a very short window for a torn read.
    // `stage` tells a page file that holds writes when this one may reach the disk.
    void write(const EditablePage& page, WriteStage stage = WriteStage::Data);
    void write(uint32_t page, const Bytes& bytes, WriteStage stage = WriteStage::Data);

    // A page number for a new page: the lowest page the global map marks free inside the file,
    // else the next page past the end. Never handed out twice by this writer. Nothing is
    // written: write the page's content, then claim() it.
    uint32_t reservePage();
    // Marks a page in use in the global map (after its content is written, so a crash in
    // between leaves at worst a free page holding junk).
    void claim(uint32_t page);

    // Adds `page` to the owned or free map at `mapPointer`, re-basing, lengthening or promoting
    // an inline map whose window does not cover it.
    void addToMap(uint32_t mapPointer, uint32_t page, const std::string& what);
    // Rewrites a map to hold exactly `pages` (ascending; compaction). For the global map
    // `pages` are the free pages inside the file; every covered page from `pageCount` on is set.
    void rewriteMap(uint32_t mapPointer, const std::vector<uint32_t>& pages, MapSemantics semantics,
                    uint32_t pageCount, const std::string& what);

    // Pages written through this writer, in order (tests and the kill harness look at them).
    const std::vector<uint32_t>& written() const { return written_; }

private:
    void loadFreePages();
    bool rewriteInlineMap(const UsageMap& map, EditablePage& host, const std::vector<uint32_t>& pages, bool global,
                          uint32_t pageCount);
    void rewriteReferenceMap(const UsageMap& map, EditablePage& host, const std::vector<uint32_t>& pages, bool global,
                             uint32_t pageCount, const std::string& what);
    PageFile& file_;
    std::optional<std::set<uint32_t>> freePages_; // global-map free pages inside the file
    std::set<uint32_t> reserved_;
    uint32_t nextAppend_ = 0;
    std::vector<uint32_t> written_;
};

} // namespace jet
