// Compaction at close: the order compact / delete / rename, every failure along the way through a
// file-system fake, and real compactions of fixture bibles.
#include "maintenance/compaction.h"

#include "jet/database.h"
#include "support/bible_fixture.h"
#include "support/test_env.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;
using maintenance::compactAndRepair;

namespace {

// An in-memory folder whose steps can be made to fail.
class FakeFiles : public maintenance::FileOps {
public:
    std::map<QString, QByteArray> files;
    QStringList calls;
    bool failCompact = false;
    bool compactWritesNothing = false;
    bool failRemove = false;
    int failingRenames = 0; // the next n renames fail

    bool exists(const QString& path) override { return files.count(path) > 0; }
    bool remove(const QString& path) override {
        calls << "remove " + path;
        if (failRemove || !exists(path)) return false;
        files.erase(path);
        return true;
    }
    bool rename(const QString& from, const QString& to) override {
        calls << "rename " + from + " " + to;
        if (failingRenames > 0) {
            --failingRenames;
            return false;
        }
        if (!exists(from) || exists(to)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void compact(const QString& source, const QString& destination) override {
        calls << "compact " + source + " " + destination;
        if (failCompact || !exists(source) || exists(destination)) throw std::runtime_error("compaction failed");
        if (!compactWritesNothing) files[destination] = "compacted " + files[source];
    }
};

class ScopedDriveC {
public:
    explicit ScopedDriveC(const fs::path& dir) {
        if (const char* old = std::getenv("KANTELO_DRIVE_C")) old_ = old, had_ = true;
        setenv("KANTELO_DRIVE_C", dir.c_str(), 1);
    }
    ~ScopedDriveC() {
        if (had_) setenv("KANTELO_DRIVE_C", old_.c_str(), 1);
        else unsetenv("KANTELO_DRIVE_C");
    }
private:
    std::string old_;
    bool had_ = false;
};

const QString kWinPath = "c:\\Lumora\\HolyBibles\\KJV.mdb";

struct FakeCase {
    const char* name;
    void (*setup)(FakeFiles&);
    bool completed;
    bool stranded;
    QByteArray database;  // what the database's name holds afterwards ("" = gone)
    QByteArray temporary; // what the temporary name holds afterwards ("" = gone)
};

TEST(CompactAndRepair, EveryStepAndItsFailures) {
    const FakeCase cases[] = {
        {"all steps succeed", [](FakeFiles&) {}, true, false, "compacted original", ""},
        {"compaction throws", [](FakeFiles& f) { f.failCompact = true; }, false, false, "original", ""},
        {"leftover temporary file", [](FakeFiles& f) { f.files[f.files.begin()->first + "x"] = "leftover"; },
         false, false, "original", "leftover"},
        {"compaction leaves no copy", [](FakeFiles& f) { f.compactWritesNothing = true; }, false, false, "original", ""},
        {"delete fails", [](FakeFiles& f) { f.failRemove = true; }, true, false, "original", "compacted original"},
        {"first rename fails", [](FakeFiles& f) { f.failingRenames = 1; }, true, false, "compacted original", ""},
        {"both renames fail", [](FakeFiles& f) { f.failingRenames = 2; }, true, true, "", "compacted original"},
    };
    for (const FakeCase& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::TempDir drive;
        ScopedDriveC scoped(drive.path());
        const QString database = QString::fromStdString(drive.path().string()) + "/Lumora/HolyBibles/KJV.mdb";
        FakeFiles fake;
        fake.files[database] = "original";
        c.setup(fake);

        const maintenance::CompactOutcome outcome = compactAndRepair(kWinPath, fake);
        EXPECT_EQ(outcome.completed, c.completed);
        EXPECT_EQ(outcome.strandedAt, c.stranded ? kWinPath + "x" : QString());
        EXPECT_EQ(fake.exists(database) ? fake.files[database] : QByteArray(), c.database);
        EXPECT_EQ(fake.exists(database + "x") ? fake.files[database + "x"] : QByteArray(), c.temporary);
        // Nothing is ever deleted before a copy exists.
        if (!fake.calls.isEmpty()) {
            EXPECT_TRUE(fake.calls.front().startsWith("compact "));
        }
    }
}

TEST(CompactAndRepair, ResolvesWindowsPathsWithoutRegardToCase) {
    test_support::TempDir drive;
    ScopedDriveC scoped(drive.path());
    fs::create_directories(drive.path() / "lumora" / "holybibles");
    const QString folder = QString::fromStdString((drive.path() / "lumora" / "holybibles").string());
    FakeFiles fake;
    fake.files[folder + "/KJV.mdb"] = "original";
    const auto outcome = compactAndRepair(kWinPath, fake);
    EXPECT_TRUE(outcome.completed);
    ASSERT_FALSE(fake.calls.isEmpty());
    EXPECT_EQ(fake.calls.front(), "compact " + folder + "/KJV.mdb " + folder + "/KJV.mdbx");
    EXPECT_EQ(fake.files[folder + "/KJV.mdb"], "compacted original");
}

// --- real files ---------------------------------------------------------------------------------

std::vector<std::vector<jet::Value>> allRows(const fs::path& file) {
    auto db = jet::Database::open(file.string());
    std::vector<std::vector<jet::Value>> rows;
    for (auto& row : db->readTable("bible").rows) rows.push_back(row.values);
    return rows;
}

class RealCompaction : public ::testing::Test {
protected:
    void SetUp() override {
        scoped_ = std::make_unique<ScopedDriveC>(drive_.path());
        folder_ = drive_.path() / "Lumora" / "HolyBibles";
        fs::create_directories(folder_);
        test_support::writeBible(folder_ / "KJV.mdb", test_support::simpleBible(3, 4, 5));
    }
    fs::path database() const { return folder_ / "KJV.mdb"; }
    fs::path temporary() const { return folder_ / "KJV.mdbx"; }

    test_support::TempDir drive_;
    std::unique_ptr<ScopedDriveC> scoped_;
    fs::path folder_;
};

TEST_F(RealCompaction, ReplacesTheFileWithAnEqualCopy) {
    const auto before = allRows(database());
    const auto outcome = compactAndRepair(kWinPath);
    EXPECT_TRUE(outcome.completed);
    EXPECT_TRUE(outcome.strandedAt.isEmpty());
    EXPECT_FALSE(fs::exists(temporary()));
    EXPECT_EQ(allRows(database()), before);
    // Twice in a row (the same bible in both panes) works as well.
    EXPECT_TRUE(compactAndRepair(kWinPath).completed);
    EXPECT_EQ(allRows(database()), before);
}

TEST_F(RealCompaction, LeftoverTemporaryFileStopsItAndStays) {
    { std::ofstream(temporary()) << "left from an earlier close"; }
    const auto sizeBefore = fs::file_size(database());
    const auto outcome = compactAndRepair(kWinPath);
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(outcome.blockedBy, kWinPath + "x");
    EXPECT_EQ(fs::file_size(database()), sizeBefore);
    std::ifstream in(temporary());
    std::string leftover((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(leftover, "left from an earlier close");
}

TEST(RealCompactionErrors, MissingOrNonJetFileChangesNothing) {
    test_support::TempDir drive;
    ScopedDriveC scoped(drive.path());
    const fs::path folder = drive.path() / "Lumora" / "HolyBibles";
    fs::create_directories(folder);
    EXPECT_FALSE(compactAndRepair(kWinPath).completed); // no file at all
    EXPECT_TRUE(fs::is_empty(folder));

    { std::ofstream(folder / "KJV.mdb") << "not a database"; }
    EXPECT_FALSE(compactAndRepair(kWinPath).completed);
    EXPECT_FALSE(fs::exists(folder / "KJV.mdbx"));
    EXPECT_EQ(fs::file_size(folder / "KJV.mdb"), std::string("not a database").size());
}

} // namespace
