// Formatting for slides over a bible file: through the walk (every verse of the books walked ends
// up exactly as the formatter gives it, book-name rows untouched, a second run writes nothing) and
// through `kantelo-db format` (dry run, one book, the count, the backup, bad arguments).
#include "maintenance/format_run.h"

#include "support/bible_fixture.h"
#include "support/mdb_export.h"
#include "support/test_env.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using test_support::BibleSpec;

namespace {

const verse::Markers kUk{"<New slide>", "<Empty line>"};
const verse::SlideFormat kFormat{20, 2, true};

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Two books: long verses, verses that already fit, a verse with its own slide change and empty
// line, an empty verse and a verse of blanks.
BibleSpec twoBooks() {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{1, u"Genesis, the first book of Moses called so"}, {2, u"Exodus"}};
    bibleSpec.verses = {
        {1, 1, 1, u"In the beginning God created the heaven and the earth."},
        {1, 1, 2, u"Short one."},
        {1, 1, 3, u"And the earth was without form, and void; and darkness was upon the face of the deep.\r\n"},
        {1, 2, 1, u"Thus the heavens and the earth were finished,\r\n \r\nand all the host of them.\r\n\r\nEnd"},
        {1, 2, 2, u""},
        {2, 1, 1, u"   "},
        {2, 1, 2, u"Now these are the names of the children of Israel, which came into Egypt."},
    };
    return bibleSpec;
}

test_support::VerseTexts formatted(const test_support::VerseTexts& texts, int onlyBook = 0) {
    test_support::VerseTexts out = texts;
    for (auto& [key, text] : out)
        if (std::get<0>(key) > 0 && (onlyBook == 0 || std::get<0>(key) == onlyBook))
            text = verse::formatForSlides(QString::fromStdU16String(text), kFormat).toStdU16String();
    return out;
}

TEST(FormatBible, EveryVerseBecomesWhatTheFormatterGivesAndASecondRunWritesNothing) {
    test_support::TempDir dir;
    const fs::path file = test_support::writeBible(dir / "b.mdb", twoBooks());
    const QString path = QString::fromStdString(file.string());
    const test_support::VerseTexts before = test_support::readVerseTexts(file);
    const test_support::VerseTexts expected = formatted(before);
    ASSERT_NE(expected, before);
    EXPECT_EQ(maintenance::bookCountOf(path, kUk), 2);
    const auto report = maintenance::formatBibleFile(path, kFormat, kUk);
    int changed = 0;
    for (const auto& [key, text] : expected) changed += text != before.at(key);
    EXPECT_EQ(report.rowsWritten, changed);
    EXPECT_EQ(test_support::readVerseTexts(file), expected); // book-name rows included: untouched

    const std::string bytes = bytesOf(file);
    EXPECT_EQ(maintenance::formatBibleFile(path, kFormat, kUk).rowsWritten, 0);
    EXPECT_EQ(bytesOf(file), bytes);
}

TEST(FormatBible, OneBookAndADryRun) {
    test_support::TempDir dir;
    const fs::path file = test_support::writeBible(dir / "b.mdb", twoBooks());
    const test_support::VerseTexts before = test_support::readVerseTexts(file);
    const std::string bytes = bytesOf(file);
    maintenance::FileRunOptions options;
    options.range = maintenance::WalkRange::book(1);
    const auto changes =
        maintenance::formatChangesOf(QString::fromStdString(file.string()), kFormat, kUk, options);
    EXPECT_EQ(bytesOf(file), bytes);
    ASSERT_EQ(changes.size(), 1u); // Exodus 1:2; the verse of blanks stays
    const maintenance::RowChange& change = changes[0];
    EXPECT_EQ(std::tie(change.book, change.chapter, change.verse), std::make_tuple(2, 1, 2));
    EXPECT_EQ(change.before.toStdU16String(), before.at({2, 1, 2}));
    EXPECT_EQ(change.after.toStdU16String(), formatted(before, 2).at({2, 1, 2}));
}

class FormatCommand : public ::testing::Test {
public:
    void SetUp() override { file_ = test_support::writeBible(dir_ / "bible.mdb", twoBooks()); }
    test_support::CommandResult format(std::vector<std::string> args) {
        args.insert(args.begin(), {test_support::kanteloDbTool().string(), "format", file_.string()});
        return test_support::run(args);
    }
    test_support::TempDir dir_;
    test_support::TempDir backups_;
    test_support::ScopedEnv backupDir_{"KANTELO_BACKUP_DIR", backups_.path().string()};
    fs::path file_;
};

TEST_F(FormatCommand, DryRunListsTheChangesAsCsvAndTheRunMakesThem) {
    const test_support::VerseTexts before = test_support::readVerseTexts(file_);
    const test_support::VerseTexts expected = formatted(before, 1);
    const std::string bytes = bytesOf(file_);

    const auto dry = format({"--max-line", "20", "--max-lines", "2", "--book", "1", "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_EQ(bytesOf(file_), bytes);
    EXPECT_TRUE(fs::is_empty(backups_.path())) << "a dry run made a backup";
    std::vector<std::string> header;
    const test_support::Cells rows = test_support::parseCsv(dry.out, &header);
    EXPECT_EQ(header, (std::vector<std::string>{"Book", "Chapter", "Verse", "Before", "After"}));
    test_support::Cells wanted;
    for (const auto& [key, text] : expected)
        if (text != before.at(key))
            wanted.push_back({std::to_string(std::get<0>(key)), std::to_string(std::get<1>(key)),
                              std::to_string(std::get<2>(key)), QString::fromStdU16String(before.at(key)).toStdString(),
                              QString::fromStdU16String(text).toStdString()});
    EXPECT_EQ(rows, wanted);
    ASSERT_EQ(rows.size(), 3u);

    const auto run = format({"--max-line", "20", "--max-lines", "2", "--book", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "3 verses changed\n");
    EXPECT_EQ(test_support::readVerseTexts(file_), expected);
    ASSERT_FALSE(fs::is_empty(backups_.path()));
    EXPECT_EQ(bytesOf(fs::directory_iterator(backups_.path())->path()), bytes); // the backup is the file before

    EXPECT_EQ(format({"--max-line", "20", "--max-lines", "2", "--book", "1"}).out, "0 verses changed\n");
}

TEST_F(FormatCommand, WrongArgumentsChangeNothing) {
    const std::string bytes = bytesOf(file_);
    const std::vector<std::vector<std::string>> wrong = {
        {},                                   // no maximum
        {"--max-line", "0"},                  // N must be 1 or more
        {"--max-line", "x"},
        {"--max-line", "20", "--max-lines", "-1"},
        {"--max-line", "20", "--book", "3"},  // the bible has two books
        {"--max-line", "20", "--lang", "FR"},
        {"--max-line", "20", "--sideways"},
    };
    for (const auto& args : wrong) {
        const auto result = format(args);
        EXPECT_EQ(result.exitCode, 2) << result.err;
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_EQ(bytesOf(file_), bytes);
    EXPECT_TRUE(fs::is_empty(backups_.path()));
}

} // namespace
