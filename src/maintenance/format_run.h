// Formatting for slides as a run: the step that formats the verse a view shows, and the runs
// over a bible file with it (kantelo-db format, and the window's book and whole-bible runs), all
// through the whole-bible walk.
#pragma once
#include "maintenance/bible_apply.h"
#include "verse/slide_format.h"

#include <vector>

namespace maintenance {

// The verse the view shows, in its stored form (as a save would store it).
QString storedTextOf(const verse::LineView& view, const verse::Markers& markers);

// The walk step: when formatting the view's verse changes it, the view is filled with the result
// (markers as the views draw them); the save then stores exactly the formatter's text.
VerseStep formatStep(const verse::SlideFormat& format, const verse::Markers& markers);

// Formats every verse of options.range in the bible file `path` (not backed up here).
ApplyReport formatBibleFile(const QString& path, const verse::SlideFormat& format, const verse::Markers& markers,
                            const FileRunOptions& options = {});

// A verse a format run would change, and how.
struct RowChange {
    int book = 0;
    int chapter = 0;
    int verse = 0;
    QString before;
    QString after;
};

// The same walk without writing anything: the verses that formatBibleFile would change, in the
// order of the walk.
std::vector<RowChange> formatChangesOf(const QString& path, const verse::SlideFormat& format,
                                       const verse::Markers& markers, FileRunOptions options = {});

// The number of books of the bible file `path` (its book-name rows), as a run counts them.
int bookCountOf(const QString& path, const verse::Markers& markers);

} // namespace maintenance
