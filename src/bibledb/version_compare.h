// Two bible versions side by side: the books, chapters and verse counts of each, the chapters
// in which they differ, and whether pane 2 stands on the verse number pane 1 stands on.
#pragma once
#include "bibledb/verse_rows.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace jet {
class Database;
}

namespace bibledb {

// The books and chapters of one bible with the number of verse rows of each chapter.
struct BibleShape {
    QStringList bookNames;                          // book k + 1 at position k, as the book selector lists them
    std::map<std::pair<int, int>, int> verseCounts; // (book, chapter) -> verse rows
    QString bookName(int book) const;               // "" past the list
};

BibleShape shapeOf(const std::vector<VerseRow>& rows, QStringList bookNames);

// The names the book selector shows for the bible in `db`: its book-name rows sorted by number,
// each name up to its first ";" (book_list.h).
QStringList readBookNames(const jet::Database& db);

// The names and every chapter's verse rows of the bible in `db`.
BibleShape readBibleShape(const jet::Database& db);

// A chapter whose verse count differs, or that only one of the two bibles has. A bible has a
// book when it has verse rows of it; the side without the book has an empty name, the side
// without the chapter 0 verses.
struct ChapterDifference {
    int book = 0;
    QString nameA, nameB;
    int chapter = 0;
    int versesA = 0, versesB = 0;
    bool operator==(const ChapterDifference&) const = default;
};

struct VersionComparison {
    std::vector<ChapterDifference> differences; // by book and chapter
    int chaptersCompared = 0;                   // the chapters of either bible, each counted once
};

// Books are matched by number, chapters by number within the book.
VersionComparison compareVersions(const BibleShape& a, const BibleShape& b);

// "Book,Name A,Name B,Chapter,Verses A,Verses B", one line per difference, then
// "N chapters compared, M differ". Names are quoted as CSV needs it (a ",", a quote, a line break).
std::string comparisonCsv(const VersionComparison& comparison);

// Where pane 2 stands against pane 1: on the same chapter and verse number, on another, or on
// no verse at all (its bible lacks the chapter). `pane1` empty: pane 1 shows no verse, so there
// is nothing to compare and the panes count as agreeing.
enum class PaneAgreement { Same, OtherVerse, NoVerse };
PaneAgreement comparePanes(const std::optional<VersePlace>& pane1, const std::optional<VersePlace>& pane2);

} // namespace bibledb
