// Database::updateText: refusals that change nothing, and randomized updates of every unindexed
// Text and Memo column of real Access files and of our own bibles, checked afterwards with our
// reader, with mdb-export and with the consistency checker; then compaction of the churned file.
#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/catalog.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/usage_map.h"
#include "support/bible_fixture.h"
#include "support/read_only_files.h"
#include "write_helpers.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

using namespace write_test;
using jet::ColumnType;

// --- refusals ------------------------------------------------------------------------------------

// A deleted slot of a table's data page, found in the file itself.
jet::RowId deletedSlotOf(const std::filesystem::path& file, const std::string& table) {
    auto db = jet::Database::open(file.string());
    uint32_t page = db->readTable(table).rows.at(0).id.page;
    auto pf = jet::openPageFile(file.string(), false);
    jet::DataPage dp(pf->view(page), page);
    for (uint16_t s = 0; s < dp.slotCount(); ++s)
        if (dp.slot(s).deleted()) return {page, s};
    return {page, uint16_t(dp.slotCount() + 3)}; // past the slot table: gone as well
}

TEST(UpdateRefusals, ChangeNothingAndSayWhy) {
    const auto source = test_support::corpusDir() / "northwind.mdb";
    jet::RowId firstEmployee = jet::Database::open(source.string())->readTable("Employees").rows.at(0).id;
    struct Case {
        const char* name;
        std::string table, column;
        std::optional<jet::RowId> row; // nullopt: the first employee
        std::u16string text;
        jet::OpenMode mode;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"indexed column", "Employees", "LastName", {}, u"Smith", jet::OpenMode::ReadWrite, "part of an index"},
        {"not a text column", "Employees", "HireDate", {}, u"1", jet::OpenMode::ReadWrite, "only Text and Memo"},
        {"OLE column", "Employees", "Photo", {}, u"x", jet::OpenMode::ReadWrite, "only Text and Memo"},
        {"text longer than the column", "Employees", "Title", {}, std::u16string(31, u'x'), jet::OpenMode::ReadWrite, "at most 30 characters"},
        {"no such column", "Employees", "Nickname", {}, u"x", jet::OpenMode::ReadWrite, "no column"},
        {"no such table", "Staff", "Notes", {}, u"x", jet::OpenMode::ReadWrite, "no table"},
        {"deleted row", "Employees", "Notes", deletedSlotOf(source, "Employees"), u"x", jet::OpenMode::ReadWrite, "no longer exists"},
        {"row of another table", "Employees", "Notes", jet::RowId{2, 0}, u"x", jet::OpenMode::ReadWrite, "no longer exists"},
        {"page past the end", "Employees", "Notes", jet::RowId{0xFFFFF, 0}, u"x", jet::OpenMode::ReadWrite, "no longer exists"},
        {"opened read-only", "Employees", "Notes", {}, u"x", jet::OpenMode::ReadOnly, "read-only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::TempDir dir;
        auto copy = test_support::copyInto(source, dir.path());
        const std::string before = readBytes(copy);
        auto db = jet::Database::open(copy.string(), c.mode);
        try {
            db->updateText(c.table, c.row.value_or(firstEmployee), c.column, c.text);
            ADD_FAILURE() << "no error";
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
        db.reset();
        EXPECT_TRUE(readBytes(copy) == before) << "the file changed";
    }
}

TEST(UpdateRefusals, ReadOnlyFileCannotBeOpenedForWriting) {
    test_support::TempDir dir;
    auto copy = test_support::copyInto(test_support::corpusDir() / "northwind.mdb", dir.path());
    const std::string before = readBytes(copy);
    {
        test_support::ReadOnlyFiles readOnly({copy});
        EXPECT_THROW(jet::Database::open(copy.string(), jet::OpenMode::ReadWrite), jet::Error);
    }
    EXPECT_TRUE(readBytes(copy) == before);
}

// --- randomized updates ----------------------------------------------------------------------------

struct Target {
    std::string table;
    int column = 0;
    bool memo = false;
    int maxChars = 0;
    bool compressible = false;
};

std::vector<Target> targetsOf(jet::Database& db) {
    std::vector<Target> out;
    for (const auto& name : db.tableNames()) {
        jet::TableSchema s = db.schema(name);
        if (s.rowCount == 0) continue;
        for (size_t i = 0; i < s.columns.size(); ++i) {
            const auto& c = s.columns[i];
            if (c.indexed || (c.type != ColumnType::Text && c.type != ColumnType::Memo)) continue;
            out.push_back({name, int(i), c.type == ColumnType::Memo, c.length / 2, c.compressedUnicode});
        }
    }
    return out;
}

// Stored sizes on both sides of every storage threshold: inline (0..34 bytes in the row), one
// LVAL row (..4076), chains of 2 (..8144) and 3 segments, and large values.
const size_t kMemoSizes[] = {0, 1, 34, 35, 64, 65, 4076, 4077, 8144, 8145, 100 * 1024};

std::u16string nextText(std::mt19937& rng, const Target& t, bool allowHuge) {
    if (!t.memo) {
        unsigned pick = rng() % 4;
        size_t n = pick == 0 ? 0 : pick == 1 ? size_t(t.maxChars) : rng() % (size_t(t.maxChars) + 1);
        return randomText(rng, n, rng() % 2 == 0);
    }
    unsigned pick = rng() % 20;
    if (pick < 11) return textOfStoredSize(rng, kMemoSizes[pick], t.compressible && rng() % 2);
    if (pick == 11 && allowHuge) return randomText(rng, 512 * 1024, false); // 1 MB stored
    return randomText(rng, rng() % 700, rng() % 2 == 0);
}

struct Churn {
    std::map<std::string, jet::ResultSet> before;              // our reader, before any update
    std::map<std::string, std::map<std::pair<size_t, int>, std::u16string>> changed; // table -> (row, column) -> text
    bool memoChanged = false;
};

// Runs `count` random updates through one open database, remembering what each cell must hold.
Churn churn(const std::filesystem::path& file, int count, unsigned seed, bool allowHuge) {
    Churn result;
    auto db = jet::Database::open(file.string(), jet::OpenMode::ReadWrite);
    for (const auto& name : db->tableNames()) result.before[name] = db->readTable(name);
    std::vector<Target> targets = targetsOf(*db);
    if (targets.empty()) return result;
    std::mt19937 rng(seed);
    bool hugeDone = !allowHuge;
    for (int i = 0; i < count; ++i) {
        const Target& t = targets[rng() % targets.size()];
        const jet::ResultSet& rows = result.before[t.table];
        size_t r = rng() % rows.rows.size();
        std::u16string text = nextText(rng, t, !hugeDone);
        if (text.size() > 100000) hugeDone = true;
        db->updateText(t.table, rows.rows[r].id, rows.columns[size_t(t.column)].name, text);
        result.changed[t.table][{r, t.column}] = text;
        result.memoChanged |= t.memo;
    }
    return result;
}

// For each row of our reader, the row of mdb-export's listing holding the same texts (the two
// list rows in different orders when Access moved rows).
std::vector<size_t> matchRows(const jet::ResultSet& ours, const Cells& theirs, const std::vector<std::string>& header) {
    std::vector<std::pair<size_t, size_t>> texts; // our column, their column
    for (size_t c = 0; c < ours.columns.size(); ++c) {
        if (ours.columns[c].type != ColumnType::Text && ours.columns[c].type != ColumnType::Memo) continue;
        auto it = std::find(header.begin(), header.end(), ours.columns[c].name);
        if (it != header.end()) texts.emplace_back(c, size_t(it - header.begin()));
    }
    std::vector<size_t> match;
    std::vector<bool> used(theirs.size(), false);
    for (const jet::Row& row : ours.rows) {
        size_t found = theirs.size();
        for (size_t t = 0; t < theirs.size() && found == theirs.size(); ++t) {
            if (used[t]) continue;
            bool same = true;
            for (const auto& [mine, other] : texts) {
                const auto* s = std::get_if<std::u16string>(&row.values[mine]);
                same = same && theirs[t][other] == (s ? asMdbExportShows(*s) : std::string());
            }
            if (same) found = t;
        }
        std::string mine;
        for (const auto& [c, other] : texts)
            if (const auto* s = std::get_if<std::u16string>(&row.values[c])) mine += "[" + asMdbExportShows(*s) + "]";
        EXPECT_LT(found, theirs.size()) << "a row of ours is missing from mdb-export's listing: " << mine.substr(0, 300);
        if (found < theirs.size()) used[found] = true;
        match.push_back(found);
    }
    return match;
}

void expectContent(const std::filesystem::path& file, const Churn& churned,
                   const std::map<std::string, std::string>& exportBefore) {
    auto db = jet::Database::open(file.string());
    for (const auto& [name, before] : churned.before) {
        SCOPED_TRACE("table " + name);
        jet::ResultSet now = db->readTable(name);
        ASSERT_EQ(now.rows.size(), before.rows.size());
        auto changes = churned.changed.find(name);
        for (size_t r = 0; r < now.rows.size(); ++r) {
            EXPECT_EQ(now.rows[r].id, before.rows[r].id);
            for (size_t c = 0; c < now.columns.size(); ++c) {
                jet::Value expected = before.rows[r].values[c];
                if (changes != churned.changed.end()) {
                    auto it = changes->second.find({r, int(c)});
                    if (it != changes->second.end()) expected = it->second;
                }
                EXPECT_TRUE(now.rows[r].values[c] == expected) << "row " << r << ", column " << now.columns[c].name;
            }
        }
    }
    // mdb-export: untouched tables print exactly as before; in changed tables only the changed
    // cells differ, and they show the new text.
    for (const auto& [name, text] : exportBefore) {
        SCOPED_TRACE("mdb-export of " + name);
        auto changes = churned.changed.find(name);
        std::string after = mdbExportRaw(file, name);
        if (changes == churned.changed.end()) {
            EXPECT_TRUE(after == text);
            continue;
        }
        std::vector<std::string> header;
        Cells was = parseCsv(text, &header), now = parseCsv(after);
        ASSERT_EQ(now.size(), was.size());
        std::vector<size_t> match = matchRows(churned.before.at(name), was, header);
        for (const auto& [cell, value] : changes->second) {
            auto column = std::find(header.begin(), header.end(), churned.before.at(name).columns[size_t(cell.second)].name);
            ASSERT_NE(column, header.end());
            was[match.at(cell.first)][size_t(column - header.begin())] = asMdbExportShows(value);
        }
        // mdb-export lists a moved row where its data now lies, so compare without order.
        std::sort(was.begin(), was.end());
        std::sort(now.begin(), now.end());
        auto join = [](const std::vector<std::string>& cells) {
            std::string all;
            for (const auto& c : cells) all += "[" + c + "]";
            return all;
        };
        for (size_t r = 0; r < now.size(); ++r)
            EXPECT_TRUE(now[r] == was[r]) << "row " << r << ":\n  " << join(now[r]) << "\n  " << join(was[r]);
    }
}

std::map<std::string, std::string> exportAll(const std::filesystem::path& file) {
    std::map<std::string, std::string> out;
    for (const auto& t : mdbTables(file)) out[t] = mdbExportRaw(file, t);
    return out;
}

void churnAndCheck(const std::filesystem::path& file, int updates, unsigned seed, bool allowHuge) {
    auto exported = exportAll(file);
    Churn c = churn(file, updates, seed, allowHuge);
    expectContent(file, c, exported);
    expectConsistent(file);

    // Compaction: same content through both readers, consistent, smaller after churn.
    auto copy = file.parent_path() / ("compacted-" + file.filename().string());
    const std::string sourceBytes = readBytes(file);
    jet::compact(file.string(), copy.string());
    EXPECT_TRUE(readBytes(file) == sourceBytes) << "compaction changed its source";
    for (const auto& [name, text] : exportAll(file)) EXPECT_TRUE(mdbExportRaw(copy, name) == text) << name;
    expectContent(copy, c, exported);
    expectConsistent(copy);
    // Replaced long values leave space behind that compaction reclaims; in-row texts do not (and
    // a global map without bitmap pages may need one to list the pages compaction freed).
    if (c.memoChanged) {
        EXPECT_LT(std::filesystem::file_size(copy), std::filesystem::file_size(file));
    } else {
        EXPECT_LE(std::filesystem::file_size(copy), std::filesystem::file_size(file) + 4096);
    }
}

// Real Access files: the wide memo table, Unicode compression, overflow rows, a deleted column,
// Northwind's memos and texts.
TEST(UpdateRandomized, CorpusFiles) {
    const char* files[] = {"northwind.mdb", "test2V2000.mdb", "testUnicodeCompV2003.mdb", "overflowTestV2000.mdb",
                           "delColTestV2003.mdb", "testV2003.mdb", "testRefGlobalV2000.mdb", "testPromotionV2000.mdb"};
    unsigned seed = 1;
    for (const char* name : files) {
        SCOPED_TRACE(name);
        test_support::TempDir dir;
        auto copy = test_support::copyInto(test_support::corpusDir() / name, dir.path());
        churnAndCheck(copy, 250, seed++, std::string(name) == "northwind.mdb");
    }
}

TEST(UpdateRandomized, OurBibles) {
    struct Shape {
        const char* name;
        bool text255, extra, shuffle;
    };
    const Shape shapes[] = {{"memo", false, false, false}, {"text255", true, false, false}, {"extra columns", false, true, true}};
    unsigned seed = 100;
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.name);
        test_support::TempDir dir;
        test_support::BibleSpec bibleSpec = test_support::simpleBible(3, 5, 20);
        bibleSpec.verseTextAsText255 = s.text255;
        bibleSpec.extraColumns = s.extra;
        bibleSpec.shuffleRows = s.shuffle;
        auto file = test_support::writeBible(dir / "bible.mdb", bibleSpec);
        churnAndCheck(file, 600, seed++, false);
    }
}

// Growing Text values until rows no longer fit their pages: rows move the way Jet moves them,
// and moving an already moved row again retires the old target.
TEST(UpdateRowMoves, TextRowsMoveAndStayAddressable) {
    test_support::TempDir dir;
    test_support::BibleSpec bibleSpec = test_support::simpleBible(1, 4, 40);
    bibleSpec.verseTextAsText255 = true;
    auto file = test_support::writeBible(dir / "bible.mdb", bibleSpec);
    auto exported = exportAll(file);
    Churn c;
    {
        auto db = jet::Database::open(file.string(), jet::OpenMode::ReadWrite);
        c.before["bible"] = db->readTable("bible");
        int col = c.before["bible"].columnIndex("BIBLETEXT");
        std::mt19937 rng(7);
        for (int round = 0; round < 3; ++round)
            for (size_t r = 0; r < c.before["bible"].rows.size(); ++r) {
                std::u16string text = randomText(rng, 80 + 80 * size_t(round) + rng() % 10, round == 1, false);
                db->updateText("bible", c.before["bible"].rows[r].id, "BIBLETEXT", text);
                c.changed["bible"][{r, col}] = text;
            }
    }
    expectContent(file, c, exported);
    expectConsistent(file);
}

} // namespace

namespace {

// --- nothing else changes ---------------------------------------------------------------------

// Pages that differ between two versions of a file (pages past the shorter one's end count).
std::set<uint32_t> changedPages(const std::string& a, const std::string& b) {
    std::set<uint32_t> out;
    size_t pages = std::max(a.size(), b.size()) / 4096;
    for (size_t p = 0; p < pages; ++p)
        if (a.size() < (p + 1) * 4096 || b.size() < (p + 1) * 4096 || a.compare(p * 4096, 4096, b, p * 4096, 4096) != 0)
            out.insert(uint32_t(p));
    return out;
}

// The file's bytes while a database holds it open for writing. On Windows that write session
// holds the file with share mode 0, which no other reader gets past; the engine's own read-only
// page file reads through the session's handle.
std::string bytesDuringSession(const std::filesystem::path& file) {
#ifdef _WIN32
    auto pages = jet::openPageFile(file.string(), false);
    std::string bytes(size_t(pages->pageCount()) * jet::format::kPageSize, '\0');
    pages->readPages(0, pages->pageCount(), reinterpret_cast<uint8_t*>(bytes.data()));
    return bytes;
#else
    return readBytes(file);
#endif
}

// One update touches only the row's page, the column's long-value pages and the usage maps
// (page 1 and the map host pages), plus new pages at the end.
TEST(UpdateTouchesOnlyWhatItMust, OneValueAtATime) {
    test_support::TempDir dir;
    auto file = test_support::copyInto(test_support::corpusDir() / "northwind.mdb", dir.path());
    auto db = jet::Database::open(file.string(), jet::OpenMode::ReadWrite);
    jet::ResultSet employees = db->readTable("Employees");
    auto pf = jet::openPageFile(file.string(), false);
    auto entry = jet::findUserTable(jet::readCatalog(*pf), "Employees");
    jet::TableDef def = jet::readTableDef(*pf, entry->tdefPage(), "Employees");
    const jet::LongValueMaps* notesMaps = def.longValueMapsFor(def.columns[size_t(def.columnIndex("Notes"))].number);
    ASSERT_NE(notesMaps, nullptr);

    struct Case {
        const char* name;
        const char* column;
        size_t row;
        std::u16string text;
    };
    std::mt19937 rng(5);
    const Case cases[] = {
        {"Text in place", "Title", 2, u"Chief"},
        {"Memo to a 3-segment chain", "Notes", 1, textOfStoredSize(rng, 9000, false)},
        {"Memo to a short inline value", "Notes", 4, u"short"},
        {"Memo to one LVAL row", "Notes", 1, randomText(rng, 900, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = bytesDuringSession(file);
        db->updateText("Employees", employees.rows[c.row].id, c.column, c.text);
        const std::string after = bytesDuringSession(file);
        auto fresh = jet::openPageFile(file.string(), false);
        jet::UsageMap notesPages = jet::readUsageMap(*fresh, notesMaps->ownedMapPointer, fresh->pageCount(), "Notes map");
        std::set<uint32_t> allowed = {employees.rows[c.row].id.page, jet::format::kGlobalMapPage,
                                      jet::format::pointerPage(notesMaps->ownedMapPointer),
                                      jet::format::pointerPage(notesMaps->freeMapPointer)};
        if (std::string(c.column) == "Notes") allowed.insert(notesPages.pages.begin(), notesPages.pages.end());
        allowed.insert(notesPages.bitmapPages.begin(), notesPages.bitmapPages.end());
        for (uint32_t p : changedPages(before, after))
            EXPECT_TRUE(allowed.count(p) || p * 4096 >= before.size()) << "page " << p << " changed";
        if (std::string(c.column) == "Title") {
            EXPECT_EQ(changedPages(before, after), std::set<uint32_t>{employees.rows[c.row].id.page});
        }
    }
    expectConsistent(file);
}

} // namespace
