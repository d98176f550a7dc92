// The two marker texts that stand in an editor view for a slide change and for an empty line
// within a slide; the window passes those of its current language.
#pragma once
#include <QString>

namespace verse {

struct Markers {
    QString newSlide;  // e.g. "<New slide>"
    QString emptyLine; // e.g. "<Empty line>"
};

} // namespace verse
