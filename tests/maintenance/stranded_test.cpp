// Databases stranded under the compaction's temporary name are put back at start-up; a leftover
// beside its database is left alone; a rename that fails is reported, not retried silently.
#include "maintenance/stranded.h"

#include "support/pass_through_files.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

TEST(RestoreStrandedDatabases, PutsBackOnlyCopiesWithoutTheirDatabase) {
    for (bool failRenames : {false, true}) {
        SCOPED_TRACE(failRenames ? "renames fail" : "renames work");
        test_support::TempDir drive;
        qputenv("KANTELO_DRIVE_C", QByteArray::fromStdString(drive.path().string()));
        const fs::path folder = drive.path() / "lumora" / "HOLYBIBLES";
        fs::create_directories(folder);
        write(folder / "KJV.mdbx", "stranded KJV");
        write(folder / "web.MDB", "WEB in place");
        write(folder / "WEB.mdbx", "leftover beside WEB");
        write(folder / "notes.txt", "other");
        test_support::PassThroughFiles files;
        files.failRenames = failRenames;

        const texts::StrandedReport report =
            maintenance::restoreStrandedDatabases("c:\\Lumora\\HolyBibles", files);
        if (failRenames) {
            EXPECT_TRUE(report.restored.isEmpty());
            EXPECT_EQ(report.notRestored, QStringList{"c:\\Lumora\\HolyBibles\\KJV.mdbx"});
            EXPECT_EQ(test_support::readBytes(folder / "KJV.mdbx"), "stranded KJV");
        } else {
            EXPECT_EQ(report.restored, QStringList{"c:\\Lumora\\HolyBibles\\KJV.mdb"});
            EXPECT_TRUE(report.notRestored.isEmpty());
            EXPECT_EQ(test_support::readBytes(folder / "KJV.mdb"), "stranded KJV");
            EXPECT_FALSE(fs::exists(folder / "KJV.mdbx"));
        }
        EXPECT_EQ(test_support::readBytes(folder / "WEB.mdbx"), "leftover beside WEB");
        EXPECT_EQ(test_support::readBytes(folder / "web.MDB"), "WEB in place");
        qunsetenv("KANTELO_DRIVE_C");
    }
}

TEST(StrandedAtStartMessage, NamesEveryFileInEveryLanguage) {
    const texts::StrandedReport report{{"c:\\L\\A.mdb"}, {"c:\\L\\B.mdbx"}};
    QStringList seen;
    for (const char* code : {"NL", "UK", "DE"}) {
        const QString text = texts::strandedAtStartMessage(code, report);
        EXPECT_TRUE(text.contains("c:\\L\\A.mdb")) << code;
        EXPECT_TRUE(text.contains("c:\\L\\B.mdbx")) << code;
        EXPECT_FALSE(seen.contains(text)) << code;
        seen << text;
    }
    EXPECT_EQ(texts::strandedAtStartMessage("xx", report), texts::strandedAtStartMessage("UK", report));
}

} // namespace
