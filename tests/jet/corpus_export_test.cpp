// kantelo-db's table list and CSV export against mdbtools (mdb-tables, mdb-export), for every
// table of every Access-written file in the corpus and for bibles made by our own writer.
#include "support/bible_fixture.h"
#include "support/mdb_export.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;
using test_support::run;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// Compares our export of one table with mdb-export's. Both print every value in the same text
// form (dates, money, floats and binary data are formatted the way mdb-export does), so the
// header and every record must be identical. The only allowed difference is record order: for a
// row that was moved to another page (overflow row) mdbtools lists it where its data now lives,
// we list it where its row header is; so records are compared as sorted lists.
void expectSameExport(const fs::path& file, const std::string& table) {
    auto theirs = run({"mdb-export", test_support::hostPath(file), table});
    ASSERT_EQ(theirs.exitCode, 0) << theirs.err;
    auto ours = run({test_support::kanteloDbTool().string(), "export", file.string(), table});
    ASSERT_EQ(ours.exitCode, 0) << file << " " << table << ": " << ours.err;
    if (ours.out == theirs.out) return;
    std::vector<std::string> headerA, headerB;
    auto a = test_support::parseCsv(ours.out, &headerA), b = test_support::parseCsv(theirs.out, &headerB);
    EXPECT_EQ(headerA, headerB) << "header line of " << file << " " << table;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b) << file << " table " << table;
}

class CorpusFile : public ::testing::TestWithParam<fs::path> {};

TEST_P(CorpusFile, TablesAndEveryRowMatchMdbtools) {
    const fs::path& file = GetParam();
    auto theirs = run({"mdb-tables", "-1", test_support::hostPath(file)});
    ASSERT_EQ(theirs.exitCode, 0) << theirs.err;
    auto ours = run({test_support::kanteloDbTool().string(), "tables", file.string()});
    ASSERT_EQ(ours.exitCode, 0) << ours.err;
    auto expected = lines(theirs.out);
    EXPECT_EQ(lines(ours.out), expected);
    for (const auto& table : expected) {
        SCOPED_TRACE(table);
        expectSameExport(file, table);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusFile, ::testing::ValuesIn(test_support::corpusFiles()),
                         [](const auto& info) {
                             std::string name = info.param.stem().string();
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum((unsigned char)c); }, '_');
                             return name;
                         });

// Bibles from our writer, in shapes that exercise the reader: memo text inline, in one LVAL row
// and in chains; non-Latin text (stored uncompressed); Text(255) verse column; extra columns.
TEST(WriterBibles, ExportMatchesMdbExport) {
    test_support::TempDir dir;
    struct Case {
        const char* name;
        test_support::BibleSpec bibleSpec;
    };
    std::vector<Case> cases;
    cases.push_back({"simple", test_support::simpleBible(3, 4, 5)});
    {
        auto bibleSpec = test_support::simpleBible(1, 1, 3);
        bibleSpec.verses[0].text = u"\u0391\u03c1\u03c7\u03ae \u05d1\u05e8\u05d0\u05e9\u05d9\u05ea \"quoted\"\r\nline two";
        bibleSpec.verses[1].text = std::u16string(5000, u'x') + u"\r\n" + std::u16string(9000, u'\u00e9'); // chain
        bibleSpec.verses[2].text = std::u16string(3000, u'\u0416');                                      // > 4072 bytes
        bibleSpec.extraColumns = true;
        cases.push_back({"long_and_unicode", bibleSpec});
    }
    {
        auto bibleSpec = test_support::simpleBible(2, 2, 2);
        bibleSpec.verseTextAsText255 = true;
        bibleSpec.shuffleRows = true;
        cases.push_back({"text255_shuffled", bibleSpec});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path file = test_support::writeBible(dir / (std::string(c.name) + ".mdb"), c.bibleSpec);
        expectSameExport(file, c.bibleSpec.tableName);
    }
}

} // namespace
