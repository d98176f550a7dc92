#include "verse/stored_text.h"

#include "verse/blanks.h"

namespace verse {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

LineKind kindOf(const QString& storedLine) {
    if (storedLine.isEmpty()) return LineKind::SlideChange;
    return isBlankLine(storedLine) ? LineKind::EmptyLine : LineKind::VerseText;
}

StoredVerse splitStored(const QString& text) {
    StoredVerse verse;
    verse.lines = text.split(kCrLf);
    // split() always gives at least one piece; the last is a line only when not empty.
    if (verse.lines.last().isEmpty()) {
        verse.lines.removeLast();
        verse.trailingSlideChange = true;
    }
    return verse;
}

namespace {

// `line` with every `cr` made `crTo` and every `lf` made `lfTo`.
QString swapped(QString line, QChar cr, QChar crTo, QChar lf, QChar lfTo) {
    for (QChar& c : line) {
        if (c == cr)
            c = crTo;
        else if (c == lf)
            c = lfTo;
    }
    return line;
}

} // namespace

QString toViewLine(const QString& storedLine) {
    return swapped(storedLine, QChar(kCr), QChar(kCrStandIn), QChar(kLf), QChar(kLfStandIn));
}

QString fromViewLine(const QString& viewLine) {
    return swapped(viewLine, QChar(kCrStandIn), QChar(kCr), QChar(kLfStandIn), QChar(kLf));
}

QStringList splitInsertText(const QString& text) {
    QStringList lines = text.split(kCrLf);
    for (QString& line : lines)
        line = toViewLine(line);
    return lines;
}

QString joinStored(const QStringList& viewLines) {
    QStringList stored;
    stored.reserve(viewLines.size());
    for (const QString& line : viewLines)
        stored.append(fromViewLine(line));
    return stored.join(kCrLf);
}

} // namespace verse
