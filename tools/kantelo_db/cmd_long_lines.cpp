// kantelo-db long-lines: the verses with a line longer than a maximum, as CSV, for scripts that
// check a bible before it goes to the projector.
#include "commands.h"

#include "bibledb/long_verses.h"
#include "jet/database.h"

#include <charconv>
#include <iostream>
#include <string>

namespace kantelo_db {

namespace {

bool parseMaximum(const std::string& text, int& maximum) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, maximum);
    return error == std::errc() && stop == end && maximum >= 0;
}

} // namespace

int cmdLongLines(const Args& args) {
    std::string file;
    int maximum = -1;
    bool ok = true;
    for (size_t i = 0; i < args.size() && ok; ++i) {
        if (args[i] == "--max") ok = i + 1 < args.size() && parseMaximum(args[++i], maximum);
        else if (file.empty()) file = args[i];
        else ok = false;
    }
    if (!ok || file.empty() || maximum < 0) {
        std::cerr << "usage: kantelo-db long-lines FILE --max N   (N: a whole number, 0 or more)\n";
        return 2;
    }
    const auto db = jet::Database::open(file);
    std::string out = "Book,Chapter,Verse,Length\n";
    for (const bibledb::LongVerse& v : bibledb::longVerses(bibledb::readVerseRows(*db), maximum))
        out += std::to_string(v.place.book) + "," + std::to_string(v.place.chapter) + "," +
               std::to_string(v.place.verse) + "," + std::to_string(v.length) + "\n";
    std::cout << out;
    return 0;
}

} // namespace kantelo_db
