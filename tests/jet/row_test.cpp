// Row cracking on hand-built rows: the cases real files produce that are easy to get wrong —
// columns added after a row was written, a deleted variable column's leftover slot, padding
// before eod, Yes/No values living in the null mask, and damaged offsets.
#include "jet/format.h"
#include "jet/row.h"
#include "jet/table_def.h"

#include <gtest/gtest.h>

namespace {

jet::ColumnDef column(const char* name, jet::ColumnType type, uint16_t number, uint16_t varIndex, uint16_t fixedOffset,
                      uint16_t length) {
    jet::ColumnDef c;
    c.nameUtf8 = name;
    c.typeCode = uint8_t(type);
    c.number = number;
    c.varIndex = varIndex;
    c.fixedOffset = fixedOffset;
    c.length = length;
    if (type != jet::ColumnType::Text) c.flags = jet::format::kColFlagFixed;
    return c;
}

// Columns: 0 Long (fixed 0), 1 deleted Text (var 0), 2 Text "Name" (var 1), 3 Yes/No, 4 Text "Late"
// (var 2, added after the rows below were written), 5 Integer "Added" (fixed 4, added later).
jet::TableDef table() {
    jet::TableDef def;
    def.name = "t";
    def.maxCols = 6;
    def.varCols = 3;
    def.columns = {column("Id", jet::ColumnType::Long, 0, 0, 0, 4), column("Name", jet::ColumnType::Text, 2, 1, 0, 100),
                   column("Flag", jet::ColumnType::Bool, 3, 0, 0, 1), column("Late", jet::ColumnType::Text, 4, 2, 0, 100),
                   column("Added", jet::ColumnType::Int, 5, 0, 4, 2)};
    return def;
}

// A row written when the table had 4 columns (2 of them variable): Id = 7, the deleted column
// still holding "zz", Name = "abc", Flag = true, 3 bytes of padding before eod.
jet::Bytes oldRow() {
    jet::Bytes r;
    jet::append16(r, 4);          // column count
    jet::append32(r, 7);          // Id
    size_t deletedStart = r.size();
    r.insert(r.end(), {'z', 0, 'z', 0});
    size_t nameStart = r.size();
    r.insert(r.end(), {'a', 0, 'b', 0, 'c', 0});
    size_t eod = r.size();
    r.insert(r.end(), {0, 0, 0}); // padding
    jet::append16(r, uint16_t(eod));
    jet::append16(r, uint16_t(nameStart));    // var_off[1]
    jet::append16(r, uint16_t(deletedStart)); // var_off[0]
    jet::append16(r, 2);                      // nv
    jet::append8(r, 0x01 | 0x02 | 0x04 | 0x08); // null mask: columns 0..3 not null
    return r;
}

TEST(CrackRow, OldRowsDeletedSlotsPaddingAndFlags) {
    jet::TableDef def = table();
    jet::Bytes bytes = oldRow();
    jet::CrackedRow row = jet::crackRow(def, jet::ByteView(bytes.data(), bytes.size(), "row"));
    ASSERT_EQ(row.columns.size(), 5u);
    EXPECT_EQ(row.columnCount, 4);
    EXPECT_EQ(row.varCount, 2);
    // Id at the start of the fixed area.
    EXPECT_FALSE(row.columns[0].isNull());
    EXPECT_EQ(row.columns[0].offset, 2u);
    // Name is var slot 1: the deleted column's bytes in slot 0 are skipped, padding is not data.
    EXPECT_FALSE(row.columns[1].isNull());
    EXPECT_EQ(row.columns[1].offset, 10u);
    EXPECT_EQ(row.columns[1].length, 6u);
    // Yes/No: the null-mask bit is the value.
    EXPECT_TRUE(row.columns[2].present);
    EXPECT_TRUE(row.columns[2].notNull);
    // Columns added later read as absent (NULL), fixed and variable alike.
    EXPECT_FALSE(row.columns[3].present);
    EXPECT_TRUE(row.columns[3].isNull());
    EXPECT_FALSE(row.columns[4].present);
}

TEST(CrackRow, DamagedRowsThrow) {
    jet::TableDef def = table();
    struct Case {
        const char* name;
        void (*damage)(jet::Bytes&);
    };
    const Case cases[] = {
        {"column count larger than the row", [](jet::Bytes& r) { r[0] = 0xFF; r[1] = 0xFF; }},
        {"var count larger than the row", [](jet::Bytes& r) { r[r.size() - 3] = 0x40; }},
        {"eod past its table", [](jet::Bytes& r) { r[r.size() - 9] = 0xF0; }},
        {"var offsets out of order", [](jet::Bytes& r) { r[r.size() - 7] = 0x30; }},
        {"row too short", [](jet::Bytes& r) { r.resize(3); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        jet::Bytes bytes = oldRow();
        c.damage(bytes);
        EXPECT_THROW(jet::crackRow(def, jet::ByteView(bytes.data(), bytes.size(), "row")), jet::Error);
    }
}

} // namespace
