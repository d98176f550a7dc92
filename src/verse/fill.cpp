#include "verse/fill.h"

#include "verse/stored_text.h"

namespace verse {

namespace {

void appendMarker(LineView& view, const QString& marker) {
    view.setStyle(kMarkerStyle);
    view.appendLine(marker);
    view.setStyle(kVerseStyle);
}

} // namespace

void fillView(LineView& view, const QString& stored, const Markers& markers) {
    view.clear();
    view.setStyle(kVerseStyle);
    const StoredVerse verse = splitStored(stored);
    for (const QString& line : verse.lines) {
        switch (kindOf(line)) {
        case LineKind::VerseText: view.appendLine(toViewLine(line)); break;
        case LineKind::EmptyLine: appendMarker(view, markers.emptyLine); break;
        case LineKind::SlideChange: appendMarker(view, markers.newSlide); break;
        }
    }
    if (verse.trailingSlideChange) appendMarker(view, markers.newSlide);
}

} // namespace verse
