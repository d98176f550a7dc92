// The whole-bible slide-change run over one bible file without the window (kantelo-db apply):
// the same walk, the same views and the same save conversion as the window's run, on a bare
// cursor over table `bible`.
#pragma once
#include "maintenance/slide_options.h"
#include "verse/markers.h"

#include <QString>

#include <functional>
#include <vector>

namespace jet {
class Database;
}

namespace maintenance {

// A row whose BIBLETEXT a run changed (or, in a dry run, would change).
struct RowChange {
    int book = 0;
    int chapter = 0;
    int verse = 0;
    QString before;
    QString after;
};

struct ApplyReport {
    int versesVisited = 0; // verse visits, a verse visited twice counted twice
    int rowsWritten = 0;   // distinct rows whose BIBLETEXT changed (in a dry run: would change)
    std::vector<RowChange> changes; // with WalkOptions::collectChanges, in the order of the walk
    int books = 0;                  // the bible's books (its book-name rows)
};

// How a walk over a bible file runs besides its step.
struct WalkOptions {
    BookRange books;
    bool dryRun = false;         // write nothing (the file may be open read-only)
    bool collectChanges = false; // fill ApplyReport::changes
    // Called before every verse: lets a window's events run, and ends the walk (after the verse
    // in progress has been saved) when stopRequested returns true.
    std::function<void()> letEventsRun;
    std::function<bool()> stopRequested;
    // How far the walk has come: the book position and the number of books, the chapters of the
    // book done and its highest chapter.
    std::function<void(int book, int books, int chaptersDone, int lastChapter)> progress;
};

// The window's walk over the bible in `db` (opened ReadWrite unless dryRun): the same books,
// chapters and verses as applyToBible, each verse shown in an in-memory view, `step` applied to
// it and the view saved (written only when its text changes). Throws as applyToBible does; a
// walk that was asked to stop returns what it did until then, with `stopped` set.
ApplyReport walkBible(jet::Database& db, const VerseStep& step, const verse::Markers& markers,
                      const WalkOptions& options, bool* stopped = nullptr);

// Runs the option that `boxes` ticks over the bible in `db` (opened ReadWrite), with the views
// filled and saved using `markers`. Visits exactly the rows the window's run visits (books 1..N
// for the N book-name rows, chapters 1..the book's highest, verses in Verse order) and writes a
// row only when its text changes. Throws jet::Error on a missing table or column and on the
// states where the window's run stops with an error (a gap in the chapter numbers); rows
// written before stay written.
ApplyReport applyToBible(jet::Database& db, OptionBoxes boxes, const verse::Markers& markers);

} // namespace maintenance
