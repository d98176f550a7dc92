#include "verse/commands.h"

#include "verse/blanks.h"
#include "verse/fill.h"

namespace verse {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// NieuweDia and LegeRegelTussenvoegen compare untrimmed: a marker with blanks around it is verse
// text for them and gets split like any other line.
bool isMarkerExactly(const QString& line, const Markers& markers) {
    return line == markers.newSlide || line == markers.emptyLine;
}

bool isMarkerTrimmed(const QString& line, const Markers& markers) {
    const QString t = trimmed(line);
    return t == markers.newSlide || t == markers.emptyLine;
}

// Inserts `marker` (with its surrounding breaks) purple and bold, then the rest black.
void insertMarkerThenRest(LineView& view, const QString& markerText, const QString& rest) {
    view.setStyle(kMarkerStyle);
    view.insertAtCaret(markerText);
    view.setStyle(kVerseStyle);
    view.insertAtCaret(rest);
}

} // namespace

CommandResult NieuweDia(LineView& view, const Markers& markers) {
    const Caret caret = view.caret();
    const QString s = view.line(caret.line);
    if (isMarkerExactly(s, markers)) return CommandResult::NotVerseText;
    view.setStyle(kVerseStyle);
    if (caret.line >= view.lineCount()) {
        // The marker goes onto the end place, where the caret was read. Appending puts it
        // there even when a selection reaching the end place started inside a line, where an
        // insert at the collapsed selection would glue the marker text to verse text.
        view.collapseSelection();
        view.setStyle(kMarkerStyle);
        view.appendLine(markers.newSlide);
        view.setStyle(kVerseStyle);
        return CommandResult::Changed;
    }
    view.replaceLine(caret.line, s.left(caret.column));
    insertMarkerThenRest(view, kCrLf + markers.newSlide + kCrLf, trimmed(s.mid(caret.column)));
    return CommandResult::Changed;
}

CommandResult WisDia(LineView& view, const Markers& markers) {
    const int l = view.caret().line;
    if (trimmed(view.line(l)) != markers.newSlide) return CommandResult::NotSlideChange;
    view.setStyle(kVerseStyle);
    const bool nextIsMarker = l + 1 < view.lineCount() && isMarkerTrimmed(view.line(l + 1), markers);
    if (l == 0 || nextIsMarker || isMarkerTrimmed(view.line(l - 1), markers)) {
        view.deleteLine(l);
        return CommandResult::Changed;
    }
    view.deleteLine(l);
    const QString before = view.line(l - 1);
    const QString after = view.line(l);
    view.replaceLine(l - 1, trimmed(before) + QLatin1Char(' ') + after);
    view.deleteLine(l);
    return CommandResult::Changed;
}

CommandResult LegeRegelTussenvoegen(LineView& view, const Markers& markers) {
    const Caret caret = view.caret();
    const QString s = view.line(caret.line);
    if (isMarkerExactly(s, markers)) return CommandResult::NotVerseText;
    const int count = view.lineCount();
    if (count <= caret.line) return CommandResult::NoEmptyLineHere;
    const QString rest = trimmed(s.mid(caret.column));
    // At the end of the last line (only blanks after the caret count as the end too) an empty
    // line would end the verse.
    if (rest.isEmpty() && caret.line == count - 1) return CommandResult::NoEmptyLineHere;

    QString marker = markers.emptyLine;
    if (caret.column > 0) marker.prepend(kCrLf);
    // A blank rest would become an empty line after the marker, i.e. a new slide. An empty line
    // that was already there (the whole line empty) is a slide change of its own and stays.
    if (!rest.isEmpty() || s.isEmpty()) marker.append(kCrLf);
    view.setStyle(kVerseStyle);
    view.replaceLine(caret.line, s.left(caret.column));
    insertMarkerThenRest(view, marker, rest);
    return CommandResult::Changed;
}

CommandResult Wissenlegeregel(LineView& view, const Markers& markers) {
    const int l = view.caret().line;
    if (trimmed(view.line(l)) != markers.emptyLine) return CommandResult::NotEmptyLine;
    view.deleteLine(l);
    return CommandResult::Changed;
}

} // namespace verse
