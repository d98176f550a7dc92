// Another program holding a bible: the verdict of the in-use check, and what a verse write and the
// compaction at close then do. The other program is a child process that holds the files the way
// Wine's server holds a Windows program's (process-associated fcntl locks).
#include "jet/database.h"
#include "maintenance/compaction.h"
#include "support/bible_fixture.h"
#include "support/lock_holder.h"
#include "support/test_env.h"

#include <QString>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

namespace {

namespace fs = std::filesystem;
using test_support::HeldFile;
using test_support::LockHolder;

constexpr int64_t kUserLock1 = 0x10000001;
constexpr auto kNoHang = std::chrono::seconds(20); // a refusal takes at most a few seconds

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file of the folder with its content.
std::map<std::string, std::string> folderState(const fs::path& dir) {
    std::map<std::string, std::string> state;
    for (const auto& entry : fs::directory_iterator(dir)) state[entry.path().filename().string()] = bytesOf(entry.path());
    return state;
}

// A lock file whose first two entries name two users (64 bytes each: computer, then account).
void writeLockFile(const fs::path& file) {
    std::string bytes(128, '\0');
    bytes.replace(0, 4, "HOST");
    bytes.replace(32, 5, "Admin");
    bytes.replace(64, 3, "PC2");
    bytes.replace(96, 3, "Joe");
    std::ofstream(file, std::ios::binary) << bytes;
}

std::unique_ptr<jet::Database> openBible(const fs::path& file, jet::OpenMode mode) {
    return jet::Database::open(file.string(), mode);
}

// Changes the first verse's text; returns the refusal's message, empty when it was written.
std::string tryWrite(const fs::path& file) {
    try {
        auto db = openBible(file, jet::OpenMode::ReadWrite);
        const jet::ResultSet rows = db->query("SELECT * FROM bible WHERE Book = 1");
        db->updateText("bible", rows.rows.at(0).id, "BIBLETEXT", u"changed");
        return {};
    } catch (const jet::InUseError& e) {
        return e.what();
    }
}

enum class Target { Database, LockFile };

struct Hold {
    Target target;
    short type; // F_RDLCK, F_WRLCK or kOpenOnly
    int64_t start = 0;
    int64_t length = 1;
    bool openFileDescription = false;
};

struct Case {
    const char* name;
    const char* lockFileName; // created beside bible.mdb; "" for none
    std::vector<Hold> holds;  // what the other program holds
    bool killed;              // the other program was killed before the checks
    bool locksVerdict;        // InUseCheck::Locks
    bool thoroughVerdict;     // InUseCheck::Thorough, which writes and compaction follow
    const char* who;          // named in the message; "" for nobody
};

TEST(OtherProgram, VerdictWriteAndCompaction) {
    const std::vector<Case> cases = {
        {"user lock 1 names entry 1", "bible.ldb", {{Target::LockFile, F_WRLCK, kUserLock1}}, false, true, true,
         "computer HOST, user Admin"},
        {"user lock 2 names entry 2", "bible.ldb", {{Target::LockFile, F_WRLCK, kUserLock1 + 1}}, false, true, true,
         "computer PC2, user Joe"},
        {"lock file in another letter case", "BIBLE.LDB", {{Target::LockFile, F_WRLCK, kUserLock1}}, false, true, true,
         "computer HOST, user Admin"},
        {"read lock only", "bible.ldb", {{Target::LockFile, F_RDLCK, 0x2000A601}}, false, true, true, ""},
        {"lock from near 2^63 to the end", "bible.ldb", {{Target::LockFile, F_WRLCK, 0x7FFFFFFFFFFFFF00, 0}}, false,
         true, true, ""},
        {"lock on the database beyond its end", "", {{Target::Database, F_WRLCK, 0x10000000}}, false, true, true, ""},
        {"open-file-description lock on the database", "", {{Target::Database, F_WRLCK, 0x10000000, 0, true}}, false,
         true, true, ""},
        {"database merely held open", "", {{Target::Database, test_support::kOpenOnly}}, false, false, true, ""},
        {"lock file merely held open", "bible.ldb", {{Target::LockFile, test_support::kOpenOnly}}, false, false, true, ""},
        {"stale lock file", "bible.ldb", {}, false, false, false, ""},
        {"other program killed", "bible.ldb", {{Target::LockFile, F_WRLCK, kUserLock1}}, true, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::TempDir dir;
        const fs::path bible = test_support::writeBible(dir / "bible.mdb", test_support::simpleBible(1, 1, 3));
        const fs::path lockFile = dir / c.lockFileName;
        if (*c.lockFileName) writeLockFile(lockFile);
        std::vector<HeldFile> held;
        for (const Hold& h : c.holds)
            held.push_back({h.target == Target::Database ? bible : lockFile, h.type, h.start, h.length,
                            h.openFileDescription});
        LockHolder other(held);
        if (c.killed) other.kill();
        const auto before = folderState(dir.path());

        {
            // This program's own read handle (a pane showing the bible) never counts.
            auto ownPane = openBible(bible, jet::OpenMode::ReadOnly);
            EXPECT_EQ(jet::inUseMessage(bible.string(), jet::InUseCheck::Locks).has_value(), c.locksVerdict);
            const auto message = jet::inUseMessage(bible.string(), jet::InUseCheck::Thorough);
            ASSERT_EQ(message.has_value(), c.thoroughVerdict);
            if (message) {
                EXPECT_NE(message->find(bible.string() + ": the file is open in another program"), std::string::npos)
                    << *message;
                // The engine states the facts; the program words what the user is to do.
                EXPECT_EQ(message->find("Kantelo"), std::string::npos) << *message;
                if (*c.who) EXPECT_NE(message->find(c.who), std::string::npos) << *message;
                else EXPECT_EQ(message->find("computer"), std::string::npos) << *message;
            }

            const std::string refusal = tryWrite(bible);
            EXPECT_EQ(refusal, message.value_or(""));
            if (message) {
                EXPECT_EQ(folderState(dir.path()), before) << "a refused write changed the folder";
            }
        }

        const auto afterWrite = folderState(dir.path());
        const auto started = std::chrono::steady_clock::now();
        const auto outcome = maintenance::compactAndRepair(QString::fromStdString(bible.string()));
        EXPECT_LT(std::chrono::steady_clock::now() - started, kNoHang);
        EXPECT_FALSE(fs::exists(dir / "bible.mdbx"));
        EXPECT_EQ(outcome.completed, !c.thoroughVerdict);
        if (c.thoroughVerdict) {
            EXPECT_EQ(folderState(dir.path()), before) << "a refused compaction changed the folder";
        } else if (*c.lockFileName) {
            EXPECT_EQ(bytesOf(lockFile), afterWrite.at(c.lockFileName)) << "the stale lock file was touched";
            EXPECT_EQ(test_support::readVerseTexts(bible).at({1, 1, 1}), u"changed");
        }
    }
}

TEST(OtherProgram, CommandLineRefusesWritesWithStatus3AndStillReads) {
    test_support::TempDir dir;
    const fs::path bible = test_support::writeBible(dir / "bible.mdb", test_support::simpleBible(1, 1, 3));
    writeLockFile(dir / "Bible.LDB");
    LockHolder other({{dir / "Bible.LDB", F_WRLCK, kUserLock1}});
    const auto before = folderState(dir.path());
    // A refused change leaves no backup behind either.
    test_support::TempDir backups;
    test_support::ScopedEnv backupDir("KANTELO_BACKUP_DIR", backups.path().string());
    const std::string tool = test_support::kanteloDbTool().string();
    const struct {
        std::vector<std::string> args;
        int exitCode;
    } commands[] = {
        {{"set", bible.string(), "bible", "BIBLETEXT", "0", "changed"}, 3},
        {{"apply", bible.string(), "force"}, 3},
        {{"format", bible.string(), "--max-line", "5"}, 3},
        {{"compact", bible.string(), (dir / "copy.mdb").string()}, 3},
        {{"export", bible.string(), "bible"}, 0},
    };
    for (const auto& command : commands) {
        std::vector<std::string> argv{tool};
        argv.insert(argv.end(), command.args.begin(), command.args.end());
        const auto result = test_support::run(argv);
        SCOPED_TRACE(command.args.front());
        EXPECT_EQ(result.exitCode, command.exitCode) << result.err;
        if (command.exitCode == 3) {
            EXPECT_NE(result.err.find("another program has this bible open (computer HOST, user Admin)"),
                      std::string::npos)
                << result.err;
        }
        EXPECT_EQ(folderState(dir.path()), before);
        EXPECT_TRUE(fs::is_empty(backups.path())) << "a refused command made a backup";
    }
}

// The other program appears between the check that starts the compaction and the delete.
class AppearsDuringCompaction : public maintenance::FileOps {
public:
    explicit AppearsDuringCompaction(fs::path lockFile) : lockFile_(std::move(lockFile)) {}
    bool exists(const QString& path) override { return system().exists(path); }
    bool remove(const QString& path) override { return system().remove(path); }
    bool rename(const QString& from, const QString& to) override { return system().rename(from, to); }
    void compact(const QString& source, const QString& destination) override {
        system().compact(source, destination);
        writeLockFile(lockFile_);
        other_ = std::make_unique<LockHolder>(std::vector<HeldFile>{{lockFile_, F_WRLCK, kUserLock1}});
    }

private:
    static FileOps& system() { return maintenance::systemFileOps(); }
    fs::path lockFile_;
    std::unique_ptr<LockHolder> other_;
};

TEST(OtherProgram, AppearingBeforeTheDeleteKeepsTheOriginal) {
    test_support::TempDir dir;
    const fs::path bible = test_support::writeBible(dir / "KJV.mdb", test_support::simpleBible(2, 2, 3));
    const std::string original = bytesOf(bible);
    AppearsDuringCompaction files(dir / "KJV.ldb");
    const auto outcome = maintenance::compactAndRepair(QString::fromStdString(bible.string()), files);
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(bytesOf(bible), original);
    EXPECT_FALSE(fs::exists(dir / "KJV.mdbx"));
    EXPECT_TRUE(fs::exists(dir / "KJV.ldb"));
}

// A write session that began while the file was free checks the locks again before each write.
TEST(OtherProgram, AppearingDuringAWriteSessionStopsTheNextWrite) {
    test_support::TempDir dir;
    const fs::path bible = test_support::writeBible(dir / "bible.mdb", test_support::simpleBible(1, 1, 3));
    auto session = openBible(bible, jet::OpenMode::ReadWrite);
    const jet::ResultSet rows = session->query("SELECT * FROM bible WHERE Book = 1");
    session->updateText("bible", rows.rows.at(0).id, "BIBLETEXT", u"first");
    const std::string afterFirst = bytesOf(bible);
    writeLockFile(dir / "bible.ldb");
    LockHolder other({{dir / "bible.ldb", F_WRLCK, kUserLock1}});
    EXPECT_THROW(session->updateText("bible", rows.rows.at(1).id, "BIBLETEXT", u"second"), jet::InUseError);
    EXPECT_EQ(bytesOf(bible), afterFirst);
}

// A lock inside the file's pages (not one Jet places) stops reads after the bounded retry.
TEST(OtherProgram, LockInsideThePagesIsRefusedInBoundedTime) {
    test_support::TempDir dir;
    const fs::path bible = test_support::writeBible(dir / "bible.mdb", test_support::simpleBible(1, 1, 3));
    LockHolder other({{bible, F_WRLCK, 0, 4096}});
    const auto started = std::chrono::steady_clock::now();
    try {
        openBible(bible, jet::OpenMode::ReadOnly);
        ADD_FAILURE() << "the locked header page was read";
    } catch (const jet::InUseError& e) {
        EXPECT_NE(std::string(e.what()).find(bible.string() + ": the file is locked by another program"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, kNoHang);
}

} // namespace
