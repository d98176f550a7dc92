// `kantelo-db compare` on two small bibles built to differ as real versions do: a chapter with
// a verse fewer, a psalm title numbered as a verse in one of them, a chapter (Malachi's last)
// and a book only one of them has; names that need quoting; either order of the two files, the
// same bible twice, and files that cannot be compared.
#include "support/bible_fixture.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using test_support::BibleSpec;

// shape[b - 1][c - 1]: the verse count of chapter c of book b.
BibleSpec bibleOf(std::vector<std::pair<int, std::u16string>> names, const std::vector<std::vector<int>>& shape) {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = std::move(names);
    for (int b = 1; b <= int(shape.size()); ++b)
        for (int c = 1; c <= int(shape[b - 1].size()); ++c)
            for (int v = 1; v <= shape[b - 1][c - 1]; ++v)
                bibleSpec.verses.push_back({b, c, v, u"text"});
    bibleSpec.shuffleRows = true;
    return bibleSpec;
}

// Against B: Genesis 2 one verse longer, Psalm 2 with its title as verse 1, Malachi one chapter
// shorter (as Dutch and English bibles differ), its chapter 2 one verse longer, no book 5 (only B
// has Tobit). A's book-name rows are stored out of order.
BibleSpec bibleA() {
    return bibleOf({{3, u"Malachi"}, {1, u"Genesis"}, {4, u"Romans"}, {2, u"Psalms"}},
                   {{3, 2}, {2, 4}, {2, 3}, {2}});
}

BibleSpec bibleB() {
    return bibleOf({{1, u"Genesis"}, {2, u"Psalmen"}, {3, u"Maleachi, profeet"}, {4, u"Romeinen"},
                    {5, u"Tobit \"apocrief\""}},
                   {{3, 1}, {2, 3}, {2, 2, 1}, {2}, {2, 1}});
}

class CompareTool : public ::testing::Test {
public:
    void SetUp() override {
        a_ = test_support::writeBible(dir_ / "A.mdb", bibleA());
        b_ = test_support::writeBible(dir_ / "B.mdb", bibleB());
    }
    static test_support::CommandResult compare(std::vector<std::string> args) {
        args.insert(args.begin(), {test_support::kanteloDbTool().string(), "compare"});
        return test_support::run(args);
    }
    test_support::TempDir dir_;
    std::filesystem::path a_, b_;
};

TEST_F(CompareTool, ListsEveryChapterWhoseVerseCountDiffersOrThatOneBibleLacks) {
    const struct {
        std::filesystem::path first, second;
        std::string expected;
    } cases[] = {
        {a_, b_,
         "Book,Name A,Name B,Chapter,Verses A,Verses B\n"
         "1,Genesis,Genesis,2,2,1\n"
         "2,Psalms,Psalmen,2,4,3\n"
         "3,Malachi,\"Maleachi, profeet\",2,3,2\n"
         "3,Malachi,\"Maleachi, profeet\",3,0,1\n"
         "5,,\"Tobit \"\"apocrief\"\"\",1,0,2\n"
         "5,,\"Tobit \"\"apocrief\"\"\",2,0,1\n"
         "10 chapters compared, 6 differ\n"},
        {b_, a_,
         "Book,Name A,Name B,Chapter,Verses A,Verses B\n"
         "1,Genesis,Genesis,2,1,2\n"
         "2,Psalmen,Psalms,2,3,4\n"
         "3,\"Maleachi, profeet\",Malachi,2,2,3\n"
         "3,\"Maleachi, profeet\",Malachi,3,1,0\n"
         "5,\"Tobit \"\"apocrief\"\"\",,1,2,0\n"
         "5,\"Tobit \"\"apocrief\"\"\",,2,1,0\n"
         "10 chapters compared, 6 differ\n"},
        {a_, a_, "Book,Name A,Name B,Chapter,Verses A,Verses B\n7 chapters compared, 0 differ\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first.filename().string() + " " + c.second.filename().string());
        const auto result = compare({c.first.string(), c.second.string()});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, c.expected);
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(CompareTool, RefusesWrongArgumentsAndFilesThatAreNoBible) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{}, {a_.string()}, {a_.string(), b_.string(), b_.string()}}) {
        const auto result = compare(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("usage: kantelo-db compare A.mdb B.mdb"), std::string::npos) << result.err;
    }

    BibleSpec otherTable = bibleA();
    otherTable.tableName = "verses";
    const auto noBibleTable = test_support::writeBible(dir_ / "verses.mdb", otherTable);
    const auto notJet = dir_ / "notes.mdb";
    std::ofstream(notJet) << "not a database\n";
    const struct {
        std::filesystem::path file;
        std::string named; // what the message must name
    } bad[] = {{dir_ / "missing.mdb", "missing.mdb"}, {noBibleTable, "bible"}, {notJet, "notes.mdb"}};
    for (const auto& c : bad) {
        for (const bool second : {false, true}) {
            SCOPED_TRACE(c.file.filename().string() + (second ? " second" : " first"));
            const auto result = second ? compare({a_.string(), c.file.string()}) : compare({c.file.string(), b_.string()});
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(result.out, "");
            EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
        }
    }
}

} // namespace
