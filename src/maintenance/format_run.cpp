#include "maintenance/format_run.h"

#include "data/dataset.h"
#include "maintenance/query_walk.h"
#include "verse/fill.h"
#include "verse/line_view.h"
#include "verse/save.h"
#include "verse/stored_text.h"

namespace maintenance {

QString storedTextOf(const verse::LineView& view, const verse::Markers& markers) {
    QStringList lines;
    for (int i = 0; i < view.lineCount(); ++i) lines << view.line(i);
    return verse::joinStored(verse::storedLines(lines, markers));
}

VerseStep formatStep(const verse::SlideFormat& format, const verse::Markers& markers) {
    return [format, markers](verse::LineView& view) {
        const QString stored = storedTextOf(view, markers);
        const QString formatted = verse::formatForSlides(stored, format);
        if (formatted == stored) return false;
        verse::fillView(view, formatted, markers);
        return true;
    };
}

ApplyReport formatBibleFile(const QString& path, const verse::SlideFormat& format, const verse::Markers& markers,
                            const FileRunOptions& options) {
    return runOverBibleFile(path, {formatStep(format, markers)}, markers, options);
}

std::vector<RowChange> formatChangesOf(const QString& path, const verse::SlideFormat& format,
                                       const verse::Markers& markers, FileRunOptions options) {
    std::vector<RowChange> changes;
    RowChange here;
    options.onVerse = [&here](int book, int chapter, int verse) { here = {book, chapter, verse, {}, {}}; };
    // The step notes the change and leaves the view as it is, so that nothing is saved.
    const VerseStep note = [&](verse::LineView& view) {
        const QString stored = storedTextOf(view, markers);
        const QString formatted = verse::formatForSlides(stored, format);
        // The chapter's last verse is visited twice (the step past it shows it again).
        const bool again = !changes.empty() && changes.back().book == here.book &&
                           changes.back().chapter == here.chapter && changes.back().verse == here.verse;
        if (formatted != stored && !again) changes.push_back({here.book, here.chapter, here.verse, stored, formatted});
        return false;
    };
    runOverBibleFile(path, {note}, markers, options);
    return changes;
}

int bookCountOf(const QString& path, const verse::Markers& markers) {
    return QueryWalk(path, QString(), markers).bookCount();
}

} // namespace maintenance
