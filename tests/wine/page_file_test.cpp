// The engine's Windows page file under real Wine: page_file_check.exe (the engine cross-compiled
// with MinGW, tests/wine/page_file_check.cpp) is run while jet_user.exe holds the bible the way
// a Jet client does, and again after it has closed the bible. Here, on Linux, the file is checked
// to be untouched by the refusal and, after the write and the compaction, consistent and showing
// the new text to mdb-export.
#include "support/invariants.h"

#include "support/bible_fixture.h"
#include "support/mdb_export.h"
#include "support/test_env.h"
#include "windows_program.h"

#include <gtest/gtest.h>

#include <iostream>

namespace fs = std::filesystem;

namespace {

TEST(WindowsPageFileUnderWine, RefusesWhileAnotherProgramHoldsTheBibleAndWritesAfterwards) {
    if (const std::string missing = wine_test::missingTools(); !missing.empty()) GTEST_FAIL() << missing;
    if (!*KANTELO_PAGE_FILE_CHECK_EXE) GTEST_FAIL() << "needs x86_64-w64-mingw32-g++-posix (mingw-w64)";
    test_support::TempDir folder;
    const fs::path file = test_support::writeBible(folder / "K.mdb", test_support::simpleBible(1, 1, 2));
    const fs::path copy = folder / "copy.mdb";
    const std::vector<std::string> args = {wine_test::windowsPath(file), wine_test::windowsPath(copy)};
    auto check = [&](const std::string& mode) {
        std::vector<std::string> argv{KANTELO_PAGE_FILE_CHECK_EXE, mode};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto result = wine_test::runWindowsProgram(folder / "prefix", argv);
        std::cout << "page_file_check.exe " << mode << ":\n" << result.out; // the checks' own report
        return result;
    };

    {
        wine_test::WindowsProgram holder(folder / "prefix", file, folder / "stop");
        ASSERT_TRUE(holder.waitFor("ready", wine_test::kStartSeconds)) << holder.output();
        const std::string original = test_support::readBytes(file);
        const auto held = check("held");
        EXPECT_EQ(held.exitCode, 0) << held.out << held.err;
        EXPECT_NE(held.out.find("refused write: " + wine_test::windowsPath(file) +
                                ": the file is open in another program (computer WINEBOX, user Admin)"),
                  std::string::npos)
            << held.out;
        EXPECT_EQ(test_support::readBytes(file), original);
        EXPECT_FALSE(fs::exists(copy));
        ASSERT_TRUE(holder.stop()) << holder.output();
    }

    const auto free = check("free");
    wine_test::endWineServer(folder / "prefix");
    EXPECT_EQ(free.exitCode, 0) << free.out << free.err;
    for (const fs::path& written : {file, copy}) {
        SCOPED_TRACE(written.filename().string());
        EXPECT_EQ(jet::checkInvariants(written.string()), std::vector<std::string>{});
        const auto texts = test_support::exportedVerseTexts(written);
        EXPECT_EQ(texts.at({1, 1, 1}), "Written under Wine\\r\\nthrough the Windows page file");
        EXPECT_EQ(texts.at({1, 1, 2}), "Verse 1:1:2");
    }
}

} // namespace
