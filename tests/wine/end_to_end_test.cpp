// Kantelo beside a Windows program under real Wine. jet_user.exe opens the bible deny-none,
// creates its lock file, writes its user entry and takes user lock 1 with LockFile, as a Jet
// client does; Wine's server mirrors that lock as a Unix lock. While it runs, kantelo-db's writes
// and the window's save are refused with the message; after it has closed the bible they work.
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "app/window_fixture.h"

#include "support/test_env.h"
#include "windows_program.h"

#include <QComboBox>
#include <QTextEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;
using wine_test::WindowsProgram;

namespace {

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class UnderWine : public test_support::WindowTest {};

TEST_F(UnderWine, WritesWaitUntilTheWindowsProgramHasClosedTheBible) {
    ASSERT_EQ(wine_test::missingTools(), "");
    const fs::path file = bible("K", test_support::simpleBible(1, 1, 2));
    form().ComboBox1->setCurrentText("K");
    form().ComboBox1Change();

    test_support::TempDir wine;
    WindowsProgram program(wine / "prefix", file, wine / "stop");
    ASSERT_TRUE(program.waitFor("ready", wine_test::kStartSeconds)) << program.output();
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
