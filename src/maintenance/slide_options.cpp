#include "maintenance/slide_options.h"

#include "verse/blanks.h"
#include "verse/line_view.h"

#include <algorithm>

namespace maintenance {

namespace {

QString trimmedLastLine(verse::LineView& view) {
    const int count = view.lineCount();
    return count > 0 ? verse::trimmed(view.line(count - 1)) : QString();
}

// Applies the ticked options to one pane.
void applyOptionSteps(RunDriver& driver, int pane) {
    const QString marker = driver.newSlideMarker();
    if (driver.boxes().force && forceSlideChange(driver.view(pane), marker)) {
        driver.setEdited(pane);
        driver.letEventsRun();
    }
    if (driver.boxes().remove && removeSlideChange(driver.view(pane), marker)) {
        driver.setEdited(pane);
        driver.letEventsRun();
    }
}

void visitPane(RunDriver& driver, const VerseStep& step, int pane) {
    step(driver, pane);
    if (driver.edited(pane)) driver.save(pane);
}

void visitVerse(RunDriver& driver, const VerseStep& step) {
    driver.verseVisited();
    visitPane(driver, step, 1);
    if (driver.paneInUse(2)) visitPane(driver, step, 2);
}

} // namespace

bool forceSlideChange(verse::LineView& view, const QString& newSlideMarker) {
    if (trimmedLastLine(view) == newSlideMarker) return false;
    view.appendLine(newSlideMarker);
    return true;
}

bool removeSlideChange(verse::LineView& view, const QString& newSlideMarker) {
    if (view.lineCount() < 2 || trimmedLastLine(view) != newSlideMarker) return false;
    view.deleteLine(view.lineCount() - 1);
    return true;
}

bool runOverBible(RunDriver& driver, const VerseStep& step, BookRange range) {
    const int books = driver.bookCount();
    const int last = range.count < 0 ? books : std::min(books, range.first + range.count);
    for (int k = std::max(0, range.first); k < last; ++k) {
        driver.chooseBook(k);
        const int chapters = driver.lastChapter();
        for (int chapter = 0; chapter < chapters; ++chapter) {
            // The loop ends once the counter passes pane 1's verse number; at the chapter's last
            // verse the step leaves pane 1 in place, so every verse 1..V is visited once.
            int counter = 1;
            do {
                ++counter;
                driver.letEventsRun();
                if (driver.stopRequested()) return false;
                visitVerse(driver, step);
                if (driver.stopRequested()) return false;
                driver.nextVerse();
            } while (counter <= driver.currentVerse());
            driver.nextChapter();
        }
    }
    return true;
}

bool runOverBible(RunDriver& driver) {
    return runOverBible(driver, applyOptionSteps);
}

} // namespace maintenance
