// Text search over a whole bible: every verse whose text holds what was typed, letter case and
// accents not counting, with the line that holds it. The verses are folded once, when the
// search is built, so that each search only scans.
#pragma once
#include "bibledb/verse_rows.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace bibledb {

struct SearchHit {
    VersePlace place;
    int line = 0;     // index of the stored line (split at CR LF) that holds the hit's start
    QString lineText; // that line as stored
};

struct SearchResult {
    std::vector<SearchHit> hits; // in book order, at most the limit asked for
    int total = 0;               // every verse that holds the text
};

class VerseSearch {
public:
    explicit VerseSearch(std::vector<VerseRow> rows);
    // The verses holding `needle` (one hit per verse). A line break in a verse counts as one
    // blank, so a phrase found across two lines is found. An empty needle finds nothing.
    SearchResult search(QStringView needle, int limit) const;

private:
    std::vector<VerseRow> rows_;
    QString folded_;           // every verse folded, line breaks as one blank, each ended by LF
    std::vector<qsizetype> starts_; // where each verse starts in folded_
};

} // namespace bibledb
