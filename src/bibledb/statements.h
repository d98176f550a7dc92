// The statements the program sends to a bible's table `bible`, as the query's lines, and the
// strict number conversion the chapter steps use on the chapter label's text.
#pragma once
#include <QString>
#include <QStringList>

namespace data {
class Query;
}

namespace bibledb {

// Replaces the query's statement by `lines` (which closes it).
void setStatement(data::Query& query, const QStringList& lines);

// "Select * from bible": the whole table, when a bible is opened.
QStringList openBibleStatement();
// The book-name rows (Book 0, Chapter 10).
QStringList bookListStatement();
// Every row of book `book`, by chapter: its last row carries the highest chapter.
QStringList highestChapterStatement(int book);
// Chapter 1 of book `book`, by verse.
QStringList firstChapterStatement(int book);
// Chapter `chapter` (decimal text, as the chapter label shows it) of book `book`, by verse.
QStringList chapterStatement(int book, const QString& chapter);

// Decimal text to integer, blanks around it allowed; anything else (an empty text included) is a
// data::DataError "'<text>' is not a valid integer value".
int toInteger(const QString& text);

} // namespace bibledb
