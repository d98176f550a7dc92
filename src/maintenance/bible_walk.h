// The whole-bible walk: every book (or one), every chapter and every verse of pane 1, a run of
// per-verse steps on each pane in use, and the save of each edited pane. The window drives it
// with its navigation handlers (WalkDriver in tform1_maintenance.cpp), kantelo-db and the tests
// with the same query steps without a window (QueryWalk, query_walk.h).
#pragma once
#include <QString>

#include <functional>
#include <vector>

namespace verse {
class LineView;
}

namespace maintenance {

// One change of a verse's view (the slide-change options, a formatter): true when it changed
// the view. The walk then marks the pane edited and lets events run.
using VerseStep = std::function<bool(verse::LineView& view)>;

// Which books a walk visits: every book in selector order, or the one at `onlyBook` (from 0).
struct WalkRange {
    int onlyBook = -1;
    static WalkRange allBooks() { return {}; }
    static WalkRange book(int position) { return {position}; }
};

// How far a walk has come: the book at selector position `book`, the `booksDone`-th of the
// `books` it visits, and `chaptersDone` of its `lastChapter` chapters done.
struct WalkProgress {
    int book = 0;
    int booksDone = 0;
    int books = 0;
    int chaptersDone = 0;
    int lastChapter = 0;
    int percent() const; // the part of the walk done, counted in books and within a book in chapters
};

// What the walk needs from whoever shows the panes. Panes are numbered 1 and 2.
class WalkDriver {
public:
    virtual ~WalkDriver() = default;
    virtual int bookCount() = 0;
    // Makes book-selector item `position` (from 0) the selected one and runs the book change.
    virtual void chooseBook(int position) = 0;
    virtual int lastChapter() = 0;
    virtual int currentVerse() = 0; // Verse of pane 1's current row, read as integer
    virtual void nextVerse() = 0;
    virtual void nextChapter() = 0;
    virtual void letEventsRun() = 0;
    // True when the walk is to end once the verse in progress is saved (the window is closing,
    // the user asked it to stop).
    virtual bool stopRequested() = 0;
    // Pane 2 while its bible is open, its view enabled and it stands on a verse (its bible may
    // lack the chapter pane 1 is on).
    virtual bool paneInUse(int pane) = 0;
    virtual verse::LineView& view(int pane) = 0;
    virtual bool edited(int pane) = 0;
    virtual void setEdited(int pane) = 0;
    virtual void save(int pane) = 0; // Savevers
    virtual void verseVisited() {}   // once per verse visit, before the steps
    // Where the walk stands: before and after a book is chosen, and after each chapter's verses
    // (before the step to the next chapter).
    virtual void progressed(const WalkProgress&) {}
};

// Walks the books of `range`, every chapter 1..lastChapter and every verse of pane 1's chapter;
// applies `steps` in order to each pane in use and saves each edited pane (pane 1 first). Checks
// stopRequested before and after every verse. Returns false when it ended early on request.
bool walkBible(WalkDriver& driver, const std::vector<VerseStep>& steps, WalkRange range = {});

} // namespace maintenance
