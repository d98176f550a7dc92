// Reading references as people type them against a bible's own book names and verses: names
// with digits and dots, prefixes that fit several books, accents, numbers only, and references
// that name nothing.
#include "bibledb/reference.h"

#include <gtest/gtest.h>

namespace {

using bibledb::ReferenceError;
using bibledb::VersePlace;

const QStringList kNames = {
    "Genesis", "Job", "Joel", "John", "Jonah", "1 Corinthians", "2 Corinthians", "1 John", "Psalms",
    QString::fromUtf8("Ésaïe"), "1. Mose", "Esther", "Esther (Greek)", "1 Chronicles",
};
constexpr int kJohn = 4, k1Corinthians = 6, kPsalms = 9, kEsaie = 10, kMose = 11, kEsther = 12;

// John has 21 chapters, John 3 has 36 verses, 1 Corinthians 16 chapters, Psalms 150 chapters
// with 176 verses in Psalm 119; every other book 5 chapters of 20 verses.
bibledb::BibleOutline outline() {
    std::vector<bibledb::VerseRow> rows;
    for (int book = 1; book <= int(kNames.size()); ++book) {
        const int chapters = book == kJohn ? 21 : book == kPsalms ? 150 : book == k1Corinthians ? 16 : 5;
        for (int chapter = 1; chapter <= chapters; ++chapter) {
            const int verses = book == kJohn && chapter == 3 ? 36 : book == kPsalms && chapter == 119 ? 176 : 20;
            for (int verse = 1; verse <= verses; ++verse) rows.push_back({{book, chapter, verse}, {}});
        }
    }
    return bibledb::BibleOutline(rows);
}

struct Case {
    const char* typed;
    ReferenceError error;
    VersePlace place; // on success
    int last = 0;     // NoSuchChapter / NoSuchVerse
};

TEST(Reference, TypedReferencesAgainstTheBiblesOwnNames) {
    const bibledb::BibleOutline verses = outline();
    const Case cases[] = {
        {"John 3:16", ReferenceError::None, {kJohn, 3, 16}},
        {"joh 3 16", ReferenceError::None, {kJohn, 3, 16}},
        {"  JOHN   3 , 16  ", ReferenceError::None, {kJohn, 3, 16}},
        {"John3.16", ReferenceError::None, {kJohn, 3, 16}},
        {"John 3:16-18", ReferenceError::None, {kJohn, 3, 16}},
        {"John 3:16 \xE2\x80\x93 4:2", ReferenceError::None, {kJohn, 3, 16}},
        {"Ps 119-120", ReferenceError::None, {kPsalms, 119, 1}},
        {"1 Cor 13", ReferenceError::None, {k1Corinthians, 13, 1}},
        {"1cor 4", ReferenceError::None, {k1Corinthians, 4, 1}},
        {"1 Co", ReferenceError::None, {k1Corinthians, 1, 1}}, // not 1 John
        {"2 cor. 5:20", ReferenceError::None, {7, 5, 20}},
        {"1 john", ReferenceError::None, {8, 1, 1}},
        {"Ps. 119:105", ReferenceError::None, {kPsalms, 119, 105}},
        {"ps119:176", ReferenceError::None, {kPsalms, 119, 176}},
        {"4 3 16", ReferenceError::None, {kJohn, 3, 16}},
        {"9 119", ReferenceError::None, {kPsalms, 119, 1}},
        {"11", ReferenceError::None, {kMose, 1, 1}},
        {"Genesis", ReferenceError::None, {1, 1, 1}},
        {"gen 2", ReferenceError::None, {1, 2, 1}},
        {"esaie 1:3", ReferenceError::None, {kEsaie, 1, 3}},
        {"\xC3\x89SA\xC3\x8F 2", ReferenceError::None, {kEsaie, 2, 1}},
        {"1. Mose 3,5", ReferenceError::None, {kMose, 3, 5}},
        {"1mose 3", ReferenceError::None, {kMose, 3, 1}},
        {"esther 2", ReferenceError::None, {kEsther, 2, 1}}, // a whole name wins over a longer one
        {"esther(", ReferenceError::None, {kEsther + 1, 1, 1}},
        {"jo 3:16", ReferenceError::AmbiguousBook, {}},
        {"1 c 2", ReferenceError::AmbiguousBook, {}}, // 1 Corinthians, 1 Chronicles
        {"Xyz 1:1", ReferenceError::NoSuchBook, {}},
        {"3 John 1", ReferenceError::NoSuchBook, {}},
        {"0 1 1", ReferenceError::NoSuchBook, {}},
        {"15 1 1", ReferenceError::NoSuchBook, {}},
        {"John 22", ReferenceError::NoSuchChapter, {}, 21},
        {"John 0:1", ReferenceError::NoSuchChapter, {}, 21},
        {"John 99999999999999", ReferenceError::NoSuchChapter, {}, 21},
        {"John 3:37", ReferenceError::NoSuchVerse, {}, 36},
        {"John 3:0", ReferenceError::NoSuchVerse, {}, 36},
        {"", ReferenceError::NotAReference, {}},
        {"   ", ReferenceError::NotAReference, {}},
        {":.,", ReferenceError::NotAReference, {}},
        {"?! 3", ReferenceError::NotAReference, {}},
        {"John 3:16:2", ReferenceError::NotAReference, {}},
        {"4 3 16 1", ReferenceError::NotAReference, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const bibledb::Reference r = bibledb::parseReference(QString::fromUtf8(c.typed), kNames, verses);
        EXPECT_EQ(r.error, c.error);
        if (c.error == ReferenceError::None) {
            EXPECT_EQ(r.place, c.place);
        }
        if (c.error == ReferenceError::NoSuchChapter || c.error == ReferenceError::NoSuchVerse) {
            EXPECT_EQ(r.last, c.last);
        }
    }
}

TEST(Reference, AnAmbiguousBookListsTheNamesThatFit) {
    const auto r = bibledb::parseReference("Jo 3", kNames, outline());
    EXPECT_EQ(r.error, ReferenceError::AmbiguousBook);
    EXPECT_EQ(r.bookText, "Jo");
    EXPECT_EQ(r.candidates, (QStringList{"Job", "Joel", "John", "Jonah"}));
}

} // namespace
