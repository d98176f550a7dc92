// Turning an edited view back into a stored verse text: marker lines back to stored lines in the
// view itself, doubled slide changes reduced, the lines joined with CR LF.
#pragma once
#include "verse/line_view.h"
#include "verse/markers.h"

#include <QStringList>

namespace verse {

// The view lines as they are to be stored: a line that trimmed equals markers.emptyLine becomes
// " ", one that (then) trimmed equals markers.newSlide becomes empty, and every run of two or
// more empty lines is reduced to its first. A line of blanks ends a run.
QStringList storedLines(const QStringList& viewLines, const Markers& markers);

// Converts the view itself to storedLines() (a view that needs no change is left untouched,
// caret and look included) and returns the text to store: the lines joined with CR LF, no CR LF
// after the last, bare-CR/LF stand-ins turned back. Running it again gives the same text.
QString convertForSave(LineView& view, const Markers& markers);

} // namespace verse
