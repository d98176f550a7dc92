// Building blocks for writing a Jet 4 file from nothing: data pages packed the way Access packs
// them, usage-map rows, and page 0 of a fresh database. Used only by createDatabase.
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

// A data page (type 0x01) being filled: rows are appended in slot order and packed from the page
// end downwards; `build` writes the header, the slot table and the exact free-space field.
class PageBuilder {
public:
    PageBuilder(uint32_t number, uint32_t owner) : number_(number), owner_(owner) {}

    uint32_t number() const { return number_; }
    size_t freeSpace() const; // bytes between the slot table and the lowest row
    size_t slotCount() const { return rows_.size(); }
    // Whether a row of `length` bytes still fits (row bytes plus its slot entry; <= 255 slots).
    bool fits(size_t length) const;
    uint16_t add(Bytes row);                 // returns the slot number
    void replace(uint16_t slot, Bytes row);  // same length as before
    Bytes build() const;

private:
    uint32_t number_;
    uint32_t owner_;
    std::vector<Bytes> rows_;
    size_t used_ = 0;
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
