// The whole-bible slide-change run over one bible file without the window (kantelo-db apply):
// the same walk, the same views and the same save conversion as the window's run, on a bare
// cursor over table `bible`.
#pragma once
#include "maintenance/slide_options.h"
#include "verse/markers.h"

namespace jet {
class Database;
}

namespace maintenance {

struct ApplyReport {
    int versesVisited = 0; // verse visits, a verse visited twice counted twice
    int rowsWritten = 0;   // distinct rows whose BIBLETEXT changed
};

// Runs the option that `boxes` ticks over the bible in `db` (opened ReadWrite), with the views
// filled and saved using `markers`. Visits exactly the rows the window's run visits (books 1..N
// for the N book-name rows, chapters 1..the book's highest, verses in Verse order) and writes a
// row only when its text changes. Throws jet::Error on a missing table or column and on the
// states where the window's run stops with an error (a gap in the chapter numbers); rows
// written before stay written.
ApplyReport applyToBible(jet::Database& db, OptionBoxes boxes, const verse::Markers& markers);

} // namespace maintenance
