// The book list of an open bible: the sort key of a book-name row, the hidden sorted list that
// puts the names in book-number order, and the name the book selector shows for an entry.
#pragma once
#include <QString>
#include <QStringList>

namespace data {
class Query;
}

namespace bibledb {

// The three-character key of a book number given as decimal text: "000" + number, of which the
// last three characters ("1" -> "001", "27" -> "027", "150" -> "150", "1234" -> "234").
QString bookKey(const QString& number);

// key + ";" + name, the entry a book-name row adds to the list.
QString bookEntry(const QString& number, const QString& name);

// The name shown in the book selector: the part of an entry after its first ";" up to the next
// ";" or the end ("001;Genesis" -> "Genesis", "002;Ex;odus" -> "Ex"; no ";" -> "").
QString selectorName(const QString& entry);

// A list that keeps its entries in ascending text order (UTF-16 code units); an entry equal to
// ones already present goes after them, so ties keep the order in which they were added.
class BookList {
public:
    void clear() { entries_.clear(); }
    void add(const QString& entry);
    const QStringList& entries() const { return entries_; }
    int count() const { return int(entries_.size()); }
    // The selector names of all entries, in list order.
    QStringList selectorNames() const;

private:
    QStringList entries_;
};

// Adds one entry per row of the open book-list query to `list`, from the current row on, moving
// with Next until the query's end: the key from "Verse" read as text, the name from BIBLETEXT.
void readBookNames(data::Query& query, BookList& list);

} // namespace bibledb
