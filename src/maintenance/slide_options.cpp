#include "maintenance/slide_options.h"

#include "verse/blanks.h"
#include "verse/line_view.h"

namespace maintenance {

namespace {

QString trimmedLastLine(verse::LineView& view) {
    const int count = view.lineCount();
    return count > 0 ? verse::trimmed(view.line(count - 1)) : QString();
}

// Applies the ticked options to one pane; true when the view changed.
bool applyOptionSteps(RunDriver& driver, int pane) {
    bool changed = false;
    const QString marker = driver.newSlideMarker();
    if (driver.boxes().force && forceSlideChange(driver.view(pane), marker)) {
        driver.setEdited(pane);
        driver.letEventsRun();
        changed = true;
    }
    if (driver.boxes().remove && removeSlideChange(driver.view(pane), marker)) {
        driver.setEdited(pane);
        driver.letEventsRun();
        changed = true;
    }
    return changed;
}

void visitVerse(RunDriver& driver) {
    driver.verseVisited();
    applyOptionSteps(driver, 1);
    if (driver.edited(1)) driver.save(1);
    if (driver.paneInUse(2)) {
        applyOptionSteps(driver, 2);
        if (driver.edited(2)) driver.save(2);
    }
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

bool runOverBible(RunDriver& driver) {
    const int books = driver.bookCount();
    for (int k = 0; k < books; ++k) {
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
                visitVerse(driver);
                if (driver.stopRequested()) return false;
                driver.nextVerse();
            } while (counter <= driver.currentVerse());
            driver.nextChapter();
        }
    }
    return true;
}

} // namespace maintenance
