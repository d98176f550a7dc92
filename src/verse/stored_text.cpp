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

QString toViewLine(const QString& storedLine) {
    QString line = storedLine;
    for (QChar& c : line) {
        if (c == kCr)
            c = QChar(kCrStandIn);
        else if (c == kLf)
            c = QChar(kLfStandIn);
    }
    return line;
}

QString fromViewLine(const QString& viewLine) {
    QString line = viewLine;
    for (QChar& c : line) {
        if (c == kCrStandIn)
            c = QChar(kCr);
        else if (c == kLfStandIn)
            c = QChar(kLf);
    }
    return line;
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
