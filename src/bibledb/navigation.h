// The query steps of moving between books and chapters, on the panes' queries: the window's
// navigation handlers and the whole-bible walk without a window both run these.
#pragma once
#include <QString>

#include <functional>

namespace data {
class Query;
}

namespace bibledb {

// Opens the book-name rows in `query1`, cursor on the first; bibledb::readBookNames reads them.
void openBookList(data::Query& query1);

// The book's highest chapter: `query1` is opened on the book's rows by chapter and its last row read.
int readHighestChapter(data::Query& query1, int book);

// Puts `query1`, and `query2` when it is open, on chapter 1 of `book` (by verse, cursor on the
// first row).
void openFirstChapter(data::Query& query1, data::Query& query2, int book);

// The chapter step: the chapter `delta` away from `chapterLabel` (decimal text, as the chapter
// label shows it; anything else is a data::DataError) is opened in `query1`, and in `query2` when
// it is open. Returns the new label: the chapter of query 1's row ("" when it has none).
// `showLabel` gets the counted chapter before query 1 opens and the new label before query 2 does.
QString stepChapter(data::Query& query1, data::Query& query2, int book, const QString& chapterLabel, int delta,
                    const std::function<void(const QString&)>& showLabel = {});

} // namespace bibledb
