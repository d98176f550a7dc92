#include "support/mdb_export.h"

#include "jet/text_codec.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace test_support {

Cells parseCsv(const std::string& text, std::vector<std::string>* header) {
    Cells rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, any = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') { field += '"'; ++i; }
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field); field.clear();
        } else if (c == '\n') {
            row.push_back(field); field.clear();
            rows.push_back(row); row.clear();
            any = false;
            continue;
        } else {
            field += c;
        }
        any = true;
    }
    if (any) { row.push_back(field); rows.push_back(row); }
    if (!rows.empty()) {
        if (header) *header = rows.front();
        rows.erase(rows.begin());
    }
    return rows;
}

std::vector<std::string> mdbTables(const std::filesystem::path& file) {
    auto r = run({"mdb-tables", "-1", hostPath(file)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> names;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) names.push_back(line);
    return names;
}

std::string mdbExportRaw(const std::filesystem::path& file, const std::string& table) {
    auto r = run({"mdb-export", "-b", "strip", hostPath(file), table});
    EXPECT_EQ(r.exitCode, 0) << table << ": " << r.err;
    return r.out;
}

Cells mdbExport(const std::filesystem::path& file, const std::string& table, std::vector<std::string>* header) {
    return parseCsv(mdbExportRaw(file, table), header);
}

std::string asMdbExportShows(const std::u16string& text) {
    std::u16string copy = text;
    for (char16_t& c : copy)
        if (c >= 0xD800 && c <= 0xDFFF) c = u'?';
    return jet::toUtf8(copy);
}

std::map<std::tuple<int, int, int>, std::string> exportedVerseTexts(const std::filesystem::path& file) {
    std::vector<std::string> header;
    const Cells rows = mdbExport(file, "bible", &header);
    auto column = [&](const std::string& name) {
        return size_t(std::find(header.begin(), header.end(), name) - header.begin());
    };
    const size_t b = column("Book"), c = column("Chapter"), v = column("Verse"), t = column("BIBLETEXT");
    std::map<std::tuple<int, int, int>, std::string> texts;
    for (std::vector<std::string> cells : rows) {
        cells.resize(header.size());
        std::string escaped;
        for (char ch : cells[t]) {
            if (ch == '\r') escaped += "\\r";
            else if (ch == '\n') escaped += "\\n";
            else if (ch == '\t') escaped += "\\t";
            else if (ch == '\\') escaped += "\\\\";
            else escaped += ch;
        }
        texts[{std::stoi(cells[b]), std::stoi(cells[c]), std::stoi(cells[v])}] = escaped;
    }
    return texts;
}

} // namespace test_support
