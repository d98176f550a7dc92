#include "verse/long_lines.h"

#include "verse/blanks.h"

#include <algorithm>

namespace verse {

namespace {

bool onlyBlanks(QStringView line) {
    return std::all_of(line.begin(), line.end(), [](QChar c) { return isBlank(c); });
}

} // namespace

int characterCount(QStringView line) {
    int count = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) ++i;
        ++count;
    }
    return count;
}

int longestLine(QStringView storedText) {
    int longest = 0;
    qsizetype start = 0;
    while (start <= storedText.size()) {
        qsizetype end = storedText.indexOf(u"\r\n", start);
        if (end < 0) end = storedText.size();
        const QStringView line = storedText.mid(start, end - start);
        if (!onlyBlanks(line)) longest = std::max(longest, characterCount(line));
        start = end + 2;
    }
    return longest;
}

} // namespace verse
