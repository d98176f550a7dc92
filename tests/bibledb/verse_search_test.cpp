// Searching a whole bible: letter case and accents do not count, one hit per verse in book
// order with the line that holds it, a phrase across a line break, the limit on hits shown.
#include "bibledb/verse_search.h"

#include <gtest/gtest.h>

namespace {

using bibledb::VersePlace;

bibledb::VerseSearch search() {
    return bibledb::VerseSearch({
        {{1, 1, 1}, "In the beginning God created"},
        {{1, 1, 2}, "And the earth was\r\nwithout form, and void; and god said"},
        {{1, 2, 1}, QString::fromUtf8("Gott schuf die Erde. Über Jesaja: Ésaïe")},
        {{2, 1, 1}, "first line\r\n\r\nthird line with Light\r\n"},
        {{2, 1, 2}, "light\nbare LF inside"},
    });
}

struct Case {
    const char* needle;
    std::vector<VersePlace> places;
    std::vector<int> lines;
};

TEST(VerseSearch, FindsEachVerseOnceWithTheLineThatHoldsTheHit) {
    const auto bible = search();
    const Case cases[] = {
        {"GOD", {{1, 1, 1}, {1, 1, 2}}, {0, 1}},               // twice in 1:1:2, one hit
        {"god s", {{1, 1, 2}}, {1}},                            // not "gott schuf"
        {"was without", {{1, 1, 2}}, {0}},                      // across the line break
        {"\xC3\xBC" "ber jes", {{1, 2, 1}}, {0}},               // ü finds Ü
        {"esaie", {{1, 2, 1}}, {0}},                            // accents typed or not
        {"\xC3\xA9s\xC3\xA0\xC3\xAF", {{1, 2, 1}}, {0}},
        {"light", {{2, 1, 1}, {2, 1, 2}}, {2, 0}},              // after an empty line
        {"inside", {{2, 1, 2}}, {0}},                           // a bare LF is no line break
        {"god said\ngott", {}, {}},                               // never across two verses
        {"nothing like this", {}, {}},
        {"", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.needle);
        const bibledb::SearchResult result = bible.search(QString::fromUtf8(c.needle), 100);
        ASSERT_EQ(result.hits.size(), c.places.size());
        EXPECT_EQ(result.total, int(c.places.size()));
        for (size_t i = 0; i < c.places.size(); ++i) {
            EXPECT_EQ(result.hits[i].place, c.places[i]);
            EXPECT_EQ(result.hits[i].line, c.lines[i]);
        }
    }
}

TEST(VerseSearch, TheHitCarriesTheStoredLineAndTheLimitKeepsTheTotal) {
    const auto bible = search();
    const auto result = bible.search(u"LINE", 1);
    EXPECT_EQ(result.total, 1); // "first line" and "third line" are in the same verse
    ASSERT_EQ(result.hits.size(), 1u);
    EXPECT_EQ(result.hits[0].lineText, "first line");
    const auto limited = bible.search(u"e", 2);
    EXPECT_EQ(limited.hits.size(), 2u);
    EXPECT_EQ(limited.total, 5);
    EXPECT_EQ(bible.search(u"third", 5).hits.at(0).lineText, "third line with Light");
}

} // namespace
