// The engine's error paths driven through a failing page file: compaction whose copy reads back
// wrong, whose source changes meanwhile, whose copy cannot be written or flushed; updates on a
// file that refuses writing or fails a write or flush. Each refusal names the file, and the
// database file keeps a state the readers accept.
#include "jet/compact.h"
#include "jet/database_impl.h"
#include "support/fault_page_file.h"
#include "support/bible_fixture.h"
#include "write_helpers.h"

#include <fstream>
#include <functional>

namespace {

using namespace write_test;

jet::Bytes smallBible() {
    test_support::TempDir dir;
    std::string s = readBytes(test_support::writeBible(dir / "b.mdb", test_support::simpleBible(1, 2, 5)));
    return jet::Bytes(s.begin(), s.end());
}

TEST(FaultyCompaction, FailsWithAClearMessage) {
    const jet::Bytes start = smallBible();
    struct Case {
        const char* name;
        std::function<void(jet::FaultPageFile& source, jet::FaultPageFile& copy)> arm;
        const char* expected;
    };
    const Case cases[] = {
        {"a page of the copy reads back other than written", [](auto&, auto& copy) { copy.damageWrite(1); },
         "copy.mdb: the compacted copy did not verify"},
        {"the source changes while it is copied", [](auto& source, auto&) { source.changeAtRead(3); },
         "source.mdb: the file was changed by another program while it was being compacted"},
        {"a write of the copy fails", [](auto&, auto& copy) { copy.failWrite(1); }, "cannot write"},
        {"the flush of the copy fails", [](auto&, auto& copy) { copy.failFlush(1); }, "cannot flush"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        jet::FaultPageFile source(jet::memoryPageFile(start, "source.mdb", false));
        jet::FaultPageFile copy(jet::memoryPageFile({}, "copy.mdb"));
        c.arm(source, copy);
        try {
            jet::compactFile(source, copy, "copy.mdb");
            ADD_FAILURE() << "no error";
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
        EXPECT_TRUE(source.contents() == start);
    }
}

// compact() itself removes a scratch copy a power cut left behind and writes the copy anew.
TEST(FaultyCompaction, ReplacesAScratchCopyLeftBehind) {
    test_support::TempDir dir;
    auto file = test_support::writeBible(dir / "b.mdb", test_support::simpleBible(1, 2, 5));
    auto destination = dir / "b.mdbx";
    std::ofstream(destination.string() + ".part") << "left by a power cut";
    jet::compact(file.string(), destination.string());
    EXPECT_FALSE(std::filesystem::exists(destination.string() + ".part"));
    EXPECT_EQ(test_support::readVerseTexts(destination), test_support::readVerseTexts(file));
}

// Updates on a file that cannot be written, or whose write or flush fails: a message naming the
// file, and a file that reads the old value and passes the checker.
TEST(FaultyUpdate, RefusesAndKeepsTheOldValue) {
    const jet::Bytes start = smallBible();
    struct Case {
        const char* name;
        std::function<void(jet::FaultPageFile&)> arm;
        const char* expected;
    };
    const Case cases[] = {
        {"the file is read-only", [](auto& f) { f.makeReadOnly(); }, "bible.mdb: the file cannot be written"},
        {"the first write fails", [](auto& f) { f.failWrite(1); }, "bible.mdb: cannot write"},
        {"the first flush fails", [](auto& f) { f.failFlush(1); }, "bible.mdb: cannot flush"},
    };
    const std::u16string longText(900, u'x'); // stored out of line: new rows, switch, free
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto owned = std::make_unique<jet::FaultPageFile>(jet::memoryPageFile(start, "bible.mdb"));
        jet::FaultPageFile& file = *owned;
        auto db = jet::openDatabase(std::move(owned), jet::OpenMode::ReadWrite);
        jet::ResultSet rows = db->readTable("bible");
        c.arm(file);
        try {
            db->updateText("bible", rows.rows[1].id, "BIBLETEXT", longText);
            ADD_FAILURE() << "no error";
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
        auto after = jet::openMemoryDatabase(file.contents(), "after");
        jet::ResultSet now = after->readTable("bible");
        int col = now.columnIndex("BIBLETEXT");
        EXPECT_EQ(std::get<std::u16string>(now.rows[1].values[size_t(col)]),
                  std::get<std::u16string>(rows.rows[1].values[size_t(col)]));
        auto problems = jet::checkInvariants(*jet::memoryPageFile(file.contents(), "after", false));
        EXPECT_TRUE(problems.empty()) << problems.front();
    }
}

// A failed update changes nothing, also once the database is closed: what it held is not written
// by the closing flush. In a batch the updates before it still land.
TEST(FaultyUpdate, WhatAFailedUpdateHeldIsNotWrittenAtClose) {
    const std::u16string longText(900, u'x'); // stored out of line: new rows, switch, free
    for (bool batch : {false, true}) {
        SCOPED_TRACE(batch ? "in a batch" : "alone");
        test_support::TempDir dir;
        const auto path = test_support::writeBible(dir / "bible.mdb", test_support::simpleBible(1, 2, 5));
        const std::string start = readBytes(path);
        auto owned = std::make_unique<jet::FaultPageFile>(jet::openDiskPageFile(path.string(), true));
        jet::FaultPageFile& file = *owned;
        auto db = jet::openDatabase(std::move(owned), jet::OpenMode::ReadWrite);
        const jet::ResultSet rows = db->readTable("bible");
        const int col = rows.columnIndex("BIBLETEXT");
        if (batch) {
            db->setFlushEachUpdate(false);
            db->updateText("bible", rows.rows[1].id, "BIBLETEXT", u"the batch's first update");
            jet::setHeldPagesLimit(*db, 1); // the next update sends what is held
        }
        file.failWrite(1);
        EXPECT_THROW(db->updateText("bible", rows.rows[2].id, "BIBLETEXT", longText), jet::Error);
        db.reset(); // closing flushes what is held
        const std::string end = readBytes(path);
        auto after = jet::openMemoryDatabase(jet::Bytes(end.begin(), end.end()), "after");
        const jet::ResultSet now = after->readTable("bible");
        EXPECT_EQ(std::get<std::u16string>(now.rows[2].values[size_t(col)]),
                  std::get<std::u16string>(rows.rows[2].values[size_t(col)]));
        EXPECT_EQ(end.size(), start.size()) << "no long-value pages added";
        if (batch)
            EXPECT_EQ(std::get<std::u16string>(now.rows[1].values[size_t(col)]), u"the batch's first update");
        else
            EXPECT_TRUE(end == start);
        auto problems = jet::checkInvariants(*jet::memoryPageFile(jet::Bytes(end.begin(), end.end()), "after", false));
        EXPECT_TRUE(problems.empty()) << problems.front();
    }
}

} // namespace
