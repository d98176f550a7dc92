#include "bibledb/statements.h"

#include "bibledb/bible_schema.h"
#include "data/dataset.h"

namespace bibledb {

// The statements spell the schema's names as the program always has: "BOOK", "CHAPTER" and
// "chapter" in some lines (Jet compares names without regard to case).
namespace {
const QString kSelectAll = QStringLiteral("Select * from ") + kBibleTable;
const QString kBook = QString(kBookColumn);
const QString kChapter = QString(kChapterColumn);

QString whereBook(int book) { return "where " + kBook.toUpper() + " = " + QString::number(book); }
} // namespace

void setStatement(data::Query& query, const QStringList& lines) {
    query.sqlClear();
    for (const QString& line : lines) query.sqlAdd(line);
}

QStringList openBibleStatement() { return {kSelectAll}; }

QStringList bookListStatement() {
    return {kSelectAll, "Where " + kBook + " = " + QString::number(kBookNameBook) + " and " + kChapter + " = " +
                            QString::number(kBookNameChapter)};
}

QStringList highestChapterStatement(int book) {
    return {kSelectAll, whereBook(book), "ORDER BY " + kChapter.toLower() + " ASC"};
}

QStringList firstChapterStatement(int book) {
    return chapterStatement(book, QStringLiteral("1"));
}

QStringList chapterStatement(int book, const QString& chapter) {
    return {kSelectAll, whereBook(book), "and " + kChapter.toUpper() + " = " + chapter,
            QStringLiteral("ORDER BY ") + kVerseColumn + " ASC"};
}

int toInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) throw data::DataError("'" + text.toStdString() + "' is not a valid integer value");
    return value;
}

} // namespace bibledb
