// Formatting a stored verse for slides: breaking lines that are too long and splitting slides
// that hold too many lines, at the places a careful person would choose.
#pragma once
#include <QString>

namespace verse {

struct SlideFormat {
    int maxLineLength = 40;    // N: characters per line, counted as characterCount() counts them
    int maxSlideLines = 0;     // M: lines per slide, empty lines within the slide included; 0 = no limit
    bool keepLineBreaks = true; // keep every existing line break, break only the lines longer than N
};

// The stored text to write for `stored` (see slide_format.cpp for the choice of breaks):
// - the verse's non-blank characters stay exactly as they are, in order; only the blanks at a
//   chosen break become a line break (a line that is broken also loses the blanks at its end,
//   and without keepLineBreaks every blank run between two words becomes one space);
// - every slide change and every empty line the verse has stays, and so does the slide change
//   after the last line (or its absence); with keepLineBreaks every line break stays too;
//   without it the verse-text lines between two such marks are joined and broken afresh;
// - every line has at most N characters unless it holds a single word; with M > 0 every slide
//   has at most M lines (unless the verse's own empty lines alone make a slide longer than M);
// - formatting the result again returns it unchanged, and with keepLineBreaks a verse that
//   already keeps those limits is returned unchanged.
// A format with maxLineLength < 1 changes nothing.
QString formatForSlides(const QString& stored, const SlideFormat& format);

// Whether `stored` keeps the limits of `format`: no line longer than N that holds more than one
// word, and with M > 0 no slide of more than M lines.
bool keepsSlideLimits(const QString& stored, const SlideFormat& format);

} // namespace verse
