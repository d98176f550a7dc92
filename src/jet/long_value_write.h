// Writing memo/OLE data: the one place that lays a value out as its var-slot bytes (inline, one
// LVAL row, or a chain; format.h states the policy), used when a database is created and when a
// value is updated; placing the rows in an existing file (free space of the column's own pages or
// new pages); freeing the rows of a value that was replaced.
#pragma once
#include "jet/bytes.h"
#include "jet/long_value.h"
#include "jet/page_edit.h"

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

// Finds the page for each LVAL row of a value: a page with a free slot for a row of `length`
// bytes, and that slot. The writer fills the rows in once every row has its place.
class LvalRowPlacer {
public:
    struct Place {
        EditablePage* page = nullptr;
        int slot = -1;
    };
    virtual ~LvalRowPlacer() = default;
    virtual Place place(size_t length) = 0;
};

// Stores `data` in LVAL rows placed through `placer` (one row up to kLongValueMaxRow bytes,
// else a chain) and returns the 12-byte header that points at them.
Bytes writeLvalRows(const Bytes& data, LvalRowPlacer& placer);

// Writes `data` into LVAL rows and adds any new page to the global and column maps, all before
// returning; returns the 12-byte header that points at it (the caller writes it into the row).
Bytes storeLongValue(PageWriter& writer, const LongValueColumn& column, const Bytes& data,
                     LongValueSpace& space);

// Marks the LVAL rows of a replaced value deleted (0xC000, zero length) and repacks their pages.
// The pages stay owned by the column and are reused by later values.
void freeLongValue(PageWriter& writer, const std::vector<LongValueSegment>& segments,
                   LongValueSpace& space);

} // namespace jet
