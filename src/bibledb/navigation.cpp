#include "bibledb/navigation.h"

#include "bibledb/bible_schema.h"
#include "bibledb/statements.h"
#include "data/dataset.h"

namespace bibledb {

void openBookList(data::Query& query1) {
    setStatement(query1, bookListStatement());
    query1.open();
    query1.first();
}

int readHighestChapter(data::Query& query1, int book) {
    setStatement(query1, highestChapterStatement(book));
    query1.open();
    query1.last();
    return chapterOf(query1);
}

void openFirstChapter(data::Query& query1, data::Query& query2, int book) {
    setStatement(query1, firstChapterStatement(book));
    query1.open();
    query1.first();
    if (query2.active()) {
        setStatement(query2, firstChapterStatement(book));
        query2.open();
        query2.first();
    }
}

QString stepChapter(data::Query& query1, data::Query& query2, int book, const QString& chapterLabel, int delta,
                    const std::function<void(const QString&)>& showLabel) {
    // The new chapter counts from the label, not from the row.
    const QString counted = QString::number(toInteger(chapterLabel) + delta);
    if (showLabel) showLabel(counted);
    setStatement(query1, chapterStatement(book, counted));
    query1.open();
    const QString shown = query1.fieldByName(kChapterColumn).asString();
    if (showLabel) showLabel(shown);
    if (query2.active()) {
        setStatement(query2, chapterStatement(book, shown));
        query2.open();
    }
    return shown;
}

} // namespace bibledb
