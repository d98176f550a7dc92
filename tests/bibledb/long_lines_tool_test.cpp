// `kantelo-db long-lines` on a fixture whose longest lines were counted by hand: numeric order
// of book, chapter and verse over shuffled rows, code points rather than UTF-16 units, blank
// lines and trailing slide changes that never count, book-name rows left out, bad arguments.
#include "support/bible_fixture.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
    int book, chapter, verse;
    std::u16string text;
    int longest; // counted by hand
};

const std::u16string kDove = u"\U0001F54A";

std::u16string times(const std::u16string& piece, int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

const std::vector<Row>& rows() {
    static const std::vector<Row> table = {
        {1, 1, 1, u"short", 5},
        {1, 1, 2, u"0123456789", 10},
        {1, 1, 3, u"01234567890", 11},
        {1, 1, 9, times(u"z", 11), 11},
        {1, 1, 10, times(u"w", 12), 12},
        {1, 2, 1, u"ab\r\n" + times(u" ", 15) + u"\r\ncd", 2},
        {1, 2, 2, u"  padded text  ", 15},
        {2, 1, 1, times(kDove, 11), 11},
        {2, 1, 2, times(kDove, 6), 6},
        {2, 1, 3, u"line one\r\nthe second line is longest\r\nthird", 26},
        {2, 1, 4, u"abc\r\n\r\n", 3},
        {2, 2, 1, times(u"y", 13), 13},
        {2, 10, 1, times(u"x", 12), 12},
        {10, 1, 1, u"0123456789ABCDEFGHIJ", 20},
    };
    return table;
}

class LongLinesTool : public ::testing::Test {
public:
    void SetUp() override {
        test_support::BibleSpec bibleSpec;
        bibleSpec.bookNames = {{1, u"A book name longer than ten"}, {2, u"Second"}, {10, u"Tenth"}};
        for (const Row& r : rows()) bibleSpec.verses.push_back({r.book, r.chapter, r.verse, r.text});
        bibleSpec.shuffleRows = true;
        file_ = test_support::writeBible(dir_ / "bible.mdb", bibleSpec);
    }
    test_support::CommandResult longLines(std::vector<std::string> args) {
        args.insert(args.begin(), {test_support::kanteloDbTool().string(), "long-lines"});
        return test_support::run(args);
    }
    test_support::TempDir dir_;
    std::filesystem::path file_;
};

TEST_F(LongLinesTool, ListsTheVersesWithALineLongerThanTheMaximumInBookOrder) {
    for (int maximum : {0, 10, 12, 1000}) {
        SCOPED_TRACE(maximum);
        std::string expected = "Book,Chapter,Verse,Length\n";
        // The table is in book order already; the file holds its rows shuffled.
        for (const Row& r : rows())
            if (r.longest > maximum)
                expected += std::to_string(r.book) + "," + std::to_string(r.chapter) + "," +
                            std::to_string(r.verse) + "," + std::to_string(r.longest) + "\n";
        const auto result = longLines({file_.string(), "--max", std::to_string(maximum)});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, expected);
    }
    EXPECT_EQ(longLines({"--max", "1000", file_.string()}).out, "Book,Chapter,Verse,Length\n");
}

TEST_F(LongLinesTool, RefusesBadArgumentsAndMissingFiles) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {file_.string()}, {file_.string(), "--max"}, {file_.string(), "--max", "-1"},
             {file_.string(), "--max", "ten"}, {file_.string(), "--max", "10x"}, {"--max", "10"},
             {file_.string(), "other", "--max", "10"}}) {
        const auto result = longLines(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.out.empty());
        EXPECT_NE(result.err.find("usage"), std::string::npos);
    }
    const auto missing = longLines({(dir_ / "missing.mdb").string(), "--max", "10"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("missing.mdb"), std::string::npos) << missing.err;
}

} // namespace
