#include "bibledb/verse_rows.h"

#include "bibledb/bible_schema.h"
#include "data/dataset.h"
#include "jet/database.h"

#include <algorithm>
#include <string>

namespace bibledb {

std::vector<VerseRow> readVerseRows(const jet::Database& db) {
    const jet::TableSchema schema = db.schema(kBibleTable);
    auto column = [&](const char* name) {
        const int index = schema.columnIndex(name);
        if (index < 0)
            throw data::DataError(jet::ErrorKind::NoColumn, {db.path(), schema.name, name},
                                  "Table '" + schema.name + "' has no column '" + name + "'.");
        return size_t(index);
    };
    const size_t book = column(kBookColumn), chapter = column(kChapterColumn), verse = column(kVerseColumn),
                 text = column(kTextColumn);
    // Values are read as the window's fields read them (numbers stored as text included).
    auto value = [](const jet::Row& row, size_t index) {
        return index < row.values.size() ? std::optional(row.values[index]) : std::nullopt;
    };
    std::vector<VerseRow> rows;
    db.scanTable(schema.name, [&](const jet::Row& row) {
        const int b = wholeNumber(value(row, book), kBookColumn);
        if (b <= 0) return;
        rows.push_back({{b, wholeNumber(value(row, chapter), kChapterColumn), wholeNumber(value(row, verse), kVerseColumn)},
                        data::Field(value(row, text), kTextColumn).asString()});
    });
    std::stable_sort(rows.begin(), rows.end(),
                     [](const VerseRow& a, const VerseRow& b) { return a.place < b.place; });
    return rows;
}

BibleOutline::BibleOutline(const std::vector<VerseRow>& rows) {
    for (const VerseRow& row : rows) {
        const VersePlace& p = row.place;
        places_.insert(p);
        int& chapter = lastChapter_[p.book];
        chapter = std::max(chapter, p.chapter);
        int& verse = lastVerse_[{p.book, p.chapter}];
        verse = std::max(verse, p.verse);
    }
}

int BibleOutline::lastChapter(int book) const {
    const auto it = lastChapter_.find(book);
    return it == lastChapter_.end() ? 0 : it->second;
}

int BibleOutline::lastVerse(int book, int chapter) const {
    const auto it = lastVerse_.find({book, chapter});
    return it == lastVerse_.end() ? 0 : it->second;
}

bool BibleOutline::hasChapter(int book, int chapter) const { return lastVerse_.count({book, chapter}) > 0; }

bool BibleOutline::has(const VersePlace& place) const { return places_.count(place) > 0; }

} // namespace bibledb
