// Blanks and trimming as the verse encoding defines them: a blank is any character whose code is
// 32 or less (space, tab, CR, LF and every other control character).
#pragma once
#include <QString>

namespace verse {

inline bool isBlank(QChar c) { return c.unicode() <= 32; }

// The text without blanks at its start and end (QString::trimmed uses Unicode whitespace, which
// is a different set: it keeps e.g. U+0001 and drops U+00A0).
QString trimmed(const QString& text);

// True when trimming leaves nothing (the empty text included).
bool isBlankLine(const QString& text);

} // namespace verse
