// Every verse row of a bible read in one pass, in book order, and what is known from them
// alone: which chapters and verses exist. Go to, Find and the long-line check work on these.
#pragma once
#include <QString>

#include <compare>
#include <map>
#include <set>
#include <vector>

namespace jet {
class Database;
}

namespace bibledb {

struct VersePlace {
    int book = 0;
    int chapter = 0;
    int verse = 0;
    auto operator<=>(const VersePlace&) const = default;
};

struct VerseRow {
    VersePlace place;
    QString text; // BIBLETEXT as stored (CR LF line breaks)
};

// The rows of table `bible` with Book > 0 (the book-name rows have Book 0), sorted by Book,
// Chapter and Verse; rows of the same place keep their storage order. Table and column names
// match without regard to case; a missing one is an error naming it.
std::vector<VerseRow> readVerseRows(const jet::Database& db);

// The chapters and verses that exist, from the verse rows.
class BibleOutline {
public:
    BibleOutline() = default;
    explicit BibleOutline(const std::vector<VerseRow>& rows);
    int lastChapter(int book) const;              // 0 when the book has no rows
    int lastVerse(int book, int chapter) const;   // 0 when the chapter has no rows
    bool hasChapter(int book, int chapter) const;
    bool has(const VersePlace& place) const;

private:
    std::set<VersePlace> places_;
    std::map<int, int> lastChapter_;
    std::map<std::pair<int, int>, int> lastVerse_;
};

} // namespace bibledb
