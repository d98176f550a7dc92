// The bible's schema: table `bible`, its four columns, the key of the book-name rows, and the one
// way a Book, Chapter or Verse value is read as a whole number. Every other unit names them here.
#pragma once
#include "jet/database.h"

#include <optional>

namespace data {
class Field;
class Query;
} // namespace data

namespace bibledb {

inline constexpr char kBibleTable[] = "bible";

inline constexpr char kBookColumn[] = "Book";
inline constexpr char kChapterColumn[] = "Chapter";
inline constexpr char kVerseColumn[] = "Verse";
inline constexpr char kTextColumn[] = "BIBLETEXT"; // the verse text; a book-name row's name

// A book-name row: Book 0, Chapter 10, the book's number in Verse and its name in BIBLETEXT.
inline constexpr int kBookNameBook = 0;
inline constexpr int kBookNameChapter = 10;

// Table `bible` as this program makes it, without rows: Book, Chapter and Verse as Long Integer,
// BIBLETEXT as Memo.
jet::NewTable newBibleTable();

// A Book, Chapter or Verse value as a whole number, as the window's fields read it: NULL or no
// value 0, a fraction rounded, a number stored as text converted; text that is no number and a
// value past the integer range are a data::DataError.
int wholeNumber(const data::Field& field);
int wholeNumber(const std::optional<jet::Value>& value, const char* column);

// The current row's Book, Chapter and Verse, read as above (0 when the query has no current row).
int bookOf(const data::Query& query);
int chapterOf(const data::Query& query);
int verseOf(const data::Query& query);

} // namespace bibledb
