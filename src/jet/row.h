// Cracking a stored row into one slice per column (with byte positions within the row, which the
// writer needs), and walking a table's rows through its owned-pages map, following overflow
// pointers and skipping deleted rows.
#pragma once
#include "jet/bytes.h"
#include "jet/database.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace jet {

class PageFile;
struct TableDef;

struct ColumnSlice {
    bool present = false; // the row has this column (column number < the row's column count)
    bool notNull = false; // null-mask bit (for Yes/No: the value)
    size_t offset = 0;    // data start within the row
    size_t length = 0;    // data length (0 for NULL or Yes/No)
    bool isNull() const { return !present || !notNull; }
};

struct CrackedRow {
    ByteView bytes;               // the row's bytes (on the data row, after overflow)
    uint16_t columnCount = 0;     // col_count stored at the row's start
    size_t nullMaskOffset = 0;
    size_t nullMaskLength = 0;
    bool hasVarSection = false;
    uint16_t varCount = 0;        // nv
    size_t varCountOffset = 0;    // where nv sits
    size_t eodOffset = 0;         // where the eod field sits
    uint16_t eod = 0;             // end of variable data
    // varOffsetAt(k) = position of var_off[k] = varCountOffset - 2 * (k + 1)
    std::vector<ColumnSlice> columns; // one per TableDef::columns entry, same order
};

// Splits a row according to the definition. Throws jet::Error on inconsistent offsets.
CrackedRow crackRow(const TableDef& def, ByteView row);

// Where a row's data really is: the header slot, and the slot its overflow pointer(s) lead to.
struct RowLocation {
    RowId header;
    RowId data;          // == header when the row was never moved
    uint16_t rowStart = 0; // data row's start within its page
    uint16_t rowLength = 0;
};

// Resolves a header row (following overflow pointers, bounded); nullopt for a deleted slot.
// Throws for a slot that does not exist or a pointer that leads nowhere.
std::optional<RowLocation> locateRow(const PageFile& file, RowId header);

// Calls `visit` for every live row of the table, in storage order (owned-map page order, slot
// order). The view passed in stays valid during the call only.
void forEachRow(const PageFile& file, const TableDef& def,
                const std::function<void(const RowLocation&, const CrackedRow&)>& visit);

// Rows of the table flagged 0x8000 alone (the flag of a moved row's data) that no live row's
// overflow pointer leads to: what a move interrupted between writing the new copy and pointing
// the header at it leaves, or an earlier target a re-move did not delete. Jet skips them;
// mdb-export lists them as extra rows. Zero-length slots are not counted.
std::vector<RowId> abandonedMoveTargets(const PageFile& file, const TableDef& def);

} // namespace jet
