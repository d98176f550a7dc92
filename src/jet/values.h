// Decoding one column of a cracked row into a facade Value, for every type Access writes.
#pragma once
#include "jet/database.h"

namespace jet {

class PageFile;
struct ColumnDef;
struct ColumnSlice;
struct CrackedRow;

// The value of column `column` whose slice in `row` is `slice`. Long values are read through
// `file`. Throws jet::Error for a stored length that does not fit the type.
Value decodeValue(const PageFile& file, const ColumnDef& column, const CrackedRow& row,
                  const ColumnSlice& slice);

// A Decimal's text from its 17 stored bytes and the column's scale ("-12.3400").
std::string decimalText(ByteView bytes, int scale);

} // namespace jet
