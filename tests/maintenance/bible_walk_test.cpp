// The whole-bible walk on bible files without the window: other per-verse steps than the
// options, one book, progress and a stop, and numbers read as the window's fields read them.
#include "maintenance/bible_apply.h"

#include "bibledb/bible_schema.h"
#include "jet/database.h"
#include "support/bible_fixture.h"
#include "support/test_env.h"
#include "verse/line_view.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const verse::Markers kUk{"<New slide>", "<Empty line>"};

QString pathOf(const fs::path& file) { return QString::fromStdString(file.string()); }

// A step that turns the view's first line to upper case.
const maintenance::VerseStep kUpperCase = [](verse::LineView& view) {
    if (view.lineCount() == 0 || view.line(0) == view.line(0).toUpper()) return false;
    view.replaceLine(0, view.line(0).toUpper());
    return true;
};

TEST(BibleWalk, AnyStepOverOneBookWithProgressToItsEnd) {
    test_support::TempDir dir;
    const auto file = test_support::writeBible(dir / "b.mdb", test_support::simpleBible(3, 2, 2));
    maintenance::FileRunOptions options;
    options.range = maintenance::WalkRange::book(1);
    std::vector<int> percents;
    options.onProgress = [&](const maintenance::WalkProgress& p) {
        EXPECT_EQ(p.book, 1);
        percents.push_back(p.percent());
    };
    const auto report = maintenance::runOverBibleFile(pathOf(file), {kUpperCase}, kUk, options);
    EXPECT_EQ(report.versesVisited, 4);
    EXPECT_EQ(report.rowsWritten, 4);
    EXPECT_FALSE(report.stopped);
    EXPECT_EQ(percents, (std::vector<int>{0, 0, 50, 100}));
    for (const auto& [key, text] : test_support::readVerseTexts(file)) {
        const auto [book, chapter, verse] = key;
        if (book == 0) continue; // the book-name rows
        const QString place = QString("%1:%2:%3").arg(book).arg(chapter).arg(verse);
        EXPECT_EQ(QString::fromStdU16String(text), (book == 2 ? "VERSE " : "Verse ") + place);
    }
}

TEST(BibleWalk, StopEndsAfterTheVerseInProgress) {
    test_support::TempDir dir;
    const auto file = test_support::writeBible(dir / "b.mdb", test_support::simpleBible(2, 1, 3));
    maintenance::FileRunOptions options;
    int asked = 0;
    options.stopRequested = [&] { return ++asked > 3; }; // before 1, after 1, before 2, after 2
    const auto report = maintenance::runOverBibleFile(pathOf(file), {kUpperCase}, kUk, options);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.versesVisited, 2);
    const auto texts = test_support::readVerseTexts(file);
    EXPECT_EQ(texts.at({1, 1, 2}), u"VERSE 1:1:2");
    EXPECT_EQ(texts.at({1, 1, 3}), u"Verse 1:1:3");
}

// Chapter and Verse stored as Double, one Verse with a fraction: the walk counts verses as the
// window's fields read them (rounded), so the row of Verse 2.6 is the chapter's third verse and
// is visited; a Verse text that is no number stops the run with the window's error.
TEST(BibleWalk, NumbersAreReadAsTheWindowReadsThem) {
    test_support::TempDir dir;
    const auto file = dir / "b.mdb";
    jet::NewTable table = bibledb::newBibleTable();
    table.columns[1].type = jet::ColumnType::Double;
    table.columns[2].type = jet::ColumnType::Double;
    table.rows = {{int64_t(0), 10.0, 1.0, std::u16string(u"Genesis")},
                  {int64_t(1), 1.0, 1.0, std::u16string(u"a")},
                  {int64_t(1), 1.0, 2.0, std::u16string(u"b")},
                  {int64_t(1), 1.0, 2.6, std::u16string(u"c")}};
    jet::createDatabase(file.string(), {table});
    const auto report = maintenance::runOverBibleFile(pathOf(file), {kUpperCase}, kUk);
    EXPECT_EQ(report.versesVisited, 3);
    EXPECT_EQ(report.rowsWritten, 3);

    const auto textFile = dir / "t.mdb";
    jet::NewTable text = bibledb::newBibleTable();
    text.columns[2] = {bibledb::kVerseColumn, jet::ColumnType::Text, 20};
    text.rows = {{int64_t(0), int64_t(10), std::u16string(u"1"), std::u16string(u"Genesis")},
                 {int64_t(1), int64_t(1), std::u16string(u"1"), std::u16string(u"a")},
                 {int64_t(1), int64_t(1), std::u16string(u"two"), std::u16string(u"b")}};
    jet::createDatabase(textFile.string(), {text});
    try {
        maintenance::runOverBibleFile(pathOf(textFile), {kUpperCase}, kUk);
        ADD_FAILURE() << "no error";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("'two' is not a valid integer value"), std::string::npos) << e.what();
    }
}

} // namespace
