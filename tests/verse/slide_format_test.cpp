// Formatting a verse for slides: hand-made verses with the result a careful person would choose.
#include "verse/slide_format.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

QString stored(const char16_t* text) { return QString::fromUtf16(text).replace(u'|', QStringLiteral("\r\n")); }

TEST(SlideFormat, HandMadeVerses) {
    // '|' stands for CR LF.
    const struct {
        const char* what;
        int n;
        int m;
        bool keep;
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {"a comma rather than an even split", 32, 0, true, u"Blessed are the meek, for they shall inherit the earth",
         u"Blessed are the meek,|for they shall inherit the earth"},
        {"a clause end rather than filling the line", 40, 0, true,
         u"And God said, Let there be light: and there was light.",
         u"And God said, Let there be light:|and there was light."},
        {"no short word alone on the last line", 36, 0, true, u"He that hath ears to hear, let him hear.",
         u"He that hath ears to hear,|let him hear."},
        {"a word longer than N alone on its line", 10, 0, true, u"a Supercalifragilistic b", u"a|Supercalifragilistic|b"},
        {"no line starts with a mark of the word before", 12, 0, true, u"Hello world , and more",
         u"Hello|world ,|and more"},
        {"no line ends with an opening mark", 14, 0, true, u"he said ( softly ) to them",
         u"he said|( softly )|to them"},
        {"slide changes and empty lines stay, the trailing one too", 20, 0, true,
         u"A short line||Another one that is too long for it| |End|", u"A short line||Another one that is|too long for it| |End|"},
        {"no trailing slide change is added", 20, 0, true, u"Ask, and it shall be given you; seek",
         u"Ask, and it shall|be given you; seek"},
        {"a kept line keeps its blanks; a broken one its leading blanks", 30, 0, true,
         u"  indented  line  |  Leading blanks and a long line here to break  ",
         u"  indented  line  |  Leading blanks and a long|line here to break"},
        {"M splits where a sentence ends", 40, 2, true,
         u"In the beginning God created the heaven and the earth. And the earth was without form, and void.",
         u"In the beginning God created the|heaven and the earth.||And the earth was without form,|and void."},
        {"M splits into slides of about equal size", 40, 3, true, u"A|B|C|D|E", u"A|B|C||D|E"},
        {"empty lines count as lines of the slide", 20, 3, true, u" |A|B| |C", u" |A||B| |C"},
        {"without keeping, lines between marks are joined afresh", 40, 0, false,
         u"In the beginning|was the Word, and the Word| |was with God.",
         u"In the beginning was the Word,|and the Word| |was with God."},
        {"without keeping, blank runs become one space", 80, 0, false, u"  a   b|c  ", u"a b c"},
        {"an empty verse", 20, 3, false, u"", u""},
        {"a verse of blanks", 20, 3, false, u"   ", u"   "},
        {"a verse that is only a slide change", 20, 3, false, u"|", u"|"},
        {"N off changes nothing", 0, 3, false, u"a b c d e f", u"a b c d e f"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const verse::SlideFormat format{c.n, c.m, c.keep};
        const QString once = verse::formatForSlides(stored(c.in), format);
        EXPECT_EQ(once.toStdU16String(), stored(c.out).toStdU16String());
        EXPECT_EQ(verse::formatForSlides(once, format).toStdU16String(), once.toStdU16String());
    }
}

TEST(SlideFormat, KeepsSlideLimits) {
    const verse::SlideFormat format{10, 2, true};
    EXPECT_TRUE(verse::keepsSlideLimits(stored(u"0123456789|Supercalifragilistic||a|b"), format));
    EXPECT_FALSE(verse::keepsSlideLimits(stored(u"01234 67890"), format));    // two words, 11 characters
    EXPECT_FALSE(verse::keepsSlideLimits(stored(u"a| |b"), format));          // an empty line counts
    EXPECT_TRUE(verse::keepsSlideLimits(stored(u"\U0001F54A\U0001F54A 45678"), format)); // a surrogate pair is one
}

} // namespace
