// Builds bible databases with the engine's writer for tests, including odd shapes: book-name
// rows shuffled or missing, names with ";", chapter gaps, extra columns, a Text(255) verse
// column, another letter case for the table name.
#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace test_support {

struct BibleVerse {
    int book = 0;
    int chapter = 0;
    int verse = 0;
    std::u16string text;
};

struct BibleSpec {
    std::string tableName = "bible";
    // Book-name rows (Book = 0, Chapter = 10, Verse = number, BIBLETEXT = name), in row order.
    std::vector<std::pair<int, std::u16string>> bookNames;
    std::vector<BibleVerse> verses;  // verse rows, in row order
    bool verseTextAsText255 = false; // BIBLETEXT as Text(255) instead of Memo
    bool extraColumns = false;       // adds an "ID" Long and a "Notes" Text(50) column
    bool shuffleRows = false;        // stores all rows in a fixed pseudo-random order
};

// `books` books named "Book 1".. "Book N", each with `chapters` chapters of `verses` verses whose
// text is "Verse <b>:<c>:<v>".
BibleSpec simpleBible(int books, int chapters, int verses);

// Writes the bible database to `file` (which must not exist) and returns `file`.
std::filesystem::path writeBible(const std::filesystem::path& file, const BibleSpec& bibleSpec);

// Every row's BIBLETEXT keyed by (Book, Chapter, Verse), read through the engine; a NULL text
// reads as "<null>".
using VerseKey = std::tuple<int, int, int>;
using VerseTexts = std::map<VerseKey, std::u16string>;
VerseTexts readVerseTexts(const std::filesystem::path& file);

} // namespace test_support
