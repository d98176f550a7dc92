// mdbtools as the independent reader in tests: mdb-export's CSV parsed into cells (the one parser
// of its output), mdb-tables' list, and how mdb-export shows a stored text.
#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace test_support {

using Cells = std::vector<std::vector<std::string>>;

// Parses CSV in mdb-export's dialect: fields separated by commas, records by LF, quoted fields
// with "" for a quote inside (they may hold CR LF). The header record is dropped, or returned in
// `header`.
Cells parseCsv(const std::string& text, std::vector<std::string>* header = nullptr);

std::vector<std::string> mdbTables(const std::filesystem::path& file);
// mdb-export's output for a table (binary columns stripped); a failing run is a test failure.
std::string mdbExportRaw(const std::filesystem::path& file, const std::string& table);
Cells mdbExport(const std::filesystem::path& file, const std::string& table, std::vector<std::string>* header = nullptr);

// BIBLETEXT of every row of table `bible` as mdb-export reads it, by (Book, Chapter, Verse), with
// C-style escapes (\r, \n, \t, \\) so that expectations show line breaks.
std::map<std::tuple<int, int, int>, std::string> exportedVerseTexts(const std::filesystem::path& file);

// What mdb-export prints for a stored text: UTF-8, with each UTF-16 surrogate shown as '?'.
std::string asMdbExportShows(const std::u16string& text);

} // namespace test_support
