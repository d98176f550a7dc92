// The verses of a bible whose stored text holds a line longer than a maximum (see
// verse/long_lines.h for what counts as a line and its length).
#pragma once
#include "bibledb/verse_rows.h"

#include <optional>
#include <vector>

namespace bibledb {

struct LongVerse {
    VersePlace place;
    int length = 0; // the verse's longest line
};

// Every row of `rows` (in their order) with a line longer than `maximum`.
std::vector<LongVerse> longVerses(const std::vector<VerseRow>& rows, int maximum);

// The first verse after `after` in book order with a line longer than `maximum`, among books
// 1 to `bookCount` (the books the window can show); nothing when none is left.
std::optional<VersePlace> nextLongVerse(const std::vector<VerseRow>& rows, const VersePlace& after, int maximum,
                                        int bookCount);

} // namespace bibledb
