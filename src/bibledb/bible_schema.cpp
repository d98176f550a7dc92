#include "bibledb/bible_schema.h"

#include "data/dataset.h"

namespace bibledb {

jet::NewTable newBibleTable() {
    jet::NewTable table;
    table.name = kBibleTable;
    table.columns = {{kBookColumn, jet::ColumnType::Long},
                     {kChapterColumn, jet::ColumnType::Long},
                     {kVerseColumn, jet::ColumnType::Long},
                     {kTextColumn, jet::ColumnType::Memo}};
    return table;
}

int wholeNumber(const data::Field& field) { return field.asInteger(); }

int wholeNumber(const std::optional<jet::Value>& value, const char* column) {
    return data::Field(value, column).asInteger();
}

int bookOf(const data::Query& query) { return wholeNumber(query.fieldByName(kBookColumn)); }
int chapterOf(const data::Query& query) { return wholeNumber(query.fieldByName(kChapterColumn)); }
int verseOf(const data::Query& query) { return wholeNumber(query.fieldByName(kVerseColumn)); }

} // namespace bibledb
