// Writing memo/OLE data out of line: placing LVAL rows (one row up to 4076 bytes, else a chain of
// 4072-byte segments) in free space of the column's own pages or in new pages, and freeing the
// rows of a value that was replaced.
#pragma once
#include "jet/bytes.h"
#include "jet/long_value.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace jet {

class PageWriter;

// Where a long-value column keeps its pages.
struct LongValueColumn {
    uint32_t ownedMap = 0; // row pointer of the column's owned-pages map
    uint32_t freeMap = 0;  // row pointer of its free-space map (0 = none)
    std::string what;      // "column BIBLETEXT of table bible", for messages
};

// Free space last seen on each LVAL page of one column (a hint: pages are re-read before use).
struct LongValueSpace {
    bool loaded = false;
    std::set<uint32_t> owned;          // the column's LVAL pages
    std::map<uint32_t, int> freeBytes; // owned pages with room worth looking at
};

// The 12-byte header of an inline value followed by the data (the var slot's bytes).
Bytes inlineLongValue(const Bytes& data);

// Writes `data` into LVAL rows and adds any new page to the global and column maps, all before
// returning; returns the 12-byte header that points at it (the caller writes it into the row).
Bytes storeLongValue(PageWriter& writer, const LongValueColumn& column, const Bytes& data,
                     LongValueSpace& space);

// Marks the LVAL rows of a replaced value deleted (0xC000, zero length) and repacks their pages.
// The pages stay owned by the column and are reused by later values.
void freeLongValue(PageWriter& writer, const std::vector<LongValueSegment>& segments,
                   LongValueSpace& space);

} // namespace jet
