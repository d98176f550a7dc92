// The whole-bible run without the window, on fixture bibles: which rows it changes and how,
// through the library and through `kantelo-db apply`.
#include "maintenance/bible_apply.h"

#include "jet/database.h"
#include "support/bible_fixture.h"
#include "support/read_only_files.h"
#include "support/test_env.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

namespace fs = std::filesystem;
using test_support::BibleSpec;
using test_support::BibleVerse;

namespace {

const verse::Markers kUk{"<New slide>", "<Empty line>"};
const maintenance::OptionBoxes kForce{true, false};
const maintenance::OptionBoxes kRemove{false, true};

using Key = test_support::VerseKey; // book, chapter, verse
using Texts = test_support::VerseTexts;


Texts readTexts(const fs::path& file) { return test_support::readVerseTexts(file); }

maintenance::ApplyReport apply(const fs::path& file, maintenance::OptionBoxes boxes) {
    return maintenance::applyToBible(QString::fromStdString(file.string()), boxes, kUk);
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Two books; book 1 has chapters of 3 and 2 verses. Texts chosen per case.
BibleSpec smallBible(const std::vector<std::u16string>& texts) {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{1, u"Genesis"}, {2, u"Exodus"}};
    const Key keys[] = {{1, 1, 1}, {1, 1, 2}, {1, 1, 3}, {1, 2, 1}, {1, 2, 2}, {2, 1, 1}};
    for (size_t i = 0; i < std::size(keys); ++i)
        bibleSpec.verses.push_back({std::get<0>(keys[i]), std::get<1>(keys[i]), std::get<2>(keys[i]),
                               i < texts.size() ? texts[i] : u"Plain verse"});
    return bibleSpec;
}

TEST(ApplyToBible, ForceGivesEveryVisitedVerseOneTrailingSlideChange) {
    test_support::TempDir dir;
    const auto file = test_support::writeBible(dir / "b.mdb", smallBible({
        u"A", u"A\r\n", u"", u"A\r\n\r\nB", u"A\r\n\r\n", u"A\r\n ",
    }));
    const Texts before = readTexts(file);
    const auto report = apply(file, kForce);
    EXPECT_EQ(report.versesVisited, 6);
    EXPECT_EQ(report.rowsWritten, 3);
    Texts expected = before;
    expected[{1, 1, 1}] = u"A\r\n";
    expected[{1, 2, 1}] = u"A\r\n\r\nB\r\n";
    expected[{2, 1, 1}] = u"A\r\n \r\n";
    EXPECT_EQ(readTexts(file), expected);

    // A second run finds nothing left to do and leaves the file as it is.
    const std::string bytes = bytesOf(file);
    EXPECT_EQ(apply(file, kForce).rowsWritten, 0);
    EXPECT_EQ(bytesOf(file), bytes);
}

TEST(ApplyToBible, RemoveTakesOffOneSlideChangeAndLeavesOneOfSeveral) {
    test_support::TempDir dir;
    const auto file = test_support::writeBible(dir / "b.mdb", smallBible({
        u"A\r\n", u"A", u"", u"A\r\n\r\n", u"A\r\n\r\n\r\n", u"\r\n",
    }));
    Texts expected = readTexts(file);
    const auto report = apply(file, kRemove);
    EXPECT_EQ(report.rowsWritten, 4);
    expected[{1, 1, 1}] = u"A";
    expected[{1, 2, 1}] = u"A\r\n";
    expected[{1, 2, 2}] = u"A\r\n";
    expected[{2, 1, 1}] = u"";
    EXPECT_EQ(readTexts(file), expected);
}

TEST(ApplyToBible, RowsTheWindowDoesNotVisitStayUntouched) {
    test_support::TempDir dir;
    BibleSpec bibleSpec = smallBible({});
    bibleSpec.bookNames = {{2, u"Exodus"}, {1, u"Genesis"}}; // stored out of order: still two books
    bibleSpec.verses.push_back({0, 1, 1, u"Book 0 row that is no book name"});
    bibleSpec.verses.push_back({3, 1, 1, u"Book without a name row"});
    bibleSpec.verses.push_back({1, 1, 7, u"Verse 7 after verse 3"});
    bibleSpec.shuffleRows = true;
    const auto file = test_support::writeBible(dir / "b.mdb", bibleSpec);
    Texts expected = readTexts(file);
    apply(file, kForce);
    const Texts after = readTexts(file);
    for (const auto& [key, text] : expected) {
        const int book = std::get<0>(key);
        SCOPED_TRACE(std::to_string(book) + ":" + std::to_string(std::get<1>(key)) + ":" + std::to_string(std::get<2>(key)));
        if (book == 1 || book == 2) EXPECT_EQ(after.at(key), text + u"\r\n");
        else EXPECT_EQ(after.at(key), text); // book-name rows, book 0 and book 3 are never visited
    }
}

TEST(ApplyToBible, NoBookNameRowsChangesNothing) {
    test_support::TempDir dir;
    BibleSpec bibleSpec = smallBible({});
    bibleSpec.bookNames.clear();
    const auto file = test_support::writeBible(dir / "b.mdb", bibleSpec);
    const std::string bytes = bytesOf(file);
    const auto report = apply(file, kForce);
    EXPECT_EQ(report.versesVisited, 0);
    EXPECT_EQ(bytesOf(file), bytes);
}

TEST(ApplyToBible, MarkerTextInAVerseIsReadInTheRunsLanguage) {
    // A verse line that equals the English marker ends the verse as a slide change would.
    test_support::TempDir dir;
    const auto file = test_support::writeBible(dir / "b.mdb", smallBible({u"A\r\n<New slide>"}));
    maintenance::applyToBible(QString::fromStdString(file.string()), kRemove, {"<Nieuwe dia>", "<Lege regel>"});
    EXPECT_EQ(readTexts(file).at({1, 1, 1}), u"A\r\n<New slide>");
    apply(file, kRemove);
    EXPECT_EQ(readTexts(file).at({1, 1, 1}), u"A");
}

TEST(ApplyToBible, MissingTableOrColumnIsAClearErrorAndChangesNothing) {
    test_support::TempDir dir;
    BibleSpec other = smallBible({});
    other.tableName = "verses";
    const auto noTable = test_support::writeBible(dir / "t.mdb", other);
    const std::string bytes = bytesOf(noTable);
    try {
        apply(noTable, kForce);
        ADD_FAILURE() << "no error";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("bible"), std::string::npos) << e.what();
    }
    EXPECT_EQ(bytesOf(noTable), bytes);
}

TEST(ApplyToBible, TableNameInAnotherLetterCaseWorks) {
    test_support::TempDir dir;
    BibleSpec bibleSpec = smallBible({u"A"});
    bibleSpec.tableName = "BIBLE";
    const auto file = test_support::writeBible(dir / "b.mdb", bibleSpec);
    EXPECT_EQ(apply(file, kForce).rowsWritten, 6);
}

// --- the command ------------------------------------------------------------------------------

TEST(KanteloDbApply, RunsTheSameChangeAndReportsErrors) {
    test_support::TempDir dir;
    const auto file = test_support::writeBible(dir / "b.mdb", smallBible({u"A", u"B\r\n"}));
    const auto tool = test_support::kanteloDbTool().string();

    auto result = test_support::run({tool, "apply", file.string(), "force"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readTexts(file).at({1, 1, 1}), u"A\r\n");
    EXPECT_EQ(readTexts(file).at({1, 1, 2}), u"B\r\n");

    result = test_support::run({tool, "apply", file.string(), "remove", "--lang", "DE"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readTexts(file).at({1, 1, 1}), u"A");

    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    } bad[] = {
        {{"apply", file.string()}, 2, "usage"},
        {{"apply", file.string(), "twice"}, 2, "usage"},
        {{"apply", file.string(), "force", "--lang", "FR"}, 2, "FR"},
        {{"apply", (dir / "missing.mdb").string(), "force"}, 1, "missing.mdb"},
    };
    const std::string bytes = bytesOf(file);
    for (const auto& c : bad) {
        std::vector<std::string> argv{tool};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        result = test_support::run(argv);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_EQ(bytesOf(file), bytes);
}

TEST(ApplyToBible, ReadOnlyFileIsRefusedUnchanged) {
    test_support::TempDir dir;
    const auto file = test_support::writeBible(dir / "b.mdb", smallBible({u"A"}));
    const std::string bytes = bytesOf(file);
    {
        test_support::ReadOnlyFiles readOnly({file});
        try {
            apply(file, kForce);
            ADD_FAILURE() << "no error";
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find("b.mdb: cannot be opened for writing"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(bytesOf(file), bytes);
}

} // namespace
