#include "bibledb/statements.h"

#include "data/dataset.h"

namespace bibledb {

namespace {
const QString kSelectAll = QStringLiteral("Select * from bible");
}

void setStatement(data::Query& query, const QStringList& lines) {
    query.sqlClear();
    for (const QString& line : lines) query.sqlAdd(line);
}

QStringList openBibleStatement() { return {kSelectAll}; }

QStringList bookListStatement() { return {kSelectAll, QStringLiteral("Where Book = 0 and Chapter = 10")}; }

QStringList highestChapterStatement(int book) {
    return {kSelectAll, "where BOOK = " + QString::number(book), QStringLiteral("ORDER BY chapter ASC")};
}

QStringList firstChapterStatement(int book) {
    return {kSelectAll, "where BOOK = " + QString::number(book), QStringLiteral("and CHAPTER = 1"),
            QStringLiteral("ORDER BY Verse ASC")};
}

QStringList chapterStatement(int book, const QString& chapter) {
    return {kSelectAll, "where BOOK = " + QString::number(book), "and CHAPTER = " + chapter,
            QStringLiteral("ORDER BY Verse ASC")};
}

int toInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) throw data::DataError("'" + text.toStdString() + "' is not a valid integer value");
    return value;
}

} // namespace bibledb
