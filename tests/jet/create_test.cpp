// New databases: what createDatabase writes must read back value for value through mdb-export
// (the independent reader) and through our own reader, and keep every structure consistent.
#include "jet/database.h"
#include "jet/format.h"
#include "jet/text_codec.h"
#include "support/bible_fixture.h"
#include "support/test_env.h"
#include "write_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;
using namespace jet;
using test_support::TempDir;
using write_test::Cells;

namespace {

std::vector<Row> readAll(const fs::path& file, const std::string& table) {
    auto db = Database::open(file.string());
    return db->readTable(table).rows;
}

void expectSameValues(const std::vector<Row>& rows, const std::vector<std::vector<Value>>& expected) {
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].values.size(), expected[r].size()) << "row " << r;
        for (size_t c = 0; c < expected[r].size(); ++c)
            EXPECT_TRUE(rows[r].values[c] == expected[r][c]) << "row " << r << " column " << c;
    }
}

NewTable memoTable(const std::vector<std::u16string>& texts) {
    NewTable t{"Texts", {{"N", ColumnType::Long}, {"Body", ColumnType::Memo}}, {}};
    for (size_t i = 0; i < texts.size(); ++i) t.rows.push_back({int64_t(i), texts[i]});
    return t;
}

TEST(CreateDatabase, EveryColumnTypeReadsBackInBothReaders) {
    TempDir dir;
    const fs::path file = dir / "types.mdb";
    NewTable t{"Types",
               {{"Flag", ColumnType::Bool},
                {"Small", ColumnType::Byte},
                {"Int", ColumnType::Int},
                {"Long", ColumnType::Long},
                {"Price", ColumnType::Money},
                {"Real", ColumnType::Double},
                {"When", ColumnType::DateTime},
                {"Name", ColumnType::Text, 10},
                {"Notes", ColumnType::Memo}},
               {}};
    t.rows = {
        {true, int64_t(255), int64_t(-32768), int64_t(-2147483648LL), Money{123456}, 3.25, DateTime{45000.5},
         std::u16string(u"caf\u00e9"), std::u16string(u"\u05e9\u05dc\u05d5\u05dd \U0001F600")},
        {false, int64_t(0), int64_t(32767), int64_t(2147483647), Money{-1}, -1e300, DateTime{0}, std::u16string(u""),
         std::u16string(u"")},
        {false, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}},
        {true, int64_t(7), int64_t(1), int64_t(1), Money{0}, 0.5, DateTime{36526.25}, std::u16string(u"ab"),
         std::u16string(u"\u03a9 Greek, \"quoted\"\r\nsecond line")},
    };
    createDatabase(file.string(), {t});

    const Cells cells = write_test::mdbExport(file, "Types");
    const Cells expectedCells = {
        {"1", "255", "-32768", "-2147483648", "12.3456", "3.25", "03/15/23 12:00:00", "caf\xc3\xa9",
         write_test::asMdbExportShows(std::get<std::u16string>(t.rows[0][8]))},
        {"0", "0", "32767", "2147483647", "-0.0001", "-1e+300", "12/30/99 00:00:00", "", ""},
        {"0", "", "", "", "", "", "", "", ""},
        {"1", "7", "1", "1", "0.0000", "0.5", "01/01/00 06:00:00", "ab",
         "\xce\xa9 Greek, \"quoted\"\r\nsecond line"},
    };
    ASSERT_EQ(cells.size(), expectedCells.size());
    for (size_t r = 0; r < cells.size(); ++r)
        for (size_t c = 0; c < expectedCells[r].size(); ++c)
            EXPECT_EQ(cells[r].at(c), expectedCells[r][c]) << "row " << r << " column " << c;

    std::vector<std::vector<Value>> expected = t.rows;
    expected[2][0] = false; // a Yes/No column has no NULL: the bit is the value
    expectSameValues(readAll(file, "Types"), expected);
    write_test::expectConsistent(file);
}

TEST(CreateDatabase, LongValuesAtEveryStorageBoundary) {
    TempDir dir;
    const fs::path file = dir / "memo.mdb";
    std::mt19937 rng(7);
    // Stored sizes around the inline limit, one LVAL row, one chain segment, and a 1 MB chain;
    // then texts that cannot be compressed.
    std::vector<std::u16string> texts;
    for (size_t bytes : {5, 36, 37, 38, 4076, 4077, 4078, 8144, 8145, 8146})
        texts.push_back(write_test::textOfStoredSize(rng, bytes, bytes - 2 <= 1024));
    texts.push_back(std::u16string(1024, u'x'));
    texts.push_back(std::u16string(1025, u'y'));
    texts.push_back(write_test::randomText(rng, 60000, false));  // ~120 KB over 30 pages
    texts.push_back(write_test::randomText(rng, 500000, false)); // ~1 MB of UCS-2
    texts.push_back(u"\u0100\u0101");
    texts.push_back(write_test::randomText(rng, 3000, true));
    texts.push_back(u"\U0001F4D6 beyond the BMP \U00010348");
    texts.push_back(u"\uFEFFstarts with a byte order mark, \u05d0 and all, long enough for a page");
    createDatabase(file.string(), {memoTable(texts)});

    const Cells cells = write_test::mdbExport(file, "Texts");
    ASSERT_EQ(cells.size(), texts.size());
    std::vector<std::vector<Value>> expected;
    for (size_t i = 0; i < texts.size(); ++i) {
        // mdb-export cuts a value off after 200,000 bytes of output; only our reader sees more.
        const std::string shown = write_test::asMdbExportShows(texts[i]);
        if (shown.size() < 200000) {
            EXPECT_TRUE(cells[i].at(1) == shown) << "text " << i;
        }
        expected.push_back({int64_t(i), texts[i]});
    }
    expectSameValues(readAll(file, "Texts"), expected);
    write_test::expectConsistent(file);
}

TEST(CreateDatabase, WholeBibleNeedsReferenceMaps) {
    TempDir dir;
    test_support::BibleSpec bibleSpec = test_support::simpleBible(66, 1, 1);
    bibleSpec.verses.clear();
    // 31,102 verses with texts of typical length, so the text column spans well over 512 pages.
    for (int i = 0; i < 31102; ++i)
        bibleSpec.verses.push_back({1 + i / 472, 1 + (i / 40) % 12, 1 + i % 40,
                               fromUtf8("And it came to pass, in verse " + std::to_string(i) +
                                        ", that the words went on for a while as verses do.")});
    const fs::path file = test_support::writeBible(dir / "big.mdb", bibleSpec);

    const Cells cells = write_test::mdbExport(file, "bible");
    ASSERT_EQ(cells.size(), 66u + 31102u);
    EXPECT_EQ(cells[66 + 31101].at(3), jet::toUtf8(bibleSpec.verses.back().text));

    auto db = Database::open(file.string());
    EXPECT_EQ(db->schema("bible").rowCount, 66 + 31102);
    const ResultSet all = db->readTable("bible");
    ASSERT_EQ(all.rows.size(), 66u + 31102u);
    EXPECT_TRUE(all.rows[66 + 5000].values[3] == Value(bibleSpec.verses[5000].text));

    // The data pages and the LVAL pages each outgrow one 512-page inline window.
    const std::string bytes = write_test::readBytes(file);
    const uint32_t tdef = db->schema("bible").definitionPage;
    auto u32 = [&](size_t off) {
        return uint32_t(uint8_t(bytes[off])) | uint32_t(uint8_t(bytes[off + 1])) << 8 |
               uint32_t(uint8_t(bytes[off + 2])) << 16 | uint32_t(uint8_t(bytes[off + 3])) << 24;
    };
    auto mapType = [&](uint32_t pointer) {
        const size_t page = size_t(format::pointerPage(pointer)) * format::kPageSize;
        const size_t slot = format::pointerSlot(pointer);
        const size_t start = (uint8_t(bytes[page + 14 + 2 * slot]) | uint8_t(bytes[page + 15 + 2 * slot]) << 8) & 0x1FFF;
        return uint8_t(bytes[page + start]);
    };
    EXPECT_GT(bytes.size() / format::kPageSize, 512u);
    EXPECT_EQ(mapType(u32(tdef * format::kPageSize + format::kTdefOwnedMap)), format::kMapReference);
    write_test::expectConsistent(file);
}

struct Shape {
    const char* name;
    void (*apply)(test_support::BibleSpec&);
};

class FixtureShapes : public ::testing::TestWithParam<Shape> {};

TEST_P(FixtureShapes, ReadBackAsSpecified) {
    TempDir dir;
    test_support::BibleSpec bibleSpec = test_support::simpleBible(3, 2, 3);
    bibleSpec.verses.push_back({2, 4, 1, u"after a chapter gap"});
    bibleSpec.bookNames[1].second = u"Book; with \u00e9 and \u05d0";
    GetParam().apply(bibleSpec);
    const fs::path file = test_support::writeBible(dir / "shape.mdb", bibleSpec);

    ASSERT_EQ(write_test::mdbTables(file), std::vector<std::string>{bibleSpec.tableName});
    auto db = Database::open(file.string());
    // Every shape's table is some letter case of "bible"; the catalog lookup ignores case.
    const TableSchema schema = db->schema("bible");
    EXPECT_EQ(schema.name, bibleSpec.tableName);
    const int text = schema.columnIndex("BIBLETEXT");
    ASSERT_GE(text, 0);
    EXPECT_EQ(schema.columns[size_t(text)].type, bibleSpec.verseTextAsText255 ? ColumnType::Text : ColumnType::Memo);
    EXPECT_EQ(schema.columns.size(), bibleSpec.extraColumns ? 6u : 4u);

    // Every row, as (book, chapter, verse, text), in storage order.
    using Key = std::tuple<int64_t, int64_t, int64_t, std::u16string>;
    std::vector<Key> expected;
    for (const auto& [n, name] : bibleSpec.bookNames) expected.emplace_back(0, 10, n, name);
    for (const auto& v : bibleSpec.verses) expected.emplace_back(v.book, v.chapter, v.verse, v.text);
    std::vector<Key> stored;
    const int book = schema.columnIndex("book"), chapter = schema.columnIndex("CHAPTER"),
              verse = schema.columnIndex("Verse");
    for (const Row& r : db->readTable("bible").rows)
        stored.emplace_back(std::get<int64_t>(r.values[size_t(book)]), std::get<int64_t>(r.values[size_t(chapter)]),
                            std::get<int64_t>(r.values[size_t(verse)]),
                            std::get<std::u16string>(r.values[size_t(text)]));
    if (bibleSpec.shuffleRows) {
        EXPECT_NE(stored, expected);
        std::sort(stored.begin(), stored.end());
        std::sort(expected.begin(), expected.end());
    }
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(write_test::mdbExport(file, bibleSpec.tableName).size(), expected.size());
    write_test::expectConsistent(file);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, FixtureShapes,
    ::testing::Values(Shape{"Plain", [](test_support::BibleSpec&) {}},
                      Shape{"Shuffled", [](test_support::BibleSpec& s) { s.shuffleRows = true; }},
                      Shape{"ExtraColumns", [](test_support::BibleSpec& s) { s.extraColumns = true; }},
                      Shape{"Text255", [](test_support::BibleSpec& s) { s.verseTextAsText255 = true; }},
                      Shape{"UpperCaseTable", [](test_support::BibleSpec& s) { s.tableName = "BIBLE"; }},
                      Shape{"NoBookNames", [](test_support::BibleSpec& s) { s.bookNames.clear(); }},
                      Shape{"AllShapes",
                            [](test_support::BibleSpec& s) {
                                s.shuffleRows = s.extraColumns = s.verseTextAsText255 = true;
                                s.tableName = "Bible";
                            }}),
    [](const ::testing::TestParamInfo<Shape>& info) { return std::string(info.param.name); });

TEST(CreateDatabase, NeverOverwritesAFile) {
    TempDir dir;
    const fs::path file = dir / "exists.mdb";
    { std::ofstream(file) << "not a database"; }
    EXPECT_THROW(createDatabase(file.string(), {memoTable({u"x"})}), Error);
    EXPECT_EQ(write_test::readBytes(file), "not a database");
    EXPECT_THROW(createDatabase((dir / "no-such-folder" / "x.mdb").string(), {memoTable({u"x"})}), Error);
}

TEST(CreateDatabase, BadRequestsAreRefusedWithoutLeavingAFile) {
    struct Case {
        const char* what;
        std::vector<NewTable> tables;
    };
    auto table = [](std::vector<NewColumn> cols, std::vector<std::vector<Value>> rows, std::string name = "T") {
        return NewTable{std::move(name), std::move(cols), std::move(rows)};
    };
    const std::vector<Case> cases = {
        {"too few values", {table({{"A", ColumnType::Long}, {"B", ColumnType::Long}}, {{int64_t(1)}})}},
        {"Long out of range", {table({{"A", ColumnType::Long}}, {{int64_t(1) << 31}})}},
        {"Byte negative", {table({{"A", ColumnType::Byte}}, {{int64_t(-1)}})}},
        {"text for a number", {table({{"A", ColumnType::Long}}, {{std::u16string(u"1")}})}},
        {"text too long", {table({{"A", ColumnType::Text, 3}}, {{std::u16string(u"abcd")}})}},
        {"Text(0)", {table({{"A", ColumnType::Text, 0}}, {})}},
        {"Text(256)", {table({{"A", ColumnType::Text, 256}}, {})}},
        {"same column twice", {table({{"Verse", ColumnType::Long}, {"VERSE", ColumnType::Long}}, {})}},
        {"empty column name", {table({{"", ColumnType::Long}}, {})}},
        {"no columns", {table({}, {})}},
        {"system table name", {table({{"A", ColumnType::Long}}, {}, "MSysObjects")}},
        {"two tables differing in case",
         {table({{"A", ColumnType::Long}}, {}, "bible"), table({{"A", ColumnType::Long}}, {}, "Bible")}},
        {"row over 4060 bytes", {[] {
             NewTable t{"Wide", {}, {{}}};
             for (char c = 'A'; c < 'I'; ++c) { // 8 x 510 bytes of text that cannot be compressed
                 t.columns.push_back({std::string(1, c), ColumnType::Text, 255});
                 t.rows[0].push_back(std::u16string(255, u'\u0100'));
             }
             return t;
         }()}},
        {"Decimal column", {table({{"A", ColumnType::Numeric}}, {})}},
        {"text that starts with U+FEFF and holds U+4E00",
         {table({{"A", ColumnType::Memo}}, {{std::u16string(u"\uFEFF\u4E00")}})}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path file = dir / "bad.mdb";
        try {
            createDatabase(file.string(), c.tables);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const Error& e) {
            EXPECT_FALSE(std::string(e.what()).empty());
        }
        EXPECT_TRUE(fs::is_empty(dir.path())) << c.what << ": left a file behind";
    }
}

TEST(CreateDatabase, EmptyTableAndSeveralTables) {
    TempDir dir;
    const fs::path file = dir / "several.mdb";
    NewTable empty{"Empty", {{"A", ColumnType::Long}, {"B", ColumnType::Memo}}, {}};
    NewTable other{"Other", {{"Z", ColumnType::Text, 5}}, {{std::u16string(u"z")}}};
    createDatabase(file.string(), {empty, other});
    EXPECT_EQ(write_test::mdbTables(file), (std::vector<std::string>{"Empty", "Other"}));
    EXPECT_TRUE(write_test::mdbExport(file, "Empty").empty());
    EXPECT_EQ(write_test::mdbExport(file, "Other"), (Cells{{"z"}}));
    auto db = Database::open(file.string());
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"Empty", "Other"}));
    EXPECT_TRUE(db->readTable("empty").rows.empty());
    write_test::expectConsistent(file);
}

// --- kantelo-db make-bible ------------------------------------------------------------------------

TEST(MakeBible, BuildsTheBibleTableFromASource) {
    TempDir dir;
    const fs::path out = dir / "made.mdb";
    const std::string source = "\xEF\xBB\xBF# a comment\n"
                               "B\t1\tGenesis\n"
                               "B\t2\tEx; odus\r\n"
                               "\n"
                               "V\t1\t1\t1\tIn the beginning\\r\\nGod\tcreated \\\\ \xCE\xA9\n"
                               "V\t2\t1\t1\t\n";
    const auto r = test_support::run({test_support::kanteloDbTool().string(), "make-bible", out.string(), "-"}, source);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(write_test::mdbExport(out, "bible"), (Cells{{"0", "10", "1", "Genesis"},
                                                          {"0", "10", "2", "Ex; odus"},
                                                          {"1", "1", "1", "In the beginning\r\nGod\tcreated \\ \xCE\xA9"},
                                                          {"2", "1", "1", ""}}));
    auto db = Database::open(out.string());
    const TableSchema schema = db->schema("bible");
    ASSERT_EQ(schema.columns.size(), 4u);
    EXPECT_EQ(schema.columns[0].type, ColumnType::Long);
    EXPECT_EQ(schema.columns[3].type, ColumnType::Memo);
    EXPECT_TRUE(db->readTable("bible").rows[3].values[3] == Value(std::u16string()));
}

TEST(MakeBible, RefusesBadSourcesAndExistingFiles) {
    const std::vector<std::string> badSources = {
        "V\t1\tx\t1\ttext\n", "V\t1\t1\ttext\n", "B\t1\n", "X\t1\t1\n", "V\t1\t1\t1\tbad \\q escape\n",
        "V\t1\t1\t1\tends in \\\n", "V\t99999999999\t1\t1\ttext\n",
    };
    for (const std::string& source : badSources) {
        TempDir dir;
        const fs::path out = dir / "bad.mdb";
        const auto r = test_support::run({test_support::kanteloDbTool().string(), "make-bible", out.string(), "-"}, source);
        EXPECT_EQ(r.exitCode, 1) << source;
        EXPECT_NE(r.err.find("line 1"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out)) << source;
    }
    TempDir dir;
    const fs::path out = dir / "exists.mdb";
    { std::ofstream(out) << "keep"; }
    const auto r = test_support::run({test_support::kanteloDbTool().string(), "make-bible", out.string(), "-"},
                                     "B\t1\tGenesis\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(write_test::readBytes(out), "keep");
}

} // namespace
