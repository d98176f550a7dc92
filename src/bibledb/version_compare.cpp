#include "bibledb/version_compare.h"

#include "bibledb/bible_schema.h"
#include "bibledb/book_list.h"
#include "bibledb/statements.h"
#include "data/dataset.h"
#include "jet/database.h"

#include <set>

namespace bibledb {

QString BibleShape::bookName(int book) const {
    return book >= 1 && book <= bookNames.size() ? bookNames[book - 1] : QString();
}

BibleShape shapeOf(const std::vector<VerseRow>& rows, QStringList bookNames) {
    BibleShape shape;
    shape.bookNames = std::move(bookNames);
    for (const VerseRow& row : rows) ++shape.verseCounts[{row.place.book, row.place.chapter}];
    return shape;
}

QStringList readBookNames(const jet::Database& db) {
    // The statement the window sends for its book selector, so both see the same rows.
    const jet::ResultSet result = db.query(bookListStatement().join(QStringLiteral("\r\n")).toStdString());
    const int verse = result.columnIndex(kVerseColumn), text = result.columnIndex(kTextColumn);
    if (verse < 0 || text < 0) {
        const std::string missing = verse < 0 ? kVerseColumn : kTextColumn;
        throw data::DataError(jet::ErrorKind::NoColumn, {db.path(), kBibleTable, missing},
                              std::string("Table '") + kBibleTable + "' has no column '" + missing + "'.");
    }
    auto field = [](const jet::Row& row, int index, const char* name) {
        return data::Field(size_t(index) < row.values.size() ? std::optional(row.values[size_t(index)]) : std::nullopt,
                           name);
    };
    BookList list;
    for (const jet::Row& row : result.rows)
        list.add(bookEntry(field(row, verse, kVerseColumn).asString(), field(row, text, kTextColumn).asString()));
    return list.selectorNames();
}

BibleShape readBibleShape(const jet::Database& db) {
    std::vector<VerseRow> rows = readVerseRows(db);
    return shapeOf(rows, readBookNames(db));
}

VersionComparison compareVersions(const BibleShape& a, const BibleShape& b) {
    std::set<std::pair<int, int>> chapters;
    std::set<int> booksA, booksB;
    for (const auto& [place, count] : a.verseCounts) {
        chapters.insert(place);
        booksA.insert(place.first);
    }
    for (const auto& [place, count] : b.verseCounts) {
        chapters.insert(place);
        booksB.insert(place.first);
    }
    auto versesOf = [](const BibleShape& shape, const std::pair<int, int>& place) {
        const auto it = shape.verseCounts.find(place);
        return it == shape.verseCounts.end() ? 0 : it->second;
    };
    VersionComparison comparison;
    comparison.chaptersCompared = int(chapters.size());
    for (const auto& place : chapters) {
        const int versesA = versesOf(a, place), versesB = versesOf(b, place);
        if (versesA == versesB) continue;
        const int book = place.first;
        comparison.differences.push_back({book, booksA.count(book) ? a.bookName(book) : QString(),
                                          booksB.count(book) ? b.bookName(book) : QString(), place.second, versesA,
                                          versesB});
    }
    return comparison;
}

namespace {

std::string csvText(const QString& text) {
    const std::string utf8 = text.toStdString();
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string quoted = "\"";
    for (const char c : utf8) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

std::string comparisonCsv(const VersionComparison& comparison) {
    std::string out = "Book,Name A,Name B,Chapter,Verses A,Verses B\n";
    for (const ChapterDifference& d : comparison.differences)
        out += std::to_string(d.book) + "," + csvText(d.nameA) + "," + csvText(d.nameB) + "," +
               std::to_string(d.chapter) + "," + std::to_string(d.versesA) + "," + std::to_string(d.versesB) + "\n";
    out += std::to_string(comparison.chaptersCompared) + " chapters compared, " +
           std::to_string(comparison.differences.size()) + " differ\n";
    return out;
}

PaneAgreement comparePanes(const std::optional<VersePlace>& pane1, const std::optional<VersePlace>& pane2) {
    if (!pane1) return PaneAgreement::Same;
    if (!pane2) return PaneAgreement::NoVerse;
    return pane1->chapter == pane2->chapter && pane1->verse == pane2->verse ? PaneAgreement::Same
                                                                            : PaneAgreement::OtherVerse;
}

} // namespace bibledb
