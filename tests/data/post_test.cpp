#include "data_fixture.h"
#include "support/read_only_files.h"

#include <gtest/gtest.h>


namespace {

using namespace data_test;

// Chapter 1 of book 1 with three verses, in a file of its own.
class Post : public ::testing::Test {
protected:
    void SetUp() override {
        file = test_support::writeBible(dir / "bible.mdb", test_support::simpleBible(1, 2, 3));
        connect(connection, file);
        openChapter(query, 1);
    }
    static void openChapter(data::Query& q, int chapter) {
        setStatement(q, {"Select * from bible", "where BOOK = 1", "and CHAPTER = " + QString::number(chapter),
                         "ORDER BY Verse ASC"});
        q.setTextField("BIBLETEXT");
        q.open();
    }
    // The stored texts of chapter 1 as a fresh connection reads them.
    QStringList storedChapterOne() const {
        data::Connection c;
        connect(c, file);
        data::Query q(c);
        openChapter(q, 1);
        QStringList texts;
        for (; !q.eof(); q.next()) texts << q.fieldByName("BIBLETEXT").asString();
        return texts;
    }
    int storedRowCount() const {
        data::Connection c;
        connect(c, file);
        data::Query q(c);
        setStatement(q, {"Select * from bible"});
        q.open();
        return q.recordCount();
    }
    void edit(const QString& text) {
        query.edit();
        query.setEditText(text);
    }
    test_support::TempDir dir;
    std::filesystem::path file;
    data::Connection connection;
    data::Query query{connection, "ADOQuery1"};
};

TEST_F(Post, WritesTheCurrentRowAndTheSnapshotShowsItWhenMovingBack) {
    query.next();
    EXPECT_EQ(query.state(), data::DataSetState::Browse);
    query.edit();
    EXPECT_EQ(query.state(), data::DataSetState::Edit);
    EXPECT_EQ(query.editText(), "Verse 1:1:2"); // editing starts from the row's text
    query.setEditText("A\r\n\r\nB\r\n");
    query.post();
    EXPECT_EQ(query.state(), data::DataSetState::Browse);
    query.prior();
    query.next();
    EXPECT_EQ(query.fieldByName("BIBLETEXT").asString(), "A\r\n\r\nB\r\n");
    EXPECT_EQ(storedChapterOne(), (QStringList{"Verse 1:1:1", "A\r\n\r\nB\r\n", "Verse 1:1:3"}));
}

TEST_F(Post, AMoveOrFirstOrLastPostsAPendingEdit) {
    for (auto move : {+[](data::Query& q) { q.next(); }, +[](data::Query& q) { q.prior(); },
                      +[](data::Query& q) { q.first(); }, +[](data::Query& q) { q.last(); }}) {
        const int row = query.recordNumber();
        edit(QString("moved from %1").arg(row));
        move(query);
        EXPECT_EQ(query.state(), data::DataSetState::Browse);
        EXPECT_EQ(storedChapterOne().at(row), QString("moved from %1").arg(row));
    }
}

TEST_F(Post, AStatementChangeOrCancelDropsThePendingEdit) {
    edit("dropped");
    query.sqlClear();
    EXPECT_EQ(query.state(), data::DataSetState::Inactive);
    openChapter(query, 1);
    edit("cancelled");
    query.cancel();
    EXPECT_EQ(query.state(), data::DataSetState::Browse);
    query.next();
    EXPECT_EQ(storedChapterOne(), (QStringList{"Verse 1:1:1", "Verse 1:1:2", "Verse 1:1:3"}));
}

TEST_F(Post, WithoutACurrentRowNothingIsAddedAndTheErrorSaysSo) {
    openChapter(query, 9); // no such chapter
    ASSERT_TRUE(query.isEmpty());
    const int rows = storedRowCount();
    edit("would be a new row");
    try {
        query.post();
        ADD_FAILURE() << "post without a row succeeded";
    } catch (const data::DataError& e) {
        EXPECT_NE(std::string(e.what()).find("not saved"), std::string::npos) << e.what();
    }
    // Back to browsing, so moving or closing afterwards is not blocked by the same error.
    EXPECT_EQ(query.state(), data::DataSetState::Browse);
    EXPECT_NO_THROW(query.first());
    EXPECT_EQ(storedRowCount(), rows);
}

TEST_F(Post, AFailedWriteKeepsTheEditPendingForTheNextTry) {
    const auto moved = dir / "moved.mdb";
    std::filesystem::rename(file, moved);
    edit("pending");
    EXPECT_THROW(query.post(), jet::Error);
    EXPECT_EQ(query.state(), data::DataSetState::Edit);
    EXPECT_EQ(query.editText(), "pending");
    EXPECT_THROW(query.next(), jet::Error); // the move posts first, and fails the same way
    EXPECT_EQ(query.recordNumber(), 0);
    std::filesystem::rename(moved, file);
    query.post();
    EXPECT_EQ(storedChapterOne().at(0), "pending");
}

TEST_F(Post, AReadOnlyFileFailsAtPostNotAtConnect) {
    test_support::ReadOnlyFiles protect({file});
    data::Connection readOnly;
    connect(readOnly, file);
    data::Query q(readOnly);
    openChapter(q, 1);
    q.edit();
    q.setEditText("x");
    EXPECT_THROW(q.post(), jet::Error);
    EXPECT_EQ(q.state(), data::DataSetState::Edit);
}

TEST_F(Post, TwoConnectionsOnOneFileSeeEachOthersPostsAtTheNextOpen) {
    data::Connection second;
    connect(second, file);
    data::Query other(second, "ADOQuery2");
    openChapter(other, 1);
    // Many posts of the same length in a row: a change within the file's timestamp resolution
    // must still be seen.
    for (int i = 0; i < 5; ++i) {
        edit(QString("round %1").arg(i));
        query.post();
        EXPECT_EQ(other.fieldByName("BIBLETEXT").asString(), i == 0 ? "Verse 1:1:1" : QString("round %1").arg(i - 1))
            << "the open snapshot is static";
        openChapter(other, 2);
        openChapter(other, 1);
        EXPECT_EQ(other.fieldByName("BIBLETEXT").asString(), QString("round %1").arg(i));
    }
    other.edit();
    other.setEditText("from the other pane");
    other.post();
    openChapter(query, 2);
    openChapter(query, 1);
    EXPECT_EQ(query.fieldByName("BIBLETEXT").asString(), "from the other pane");
}

TEST_F(Post, LongTextsAndUnicodeArriveUnchanged) {
    const QString longText = QString("Ünïcödé ✝ line\r\n").repeated(800) + "end";
    edit(longText);
    query.post();
    EXPECT_EQ(storedChapterOne().at(0), longText);
}

// A verse column of type Text(255) holds its texts among the values the engine keeps of the table
// and shares with the queries: the posting query shows the new text, a query opened before
// keeps the old one, a query opened after reads the new one.
TEST(PostText255, ThePostingQueryShowsTheTextAndAnEarlierQueryKeepsItsOwn) {
    test_support::TempDir dir;
    test_support::BibleSpec bibleSpec = test_support::simpleBible(1, 1, 3);
    bibleSpec.verseTextAsText255 = true;
    const auto file = test_support::writeBible(dir / "bible.mdb", bibleSpec);
    data::Connection connection, other;
    connect(connection, file);
    connect(other, file);
    data::Query query(connection), earlier(other), later(other);
    query.setTextField("BIBLETEXT");
    for (data::Query* q : {&query, &earlier}) {
        setStatement(*q, {"Select * from bible", "where BOOK = 1", "and CHAPTER = 1", "ORDER BY Verse ASC"});
        q->open();
        q->next();
    }
    query.edit();
    query.setEditText("posted");
    query.post();
    query.prior();
    query.next();
    EXPECT_EQ(query.fieldByName("BIBLETEXT").asString(), "posted");
    EXPECT_EQ(earlier.fieldByName("BIBLETEXT").asString(), "Verse 1:1:2");
    setStatement(later, {"Select * from bible", "where BOOK = 1", "and CHAPTER = 1", "ORDER BY Verse ASC"});
    later.open();
    later.next();
    EXPECT_EQ(later.fieldByName("BIBLETEXT").asString(), "posted");
}

} // namespace
