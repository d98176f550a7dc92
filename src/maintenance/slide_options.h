// The whole-bible slide-change options: the option steps on one editor view and the walk over
// every book, chapter and verse that applies them. The walk drives a RunDriver, which the main
// window implements with its navigation handlers and kantelo-db with a bare cursor.
#pragma once
#include <QString>

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
    // Pane 2 while its bible is open, its view enabled and it stands on a verse (its bible may
    // lack the chapter pane 1 is on).
    virtual bool paneInUse(int pane) = 0;
    virtual verse::LineView& view(int pane) = 0;
    virtual bool edited(int pane) = 0;
    virtual void setEdited(int pane) = 0;
    virtual void save(int pane) = 0; // Savevers
    virtual void verseVisited() {}   // once per verse visit, before the option steps
};

// Walks every book in selector order, every chapter 1..lastChapter and every verse of pane 1's
// chapter, applies the ticked option to each pane in use and saves each edited pane. A removal
// run changes pane 2 in the same way as pane 1. Returns false when it ended early on request.
bool runOverBible(RunDriver& driver);

} // namespace maintenance
