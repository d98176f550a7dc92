// The Windows package as a Windows user gets it, under real Wine and Xvfb: the installer, the
// installed kantelo.exe driven with xdotool (open a bible, step, type, Enter, a popup command,
// close), a bible with letters outside ASCII in its name and folders, a bible another program
// holds, and kantelo-db.exe against the Linux kantelo-db. Each test has a Wine prefix of its own.
#include "jet/invariants.h"

#include "support/bible_fixture.h"
#include "support/mdb_export.h"
#include "support/test_env.h"
#include "windows_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <regex>
#include <thread>

namespace fs = std::filesystem;
using test_support::TempDir;

namespace {

fs::path windowsBuild() {
    const char* chosen = std::getenv("KANTELO_WINDOWS_BUILD");
    return fs::path(chosen && *chosen ? chosen : KANTELO_WINDOWS_BUILD);
}

// The one file in the Windows build whose name matches `pattern`.
fs::path packageFile(const std::string& pattern) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(windowsBuild(), ec))
        if (std::regex_match(entry.path().filename().string(), std::regex(pattern))) found.push_back(entry.path());
    if (found.size() != 1)
        throw std::runtime_error("expected one " + pattern + " in " + windowsBuild().string() +
                                 " (scripts/windows/build.sh makes it), found " + std::to_string(found.size()));
    return found.front();
}

std::string bytesOf(const fs::path& file) { return test_support::readBytes(file); }

// The folder below drive_c that Wine gives the user's profile (users/<name>).
fs::path userProfile(const fs::path& prefix) {
    for (const auto& entry : fs::directory_iterator(prefix / "drive_c" / "users"))
        if (entry.is_directory() && entry.path().filename() != "Public") return entry.path();
    throw std::runtime_error("no user profile in " + prefix.string());
}

// A Wine prefix of the test's own, set up on first use, its server ended at the end.
class Prefix {
public:
    Prefix() : path_(dir_ / "prefix") {}
    ~Prefix() { wine_test::endWineServer(path_); }
    const fs::path& path() const { return path_; }
    fs::path driveC() const { return path_ / "drive_c"; }
    fs::path localAppData() const { return userProfile(path_) / "AppData" / "Local"; }
    fs::path installed() const { return localAppData() / "Programs" / "Kantelo"; }
    test_support::CommandResult run(const std::vector<std::string>& argv) const {
        return wine_test::runWindowsProgram(path_, argv);
    }
    // Runs the installer silently (into `folder`, a Windows path, when given).
    void install(const std::string& folder = {}) const {
        std::vector<std::string> argv{packageFile(R"(Kantelo-.*-win64-setup\.exe)").string(), "/S"};
        if (!folder.empty()) argv.push_back("/D=" + folder);
        const auto result = run(argv);
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    }
    const fs::path& scratch() const { return dir_.path(); }

private:
    TempDir dir_;
    fs::path path_;
};

// The session's outcome: drive_window.sh's output and the program's own.
struct Session {
    int exitCode = -1;
    std::string out;
    std::string messages; // what the window told the user
};

// Runs drive_window.sh for `program` (a Linux path to a Windows program) in the prefix, on the
// X server the test runs on (ctest starts it under xvfb-run, so that every Windows program of
// a prefix, also one started before, shares the one display). Extra environment settings are
// passed to the program; the test's own backup folder is not.
Session drive(const Prefix& prefix, const std::string& program, const std::string& title,
              const std::vector<std::string>& steps, const std::vector<std::string>& environment = {}) {
    std::vector<std::string> argv{"env", "-u", "KANTELO_BACKUP_DIR", "WINEPREFIX=" + prefix.path().string(),
                                  "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=", std::string("WINE=") + KANTELO_WINE64,
                                  // Every message the window shows is also written there.
                                  "KANTELO_MESSAGE_LOG=" + wine_test::windowsPath(prefix.scratch() / "messages.txt")};
    argv.insert(argv.end(), environment.begin(), environment.end());
    const fs::path out = prefix.scratch();
    for (const std::string& part : std::vector<std::string>{"bash", KANTELO_DRIVE_SCRIPT, out.string(), program, title})
        argv.push_back(part);
    argv.insert(argv.end(), steps.begin(), steps.end());
    const auto result = test_support::run(argv);
    return {result.exitCode, result.out + result.err, bytesOf(out / "messages.txt")};
}

// A small bible: book 1 with one chapter of three verses "Verse 1:1:1" ...
fs::path smallBible(const fs::path& folder, const std::string& name) {
    fs::create_directories(folder);
    return test_support::writeBible(folder / (name + ".mdb"), test_support::simpleBible(1, 1, 3));
}

std::vector<fs::path> backupsIn(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) found.push_back(entry.path());
    return found;
}

// Places in the window (its client area, 923 x 729 under Wine): the first bible selector, the
// next-verse button, the first view, the close button.
const std::vector<std::string> kOpenFirstBible = {"click", "150", "53", "key", "Down", "pause", "2"};
const std::vector<std::string> kEditSecondVerse = {
    "click", "392", "128",          // next verse: 1:1:2
    "click", "600", "170",          // the view, after the end of its line
    "type", " and more", "key", "Return", "type", "a second line",
    "rightclick", "100", "186",     // on the second line: the popup menu
    "key", "Down", "key", "Return", // its first command: force a new slide
};
const std::vector<std::string> kCloseWindow = {"click", "877", "653", "ended", "60"};

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The line broken by Enter, and the slide change after the last line.
const std::string kEditedVerse = "Verse 1:1:2 and more\\r\\na second line\\r\\n";

std::string iniOf(const fs::path& folder) { return bytesOf(folder / "kantelo.INI"); }

TEST(WindowsPackage, InstallsForTheUserAndUninstallsLeavingTheUsersFiles) {
    Prefix prefix;
    ASSERT_NO_FATAL_FAILURE(prefix.install());
    const fs::path installed = prefix.installed();
    for (const char* file : {"kantelo.exe", "kantelo-db.exe", "Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll",
                             "platforms/qwindows.dll", "uninstall.exe"})
        EXPECT_TRUE(fs::exists(installed / file)) << file;
    const fs::path menu = userProfile(prefix.path()) / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Start Menu" / "Programs";
    EXPECT_TRUE(fs::exists(menu / "Kantelo.lnk"));

    std::ofstream(installed / "kantelo.INI", std::ios::binary) << "[Settings]\r\nTaal=NL\r\n";
    const fs::path backups = prefix.localAppData() / "Kantelo" / "backups";
    fs::create_directories(backups);
    std::ofstream(backups / "K-20260101-120000.mdb") << "a backup";
    const auto removed = prefix.run({(installed / "uninstall.exe").string(), "/S"});
    ASSERT_EQ(removed.exitCode, 0) << removed.out << removed.err;
    // The uninstaller goes on from a copy of itself in the temp folder.
    for (int i = 0; i < 600 && fs::exists(installed / "kantelo.exe"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(fs::exists(installed / "kantelo.exe"));
    EXPECT_FALSE(fs::exists(installed / "Qt6Core.dll"));
    EXPECT_FALSE(fs::exists(menu / "Kantelo.lnk"));
    EXPECT_EQ(iniOf(installed), "[Settings]\r\nTaal=NL\r\n");
    EXPECT_EQ(bytesOf(backups / "K-20260101-120000.mdb"), "a backup");
}

TEST(WindowsPackage, TheWindowEditsABibleAsAUserDoesAndCompactsItAtClose) {
    Prefix prefix;
    ASSERT_NO_FATAL_FAILURE(prefix.install());
    const fs::path file = smallBible(prefix.driveC() / "Lumora" / "HolyBibles", "K");
    // Another folder's bible is not listed while c:\Lumora\HolyBibles has one.
    smallBible(prefix.driveC() / "LumoraData" / "HolyBibles", "Other");
    const Session session = drive(prefix, (prefix.installed() / "kantelo.exe").string(), "Kantelo for Lumora",
                                  joined({kOpenFirstBible, kEditSecondVerse, kCloseWindow}));
    ASSERT_EQ(session.exitCode, 0) << session.out << session.messages;
    EXPECT_NE(session.out.find("exit=0"), std::string::npos) << session.out;

    const auto texts = test_support::exportedVerseTexts(file);
    EXPECT_EQ(texts.at({1, 1, 2}), kEditedVerse);
    EXPECT_EQ(texts.at({1, 1, 1}), "Verse 1:1:1");
    EXPECT_EQ(texts.at({1, 1, 3}), "Verse 1:1:3");
    EXPECT_EQ(jet::checkInvariants(file.string()), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(file.parent_path() / "K.mdbx"));
    EXPECT_EQ(iniOf(prefix.installed()), "[Settings]\r\nTaal=UK\r\n");
    EXPECT_EQ(backupsIn(prefix.localAppData() / "Kantelo" / "backups").size(), 1u);
    EXPECT_EQ(test_support::exportedVerseTexts(prefix.driveC() / "LumoraData" / "HolyBibles" / "Other.mdb").at({1, 1, 2}),
              "Verse 1:1:2");
}

TEST(WindowsPackage, TheWindowFindsTheBiblesOfLumoraDataWhenLumoraHasNone) {
    Prefix prefix;
    ASSERT_NO_FATAL_FAILURE(prefix.install());
    fs::create_directories(prefix.driveC() / "Lumora" / "HolyBibles");
    const fs::path file = smallBible(prefix.driveC() / "LumoraData" / "HolyBibles", "D");
    const Session session = drive(prefix, (prefix.installed() / "kantelo.exe").string(), "Kantelo for Lumora",
                                  joined({kOpenFirstBible, kEditSecondVerse, kCloseWindow}));
    ASSERT_EQ(session.exitCode, 0) << session.out << session.messages;
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 2}), kEditedVerse);
}

TEST(WindowsPackage, NamesOutsideAsciiOpenSaveBackUpCompactAndRestore) {
    Prefix prefix;
    // The installer takes /D= unquoted only, and Wine quotes an argument with blanks.
    const std::string folder = "C:\\Programme_für_Jörg\\Kantelo";
    ASSERT_NO_FATAL_FAILURE(prefix.install(folder));
    const fs::path installed = prefix.driveC() / "Programme_für_Jörg" / "Kantelo";
    ASSERT_TRUE(fs::exists(installed / "kantelo.exe"));
    const fs::path file = smallBible(prefix.driveC() / "Lumora" / "HolyBibles", "Zürcher Bibel");
    const fs::path backups = prefix.driveC() / "Sicherungen für Jörg";
    const Session session = drive(prefix, (installed / "kantelo.exe").string(), "Kantelo for Lumora",
                                  joined({kOpenFirstBible, kEditSecondVerse, kCloseWindow}),
                                  {"KANTELO_BACKUP_DIR=C:\\Sicherungen für Jörg"});
    ASSERT_EQ(session.exitCode, 0) << session.out << session.messages;
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 2}), kEditedVerse);
    EXPECT_EQ(jet::checkInvariants(file.string()), std::vector<std::string>{});
    EXPECT_EQ(iniOf(installed), "[Settings]\r\nTaal=UK\r\n");
    const auto made = backupsIn(backups);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].filename().string().rfind("Zürcher Bibel-", 0), 0u) << made[0];

    // kantelo-db.exe lists that backup by the bible's name written in another letter case, and
    // puts it back.
    const std::string tool = (installed / "kantelo-db.exe").string();
    const std::string bible = "C:\\Lumora\\HolyBibles\\ZÜRCHER BIBEL.mdb";
    auto withEnv = [&](std::vector<std::string> argv) {
        std::vector<std::string> all{"env", "WINEPREFIX=" + prefix.path().string(), "WINEDEBUG=-all",
                                     "WINEDLLOVERRIDES=mscoree,mshtml=", "KANTELO_BACKUP_DIR=C:\\Sicherungen für Jörg",
                                     KANTELO_WINE64};
        all.insert(all.end(), argv.begin(), argv.end());
        return test_support::run(all);
    };
    const auto listed = withEnv({tool, "backups", bible});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("Zürcher Bibel-"), std::string::npos) << listed.out;
    std::string backupPath = listed.out.substr(0, listed.out.find('\n'));
    const auto restored = withEnv({tool, "restore", bible, backupPath});
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 2}), "Verse 1:1:2");
    EXPECT_EQ(backupsIn(backups).size(), 2u); // the restored-over file was backed up first
}

TEST(WindowsPackage, ASaveIsRefusedWhileAnotherProgramHoldsTheBibleAndTheWindowStillCloses) {
    Prefix prefix;
    ASSERT_NO_FATAL_FAILURE(prefix.install());
    const fs::path file = smallBible(prefix.driveC() / "Lumora" / "HolyBibles", "K");
    const std::string original = bytesOf(file);
    wine_test::WindowsProgram holder(prefix.path(), file, prefix.scratch() / "stop");
    ASSERT_TRUE(holder.waitFor("ready", wine_test::kStartSeconds)) << holder.output();

    const Session session = drive(prefix, (prefix.installed() / "kantelo.exe").string(), "Kantelo for Lumora",
                                  joined({kOpenFirstBible, kEditSecondVerse,
                                          {"click", "392", "128", // the next verse saves first: refused
                                           "window", "Kantelo", "dismiss",
                                           // The close tries the save once more and says so; the
                                           // window stays for the user to close the bible in the
                                           // other program, or to close without the edit.
                                           "click", "877", "653", "window", "Kantelo", "dismiss"},
                                          kCloseWindow}));
    ASSERT_EQ(session.exitCode, 0) << session.out << session.messages;
    const std::string who = "K.mdb: another program has this bible open (computer WINEBOX, user Admin)";
    const auto first = session.messages.find(who);
    ASSERT_NE(first, std::string::npos) << session.messages;
    EXPECT_NE(session.messages.find(who, first + who.size()), std::string::npos) << session.messages;
    EXPECT_EQ(bytesOf(file), original);
    ASSERT_TRUE(holder.stop()) << holder.output();
}

// Runs a command of kantelo-db (the Linux one, or the Windows one under Wine).
test_support::CommandResult linuxTool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{test_support::kanteloDbTool().string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return test_support::run(argv);
}

TEST(WindowsPackage, KanteloDbExportsEveryCorpusTableAsOnLinuxAndStoresTextExactly) {
    Prefix prefix;
    const fs::path unpacked = prefix.scratch() / "zip";
    const auto unzip = test_support::run({"unzip", "-q", packageFile(R"(Kantelo-.*-win64\.zip)").string(), "-d", unpacked.string()});
    ASSERT_EQ(unzip.exitCode, 0) << unzip.err;
    const std::string tool = (unpacked / "Kantelo" / "kantelo-db.exe").string();
    auto windowsTool = [&](const std::vector<std::string>& args, const std::string& input = {}) {
        std::vector<std::string> argv{"env", "WINEPREFIX=" + prefix.path().string(), "WINEDEBUG=-all",
                                      "WINEDLLOVERRIDES=mscoree,mshtml=", KANTELO_WINE64, tool};
        argv.insert(argv.end(), args.begin(), args.end());
        return test_support::run(argv, input);
    };

    int tables = 0;
    for (const fs::path& file : test_support::corpusFiles()) {
        const auto listed = linuxTool({"tables", file.string()});
        ASSERT_EQ(listed.exitCode, 0) << listed.err;
        std::istringstream names(listed.out);
        for (std::string table; std::getline(names, table);) {
            SCOPED_TRACE(file.filename().string() + " " + table);
            const auto onLinux = linuxTool({"export", file.string(), table});
            const auto windows = windowsTool({"export", wine_test::windowsPath(file), table});
            EXPECT_EQ(windows.exitCode, onLinux.exitCode) << windows.err;
            EXPECT_EQ(windows.out, onLinux.out);
            ++tables;
        }
    }
    EXPECT_GT(tables, 0);

    const fs::path bible = smallBible(prefix.scratch() / "bibles", "Zürcher Bibel");
    const std::string value = "Grüß Gott, Jörg: „Selig“ — ΑΩ 你好";
    const auto set = windowsTool({"set", wine_test::windowsPath(bible), "bible", "BIBLETEXT", "2", value},
                                 {});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    const auto fromStdin = windowsTool({"set", wine_test::windowsPath(bible), "bible", "BIBLETEXT", "3", "-"},
                                       "two\r\nlines\r\n");
    ASSERT_EQ(fromStdin.exitCode, 0) << fromStdin.err;
    const auto texts = test_support::readVerseTexts(bible);
    EXPECT_EQ(texts.at({1, 1, 2}), u"Grüß Gott, Jörg: „Selig“ — ΑΩ 你好");
    EXPECT_EQ(texts.at({1, 1, 3}), u"two\r\nlines\r\n");
}

} // namespace
