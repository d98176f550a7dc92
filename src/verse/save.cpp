#include "verse/save.h"

#include "verse/blanks.h"
#include "verse/fill.h"
#include "verse/stored_text.h"

namespace verse {

QStringList storedLines(const QStringList& viewLines, const Markers& markers) {
    QStringList result;
    result.reserve(viewLines.size());
    for (QString line : viewLines) {
        if (trimmed(line) == markers.emptyLine) line = QStringLiteral(" ");
        if (trimmed(line) == markers.newSlide) line.clear();
        if (line.isEmpty() && !result.isEmpty() && result.last().isEmpty()) continue;
        result.append(line);
    }
    return result;
}

QString convertForSave(LineView& view, const Markers& markers) {
    const QStringList before = view.lines();
    const QStringList after = storedLines(before, markers);
    if (after != before) {
        // Rewritten by appends rather than line by line: replacing the last line by an empty
        // text in a view without a final break would turn it into the uncounted end place and
        // lose a trailing slide change. Appending keeps every line, an empty last one included.
        view.clear();
        view.setStyle(kVerseStyle);
        for (const QString& line : after)
            view.appendLine(line);
    }
    return joinStored(after);
}

} // namespace verse
