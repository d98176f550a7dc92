// kantelo-db set / compact: the engine's two writes from the command line.
#include "commands.h"

#include "jet/database.h"
#include "jet/text_codec.h"

#include <iostream>
#include <iterator>

namespace kantelo_db {

int cmdSet(const Args& args) {
    if (args.size() != 5) {
        std::cerr << "usage: kantelo-db set FILE TABLE COLUMN ROW TEXT   (TEXT '-' reads standard input)\n";
        return 2;
    }
    const std::string& file = args[0];
    size_t position = 0;
    try {
        size_t used = 0;
        long long n = std::stoll(args[3], &used);
        if (used != args[3].size() || n < 0) throw std::invalid_argument("row");
        position = size_t(n);
    } catch (const std::logic_error&) {
        std::cerr << "kantelo-db: ROW must be a row position (0, 1, 2, ...), not '" << args[3] << "'\n";
        return 2;
    }
    std::string text = args[4];
    if (text == "-") text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());

    auto db = openForChange(file);
    jet::ResultSet rows = db->readTable(args[1]);
    if (position >= rows.rows.size()) {
        std::cerr << "kantelo-db: " << file << ": table " << args[1] << " has " << rows.rows.size()
                  << " rows; there is no row " << position << "\n";
        return 1;
    }
    db->updateText(args[1], rows.rows[position].id, args[2], jet::fromUtf8(text));
    return 0;
}

int cmdCompact(const Args& args) {
    if (args.size() != 2) {
        std::cerr << "usage: kantelo-db compact SOURCE DESTINATION\n";
        return 2;
    }
    jet::compact(args[0], args[1]);
    return 0;
}

} // namespace kantelo_db
