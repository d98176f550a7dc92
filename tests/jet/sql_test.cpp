// The SELECT subset: which statements parse (and into what), which are refused with a message
// saying what was unexpected, and how queries filter and order real rows.
#include "jet/database.h"
#include "jet/sql.h"
#include "support/bible_fixture.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace {

struct Accepted {
    const char* sql;
    const char* table;
    std::vector<std::pair<std::string, int64_t>> where;
    const char* orderBy; // nullptr: none
    bool descending;
};

TEST(Sql, AcceptedStatements) {
    const std::vector<Accepted> cases = {
        {"Select * from bible\r\n", "bible", {}, nullptr, false},
        {"Select * from bible\r\nWhere Book = 0 and Chapter = 10\r\n", "bible", {{"Book", 0}, {"Chapter", 10}}, nullptr, false},
        {"Select * from bible\r\nwhere BOOK = 19\r\nand CHAPTER = 119\r\nORDER BY Verse ASC\r\n", "bible",
         {{"BOOK", 19}, {"CHAPTER", 119}}, "Verse", false},
        {"Select * from bible\r\nwhere BOOK = 7\r\nORDER BY chapter ASC\r\n", "bible", {{"BOOK", 7}}, "chapter", false},
        {"SELECT*FROM t WHERE a=-5 AND b=+3 ORDER BY c DESC", "t", {{"a", -5}, {"b", 3}}, "c", true},
        {"select * from [Order Details] order by [Order]", "Order Details", {}, "Order", false},
        {"  select\t*\nfrom\tx\n\n where\ty = 9223372036854775807 ;  ", "x", {{"y", INT64_MAX}}, nullptr, false},
        {"SELECT * FROM x WHERE y = -9223372036854775808", "x", {{"y", INT64_MIN}}, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        jet::SelectStatement st = jet::parseSelect(c.sql);
        EXPECT_EQ(st.table, c.table);
        ASSERT_EQ(st.where.size(), c.where.size());
        for (size_t i = 0; i < c.where.size(); ++i) {
            EXPECT_EQ(st.where[i].column, c.where[i].first);
            EXPECT_EQ(st.where[i].value, c.where[i].second);
        }
        EXPECT_EQ(st.orderBy.has_value(), c.orderBy != nullptr);
        if (c.orderBy && st.orderBy) {
            EXPECT_EQ(*st.orderBy, c.orderBy);
        }
        EXPECT_EQ(st.descending, c.descending);
    }
}

TEST(Sql, RejectedStatementsSayWhatAndWhere) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"", "unexpected end of statement at line 1, column 1; expected SELECT"},
        {"SELECT a FROM t", "unexpected 'a' at line 1, column 8; expected '*'"},
        {"SELECT * t", "unexpected 't'"},
        {"SELECT * FROM", "unexpected end of statement"},
        {"SELECT * FROM where", "unexpected 'where'"},
        {"SELECT * FROM t\r\nWHERE a = 'x'", "unexpected character ''' at line 2, column 11"},
        {"SELECT * FROM t WHERE a > 1", "unexpected character '>'"},
        {"SELECT * FROM t WHERE a = 1.5", "unexpected character '.'"},
        {"SELECT * FROM t WHERE a = 1 OR b = 2", "unexpected 'OR'"},
        {"SELECT * FROM t WHERE a = 1 AND", "unexpected end of statement"},
        {"SELECT * FROM t WHERE a = 99999999999999999999", "out of range"},
        {"SELECT * FROM t ORDER a", "expected BY"},
        {"SELECT * FROM t ORDER BY a, b", "unexpected character ','"},
        {"SELECT * FROM t ORDER BY a ASC DESC", "unexpected 'DESC'"},
        {"SELECT * FROM t; SELECT * FROM u", "unexpected 'SELECT'"},
        {"SELECT * FROM [t", "unclosed"},
    };
    for (const auto& [sql, expected] : cases) {
        SCOPED_TRACE(sql);
        try {
            jet::parseSelect(sql);
            ADD_FAILURE() << "accepted";
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        }
    }
}

int64_t integer(const jet::Value& v) { return std::get<int64_t>(v); }

class BibleQuery : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::BibleSpec bibleSpec = test_support::simpleBible(3, 3, 4);
        bibleSpec.shuffleRows = true; // storage order differs from verse order
        bibleSpec.bookNames = {{2, u"Two"}, {1, u"One"}, {3, u"Three"}};
        file = test_support::writeBible(dir / "b.mdb", bibleSpec);
        db = jet::Database::open(file.string());
    }
    test_support::TempDir dir;
    std::filesystem::path file;
    std::unique_ptr<jet::Database> db;
};

TEST_F(BibleQuery, FiltersAndOrdersLikeTheProgramsStatements) {
    auto rs = db->query("Select * from bible\r\nwhere BOOK = 2\r\nand CHAPTER = 3\r\nORDER BY Verse ASC\r\n");
    int book = rs.columnIndex("book"), chapter = rs.columnIndex("CHAPTER"), verse = rs.columnIndex("verse");
    int text = rs.columnIndex("BibleText");
    ASSERT_GE(book, 0);
    ASSERT_GE(text, 0);
    ASSERT_EQ(rs.rows.size(), 4u);
    for (size_t i = 0; i < rs.rows.size(); ++i) {
        EXPECT_EQ(integer(rs.rows[i].values[size_t(book)]), 2);
        EXPECT_EQ(integer(rs.rows[i].values[size_t(chapter)]), 3);
        EXPECT_EQ(integer(rs.rows[i].values[size_t(verse)]), int64_t(i + 1));
        EXPECT_EQ(std::get<std::u16string>(rs.rows[i].values[size_t(text)]), u"Verse 2:3:" + std::u16string(1, char16_t(u'1' + i)));
    }
    auto desc = db->query("select * from BIBLE where book = 2 and chapter = 3 order by verse desc");
    ASSERT_EQ(desc.rows.size(), 4u);
    EXPECT_EQ(integer(desc.rows[0].values[size_t(verse)]), 4);

    auto names = db->query("Select * from bible\r\nWhere Book = 0 and Chapter = 10\r\n");
    EXPECT_EQ(names.rows.size(), 3u);
    EXPECT_TRUE(db->query("select * from bible where book = -1").rows.empty());
}

TEST_F(BibleQuery, OrderingIsStableForTies) {
    // Ordering by chapter: rows of one chapter keep their storage order (that of readTable).
    auto all = db->readTable("bible");
    auto rs = db->query("select * from bible where book = 1 order by chapter asc");
    int chapter = rs.columnIndex("Chapter");
    std::vector<jet::RowId> expected;
    for (int c = 1; c <= 3; ++c)
        for (const auto& row : all.rows)
            if (integer(row.values[size_t(all.columnIndex("Book"))]) == 1 &&
                integer(row.values[size_t(all.columnIndex("Chapter"))]) == c)
                expected.push_back(row.id);
    std::vector<jet::RowId> got;
    for (const auto& row : rs.rows) got.push_back(row.id);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(integer(rs.rows.back().values[size_t(chapter)]), 3);
}

TEST_F(BibleQuery, SeesChangesMadeThroughAnotherHandle) {
    const char* sql = "select * from bible where book = 1 and chapter = 1 order by verse";
    auto before = db->query(sql);
    int text = before.columnIndex("BIBLETEXT");
    auto writer = jet::Database::open(file.string(), jet::OpenMode::ReadWrite);
    writer->updateText("bible", before.rows[0].id, "BIBLETEXT", u"changed elsewhere");
    auto after = db->query(sql);
    EXPECT_EQ(std::get<std::u16string>(after.rows[0].values[size_t(text)]), u"changed elsewhere");
    // The earlier result is a snapshot.
    EXPECT_EQ(std::get<std::u16string>(before.rows[0].values[size_t(text)]), u"Verse 1:1:1");
}

// A row set shares the values the engine keeps of the table; a write that makes the engine read
// the table again must not change a row set handed out before (Text(255) verse texts are among
// the kept values, Memo texts are not).
TEST(RowSets, KeepTheirValuesWhenTheTableIsWrittenAndReadAgain) {
    for (bool textColumn : {true, false}) {
        SCOPED_TRACE(textColumn ? "Text(255) verse texts" : "Memo verse texts");
        test_support::TempDir dir;
        test_support::BibleSpec bibleSpec = test_support::simpleBible(2, 2, 3);
        bibleSpec.verseTextAsText255 = textColumn;
        auto file = test_support::writeBible(dir / "b.mdb", bibleSpec);
        auto db = jet::Database::open(file.string(), jet::OpenMode::ReadWrite);
        const char* sql = "select * from bible where book = 2 and chapter = 1 order by verse desc";
        const jet::RowSet before = db->queryWithoutLongValues(sql);
        const int text = before.columnIndex("bibletext"), verse = before.columnIndex("Verse");
        ASSERT_EQ(before.size(), 3u);
        ASSERT_GE(text, 0);
        EXPECT_EQ(before.value(0, size_t(verse)), jet::Value(int64_t(3)));
        const jet::Value oldText = textColumn ? jet::Value(u"Verse 2:1:3") : jet::Value(jet::Null{});
        EXPECT_EQ(before.value(0, size_t(text)), oldText);

        db->updateText("bible", before.id(0), "BIBLETEXT", u"changed");
        auto other = jet::Database::open(file.string(), jet::OpenMode::ReadWrite);
        other->updateText("bible", before.id(1), "BIBLETEXT", u"changed elsewhere");
        const jet::RowSet after = db->queryWithoutLongValues(sql);
        EXPECT_EQ(before.value(0, size_t(text)), oldText);
        EXPECT_EQ(before.row(1).values[size_t(text)], textColumn ? jet::Value(u"Verse 2:1:2") : jet::Value(jet::Null{}));
        ASSERT_EQ(after.size(), 3u);
        EXPECT_EQ(after.id(0), before.id(0));
        if (textColumn) {
            EXPECT_EQ(after.value(0, size_t(text)), jet::Value(u"changed"));
            EXPECT_EQ(after.value(1, size_t(text)), jet::Value(u"changed elsewhere"));
        }
        // Memo values are read for one row from the file as it is now.
        jet::Row row = before.row(0);
        db->readLongValues("bible", row);
        EXPECT_EQ(row.values[size_t(text)], textColumn ? oldText : jet::Value(u"changed"));
    }
}

// Every value of every corpus table (all column types, NULLs among whole numbers and others)
// reads the same through a statement, its row set and a plain table read.
TEST(RowSets, HoldWhatATableReadHoldsForEveryCorpusTable) {
    for (const auto& path : test_support::corpusFiles()) {
        auto db = jet::Database::open(path.string());
        for (const std::string& table : db->tableNames()) {
            if (table.find(']') != std::string::npos) continue;
            SCOPED_TRACE(path.filename().string() + " " + table);
            const jet::ResultSet all = db->readTable(table);
            const jet::ResultSet queried = db->query("select * from [" + table + "]");
            const jet::RowSet rows = db->queryWithoutLongValues("select * from [" + table + "]");
            ASSERT_EQ(queried.rows.size(), all.rows.size());
            ASSERT_EQ(rows.size(), all.rows.size());
            ASSERT_EQ(rows.columns().size(), all.columns.size());
            for (size_t r = 0; r < all.rows.size(); ++r) {
                EXPECT_EQ(queried.rows[r].id, all.rows[r].id);
                EXPECT_EQ(queried.rows[r].values, all.rows[r].values) << "row " << r;
                EXPECT_EQ(rows.id(r), all.rows[r].id);
                for (size_t c = 0; c < all.columns.size(); ++c) {
                    const bool longValue = all.columns[c].type == jet::ColumnType::Memo || all.columns[c].type == jet::ColumnType::Ole;
                    EXPECT_EQ(rows.value(r, c), longValue ? jet::Value(jet::Null{}) : all.rows[r].values[c])
                        << "row " << r << " column " << all.columns[c].name;
                }
            }
        }
    }
}

TEST_F(BibleQuery, ConditionOnATextColumnIsRefused) {
    try {
        db->query("select * from bible where BIBLETEXT = 1");
        ADD_FAILURE() << "accepted";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("BIBLETEXT"), std::string::npos) << e.what();
    }
}

} // namespace
