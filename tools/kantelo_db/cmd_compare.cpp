// kantelo-db compare: where two bible versions number their chapters and verses differently,
// as CSV, for checking a pair of bibles before they are projected side by side.
#include "commands.h"

#include "bibledb/version_compare.h"
#include "jet/database.h"

#include <iostream>

namespace kantelo_db {

int cmdCompare(const Args& args) {
    if (args.size() != 2) {
        std::cerr << "usage: kantelo-db compare A.mdb B.mdb\n";
        return 2;
    }
    // Both are read before anything is printed: a bad second file leaves no half answer.
    const bibledb::BibleShape a = bibledb::readBibleShape(*jet::Database::open(args[0]));
    const bibledb::BibleShape b = bibledb::readBibleShape(*jet::Database::open(args[1]));
    std::cout << bibledb::comparisonCsv(bibledb::compareVersions(a, b));
    return 0;
}

} // namespace kantelo_db
