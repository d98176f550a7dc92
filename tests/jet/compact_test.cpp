// jet::compact on every file Access wrote: the copy exports identically through mdb-export and
// passes the consistency checker, the source stays as it was; what it reclaims in a bible and what
// it leaves where it is; and the refusals, which leave no destination behind.
#include "jet/in_use.h"
#include "support/bible_fixture.h"
#include "write_helpers.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>

namespace {

using namespace write_test;

TEST(Compact, EveryCorpusFileCopiesFaithfully) {
    for (const auto& source : test_support::corpusFiles()) {
        SCOPED_TRACE(source.filename().string());
        test_support::TempDir dir;
        auto file = test_support::copyInto(source, dir.path());
        auto copy = dir / "compacted.mdb";
        const std::string before = readBytes(file);
        jet::compact(file.string(), copy.string());
        EXPECT_TRUE(readBytes(file) == before) << "the source changed";
        EXPECT_LE(std::filesystem::file_size(copy), std::filesystem::file_size(file) + 4096);
        std::vector<std::string> tables = mdbTables(file);
        tables.push_back("MSysObjects");
        for (const auto& t : tables) EXPECT_TRUE(mdbExportRaw(copy, t) == mdbExportRaw(file, t)) << "table " << t;
        expectConsistent(copy);
    }
}

// LVAL pages that hold live rows, by page number, with their bytes.
std::map<size_t, std::string> liveLvalPages(const std::string& file) {
    std::map<size_t, std::string> out;
    for (size_t p = 0; p + 1 <= file.size() / 4096; ++p) {
        std::string page = file.substr(p * 4096, 4096);
        if (page[0] != 0x01 || page.compare(4, 4, "LVAL") != 0) continue;
        const size_t slots = uint8_t(page[12]) | uint8_t(page[13]) << 8;
        bool live = false;
        for (size_t s = 0; s < slots; ++s) live |= !(uint8_t(page[14 + 2 * s + 1]) & 0x80);
        if (live) out[p] = page;
    }
    return out;
}

TEST(Compact, ReclaimsWhatPaysAndLeavesTheRest) {
    struct Case {
        const char* name;
        // Applied to the rows in storage order before compacting.
        std::function<void(jet::Database&, const jet::ResultSet&)> change;
        bool shrinks;     // the copy is smaller than the source
        bool valuesStay;  // every LVAL page with a live row is in the copy unchanged
    };
    auto set = [](jet::Database& db, const jet::ResultSet& rows, size_t r, const std::u16string& text) {
        db.updateText("bible", rows.rows[r].id, "BIBLETEXT", text);
    };
    const Case cases[] = {
        {"fresh bible: nothing to reclaim", [](jet::Database&, const jet::ResultSet&) {}, false, true},
        {"a few long verses shortened again: their pages are released, nothing moves",
         [&](jet::Database& db, const jet::ResultSet& rows) {
             for (size_t r : {5u, 50u, 120u}) set(db, rows, r, std::u16string(30000, u'x'));
             for (size_t r : {5u, 50u, 120u}) set(db, rows, r, u"short again");
         },
         true, true},
        {"long verses, then every other one shortened: room is left on every page, the column is repacked",
         [&](jet::Database& db, const jet::ResultSet& rows) {
             for (size_t r = 0; r < rows.rows.size(); ++r) set(db, rows, r, std::u16string(1500, u'y'));
             for (size_t r = 0; r < rows.rows.size(); r += 2) set(db, rows, r, std::u16string(100, u'v'));
         },
         true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::TempDir dir;
        // Verses long enough to be stored out of line, as in a real bible.
        test_support::BibleSpec bible = test_support::simpleBible(2, 10, 12);
        for (auto& v : bible.verses) v.text += u" and it was so, in the beginning, as it is written of them all";
        auto file = test_support::writeBible(dir / "bible.mdb", bible);
        {
            auto db = jet::Database::open(file.string(), jet::OpenMode::ReadWrite);
            c.change(*db, db->readTable("bible"));
        }
        auto copy = dir / "compacted.mdb";
        const std::string before = readBytes(file);
        jet::compact(file.string(), copy.string());
        const std::string after = readBytes(copy);
        EXPECT_TRUE(readBytes(file) == before) << "the source changed";
        EXPECT_EQ(after.size() < before.size(), c.shrinks) << after.size() << " bytes from " << before.size();
        if (std::string(c.name).starts_with("fresh")) {
            EXPECT_TRUE(after == before) << "a copy with nothing to reclaim differs";
        }
        EXPECT_TRUE(mdbExportRaw(copy, "bible") == mdbExportRaw(file, "bible"));
        expectConsistent(copy);
        if (c.valuesStay) {
            for (const auto& [page, bytes] : liveLvalPages(before))
                EXPECT_TRUE(page < after.size() / 4096 && after.compare(page * 4096, 4096, bytes) == 0) << "page " << page;
        }
        // Compacting the compacted copy finds nothing more to do: the same bytes again.
        auto again = dir / "again.mdb";
        jet::compact(copy.string(), again.string());
        EXPECT_TRUE(readBytes(again) == after) << "a second compaction changed the file";
    }
}

TEST(Compact, RefusesAndLeavesNoDestination) {
    test_support::TempDir dir;
    auto good = test_support::copyInto(test_support::corpusDir() / "northwind.mdb", dir.path());
    auto notJet = dir / "notes.mdb";
    std::ofstream(notJet) << std::string(8192, 'x');
    auto taken = dir / "taken.mdb";
    std::ofstream(taken) << "keep me";
    struct Case {
        const char* name;
        std::filesystem::path source, destination;
        const char* expected;
        bool destinationExistedBefore;
    };
    const Case cases[] = {
        {"destination exists", good, taken, "already exists", true},
        {"source missing", dir / "missing.mdb", dir / "out1.mdb", "does not exist", false},
        {"source is not a Jet file", notJet, dir / "out2.mdb", "notes.mdb", false},
        {"source is a folder", dir.path(), dir / "out3.mdb", "folder", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool regular = std::filesystem::is_regular_file(c.source);
        const std::string before = regular ? readBytes(c.source) : std::string();
        try {
            jet::compact(c.source.string(), c.destination.string());
            ADD_FAILURE() << "no error";
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
        if (c.destinationExistedBefore) {
            EXPECT_EQ(readBytes(c.destination), "keep me");
        } else {
            EXPECT_FALSE(std::filesystem::exists(c.destination));
        }
        if (regular) {
            EXPECT_TRUE(readBytes(c.source) == before);
        }
    }
}

// The engine's names are UTF-8 (on Windows it widens them for the system): a bible in a folder
// and under a name with letters beyond ASCII is made, written, checked for other users (beside its
// lock file), compacted, and refused as a destination that exists.
TEST(WholeFileSteps, TakeNamesBeyondAscii) {
    test_support::TempDir dir;
    const std::filesystem::path folder = dir.path() / std::filesystem::path(u8"J\u00f6rg \u0391\u03a9");
    std::filesystem::create_directory(folder);
    const std::filesystem::path file = folder / std::filesystem::path(u8"Z\u00fcrcher Bibel.mdb");
    const std::filesystem::path copy = folder / std::filesystem::path(u8"Z\u00fcrcher Bibel.mdbx");
    const std::string name = file.string(), copyName = copy.string(); // UTF-8 with either library
    test_support::writeBible(file, test_support::simpleBible(1, 1, 2));
    // An idle lock file, as Jet leaves one behind: nobody holds a lock in it.
    std::ofstream(folder / std::filesystem::path(u8"z\u00fcrcher bibel.LDB"), std::ios::binary) << std::string(64, '\0');
    EXPECT_NO_THROW(jet::refuseIfInUse(name, jet::InUseCheck::Thorough));
    {
        auto db = jet::Database::open(name, jet::OpenMode::ReadWrite);
        const jet::ResultSet rs = db->readTable("bible");
        db->updateText("bible", rs.rows.back().id, "BIBLETEXT", u"\u00e4\u00f6\u00fc");
    }
    jet::compact(name, copyName);
    // Under the name asked for, in the same folder (a name read in another code page would be
    // another entry).
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) entries.push_back(entry.path().filename());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::filesystem::path>{file.filename(), copy.filename(),
                                                            std::filesystem::path(u8"z\u00fcrcher bibel.LDB")}));
    expectConsistent(copy);
    EXPECT_EQ(test_support::readVerseTexts(copy).at({1, 1, 2}), u"\u00e4\u00f6\u00fc");
    try {
        jet::compact(name, copyName);
        ADD_FAILURE() << "compacted onto an existing file";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find(copyName), std::string::npos) << e.what();
    }
}

} // namespace
