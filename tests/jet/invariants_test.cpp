// The consistency checker: silent on every file Access wrote, and it catches the faults a writer
// can make (a used page marked free, a wrong free_space figure, a stale overflow target).
#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/usage_map.h"
#include "jet/catalog.h"
#include "jet/long_value.h"
#include "jet/row.h"
#include "jet/table_def.h"

#include <functional>
#include "write_helpers.h"


namespace {

using namespace write_test;

TEST(Invariants, HoldOnEveryCorpusFile) {
    size_t movedRows = 0;
    for (const auto& file : test_support::corpusFiles()) {
        SCOPED_TRACE(file.filename().string());
        expectConsistent(file);
        // What a write session deletes as the remains of an interrupted move: never a row Access wrote.
        auto pages = jet::openPageFile(file.string(), false);
        for (const jet::CatalogEntry& e : jet::readCatalog(*pages)) {
            if (e.type != jet::format::kObjectTypeTable || !e.isUserTable()) continue;
            jet::TableDef def = jet::readTableDef(*pages, e.tdefPage(), e.name);
            EXPECT_EQ(jet::abandonedMoveTargets(*pages, def).size(), 0u) << e.name;
            jet::forEachRow(*pages, def, [&](const jet::RowLocation& loc, const jet::CrackedRow&) {
                movedRows += !(loc.data == loc.header);
            });
        }
    }
    EXPECT_GT(movedRows, 0u) << "the corpus has moved rows of user tables to look past";
}

// Out-of-line Notes values of northwind's Employees: the data page, the header's offset in it
// and the header's row pointer.
struct StoredNote {
    uint32_t page;
    size_t headerOffset;
    uint32_t pointer;
};
std::vector<StoredNote> storedNotes(const jet::PageFile& f) {
    using namespace jet;
    auto entry = findUserTable(readCatalog(f), "Employees");
    TableDef def = readTableDef(f, entry->tdefPage(), "Employees");
    size_t notes = size_t(def.columnIndex("Notes"));
    std::vector<StoredNote> out;
    forEachRow(f, def, [&](const RowLocation& loc, const CrackedRow& row) {
        const ColumnSlice& s = row.columns[notes];
        if (s.isNull() || s.length != format::kLongValueHeaderSize) return;
        LongValueHeader h = parseLongValueHeader(row.bytes.sub(s.offset, s.length));
        if (h.storage == format::kLongValueSingle) out.push_back({loc.data.page, loc.rowStart + s.offset, h.firstRow});
    });
    return out;
}

// Each case damages one structure of a copy of northwind.mdb the way a faulty writer would.
TEST(Invariants, CatchWriterFaults) {
    using namespace jet;
    using namespace jet::format;
    uint32_t dataPage = Database::open((test_support::corpusDir() / "northwind.mdb").string())->readTable("Employees").rows.at(0).id.page;
    struct Case {
        const char* name;
        std::function<void(PageFile&)> damage;
        const char* expected;
    };
    auto editPage = [](PageFile& f, uint32_t page, const std::function<void(Bytes&)>& edit) {
        Bytes b = f.page(page);
        edit(b);
        f.writePage(page, b);
    };
    const std::vector<Case> cases = {
        {"free_space off by one",
         [&](PageFile& f) { editPage(f, dataPage, [](Bytes& b) { put16(b, kDataFreeSpace, uint16_t(ByteView(b.data(), b.size()).u16(kDataFreeSpace) + 1)); }); },
         "free_space"},
        {"a used page marked free",
         [&](PageFile& f) {
             UsageMap global = readUsageMap(f, makePointer(kGlobalMapPage, 0), f.pageCount(), "global");
             MapBit bit = *global.bitFor(dataPage);
             editPage(f, bit.page, [&](Bytes& b) { b[bit.byteOffset] |= bit.mask; });
         },
         "marked free"},
        {"an orphaned 0x8000 row",
         [&](PageFile& f) { editPage(f, dataPage, [](Bytes& b) { b[kDataSlotTable + 1] |= 0x80; }); },
         "target of 0 pointers"},
        {"two values sharing one LVAL row",
         [&](PageFile& f) {
             auto notes = storedNotes(f);
             ASSERT_GE(notes.size(), 2u);
             Bytes first = f.page(notes[0].page);
             editPage(f, notes[1].page, [&](Bytes& b) {
                 std::copy_n(first.begin() + long(notes[0].headerOffset), 12, b.begin() + long(notes[1].headerOffset));
             });
         },
         "used by two values"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::TempDir dir;
        auto copy = test_support::copyInto(test_support::corpusDir() / "northwind.mdb", dir.path());
        {
            auto file = openPageFile(copy.string(), true);
            c.damage(*file);
        }
        auto problems = checkInvariants(copy.string());
        ASSERT_FALSE(problems.empty());
        bool found = false;
        for (const auto& p : problems) found |= p.find(c.expected) != std::string::npos;
        EXPECT_TRUE(found) << problems.front();
    }
}

} // namespace
