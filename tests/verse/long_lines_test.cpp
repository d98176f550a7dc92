// The longest line of a stored verse that counts: pieces split at CR LF, length in code points
// with the blanks at a line's ends, blank lines never counting.
#include "verse/long_lines.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

TEST(LongLines, LongestLineOfAStoredText) {
    const struct {
        const char16_t* text;
        int longest;
    } cases[] = {
        {u"", 0},
        {u"abc", 3},
        {u"ab\r\nabcde\r\nabc", 5},
        {u"  abc  ", 7},                          // blanks at the ends count
        {u"abc\r\n          \r\nab", 3},          // a line of blanks never counts
        {u"\t\x01\x1f \r\n\r\n", 0},              // nor control characters only
        {u"abc\r\n", 3},                          // the trailing slide change is no line
        {u"\U0001F54A\U0001F54Aab", 4},           // a surrogate pair is one character
        {u"\u00e9\u0301x", 3},                    // a combining accent is a code point of its own
        {u"abc\rdef\nghi", 11},                   // only CR LF splits
        {u"\u00a0\u00a0", 2},                     // no-break spaces are not blanks (code > 32)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(verse::longestLine(QString::fromUtf16(c.text)), c.longest);
    }
}

} // namespace
