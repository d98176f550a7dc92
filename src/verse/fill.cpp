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

void replaceVerse(LineView& view, const QString& stored, const Markers& markers) {
    while (view.lineCount() > 0) view.deleteLine(0);
    view.collapseSelection();
    auto insert = [&view](const QString& text, CharStyle style) {
        view.setStyle(style);
        view.insertAtCaret(text + QStringLiteral("\r\n"));
    };
    const StoredVerse verse = splitStored(stored);
    for (const QString& line : verse.lines) {
        switch (kindOf(line)) {
        case LineKind::VerseText: insert(line, kVerseStyle); break;
        case LineKind::EmptyLine: insert(markers.emptyLine, kMarkerStyle); break;
        case LineKind::SlideChange: insert(markers.newSlide, kMarkerStyle); break;
        }
    }
    if (verse.trailingSlideChange) insert(markers.newSlide, kMarkerStyle);
    view.setStyle(kVerseStyle);
}

} // namespace verse
