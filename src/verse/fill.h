// Filling an editor view from a stored verse text: verse lines black, slide changes and empty
// lines as purple bold marker lines.
#pragma once
#include "verse/line_view.h"
#include "verse/markers.h"

namespace verse {

inline constexpr CharStyle kVerseStyle{false, kBlack};
inline constexpr CharStyle kMarkerStyle{true, kPurple};

// Clears the view and appends, per stored line: verse text unchanged (blanks at its ends kept),
// black, not bold; a blank line as markers.emptyLine and an empty line as markers.newSlide,
// purple and bold; then one more markers.newSlide when the text is empty or ends with CR LF.
// The view then ends with a line break and the insertion style is black, not bold.
void fillView(LineView& view, const QString& stored, const Markers& markers);

// The same lines and look as fillView, made with the editing operations only (deleting the lines,
// inserting at the caret), so that a view that records them can undo the change as one edit.
void replaceVerse(LineView& view, const QString& stored, const Markers& markers);

} // namespace verse
