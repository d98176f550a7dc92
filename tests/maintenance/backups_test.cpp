// Backups without the window: which names count as a bible's backups, the verified copy, keeping
// the newest ten, restoring, the run's memory, and the same through kantelo-db.
#include "maintenance/backup_run.h"
#include "maintenance/backups.h"
#include "data/win_path.h"

#include "support/bible_fixture.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using maintenance::BackupStamp;

namespace {

std::string bytesOf(const fs::path& file) { return test_support::readBytes(file); }

void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    if (!fs::exists(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listedNames(const fs::path& folder, const std::string& bible) {
    std::vector<std::string> names;
    for (const auto& entry : maintenance::listBackups(folder, bible)) names.push_back(entry.path.filename().string());
    return names;
}

constexpr BackupStamp kNoon{2026, 3, 14, 12, 0, 5};

TEST(BackupNames, OnlyNamesWrittenExactlySoCount) {
    const struct {
        const char* name;
        bool counts;
        int sequence;
    } cases[] = {
        {"Safe-20260314-120005.mdb", true, 1},
        {"Safe-20260314-120005-2.mdb", true, 2},
        {"Safe-20260314-120005-17.mdb", true, 17},
        {"Safer-20260314-120005.mdb", false, 0},       // another bible
        {"Saf-20260314-120005.mdb", false, 0},
        {"safe-20260314-120005.mdb", false, 0},        // letter case of the name
        {"Safe-20260314-120005.MDB", false, 0},
        {"Safe-20260314-120005.mdb.bak", false, 0},
        {"Safe-20260314-120005-1.mdb", false, 0},      // the first has no number
        {"Safe-20260314-120005-02.mdb", false, 0},
        {"Safe-20260314-120005-.mdb", false, 0},
        {"Safe-20260314-120005-x.mdb", false, 0},
        {"Safe-2026031-120005.mdb", false, 0},         // seven digits of date
        {"Safe-20260314-12005.mdb", false, 0},
        {"Safe-20260314_120005.mdb", false, 0},
        {"Safe-20261314-120005.mdb", false, 0},        // month 13
        {"Safe-20260314-250005.mdb", false, 0},        // hour 25
        {"Safe-20260314-120005-20260315-120005.mdb", false, 0},
        {"Safe.mdb", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = maintenance::parseBackupFileName(c.name, "Safe");
        ASSERT_EQ(parsed.has_value(), c.counts);
        if (!parsed) continue;
        EXPECT_EQ(parsed->stamp, kNoon);
        EXPECT_EQ(parsed->sequence, c.sequence);
        EXPECT_EQ(maintenance::backupFileName("Safe", parsed->stamp, parsed->sequence), c.name);
    }
    // A bible whose own name looks like a backup's keeps its backups apart.
    EXPECT_TRUE(maintenance::parseBackupFileName("Safe-20260314-120005-20260315-120005.mdb", "Safe-20260314-120005"));
    EXPECT_EQ(maintenance::backupFileName("KJV", {2026, 1, 2, 3, 4, 5}), "KJV-20260102-030405.mdb");
}

// Windows compares file names without regard to letter case, so there kjv.mdb's backups are
// KJV.mdb's; elsewhere the names must match exactly.
TEST(BackupNames, LetterCaseCountsWhereTheFileSystemIgnoresIt) {
    EXPECT_TRUE(data::sameNameIgnoringCase("Zürcher Bibel", "ZÜRCHER bibel"));
    EXPECT_TRUE(data::sameNameIgnoringCase(".mdb", ".MDB"));
    EXPECT_FALSE(data::sameNameIgnoringCase("Zürcher", "Zurcher"));
    EXPECT_FALSE(data::sameNameIgnoringCase("KJV", "KJV2"));
    EXPECT_EQ(maintenance::fileNamesEqual("kjv", "KJV"), maintenance::kFileNamesIgnoreCase);
    EXPECT_EQ(maintenance::parseBackupFileName("kjv-20260314-120005.MDB", "KJV").has_value(),
              maintenance::kFileNamesIgnoreCase);
    EXPECT_TRUE(maintenance::fileNamesEqual("KJV", "KJV"));
}

class Backups : public ::testing::Test {
protected:
    test_support::TempDir dir;
    fs::path folder = dir / "backups";
    fs::path bibleFile() {
        if (!fs::exists(dir / "Safe.mdb")) test_support::writeBible(dir / "Safe.mdb", test_support::simpleBible(1, 1, 3));
        return dir / "Safe.mdb";
    }
};

TEST_F(Backups, CopyIsIdenticalAndTakenNamesGetNumbers) {
    const fs::path file = bibleFile();
    const std::string before = bytesOf(file);
    const fs::path first = maintenance::makeBackup(file, folder, kNoon);
    const fs::path second = maintenance::makeBackup(file, folder, kNoon);
    const fs::path third = maintenance::makeBackup(file, folder, kNoon);
    EXPECT_EQ(first, folder / "Safe-20260314-120005.mdb");
    EXPECT_EQ(second, folder / "Safe-20260314-120005-2.mdb");
    EXPECT_EQ(third, folder / "Safe-20260314-120005-3.mdb");
    for (const fs::path& copy : {first, second, third}) EXPECT_EQ(bytesOf(copy), before);
    EXPECT_EQ(bytesOf(file), before);
    // Newest first: within one second the higher number is the newer.
    EXPECT_EQ(listedNames(folder, "Safe"), (std::vector<std::string>{"Safe-20260314-120005-3.mdb",
                                                                     "Safe-20260314-120005-2.mdb",
                                                                     "Safe-20260314-120005.mdb"}));
}

TEST_F(Backups, EleventhBackupRemovesTheOldestOfThatBibleOnly) {
    const fs::path file = bibleFile();
    fs::create_directories(folder);
    // Ten older backups, written out of order, plus files that only look similar.
    const int days[] = {7, 3, 10, 1, 5, 9, 2, 8, 4, 6};
    for (int day : days) writeBytes(folder / maintenance::backupFileName("Safe", {2025, 1, day, 9, 0, 0}), "old");
    const std::vector<std::string> strangers = {"Safer-20240101-000000.mdb", "Safe-20240101-000000-1.mdb",
                                                "Safe-20240101-000000.txt", "notes.txt"};
    for (const auto& name : strangers) writeBytes(folder / name, "x");

    maintenance::makeBackup(file, folder, kNoon);

    const auto kept = listedNames(folder, "Safe");
    ASSERT_EQ(kept.size(), 10u);
    EXPECT_EQ(kept.front(), "Safe-20260314-120005.mdb");
    EXPECT_EQ(kept.back(), "Safe-20250102-090000.mdb");
    EXPECT_FALSE(fs::exists(folder / "Safe-20250101-090000.mdb"));
    for (const auto& name : strangers) EXPECT_TRUE(fs::exists(folder / name)) << name;
}

TEST_F(Backups, FolderThatCannotBeMadeRefusesAndLeavesNothing) {
    const fs::path file = bibleFile();
    const std::string before = bytesOf(file);
    writeBytes(dir / "plain-file", "x");
    // Below a regular file no folder can be made, not even by root.
    EXPECT_THROW(maintenance::makeBackup(file, dir / "plain-file" / "backups", kNoon), maintenance::BackupError);
    EXPECT_THROW(maintenance::makeBackup(dir / "missing.mdb", folder, kNoon), maintenance::BackupError);
    EXPECT_EQ(bytesOf(file), before);
    EXPECT_TRUE(namesIn(folder).empty());
}

TEST_F(Backups, RestorePutsTheBackBackAndKeepsTheReplacedFile) {
    const fs::path file = bibleFile();
    const std::string original = bytesOf(file);
    const fs::path backup = maintenance::makeBackup(file, folder, {2026, 3, 14, 11, 0, 0});
    fs::remove(file);
    test_support::writeBible(file, test_support::simpleBible(2, 1, 1));
    const std::string changed = bytesOf(file);

    const fs::path replaced = maintenance::restoreBackup(file, backup, folder, kNoon);

    EXPECT_EQ(bytesOf(file), original);
    EXPECT_EQ(bytesOf(backup), original); // a backup is never changed
    EXPECT_EQ(replaced, folder / "Safe-20260314-120005.mdb");
    EXPECT_EQ(bytesOf(replaced), changed);
    EXPECT_FALSE(fs::exists(dir / "Safe.mdb.restoring"));
}

TEST_F(Backups, RestoringTheOldestOfTenStillWorks) {
    // The replaced file's backup makes an eleventh and removes the oldest: the one being put back.
    const fs::path file = bibleFile();
    const std::string original = bytesOf(file);
    const fs::path oldest = maintenance::makeBackup(file, folder, {2025, 1, 1, 0, 0, 0});
    for (int day = 2; day <= 10; ++day) writeBytes(folder / maintenance::backupFileName("Safe", {2025, 1, day, 0, 0, 0}), "x");
    writeBytes(file, "changed since");

    maintenance::restoreBackup(file, oldest, folder, kNoon);

    EXPECT_EQ(bytesOf(file), original);
    EXPECT_EQ(listedNames(folder, "Safe").size(), 10u);
}

TEST_F(Backups, RestoreRefusalsChangeNothing) {
    const fs::path file = bibleFile();
    const fs::path good = maintenance::makeBackup(file, folder, {2026, 3, 14, 11, 0, 0});
    writeBytes(file, "current");
    const fs::path notJet = folder / "Safe-20260101-000000.mdb";
    writeBytes(notJet, std::string(4096, 'x'));
    fs::copy_file(good, folder / "Other-20260101-000000.mdb");
    fs::copy_file(good, dir / "Safe-copy.mdb");
    const auto before = namesIn(folder);

    for (const fs::path& backup : {notJet, folder / "Other-20260101-000000.mdb", dir / "Safe-copy.mdb",
                                   folder / "Safe-20300101-000000.mdb"}) {
        SCOPED_TRACE(backup.string());
        EXPECT_THROW(maintenance::restoreBackup(file, backup, folder, kNoon), maintenance::BackupError);
        EXPECT_EQ(bytesOf(file), "current");
        EXPECT_EQ(namesIn(folder), before);
    }
}

TEST_F(Backups, RunBacksUpOnlyBeforeTheFirstChangeOfEachFile) {
    const fs::path file = bibleFile();
    fs::path where = dir / "plain-file" / "backups";
    writeBytes(dir / "plain-file", "x");
    int tick = 0;
    maintenance::BackupRun run([&] { return where; }, [&] { return BackupStamp{2026, 3, 14, 12, 0, ++tick}; });

    // A refused backup does not count: the next change tries again.
    EXPECT_THROW(run.beforeChange(file), maintenance::BackupError);
    where = folder;
    EXPECT_EQ(run.beforeChange(file), folder / "Safe-20260314-120002.mdb");
    EXPECT_EQ(run.beforeChange(dir / "." / "Safe.mdb"), fs::path()); // the same file, written otherwise
    EXPECT_EQ(namesIn(folder).size(), 1u);

    fs::copy_file(file, dir / "Other.mdb");
    EXPECT_FALSE(run.beforeChange(dir / "Other.mdb").empty());
    EXPECT_EQ(namesIn(folder).size(), 2u);
}

// --- kantelo-db -------------------------------------------------------------------------------

std::string exported(const fs::path& file) {
    const auto result = test_support::run({"mdb-export", file.string(), "bible"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

TEST_F(Backups, KanteloDbSetBacksUpOnceAndRestoreGivesTheOldRowsBack) {
    const fs::path file = bibleFile();
    const test_support::ScopedEnv env("KANTELO_BACKUP_DIR", folder.string());
    const std::string tool = test_support::kanteloDbTool().string();
    const std::string rowsBefore = exported(file);
    const std::string bytesBefore = bytesOf(file);

    auto result = test_support::run({tool, "set", file.string(), "bible", "BIBLETEXT", "1", "changed"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = test_support::run({tool, "backups", file.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::istringstream lines(result.out);
    std::vector<std::string> listed;
    for (std::string line; std::getline(lines, line);) listed.push_back(line);
    ASSERT_EQ(listed.size(), 1u) << result.out;
    EXPECT_TRUE(fs::path(listed[0]).is_absolute());
    EXPECT_EQ(bytesOf(listed[0]), bytesBefore);
    EXPECT_NE(exported(file), rowsBefore);

    result = test_support::run({tool, "restore", file.string(), listed[0]});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(exported(file), rowsBefore);
    // The replaced file was backed up first: now two backups, the newer one holding the change.
    result = test_support::run({tool, "backups", file.string()});
    std::istringstream after(result.out);
    std::string newest;
    std::getline(after, newest);
    EXPECT_NE(newest, listed[0]);
    EXPECT_NE(exported(newest), rowsBefore);
}

TEST_F(Backups, KanteloDbRefusesAChangeWithoutABackup) {
    const fs::path file = bibleFile();
    writeBytes(dir / "plain-file", "x");
    const test_support::ScopedEnv env("KANTELO_BACKUP_DIR", (dir / "plain-file" / "backups").string());
    const std::string tool = test_support::kanteloDbTool().string();
    const std::string before = bytesOf(file);
    for (const std::vector<std::string>& argv :
         {std::vector<std::string>{tool, "set", file.string(), "bible", "BIBLETEXT", "1", "changed"},
          std::vector<std::string>{tool, "apply", file.string(), "force"}}) {
        SCOPED_TRACE(argv[1]);
        const auto result = test_support::run(argv);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("backup folder"), std::string::npos) << result.err;
        EXPECT_EQ(bytesOf(file), before);
    }
}

} // namespace
