// jet::compact on every file Access wrote: the copy exports identically through mdb-export and
// passes the consistency checker, the source stays as it was; and the refusals, which leave no
// destination behind.
#include "write_helpers.h"

#include <fstream>

namespace {

using namespace write_test;

TEST(Compact, EveryCorpusFileCopiesFaithfully) {
    for (const auto& source : test_support::corpusFiles()) {
        SCOPED_TRACE(source.filename().string());
        test_support::TempDir dir;
        auto file = test_support::copyInto(source, dir.path());
        auto copy = dir / "compacted.mdb";
        const std::string before = fileBytes(file);
        jet::compact(file.string(), copy.string());
        EXPECT_TRUE(fileBytes(file) == before) << "the source changed";
        EXPECT_LE(std::filesystem::file_size(copy), std::filesystem::file_size(file) + 4096);
        std::vector<std::string> tables = mdbTables(file);
        tables.push_back("MSysObjects");
        for (const auto& t : tables) EXPECT_TRUE(mdbExportRaw(copy, t) == mdbExportRaw(file, t)) << "table " << t;
        expectConsistent(copy);
    }
}

TEST(Compact, RefusesAndLeavesNoDestination) {
    test_support::TempDir dir;
    auto good = test_support::copyInto(test_support::corpusDir() / "northwind.mdb", dir.path());
    auto notJet = dir / "notes.mdb";
    std::ofstream(notJet) << std::string(8192, 'x');
    auto taken = dir / "taken.mdb";
    std::ofstream(taken) << "keep me";
    struct Case {
        const char* name;
        std::filesystem::path source, destination;
        const char* expected;
        bool destinationExistedBefore;
    };
    const Case cases[] = {
        {"destination exists", good, taken, "already exists", true},
        {"source missing", dir / "missing.mdb", dir / "out1.mdb", "does not exist", false},
        {"source is not a Jet file", notJet, dir / "out2.mdb", "notes.mdb", false},
        {"source is a folder", dir.path(), dir / "out3.mdb", "folder", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool regular = std::filesystem::is_regular_file(c.source);
        const std::string before = regular ? fileBytes(c.source) : std::string();
        try {
            jet::compact(c.source.string(), c.destination.string());
            ADD_FAILURE() << "no error";
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
        if (c.destinationExistedBefore) {
            EXPECT_EQ(fileBytes(c.destination), "keep me");
        } else {
            EXPECT_FALSE(std::filesystem::exists(c.destination));
        }
        if (regular) {
            EXPECT_TRUE(fileBytes(c.source) == before);
        }
    }
}

} // namespace
