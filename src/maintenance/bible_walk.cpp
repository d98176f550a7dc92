#include "maintenance/bible_walk.h"

#include <algorithm>

namespace maintenance {

namespace {

// Applies the steps to one pane.
void applySteps(WalkDriver& driver, const std::vector<VerseStep>& steps, int pane) {
    for (const VerseStep& step : steps) {
        if (step(driver.view(pane))) {
            driver.setEdited(pane);
            driver.letEventsRun();
        }
    }
}

void visitVerse(WalkDriver& driver, const std::vector<VerseStep>& steps) {
    driver.verseVisited();
    applySteps(driver, steps, 1);
    if (driver.edited(1)) driver.save(1);
    if (driver.paneInUse(2)) {
        applySteps(driver, steps, 2);
        if (driver.edited(2)) driver.save(2);
    }
}

// One book: every chapter and verse. False when stopped on request.
bool walkBook(WalkDriver& driver, const std::vector<VerseStep>& steps, WalkProgress& progress) {
    const int chapters = driver.lastChapter();
    progress.lastChapter = chapters;
    driver.progressed(progress);
    for (int chapter = 0; chapter < chapters; ++chapter) {
        // The loop ends once the counter passes pane 1's verse number; at the chapter's last
        // verse the step leaves pane 1 in place, so every verse 1..V is visited once.
        int counter = 1;
        do {
            ++counter;
            driver.letEventsRun();
            if (driver.stopRequested()) return false;
            visitVerse(driver, steps);
            if (driver.stopRequested()) return false;
            driver.nextVerse();
        } while (counter <= driver.currentVerse());
        ++progress.chaptersDone;
        driver.progressed(progress);
        driver.nextChapter();
    }
    return true;
}

} // namespace

int WalkProgress::percent() const {
    if (books <= 0) return 0;
    const double inBook = lastChapter > 0 ? std::min(1.0, double(chaptersDone) / lastChapter) : 0.0;
    return int(100.0 * (booksDone + inBook) / books);
}

bool walkBible(WalkDriver& driver, const std::vector<VerseStep>& steps, WalkRange range) {
    const int count = driver.bookCount();
    const bool one = range.onlyBook >= 0;
    if (one && range.onlyBook >= count) return true; // no such book: nothing to visit
    const int first = one ? range.onlyBook : 0;
    const int end = one ? range.onlyBook + 1 : count;
    WalkProgress progress;
    progress.books = end - first;
    for (int k = first; k < end; ++k) {
        progress.book = k;
        progress.booksDone = k - first;
        progress.chaptersDone = 0;
        progress.lastChapter = 0;
        driver.progressed(progress);
        driver.chooseBook(k);
        if (!walkBook(driver, steps, progress)) return false;
    }
    return true;
}

} // namespace maintenance
