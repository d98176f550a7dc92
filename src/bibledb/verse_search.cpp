#include "bibledb/verse_search.h"

#include "bibledb/folding.h"

#include <algorithm>

namespace bibledb {

namespace {

// The stored line that holds offset `at` of the verse's folded form, where each CR LF became
// one character.
SearchHit hitAt(const VerseRow& row, qsizetype at) {
    SearchHit hit{row.place, 0, {}};
    qsizetype start = 0;
    qsizetype foldedStart = 0;
    for (;;) {
        qsizetype end = row.text.indexOf(u"\r\n", start);
        if (end < 0) end = row.text.size();
        const qsizetype length = end - start;
        if (at <= foldedStart + length || end == row.text.size()) {
            hit.lineText = row.text.mid(start, length);
            return hit;
        }
        foldedStart += length + 1;
        start = end + 2;
        ++hit.line;
    }
}

} // namespace

VerseSearch::VerseSearch(std::vector<VerseRow> rows) : rows_(std::move(rows)) {
    qsizetype size = 0;
    for (const VerseRow& row : rows_) size += row.text.size() + 1;
    folded_.reserve(size);
    starts_.reserve(rows_.size());
    for (const VerseRow& row : rows_) {
        starts_.push_back(folded_.size());
        QString text = foldCaseAndAccents(row.text);
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        // A bare LF inside a line must not end the verse in the joined text.
        text.replace(u'\n', u' ');
        folded_ += text;
        folded_ += u'\n';
    }
}

SearchResult VerseSearch::search(QStringView needle, int limit) const {
    SearchResult result;
    QString key = foldCaseAndAccents(needle);
    key.replace(u'\r', u' ');
    key.replace(u'\n', u' ');
    if (key.isEmpty()) return result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = folded_.indexOf(key, from);
        if (at < 0) break;
        // The verse holding the hit; the next search starts at the verse after it.
        const size_t verse = size_t(std::upper_bound(starts_.begin(), starts_.end(), at) - starts_.begin()) - 1;
        if (int(result.hits.size()) < limit) result.hits.push_back(hitAt(rows_[verse], at - starts_[verse]));
        ++result.total;
        from = verse + 1 < starts_.size() ? starts_[verse + 1] : folded_.size();
    }
    return result;
}

} // namespace bibledb
