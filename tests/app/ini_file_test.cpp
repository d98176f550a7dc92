// The INI reader/writer: profile-call lookups (names without regard to case, quotes, blanks)
// and writes that leave every other byte of the file alone.
#include "app/ini_file.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <QFile>

#include <filesystem>

#include <unistd.h>

namespace {

struct ReadCase {
    const char* name;
    QByteArray content;
    std::optional<QString> expected;
};

TEST(IniFile, ReadsTaalLikeTheProfileCalls) {
    const ReadCase cases[] = {
        {"plain", "[Settings]\r\nTaal=DE\r\n", "DE"},
        {"names without regard to case", "[settings]\r\nTAAL=NL\r\n", "NL"},
        {"blanks around names and value", "  [ Settings ]  \n  Taal  =  UK  \n", "UK"},
        {"quoted value", "[Settings]\nTaal=\"NL\"\n", "NL"},
        {"value kept as written", "[Settings]\nTaal=nl\n", "nl"},
        {"empty value", "[Settings]\nTaal=\n", ""},
        {"first of two keys", "[Settings]\nTaal=DE\nTaal=NL\n", "DE"},
        {"key in another section", "[Other]\nTaal=DE\n[Settings]\nX=1\n", std::nullopt},
        {"no section", "Taal=DE\n", std::nullopt},
        {"commented out", "[Settings]\n;Taal=DE\n", std::nullopt},
        {"no line ending at the end", "[Settings]\nTaal=DE", "DE"},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF[Settings]\r\nTaal=DE\r\n", "DE"},
        {"empty file", "", std::nullopt},
        {"binary junk", QByteArray("\x00\xff[\x01=\x02\n", 7), std::nullopt},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(app::iniValue(c.content, "Settings", "Taal"), c.expected);
    }
}

struct WriteCase {
    const char* name;
    QByteArray before;
    QByteArray after;
};

TEST(IniFile, WriteChangesOnlyTheOneLine) {
    const WriteCase cases[] = {
        {"new file", "", "[Settings]\r\nTaal=NL\r\n"},
        {"value replaced, key spelling and blanks kept", "; comment\r\n[SETTINGS]\r\n taal = UK\r\nOther=1\r\n",
         "; comment\r\n[SETTINGS]\r\n taal =NL\r\nOther=1\r\n"},
        {"key added after the section's last entry", "[Settings]\r\nA=1\r\n\r\n[Next]\r\nB=2\r\n",
         "[Settings]\r\nA=1\r\nTaal=NL\r\n\r\n[Next]\r\nB=2\r\n"},
        {"section added at the end, LF file", "[Other]\nX=1\n", "[Other]\nX=1\n[Settings]\nTaal=NL\n"},
        {"section added after a last line without ending", "[Other]\r\nX=1",
         "[Other]\r\nX=1\r\n[Settings]\r\nTaal=NL\r\n"},
        {"key added to a last section without ending", "[Settings]\r\nA=1", "[Settings]\r\nA=1\r\nTaal=NL\r\n"},
        {"only the section's own key", "[Other]\nTaal=DE\n[Settings]\nTaal=UK\n",
         "[Other]\nTaal=DE\n[Settings]\nTaal=NL\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[Settings]\r\nTaal=DE\r\n", "\xEF\xBB\xBF[Settings]\r\nTaal=NL\r\n"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray written = app::withIniValue(c.before, "Settings", "Taal", "NL");
        EXPECT_EQ(written, c.after);
        EXPECT_EQ(app::iniValue(written, "Settings", "Taal"), QString("NL"));
    }
}

TEST(IniFile, PathOfTheExecutable) {
    EXPECT_EQ(app::iniPathForExecutable("D:\\Tools\\Edit.exe"), "D:\\Tools\\Edit.INI");
    EXPECT_EQ(app::iniPathForExecutable("/opt/k/kantelo"), "/opt/k/kantelo.INI");
    EXPECT_EQ(app::iniPathForExecutable("/opt/k.d/kantelo"), "/opt/k.d/kantelo.INI");
    EXPECT_EQ(app::iniPathForExecutable("/opt/k/kantelo.bin.exe"), "/opt/k/kantelo.bin.INI");
}

TEST(IniFile, FileLevelReadAndWrite) {
    test_support::TempDir dir;
    const QString path = QString::fromStdString((dir / "k.INI").string());
    EXPECT_EQ(app::readProfileString(path, "Settings", "Taal", "UK"), "UK"); // no file
    ASSERT_TRUE(app::writeProfileString(path, "Settings", "Taal", "DE"));
    EXPECT_EQ(app::readProfileString(path, "Settings", "Taal", "UK"), "DE");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Settings]\r\nTaal=DE\r\n"));
}

TEST(IniFile, UnwritableFileOrFolderFailsAndChangesNothing) {
    test_support::TempDir dir;
    namespace fs = std::filesystem;
    // A folder nobody can create the file in (its "folder" is a file), even as root.
    { QFile blocker(QString::fromStdString((dir / "blocker").string())); ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); }
    const QString impossible = QString::fromStdString((dir / "blocker" / "k.INI").string());
    EXPECT_FALSE(app::writeProfileString(impossible, "Settings", "Taal", "NL"));

    if (geteuid() != 0) { // root may write into read-only folders
        const fs::path folder = dir / "ro";
        fs::create_directory(folder);
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        const QString missing = QString::fromStdString((folder / "k.INI").string());
        EXPECT_FALSE(app::writeProfileString(missing, "Settings", "Taal", "NL"));
        EXPECT_FALSE(QFile::exists(missing));
        fs::permissions(folder, fs::perms::owner_all);
    }

    const QString readOnly = QString::fromStdString((dir / "ro.INI").string());
    ASSERT_TRUE(app::writeProfileString(readOnly, "Settings", "Taal", "UK"));
    fs::permissions(readOnly.toStdString(), fs::perms::owner_read);
    EXPECT_FALSE(app::writeProfileString(readOnly, "Settings", "Taal", "NL"));
    EXPECT_EQ(app::readProfileString(readOnly, "Settings", "Taal", ""), "UK");
}

// Where the settings go: beside the executable while that can be written, else the file of
// the same name in the user's settings folder (a program copied into a read-only folder).
TEST(IniFile, SettingsGoToTheUsersFolderWhereTheExecutablesFolderCannotTakeThem) {
    namespace fs = std::filesystem;
    test_support::TempDir dir;
    auto q = [](const fs::path& p) { return QString::fromStdString(p.string()); };
    const fs::path user = dir / "user" / "Kantelo";

    const fs::path open = dir / "open";
    fs::create_directory(open);
    EXPECT_EQ(app::settingsFileFor(q(open / "kantelo.INI"), q(user)), q(open / "kantelo.INI"));
    EXPECT_TRUE(fs::is_empty(open)); // finding out left nothing behind

    // Write flags off count also for a user whom the system lets write anyway (root).
    const fs::path locked = dir / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(app::settingsFileFor(q(locked / "kantelo.INI"), q(user)), q(user / "kantelo.INI"));
    EXPECT_TRUE(fs::is_directory(user));
    fs::permissions(locked, fs::perms::owner_all);

    const fs::path readOnlyIni = open / "kantelo.INI";
    ASSERT_TRUE(app::writeProfileString(q(readOnlyIni), "Settings", "Taal", "DE"));
    EXPECT_EQ(app::settingsFileFor(q(readOnlyIni), q(user)), q(readOnlyIni)); // writable: stays
    fs::permissions(readOnlyIni, fs::perms::owner_read);
    EXPECT_EQ(app::settingsFileFor(q(readOnlyIni), q(user)), q(user / "kantelo.INI"));

    // No user folder known: the file beside the executable all the same (its write then fails
    // with the usual message).
    EXPECT_EQ(app::settingsFileFor(q(readOnlyIni), QString()), q(readOnlyIni));
}

} // namespace

