#include "data/connection_string.h"
#include "data_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

using namespace data_test;

TEST(ConnectionString, KeysAreMatchedWithoutRegardToCase) {
    const struct {
        const char* text;
        const char* dataSource;
    } cases[] = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\Lumora\\HolyBibles\\KJV.mdb;Persist Security Info=False",
         "c:\\Lumora\\HolyBibles\\KJV.mdb"},
        {"provider=microsoft.jet.oledb.4.0; DATA SOURCE = c:\\a b\\x.mdb ;", "c:\\a b\\x.mdb"},
        {"Data Source=\"c:\\semi;colon\\x.mdb\";Provider=Microsoft.Jet.OLEDB.4.0", "c:\\semi;colon\\x.mdb"},
        {";;Provider=Microsoft.Jet.OLEDB.4.0;;User ID=Admin;Data Source=x.mdb", "x.mdb"},
    };
    for (const auto& c : cases) EXPECT_EQ(data::parseConnectionString(c.text).dataSource, c.dataSource) << c.text;
}

TEST(ConnectionString, OtherProvidersAndIncompleteStringsAreErrors) {
    const struct {
        const char* text;
        const char* mentions;
    } cases[] = {
        {"Provider=Microsoft.ACE.OLEDB.12.0;Data Source=x.accdb", "Microsoft.ACE.OLEDB.12.0"},
        {"Provider=SQLOLEDB;Data Source=x.mdb", "SQLOLEDB"},
        {"Data Source=x.mdb", "provider"},
        {"Provider=;Data Source=x.mdb", "provider"},
        {"Provider=Microsoft.Jet.OLEDB.4.0", "Data Source"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=", "Data Source"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source", "="},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"x.mdb", "quoted"},
    };
    for (const auto& c : cases) {
        try {
            data::parseConnectionString(c.text);
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const data::DataError& e) {
            EXPECT_NE(QString(e.what()).indexOf(c.mentions, 0, Qt::CaseInsensitive), -1) << e.what();
        }
    }
}

#ifdef _WIN32
// On Windows the Data Source is the file's path as written; the file system matches it without
// regard to letter case.
TEST(Connection, ConnectsThroughTheDataSourceAsWritten) {
    test_support::TempDir dir;
    test_support::writeBible(dir / "KJV.mdb", test_support::simpleBible(1, 1, 1));
    const QString written = qtPath(dir.path()).toUpper() + "\\kjv.MDB";
    data::Connection connection;
    connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + written +
                                   ";Persist Security Info=False");
    connection.setConnected(true);
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(connection.databasePath(), written);
    EXPECT_EQ(connection.resolvedFilePath(), written);
}
#else
TEST(Connection, ConnectsThroughTheWindowsPathOfDriveC) {
    test_support::TempDir dir;
    std::filesystem::create_directories(dir / "Lumora" / "HolyBibles");
    test_support::writeBible(dir.path() / "Lumora" / "HolyBibles" / "KJV.mdb", test_support::simpleBible(1, 1, 1));
    qputenv("KANTELO_DRIVE_C", QFile::encodeName(qtPath(dir.path())));
    data::Connection connection;
    connection.setConnectionString(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\LUMORA\\holybibles\\kjv.MDB;Persist Security Info=False");
    EXPECT_FALSE(connection.connected());
    connection.setConnected(true);
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(connection.databasePath(), "c:\\LUMORA\\holybibles\\kjv.MDB");
    EXPECT_EQ(connection.resolvedFilePath(), qtPath(dir.path() / "Lumora/HolyBibles/KJV.mdb"));
    connection.release();
    EXPECT_FALSE(connection.connected());
    qunsetenv("KANTELO_DRIVE_C");
}
#endif

TEST(Connection, AMissingFileIsNamedInTheMessageAndLeavesItClosed) {
    test_support::TempDir dir;
    qputenv("KANTELO_DRIVE_C", QFile::encodeName(qtPath(dir.path())));
    data::Connection connection;
    connection.setConnectionString(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\Lumora\\HolyBibles\\Nope.mdb;Persist Security Info=False");
    try {
        connection.setConnected(true);
        ADD_FAILURE() << "connected to a missing file";
    } catch (const data::DataError& e) {
        EXPECT_NE(std::string(e.what()).find("c:\\Lumora\\HolyBibles\\Nope.mdb"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(connection.connected());
    qunsetenv("KANTELO_DRIVE_C");
}

// A file that another program replaced (by a compacted copy) is read anew at the next open of a
// query, also when its folder and name hold non-ASCII letters.
TEST(Connection, AQueryOpenedAfterTheFileWasReplacedReadsTheNewFile) {
    test_support::TempDir dir;
    const std::filesystem::path folder = dir.path() / std::filesystem::path(u8"J\u00f6rg");
    std::filesystem::create_directory(folder);
    const auto file = folder / std::filesystem::path(u8"Z\u00fcrcher Bibel.mdb");
    test_support::writeBible(file, test_support::simpleBible(1, 1, 2));
    // The file's time well before the replacement, which a check by time would otherwise miss
    // when both fall within the file system's timestamp resolution.
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) - std::chrono::hours(1));
    data::Connection connection;
    connect(connection, file);
    data::Query query(connection);
    setStatement(query, {"Select * from bible where Book = 1 and Chapter = 1 and Verse = 2"});
    query.open();
    ASSERT_EQ(query.fieldByName("BIBLETEXT").asString().toStdString(), "Verse 1:1:2");

    test_support::BibleSpec replacement = test_support::simpleBible(1, 1, 2);
    replacement.verses[1].text = u"from the replacement";
    test_support::writeBible(folder / "copy.mdb", replacement);
    // The old file first moves aside: Windows renames no file onto one that is open.
    std::filesystem::rename(file, folder / "old.mdb");
    std::filesystem::rename(folder / "copy.mdb", file);
    query.close();
    query.open();
    EXPECT_EQ(query.fieldByName("BIBLETEXT").asString().toStdString(), "from the replacement");
}

TEST(Connection, BadFilesGiveTheEnginesErrorAndStayClosed) {
    test_support::TempDir dir;
    const auto write = [&](const char* name, const std::string& bytes) {
        QFile f(qtPath(dir / name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes.data(), qint64(bytes.size()));
        return dir / name;
    };
    for (const auto& file : {write("empty.mdb", ""), write("text.mdb", std::string(5000, 'x'))}) {
        data::Connection connection;
        connection.setConnectionString(connectionStringFor(file));
        EXPECT_THROW(connection.setConnected(true), jet::Error) << file;
        EXPECT_FALSE(connection.connected());
    }
    // A Jet file without table "bible" connects; the statement then fails.
    const auto corpus = test_support::corpusFiles();
    ASSERT_FALSE(corpus.empty());
    const auto other = test_support::copyInto(corpus.front(), dir.path());
    data::Connection connection;
    connect(connection, other);
    data::Query query(connection);
    setStatement(query, {"Select * from bible"});
    EXPECT_THROW(query.open(), jet::Error);
    EXPECT_FALSE(query.active());
}

} // namespace
