// Formatting for slides as a run: the step that formats the verse a pane shows, and the walk of
// a bible file with it (kantelo-db format, and the window's book and whole-bible runs).
#pragma once
#include "maintenance/bible_apply.h"
#include "verse/slide_format.h"

namespace maintenance {

// The verse the view shows, in its stored form (as a save would store it).
QString storedTextOf(const verse::LineView& view, const verse::Markers& markers);

// The step: when formatting the pane's verse changes it, the view is filled with the result
// (markers as the views draw them) and the pane marked edited; the save then stores exactly the
// formatter's text.
VerseStep formatStep(const verse::SlideFormat& format, const verse::Markers& markers);

// Formats every verse of options.books in the bible in `db`: walkBible with formatStep.
ApplyReport formatBible(jet::Database& db, const verse::SlideFormat& format, const verse::Markers& markers,
                        const WalkOptions& options, bool* stopped = nullptr);

} // namespace maintenance
