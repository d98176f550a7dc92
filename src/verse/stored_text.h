// The stored form of a verse (column BIBLETEXT): lines separated by CR LF, where an empty line is
// a slide change, a blank line an empty line within the slide, and a final CR LF a slide change
// after the last line. Also the mapping between a stored line and the line an editor view shows.
#pragma once
#include <QString>
#include <QStringList>

namespace verse {

inline constexpr char16_t kCr = u'\r';
inline constexpr char16_t kLf = u'\n';
// An editor view breaks lines at every CR and LF, so a CR or LF that stands alone inside a
// stored line (only the pair CR LF separates lines) is shown as a visible stand-in and turned
// back on save: U+240D SYMBOL FOR CARRIAGE RETURN and U+240A SYMBOL FOR LINE FEED. A stored line
// that already holds one of these two symbols comes back with a CR or LF in its place after a
// save; bibles do not use them.
inline constexpr char16_t kCrStandIn = u'\u240D';
inline constexpr char16_t kLfStandIn = u'\u240A';

enum class LineKind {
    VerseText,   // holds a character that is not a blank
    EmptyLine,   // not empty, but blank: an empty line within the slide
    SlideChange, // empty: the following lines go onto a new slide
};

LineKind kindOf(const QString& storedLine);

struct StoredVerse {
    QStringList lines;                // the lines, without their CR LF
    bool trailingSlideChange = false; // the text is empty or ends with CR LF
};

// Splits at every CR LF pair. With k pairs there are k + 1 pieces; the last piece is a line only
// when it is not empty, and an empty last piece is the trailing slide change.
StoredVerse splitStored(const QString& text);

// Stored line -> view line (bare CR / LF to their stand-ins) and back.
QString toViewLine(const QString& storedLine);
QString fromViewLine(const QString& viewLine);

// Text to insert into a view -> its lines: each CR LF starts a new line; a bare CR or LF becomes
// its stand-in. Always at least one (possibly empty) line.
QStringList splitInsertText(const QString& text);

// The stored text of a list of view lines: stand-ins back to CR / LF, lines joined with CR LF,
// no CR LF after the last line (no lines: the empty text).
QString joinStored(const QStringList& viewLines);

} // namespace verse
