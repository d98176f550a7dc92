// Usage maps: a row (inline bitmap or references to bitmap pages) that names a set of pages —
// a table's data pages, a long-value column's LVAL pages, or (page 1) the free pages of the file.
// Parsed into the page set plus where each page's bit lives, so a writer can flip bits in place.
#pragma once
#include "jet/bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace jet {

class PageFile;

// The byte and bit that stand for one page in a map.
struct MapBit {
    uint32_t page = 0;      // the page holding the bit (map host page or bitmap page)
    size_t byteOffset = 0;  // offset within that page
    uint8_t mask = 0;
};

struct UsageMap {
    enum class Kind { Inline, Reference };
    Kind kind = Kind::Inline;
    uint32_t hostPage = 0;  // the data page and slot holding the map row
    uint16_t hostSlot = 0;
    size_t rowStart = 0;    // row start within the host page
    size_t rowLength = 0;
    // Inline: first page covered and bitmap length (row length - 5).
    uint32_t startPage = 0;
    size_t bitmapBytes = 0;
    // Reference: bitmap page of each window j (0 = none); window j covers j * 32736 ...
    std::vector<uint32_t> bitmapPages;
    // Every page whose bit is set, ascending.
    std::vector<uint32_t> pages;

    bool contains(uint32_t page) const;
    // Where `page`'s bit lives; nullopt when the map has no room for it (outside the inline
    // window, or no bitmap page for its reference window).
    std::optional<MapBit> bitFor(uint32_t page) const;
};

// Reads the map stored in the row `rowPointer` points at. Pages at or past `pageLimit` are
// dropped from `pages` (maps cover ranges past the end of the file). `what` names the map in
// error messages ("owned-pages map of table Orders").
UsageMap readUsageMap(const PageFile& file, uint32_t rowPointer, uint32_t pageLimit,
                      const std::string& what);

} // namespace jet
