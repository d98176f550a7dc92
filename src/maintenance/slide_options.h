// The whole-bible slide-change options: the option steps on one editor view and the walk over
// every book, chapter and verse that applies them. The walk drives a RunDriver, which the main
// window implements with its navigation handlers and kantelo-db with a bare cursor.
#pragma once
#include <QString>

#include <functional>

namespace verse {
class LineView;
}

namespace maintenance {

// Option step 1: when the trimmed last line is not `newSlideMarker`, append a marker line.
// Returns true when the view changed (the caller sets the pane's edited flag).
bool forceSlideChange(verse::LineView& view, const QString& newSlideMarker);

// Option step 2: when the trimmed last line is `newSlideMarker` and the view holds at least two
// lines, delete the last line. Returns true when the view changed.
bool removeSlideChange(verse::LineView& view, const QString& newSlideMarker);

// The ticked state of the two option boxes, read anew for every verse.
struct OptionBoxes {
    bool force = false;  // CheckBox1
    bool remove = false; // CheckBox2
};

// What the walk needs from the window. Panes are numbered 1 and 2.
class RunDriver {
public:
    virtual ~RunDriver() = default;
    virtual int bookCount() = 0;
    // Makes book-selector item `position` (from 0) the selected one and runs the book change.
    virtual void chooseBook(int position) = 0;
    virtual int lastChapter() = 0;
    virtual int currentVerse() = 0; // Verse of pane 1's current row, read as integer
    virtual void nextVerse() = 0;
    virtual void nextChapter() = 0;
    virtual void letEventsRun() = 0;
    // True when the run is to end once the verse in progress is saved (the window is closing).
    virtual bool stopRequested() = 0;
    virtual OptionBoxes boxes() = 0;
    virtual QString newSlideMarker() = 0;
    virtual bool paneInUse(int pane) = 0; // pane 2 while its bible is open and its view enabled
    virtual verse::LineView& view(int pane) = 0;
    virtual bool edited(int pane) = 0;
    virtual void setEdited(int pane) = 0;
    virtual void save(int pane) = 0; // Savevers
    virtual void verseVisited() {}   // once per verse visit, before the option steps
};

// What a run does to the verse that pane `pane` shows: it changes the pane's view, or leaves it,
// and marks the pane edited (letting events run then) when it changed it.
using VerseStep = std::function<void(RunDriver& driver, int pane)>;

// The books a run walks: selector positions [first, first + count); count < 0: to the last.
struct BookRange {
    int first = 0;
    int count = -1;
};

// Walks every book of `books` in selector order, every chapter 1..lastChapter and every verse of
// pane 1's chapter, applies `step` to each pane in use (pane 1 first) and saves each edited
// pane. Returns false when it ended early on request.
bool runOverBible(RunDriver& driver, const VerseStep& step, BookRange books = {});

// The run of the two option boxes: the ticked option's step (the boxes read anew for every
// verse). A removal run changes pane 2 in the same way as pane 1.
bool runOverBible(RunDriver& driver);

} // namespace maintenance
