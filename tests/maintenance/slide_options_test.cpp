// The option steps on a filled view, and the walk's visiting order over a scripted driver.
#include "maintenance/slide_options.h"

#include "verse/fill.h"
#include "verse/memory_line_view.h"
#include "verse/save.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

const verse::Markers kMarkers{"<New slide>", "<Empty line>"};

struct StepCase {
    const char* stored;
    bool changed;
    const char* saved; // the text a save of the changed view stores
};

void checkStep(bool (*step)(verse::LineView&, const QString&), const std::vector<StepCase>& cases) {
    for (const StepCase& c : cases) {
        const QString stored = QString::fromUtf8(c.stored);
        SCOPED_TRACE(QString(stored).replace("\r\n", "\\r\\n").toStdString());
        verse::MemoryLineView view;
        verse::fillView(view, stored, kMarkers);
        const QStringList before = view.lines();
        EXPECT_EQ(step(view, kMarkers.newSlide), c.changed);
        if (c.changed) {
            EXPECT_EQ(verse::convertForSave(view, kMarkers), QString::fromUtf8(c.saved));
        } else {
            EXPECT_EQ(view.lines(), before);
        }
    }
}

TEST(ForceSlideChange, AddsOneOnlyWhereNoneEndsTheVerse) {
    checkStep(maintenance::forceSlideChange, {
        {"A", true, "A\r\n"},
        {"A\r\nB", true, "A\r\nB\r\n"},
        {"A\r\n\r\nB", true, "A\r\n\r\nB\r\n"},
        {"A\r\n ", true, "A\r\n \r\n"},            // ends with an empty line, not a slide change
        {"A\r\n", false, ""},
        {"A\r\n\r\n", false, ""},
        {"", false, ""},                            // the view of an empty verse is one marker
        {"\r\n", false, ""},
        {"A\r\n  <New slide> ", false, ""},         // a line that trims to the marker counts as one
        {"A\r\n<new slide>", true, "A\r\n<new slide>\r\n"}, // compared exactly, case included
    });
}

TEST(RemoveSlideChange, TakesOffOneAndNeverShortensASingleLine) {
    checkStep(maintenance::removeSlideChange, {
        {"A\r\n", true, "A"},
        {"A\r\n\r\n", true, "A\r\n"},               // two at the end: one stays
        {"A\r\n\r\n\r\n", true, "A\r\n"},           // the save reduces the rest to one
        {"\r\n", true, ""},
        {"A\r\n<New slide>", true, "A"},
        {"A", false, ""},
        {"A\r\n\r\nB", false, ""},
        {"", false, ""},                            // a single marker line stays
        {"<New slide>", false, ""},
    });
}

TEST(ForceSlideChange, EmptyViewGetsAMarker) {
    verse::MemoryLineView view;
    EXPECT_TRUE(maintenance::forceSlideChange(view, kMarkers.newSlide));
    EXPECT_EQ(view.lines(), QStringList{kMarkers.newSlide});
    EXPECT_FALSE(maintenance::removeSlideChange(view, kMarkers.newSlide));
}

// A scripted bible: per book, per chapter, the verse count. Records every call in order.
class ScriptedDriver : public maintenance::RunDriver {
public:
    std::vector<std::vector<int>> books; // books[b][c] = verses of chapter c + 1 of book b + 1
    maintenance::OptionBoxes ticked{true, false};
    bool pane2 = false;
    QString verseText = "A";
    int stopAfterVisits = -1;
    std::vector<std::string> log;

    int bookCount() override { return int(books.size()); }
    void chooseBook(int k) override {
        book_ = k;
        chapter_ = 0;
        row_ = 0;
        log.push_back("book " + std::to_string(k + 1));
        show();
    }
    int lastChapter() override { return int(books[size_t(book_)].size()); }
    int currentVerse() override { return verses() ? row_ + 1 : 0; }
    void nextVerse() override {
        if (row_ + 1 < verses()) {
            ++row_;
            show();
        }
    }
    void nextChapter() override {
        if (chapter_ + 1 < lastChapter()) {
            ++chapter_;
            row_ = 0;
            show();
        }
    }
    void letEventsRun() override {}
    bool stopRequested() override { return stopAfterVisits >= 0 && visits_ >= stopAfterVisits; }
    maintenance::OptionBoxes boxes() override { return ticked; }
    QString newSlideMarker() override { return kMarkers.newSlide; }
    bool paneInUse(int pane) override { return pane == 1 || pane2; }
    verse::LineView& view(int pane) override { return views_[pane]; }
    bool edited(int pane) override { return edited_[pane]; }
    void setEdited(int pane) override { edited_[pane] = true; }
    void save(int pane) override {
        log.push_back("save " + std::to_string(pane) + " " + position());
        verse::convertForSave(views_[pane], kMarkers);
    }
    void verseVisited() override {
        ++visits_;
        log.push_back("visit " + position());
    }

private:
    int verses() const { return books[size_t(book_)].empty() ? 0 : books[size_t(book_)][size_t(chapter_)]; }
    std::string position() const {
        return std::to_string(book_ + 1) + ":" + std::to_string(chapter_ + 1) + ":" + std::to_string(row_ + 1);
    }
    void show() {
        for (int pane : {1, 2}) {
            verse::fillView(views_[pane], verseText, kMarkers);
            edited_[pane] = false;
        }
    }
    int book_ = 0, chapter_ = 0, row_ = 0, visits_ = 0;
    std::map<int, verse::MemoryLineView> views_;
    std::map<int, bool> edited_{{1, false}, {2, false}};
};

TEST(RunOverBible, VisitsEveryVerseOnceInBookChapterVerseOrder) {
    ScriptedDriver driver;
    driver.books = {{2, 1}, {}, {3}};
    EXPECT_TRUE(maintenance::runOverBible(driver));
    const std::vector<std::string> expected = {
        "book 1", "visit 1:1:1", "save 1 1:1:1", "visit 1:1:2", "save 1 1:1:2",
        "visit 1:2:1", "save 1 1:2:1",
        "book 2",                      // a book without verse rows: no chapter is walked
        "book 3", "visit 3:1:1", "save 1 3:1:1", "visit 3:1:2", "save 1 3:1:2", "visit 3:1:3", "save 1 3:1:3",
    };
    EXPECT_EQ(driver.log, expected);
}

TEST(RunOverBible, SecondPaneIsSavedAfterTheFirstAndRemovalReachesIt) {
    for (bool force : {true, false}) {
        ScriptedDriver driver;
        driver.books = {{1}};
        driver.pane2 = true;
        driver.ticked = {force, !force};
        driver.verseText = force ? "A" : "A\r\n";
        maintenance::runOverBible(driver);
        EXPECT_EQ(driver.log, (std::vector<std::string>{"book 1", "visit 1:1:1", "save 1 1:1:1", "save 2 1:1:1"}));
    }
    ScriptedDriver nothingToRemove;
    nothingToRemove.books = {{1}};
    nothingToRemove.pane2 = true;
    nothingToRemove.ticked = {false, true};
    maintenance::runOverBible(nothingToRemove);
    EXPECT_EQ(nothingToRemove.log, (std::vector<std::string>{"book 1", "visit 1:1:1"}));
}

TEST(RunOverBible, StopsAfterTheVerseInProgressIsSaved) {
    ScriptedDriver driver;
    driver.books = {{3}, {2}};
    driver.stopAfterVisits = 2;
    EXPECT_FALSE(maintenance::runOverBible(driver));
    EXPECT_EQ(driver.log, (std::vector<std::string>{"book 1", "visit 1:1:1", "save 1 1:1:1", "visit 1:1:2", "save 1 1:1:2"}));
}

} // namespace
