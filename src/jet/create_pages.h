// Building blocks for writing a Jet 4 file from nothing: the file's pages in memory, usage-map
// rows, and page 0 of a fresh database (data pages are built as EditablePage). Used only by
// createDatabase.
#pragma once
#include "jet/bytes.h"
#include "jet/format.h"

#include <cstdint>
#include <vector>

namespace jet::create {

// The file being built: page buffers in page-number order, allocated one after another.
class PageSet {
public:
    uint32_t allocate(); // a new zeroed page at the end; returns its number
    Bytes& operator[](uint32_t page) { return pages_.at(page); }
    uint32_t count() const { return uint32_t(pages_.size()); }
    const std::vector<Bytes>& pages() const { return pages_; }

private:
    std::vector<Bytes> pages_;
};

// Usage-map rows. Both forms are 69 bytes for table and column maps, so a map row can be
// reserved before its pages are known and filled in at the end.
inline constexpr size_t kMapRowSize = 69;
inline constexpr size_t kInlineMapPages = (kMapRowSize - format::kMapInlineBitmap) * 8; // 512

// The map row for `pages` (ascending). Inline when they fit one 512-page window (its start a
// multiple of 8); otherwise a reference map whose bitmap pages are allocated in `file`.
Bytes encodeOwnedMap(const std::vector<uint32_t>& pages, PageSet& file);

// Page 1: row 0 is the global map (bit set = page free) covering the file and a margin past it
// the way Access sizes it; row 1 an empty inline map, as in every Access file.
Bytes buildGlobalMapPage(uint32_t pageCount);

// Page 0 of a new, unprotected Jet 4 database created at `creationDate` (days since 1899-12-30).
Bytes buildHeaderPage(double creationDate);

} // namespace jet::create
