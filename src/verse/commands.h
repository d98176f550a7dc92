// The four popup commands that reshape a verse in its editor view at the caret: force a new
// slide, delete a slide change, insert an empty line, delete an empty line.
#pragma once
#include "verse/line_view.h"
#include "verse/markers.h"

namespace verse {

// What a command did: changed the view, or refused with the named message and changed nothing.
enum class CommandResult {
    Changed,
    NotVerseText,    // MsgNotVerseText: the caret's line is a marker line
    NotSlideChange,  // MsgNotSlideChange
    NotEmptyLine,    // MsgNotEmptyLine
    NoEmptyLineHere, // MsgNoEmptyLineHere: on the end place or at the end of the last line
};

// Splits the caret's line into the part before the caret, a slide-change marker and the rest
// trimmed; on the end place the marker becomes the last line.
CommandResult NieuweDia(LineView& view, const Markers& markers);

// Deletes the slide-change marker on the caret's line and joins its neighbours with one space.
// Where a join could lose or mix up text it only deletes the marker: on the first line, and
// next to another marker line (whose marker text would otherwise become verse text).
CommandResult WisDia(LineView& view, const Markers& markers);

// Splits the caret's line around an empty-line marker. Refused on the end place and at the end
// of the last line (with only blanks after the caret). When the rest after the caret is blank,
// no empty line is left after the marker (it would be stored as a slide change nobody asked for).
CommandResult LegeRegelTussenvoegen(LineView& view, const Markers& markers);

// Deletes the empty-line marker on the caret's line; its neighbours are not joined.
CommandResult Wissenlegeregel(LineView& view, const Markers& markers);

} // namespace verse
