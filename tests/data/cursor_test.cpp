#include "data_fixture.h"

#include <gtest/gtest.h>

namespace {

using namespace data_test;
using test_support::BibleSpec;

// One bible: book 1 has chapter 1 with three verses, chapter 2 with one verse; chapter 3 has
// no rows.
class Cursor : public ::testing::Test {
protected:
    void SetUp() override {
        BibleSpec bibleSpec;
        bibleSpec.bookNames = {{1, u"Genesis"}};
        bibleSpec.verses = {{1, 1, 3, u"c"}, {1, 1, 1, u"a"}, {1, 2, 1, u"d"}, {1, 1, 2, u"b"}};
        file = test_support::writeBible(dir / "bible.mdb", bibleSpec);
        connect(connection, file);
        query.onDataChange = [this] { log += "d"; };
        query.afterScroll = [this] { log += "s" + std::to_string(query.recordNumber()) + " "; };
    }
    // Runs "O" open, "F" first, "L" last, "N" next, "P" prior; returns what fired.
    std::string run(int chapter, const std::string& ops) {
        setStatement(query, {"Select * from bible", "where BOOK = 1",
                             "and CHAPTER = " + QString::number(chapter), "ORDER BY Verse ASC"});
        log.clear();
        for (char op : ops) {
            switch (op) {
            case 'O': query.open(); break;
            case 'F': query.first(); break;
            case 'L': query.last(); break;
            case 'N': query.next(); break;
            case 'P': query.prior(); break;
            default: ADD_FAILURE() << "unknown op " << op;
            }
        }
        return log;
    }
    test_support::TempDir dir;
    std::filesystem::path file;
    data::Connection connection;
    data::Query query{connection, "ADOQuery1"};
    std::string log;
};

TEST_F(Cursor, AfterScrollFiresOnEveryMoveAndOnceAtEachEnd) {
    // "d" is the bound memo's refresh, "sN" AfterScroll on row N (-1: no row); the refresh
    // always comes first.
    const struct {
        int chapter;
        const char* ops;
        const char* fired;
        bool bof, eof;
    } cases[] = {
        {1, "O", "ds0 ", false, false},
        {1, "ONN", "ds0 ds1 ds2 ", false, false},
        {1, "ONNN", "ds0 ds1 ds2 ds2 ", false, true},      // first Next on the last row still fires
        {1, "ONNNNN", "ds0 ds1 ds2 ds2 ", false, true},    // later ones do not
        {1, "ONNNNP", "ds0 ds1 ds2 ds2 ds1 ", false, false},
        {1, "OP", "ds0 ds0 ", true, false},                 // Prior right after Open fires once
        {1, "ONPPP", "ds0 ds1 ds0 ds0 ", true, false},     // Prior on the first row alike
        {1, "OLN", "ds0 ds2 ds2 ", false, true},            // Next right after Last fires once
        {1, "OLP", "ds0 ds2 ds1 ", false, false},
        {1, "OFF", "ds0 ds0 ds0 ", false, false},
        {2, "ONP", "ds0 ds0 ds0 ", true, false},            // one row: Next then Prior, once each
        {3, "O", "d", true, true},                          // empty: no AfterScroll on Open
        {3, "ONP", "d", true, true},
        {3, "OFL", "dds-1 ds-1 ", true, true},              // First and Last fire even when empty
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.chapter, c.ops), c.fired) << "chapter " << c.chapter << " " << c.ops;
        EXPECT_EQ(query.bof(), c.bof) << c.ops;
        EXPECT_EQ(query.eof(), c.eof) << c.ops;
    }
}

// The verse texts are read when a row is first used: every move must still land on the text of
// its own row, whichever way the cursor came, and fire AfterScroll as before.
TEST_F(Cursor, MovesReadEachRowsOwnTextOnEmptyOneAndManyRows) {
    const struct {
        int chapter;
        const char* ops;
        const char* texts; // BIBLETEXT after each move, "-" for no row
        int afterScrolls;
    } cases[] = {
        {3, "OFLNP", "- - - - -", 0 + 2},      // empty: only First and Last fire
        {2, "OFLNPN", "d d d d d d", 6},       // one row
        {1, "OLPPPNNFN", "a c b a a b c a b", 9},
        {1, "ONNNLF", "a b c c c a", 6},
    };
    for (const auto& c : cases) {
        setStatement(query, {"Select * from bible", "where BOOK = 1",
                             "and CHAPTER = " + QString::number(c.chapter), "ORDER BY Verse ASC"});
        int fired = 0;
        query.afterScroll = [&] { ++fired; };
        QStringList seen;
        for (const char* op = c.ops; *op; ++op) {
            switch (*op) {
            case 'O': query.open(); break;
            case 'F': query.first(); break;
            case 'L': query.last(); break;
            case 'N': query.next(); break;
            case 'P': query.prior(); break;
            }
            seen << (query.recordNumber() < 0 ? "-" : query.fieldByName("BIBLETEXT").asString());
        }
        EXPECT_EQ(seen.join(' '), c.texts) << c.ops;
        EXPECT_EQ(fired, c.afterScrolls) << c.ops;
    }
}

// A query opened before a post through another connection on the same file keeps the texts it
// was opened with, also for rows it had not shown yet.
TEST_F(Cursor, ASnapshotKeepsItsTextsWhenTheFileIsWrittenLater) {
    run(1, "O");
    data::Connection other;
    connect(other, file);
    data::Query writer(other);
    writer.setTextField("BIBLETEXT");
    setStatement(writer, {"Select * from bible", "where BOOK = 1", "and CHAPTER = 1", "ORDER BY Verse ASC"});
    writer.open();
    writer.last();
    writer.edit();
    writer.setEditText("changed");
    writer.post();
    query.last();
    EXPECT_EQ(query.fieldByName("BIBLETEXT").asString(), "c");
    run(1, "OL");
    EXPECT_EQ(query.fieldByName("BIBLETEXT").asString(), "changed");
}

TEST_F(Cursor, RowsFollowTheStatementsOrderAndOpenTwiceDoesNothing) {
    run(1, "O");
    EXPECT_EQ(query.recordCount(), 3);
    EXPECT_EQ(query.fieldByName("BIBLETEXT").asString(), "a");
    query.next();
    query.open(); // already open: no new snapshot, no event, cursor stays
    EXPECT_EQ(query.recordNumber(), 1);
    EXPECT_EQ(query.fieldByName("bibletext").asString(), "b");
    EXPECT_EQ(log, "ds0 ds1 ");
}

TEST_F(Cursor, StatementIsItsLinesEachEndedByCrLfAndAChangeClosesTheQuery) {
    run(1, "O");
    EXPECT_EQ(query.sqlText(), "Select * from bible\r\nwhere BOOK = 1\r\nand CHAPTER = 1\r\nORDER BY Verse ASC\r\n");
    query.sqlAdd("");
    EXPECT_FALSE(query.active());
    EXPECT_EQ(query.state(), data::DataSetState::Inactive);
    EXPECT_THROW(query.next(), data::DataError);
}

TEST_F(Cursor, FieldsAreReadWithoutRegardToCaseAsTextOrInteger) {
    run(1, "ONN");
    EXPECT_EQ(query.fieldByName("Verse").asInteger(), 3);
    EXPECT_EQ(query.fieldByName("verse").asString(), "3");
    EXPECT_EQ(query.fieldByName("CHAPTER").asString(), "1");
    EXPECT_EQ(query.fieldByName("bOoK").asInteger(), 1);
    EXPECT_EQ(query.fieldByName("BIBLETEXT").asString(), "c");
    EXPECT_THROW(query.fieldByName("BIBLETEXT").asInteger(), data::DataError); // "c" is no number
    try {
        query.fieldByName("Psalm");
        ADD_FAILURE() << "unknown column accepted";
    } catch (const data::DataError& e) {
        EXPECT_NE(std::string(e.what()).find("Psalm"), std::string::npos) << e.what();
    }
}

TEST_F(Cursor, AnEmptyResultGivesEmptyTextAndZero) {
    run(3, "O");
    EXPECT_TRUE(query.isEmpty());
    EXPECT_EQ(query.recordNumber(), -1);
    for (const char* column : {"Chapter", "Verse", "chapter", "verse", "BIBLETEXT"}) {
        EXPECT_EQ(query.fieldByName(column).asString(), "") << column;
        EXPECT_EQ(query.fieldByName(column).asInteger(), 0) << column;
    }
}

TEST_F(Cursor, AClosedQueryRefusesFieldsAndMovesWithItsName) {
    for (auto op : {+[](data::Query& q) { q.fieldByName("Verse"); }, +[](data::Query& q) { q.first(); },
                    +[](data::Query& q) { q.edit(); }}) {
        try {
            op(query);
            ADD_FAILURE() << "closed query accepted an operation";
        } catch (const data::DataError& e) {
            EXPECT_NE(std::string(e.what()).find("ADOQuery1"), std::string::npos) << e.what();
        }
    }
}

TEST_F(Cursor, DisconnectingClosesTheQueryAndOpenReconnects) {
    run(1, "ON");
    connection.setConnected(false);
    EXPECT_FALSE(query.active());
    EXPECT_FALSE(connection.connected());
    query.open();
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(query.recordNumber(), 0);
}

TEST_F(Cursor, AFailedStatementLeavesTheQueryClosed) {
    setStatement(query, {"Select * from psalms"});
    EXPECT_THROW(query.open(), jet::Error);
    EXPECT_FALSE(query.active());
    setStatement(query, {"Select * from bible", "where VOLUME = 1"});
    EXPECT_THROW(query.open(), jet::Error);
    EXPECT_FALSE(query.active());
}

} // namespace
