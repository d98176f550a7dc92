// Whole-bible runs over a bible file without the window (kantelo-db apply, and runs of other
// per-verse steps): the window's walk and query steps through QueryWalk, its save conversion,
// its markers; the writes of a run are flushed once at its end.
#pragma once
#include "maintenance/slide_options.h"
#include "verse/markers.h"

#include <QString>

#include <functional>
#include <vector>

namespace maintenance {

struct ApplyReport {
    int versesVisited = 0; // verse visits, a verse visited twice counted twice
    int rowsWritten = 0;   // distinct rows whose BIBLETEXT changed
    bool stopped = false;  // ended early on request
};

// What a run without the window may be given besides its steps.
struct FileRunOptions {
    WalkRange range;                                     // every book, or one
    std::function<void(const WalkProgress&)> onProgress; // where the run stands
    std::function<bool()> stopRequested;                 // true: end after the verse in progress
    QString languageCode = "UK";                         // of the run's own messages
    // At every verse visit, before the steps: pane 1's book, chapter and verse.
    std::function<void(int book, int chapter, int verse)> onVerse;
};

// Runs `steps` over the bible file `path` as the window's run does (books 1..N for the N
// book-name rows, chapters 1..the book's highest, verses in Verse order), with the views filled
// and saved using `markers`; writes a row only when its text changes. Throws on a missing file,
// table or column and on the states where the window's run stops with an error (a gap in the
// chapter numbers); rows written before stay written. The file is not backed up here.
ApplyReport runOverBibleFile(const QString& path, const std::vector<VerseStep>& steps, const verse::Markers& markers,
                             const FileRunOptions& options = {});

// The slide-change option that `boxes` ticks, over the whole bible file `path`.
ApplyReport applyToBible(const QString& path, OptionBoxes boxes, const verse::Markers& markers);

} // namespace maintenance
