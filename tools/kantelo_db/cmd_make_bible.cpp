// kantelo-db make-bible: builds a new bible database (table `bible`: Book, Chapter, Verse as
// Long Integer, BIBLETEXT as Memo) from a simple line-based UTF-8 source.
#include "commands.h"

#include "bibledb/bible_schema.h"
#include "data/program_io.h"
#include "jet/database.h"
#include "jet/text_codec.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace kantelo_db {

namespace {

struct SourceError {
    std::string message;
};

std::vector<std::string> splitTabs(const std::string& line, size_t maxFields) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (fields.size() + 1 < maxFields) {
        const size_t tab = line.find('\t', start);
        if (tab == std::string::npos) break;
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start)); // the last field keeps any further tabs
    return fields;
}

int64_t number(const std::string& field, const char* what) {
    if (field.empty()) throw SourceError{std::string(what) + " is empty"};
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(field.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX || field.front() == ' ')
        throw SourceError{std::string(what) + " \"" + field + "\" is not a whole number"};
    return v;
}

std::u16string unescape(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out.push_back(field[i]);
            continue;
        }
        if (i + 1 == field.size()) throw SourceError{"a lone \\ ends the text (write \\\\ for a backslash)"};
        switch (field[++i]) {
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        case '\\': out.push_back('\\'); break;
        default: throw SourceError{std::string("unknown escape \\") + field[i]};
        }
    }
    return jet::fromUtf8(out);
}

jet::NewTable readSource(std::istream& in, const std::string& name) {
    jet::NewTable table = bibledb::newBibleTable();
    std::string line;
    size_t lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        try {
            if (line.rfind("B\t", 0) == 0) {
                const auto f = splitTabs(line, 3);
                if (f.size() != 3) throw SourceError{"a book line is B<TAB>number<TAB>name"};
                table.rows.push_back({int64_t(bibledb::kBookNameBook), int64_t(bibledb::kBookNameChapter),
                                      number(f[1], "the book number"), unescape(f[2])});
            } else if (line.rfind("V\t", 0) == 0) {
                const auto f = splitTabs(line, 5);
                if (f.size() != 5) throw SourceError{"a verse line is V<TAB>book<TAB>chapter<TAB>verse<TAB>text"};
                table.rows.push_back({number(f[1], "the book"), number(f[2], "the chapter"),
                                      number(f[3], "the verse"), unescape(f[4])});
            } else {
                throw SourceError{"a line starts with B<TAB>, V<TAB> or # (comment)"};
            }
        } catch (const SourceError& e) {
            throw jet::Error(name + " line " + std::to_string(lineNumber) + ": " + e.message);
        }
    }
    if (in.bad()) throw jet::Error("cannot read " + name);
    return table;
}

} // namespace

std::string helpMakeBible() {
    return "make-bible OUT.mdb SOURCE\n"
           "  Creates OUT.mdb (which must not exist) with the table bible: Book, Chapter, Verse\n"
           "  (Long Integer) and BIBLETEXT (Memo). SOURCE is a UTF-8 text file, or - for standard\n"
           "  input, with one row per line, fields separated by one TAB:\n"
           "    B<TAB>number<TAB>name                    a book-name row (Book 0, Chapter 10,\n"
           "                                             Verse = number, BIBLETEXT = name)\n"
           "    V<TAB>book<TAB>chapter<TAB>verse<TAB>text a verse row\n"
           "  Numbers are whole numbers. In names and texts \\r, \\n, \\t and \\\\ stand for\n"
           "  CR, LF, TAB and a backslash (a line break of a verse is \\r\\n); any other TAB in\n"
           "  the text is kept as it is. Empty lines and lines starting with # are skipped.\n"
           "  Rows are stored in the order given.\n"
           "  The file is a bible for trying Kantelo and for tests, not one for the presentation\n"
           "  program: it has no indexes and none of the system tables MSysACEs, MSysQueries and\n"
           "  MSysRelationships that Jet keeps beside MSysObjects, so the presentation program\n"
           "  may refuse it.\n";
}

int cmdMakeBible(const Args& args) {
    if (args.size() != 2) {
        std::cerr << "kantelo-db: usage: kantelo-db make-bible OUT.mdb SOURCE (- = standard input)\n";
        return 2;
    }
    const std::string& out = args[0];
    const std::string& source = args[1];
    jet::NewTable table;
    if (source == "-") {
        table = readSource(std::cin, "standard input");
    } else {
        std::ifstream in(data::pathFromUtf8(source), std::ios::binary);
        if (!in) throw jet::Error("cannot open " + source);
        table = readSource(in, source);
    }
    jet::createDatabase(out, {table});
    return 0;
}

} // namespace kantelo_db
