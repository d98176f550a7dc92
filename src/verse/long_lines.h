// Lines too long for a slide: a stored verse's lines (pieces split at CR LF) measured in
// characters (Unicode code points), blanks at their ends included. A line that is empty or
// holds only blanks never counts.
#pragma once
#include <QStringView>

namespace verse {

// The number of code points of `line` (a surrogate pair is one character).
int characterCount(QStringView line);

// The length of the longest line of a stored text that counts; 0 when none counts.
int longestLine(QStringView storedText);

} // namespace verse
