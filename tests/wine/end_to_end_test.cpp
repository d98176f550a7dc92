// Kantelo beside a Windows program under real Wine. jet_user.exe opens the bible deny-none,
// creates its lock file, writes its user entry and takes user lock 1 with LockFile, as a Jet
// client does; Wine's server mirrors that lock as a Unix lock. While it runs, kantelo-db's writes
// and the window's save are refused with the message; after it has closed the bible they work.
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "app/window_fixture.h"

#include "support/test_env.h"

#include <QComboBox>
#include <QTextEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Wine's first start in a new prefix sets the prefix up; that takes seconds, on a slow machine
// a minute or more.
constexpr int kStartSeconds = 240;

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string windowsPath(const fs::path& native) {
    std::string path = "Z:" + native.string();
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// jet_user.exe under Wine in a prefix of its own, its output read line by line.
class WindowsProgram {
public:
    WindowsProgram(const fs::path& prefix, const fs::path& database, const fs::path& stopFile)
        : prefix_(prefix), stopFile_(stopFile) {
        int out[2];
        if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(out[1], 2);
            ::close_range(3, ~0u, 0); // the bible the window holds open stays with the window
            ::setenv("WINEPREFIX", prefix.c_str(), 1);
            ::setenv("WINEDEBUG", "-all", 1);
            ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1); // no installer dialogs in a new prefix
            const std::string db = windowsPath(database), stop = windowsPath(stopFile);
            ::execl(KANTELO_WINE64, KANTELO_WINE64, KANTELO_JET_USER_EXE, db.c_str(), stop.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
    }
    ~WindowsProgram() {
        std::ofstream(stopFile_) << "stop";
        if (pid_ > 0 && !waitForExit(10)) ::kill(pid_, SIGKILL), ::waitpid(pid_, nullptr, 0);
        ::close(out_);
        // The prefix's server outlives its programs for a few seconds: end it now.
        if (*KANTELO_WINESERVER) {
            const std::string prefix = "WINEPREFIX=" + prefix_.string();
            test_support::run({"env", prefix, KANTELO_WINESERVER, "-k"});
        }
    }

    // Waits for a line holding `word`; false when the program ended or the time ran out first.
    bool waitFor(const std::string& word, int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (output_.find(word) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) <= 0) continue;
            char buffer[512];
            const ssize_t n = ::read(out_, buffer, sizeof buffer);
            if (n <= 0) return false;
            output_.append(buffer, size_t(n));
        }
        return true;
    }
    // Asks the program to close the bible and waits until it has ended.
    bool stop() {
        std::ofstream(stopFile_) << "stop";
        return waitFor("closed", 60) && waitForExit(30);
    }
    const std::string& output() const { return output_; }

private:
    bool waitForExit(int seconds) {
        for (int i = 0; i < seconds * 20; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            ::usleep(50000);
        }
        return false;
    }

    fs::path prefix_;
    fs::path stopFile_;
    pid_t pid_ = -1;
    int out_ = -1;
    std::string output_;
};

class UnderWine : public test_support::WindowTest {};

TEST_F(UnderWine, WritesWaitUntilTheWindowsProgramHasClosedTheBible) {
    if (!*KANTELO_JET_USER_EXE || !*KANTELO_WINE64)
        GTEST_SKIP() << "needs x86_64-w64-mingw32-gcc (mingw-w64) and wine64 (scripts/deps.sh installs both)";
    const fs::path file = bible("K", test_support::simpleBible(1, 1, 2));
    form().ComboBox1->setCurrentText("K");
    form().ComboBox1Change();

    test_support::TempDir wine;
    WindowsProgram program(wine / "prefix", file, wine / "stop");
    ASSERT_TRUE(program.waitFor("ready", kStartSeconds)) << program.output();
    ASSERT_TRUE(fs::exists(folder_ / "K.ldb"));
    const std::string original = bytesOf(file);
    const std::string tool = test_support::kanteloDbTool().string();
    const std::string who = "another program has this bible open (computer WINEBOX, user Admin)";

    const std::vector<std::vector<std::string>> writes = {
        {tool, "set", file.string(), "bible", "BIBLETEXT", "0", "from the command line"},
        {tool, "compact", file.string(), (wine / "copy.mdb").string()},
    };
    for (const auto& command : writes) {
        SCOPED_TRACE(command[1]);
        const auto refused = test_support::run(command);
        EXPECT_EQ(refused.exitCode, 3) << refused.err;
        EXPECT_NE(refused.err.find(who), std::string::npos) << refused.err;
    }
    EXPECT_EQ(test_support::run({tool, "export", file.string(), "bible"}).exitCode, 0);

    QTest::keyClicks(form().paneView(1), "x");
    const QStringList edited = form().paneLines(1).lines();
    form().SpeedButton2->click(); // next verse: saves first
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains("K.mdb") && messages_[0].contains(QString::fromStdString(who)))
        << messages_[0].toStdString();
    EXPECT_TRUE(form().edited1);
    EXPECT_EQ(bytesOf(file), original);

    ASSERT_TRUE(program.stop()) << program.output();
    form().SpeedButton2->click(); // the same edit, saved now
    EXPECT_EQ(messages_.size(), 1) << messages_.join("|").toStdString();
    EXPECT_EQ(test_support::readVerseTexts(file).at({1, 1, 1}), edited.join("\r\n").toStdU16String());
    // The window compacts the bible as it closes; while it held the file, kantelo-db would have
    // counted it as another program.
    form().close();
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(fs::exists(folder_ / "K.mdbx"));
    for (const auto& command : writes) {
        SCOPED_TRACE(command[1]);
        const auto done = test_support::run(command);
        EXPECT_EQ(done.exitCode, 0) << done.err;
    }
    const auto texts = test_support::readVerseTexts(file);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const auto& row) { return row.second == u"from the command line"; }));
}

} // namespace
