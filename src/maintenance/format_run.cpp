#include "maintenance/format_run.h"

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
    return [format, markers](RunDriver& driver, int pane) {
        verse::LineView& view = driver.view(pane);
        const QString stored = storedTextOf(view, markers);
        const QString formatted = verse::formatForSlides(stored, format);
        if (formatted == stored) return;
        verse::fillView(view, formatted, markers);
        driver.setEdited(pane);
        driver.letEventsRun();
    };
}

ApplyReport formatBible(jet::Database& db, const verse::SlideFormat& format, const verse::Markers& markers,
                        const WalkOptions& options, bool* stopped) {
    return walkBible(db, formatStep(format, markers), markers, options, stopped);
}

} // namespace maintenance
