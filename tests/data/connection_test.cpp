#include "data/connection_string.h"
#include "data_fixture.h"

#include <gtest/gtest.h>

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
