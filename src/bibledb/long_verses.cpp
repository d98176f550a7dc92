#include "bibledb/long_verses.h"

#include "verse/long_lines.h"

namespace bibledb {

std::vector<LongVerse> longVerses(const std::vector<VerseRow>& rows, int maximum) {
    std::vector<LongVerse> found;
    for (const VerseRow& row : rows) {
        const int length = verse::longestLine(row.text);
        if (length > maximum) found.push_back({row.place, length});
    }
    return found;
}

std::optional<VersePlace> nextLongVerse(const std::vector<VerseRow>& rows, const VersePlace& after, int maximum,
                                        int bookCount) {
    for (const VerseRow& row : rows) {
        if (row.place <= after || row.place.book > bookCount) continue;
        if (verse::longestLine(row.text) > maximum) return row.place;
    }
    return std::nullopt;
}

} // namespace bibledb
