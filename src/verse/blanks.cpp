#include "verse/blanks.h"

namespace verse {

QString trimmed(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text.at(start)))
        ++start;
    while (end > start && isBlank(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

bool isBlankLine(const QString& text) {
    for (QChar c : text) {
        if (!isBlank(c)) return false;
    }
    return true;
}

} // namespace verse
