// Helpers for the writer's tests: mdbtools as the other reader (support/mdb_export.h), random
// texts of a given stored size, whole-file snapshots, and the consistency check as a GoogleTest
// assertion.
#pragma once
#include "jet/database.h"
#include "support/invariants.h"
#include "jet/text_codec.h"
#include "support/mdb_export.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace write_test {

using test_support::Cells;
using test_support::asMdbExportShows;
using test_support::readBytes;
using test_support::mdbExport;
using test_support::mdbExportRaw;
using test_support::mdbTables;
using test_support::parseCsv;

// A text of `units` UTF-16 code units drawn from a mix of ASCII, CR LF, quotes, commas, Latin-1,
// Greek, CJK and (when allowed) surrogate pairs; `latin1Only` keeps it compressible.
inline std::u16string randomText(std::mt19937& rng, size_t units, bool latin1Only, bool allowSurrogates = true) {
    static const std::u16string ascii = u"abcdefghijklmnopqrstuvwxyz ABCDEFGHIJ 0123456789 .,;:\"'!?-";
    static const std::u16string latin1 = u"\u00e9\u00e8\u00fc\u00f6\u00df\u00e6\u00f8\u00c5";
    static const std::u16string other = u"\u03a9\u03b1\u0416\u05d0\u4e2d\u6587\u20ac";
    std::u16string out;
    while (out.size() < units) {
        unsigned pick = rng() % 100;
        if (pick < 70) out += ascii[rng() % ascii.size()];
        else if (pick < 76 && units - out.size() >= 2) out += u"\r\n";
        else if (pick < 88 || latin1Only) out += latin1[rng() % latin1.size()];
        else if (pick < 97 || !allowSurrogates || units - out.size() < 2) out += other[rng() % other.size()];
        else { out += char16_t(0xD83D); out += char16_t(0xDE00 + rng() % 64); }
    }
    return out;
}

// An ASCII text whose stored form (compressed, so one byte per character after FF FE) is exactly
// `bytes` long, for the storage thresholds; or a plain UCS-2 text of that size when `plain`.
inline std::u16string textOfStoredSize(std::mt19937& rng, size_t bytes, bool compressible) {
    if (compressible && bytes >= 5 && bytes - 2 <= 1024) {
        std::u16string t;
        for (size_t i = 0; i < bytes - 2; ++i) t += char16_t(u'a' + rng() % 26);
        return t;
    }
    std::u16string t;
    for (size_t i = 0; i < bytes / 2; ++i) t += (i % 7 == 3) ? u'\u03a9' : char16_t(u'a' + rng() % 26);
    return t;
}

inline void expectConsistent(const std::filesystem::path& file) {
    std::vector<std::string> problems = jet::checkInvariants(file.string());
    std::string all;
    for (size_t i = 0; i < problems.size() && i < 20; ++i) all += problems[i] + "\n";
    EXPECT_TRUE(problems.empty()) << problems.size() << " problems:\n" << all;
}

} // namespace write_test
