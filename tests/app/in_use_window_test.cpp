// The window while another program has a bible open (a child process holding the lock file the
// way Wine's server holds a Windows program's locks): saves are refused with a message and lose
// nothing, the whole-bible run writes nothing, and the close neither hangs nor compacts the file.
#include "app/tform1.h"
#include "window_fixture.h"

#include "support/lock_holder.h"

#include "app/rich_edit_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QToolButton>
#include <QLabel>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <memory>

namespace fs = std::filesystem;
using test_support::HeldFile;
using test_support::LockHolder;

namespace {

constexpr int64_t kUserLock1 = 0x10000001;

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class InUseWindow : public test_support::WindowTest {
public:
    // The other program: the bible's lock file with its entry, and its user lock held.
    std::unique_ptr<LockHolder> otherProgramOpens(const std::string& name) {
        const fs::path lockFile = folder_ / (name + ".ldb");
        std::string entry(64, '\0');
        entry.replace(0, 7, "STUDIO1");
        entry.replace(32, 5, "Admin");
        std::ofstream(lockFile, std::ios::binary) << entry;
        return std::make_unique<LockHolder>(std::vector<HeldFile>{{lockFile, F_WRLCK, kUserLock1}});
    }
    void openBible(int pane, const QString& name) {
        if (pane == 1) {
            form().ComboBox1->setCurrentText(name);
            form().ComboBox1Change();
        } else {
            form().ComboBox3->setCurrentText(name);
            form().ComboBox3Change();
        }
    }
    bool saidInUse(const QString& message, const QString& file) const {
        return message.contains(file) && message.contains("another program has this bible open (computer STUDIO1, "
                                                          "user Admin)") &&
               message.contains("Close the bible there");
    }
};

TEST_F(InUseWindow, SaveIsRefusedWithTheMessageAndKeptForTheNextTry) {
    const fs::path file = bible("K", test_support::simpleBible(1, 1, 2));
    test_support::TempDir backups;
    test_support::ScopedEnv backupDir("KANTELO_BACKUP_DIR", backups.path().string());
    openBible(1, "K");
    const std::string original = bytesOf(file);
    auto other = otherProgramOpens("K");

    QTest::keyClicks(form().paneView(1), "x");
    const QStringList edited = form().paneLines(1).lines();
    form().SpeedButton2->click(); // next verse: saves first
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(saidInUse(messages_[0], "K.mdb")) << messages_[0].toStdString();
    EXPECT_EQ(form().paneLines(1).lines(), edited);
    EXPECT_TRUE(form().edited1);
    EXPECT_EQ(form().Label7->text(), "1");
    EXPECT_EQ(bytesOf(file), original);
    EXPECT_TRUE(fs::is_empty(backups.path())) << "the refused save made a backup";

    // Closed there: the next hook saves the same edit, after its backup.
    other->kill();
    form().SpeedButton2->click();
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_FALSE(fs::is_empty(backups.path()));
    EXPECT_EQ(test_support::readVerseTexts(file).at({1, 1, 1}), edited.join("\r\n").toStdU16String());
}

TEST_F(InUseWindow, WholeBibleRunRefusesBeforeItsFirstWrite) {
    const fs::path free = bible("A", test_support::simpleBible(1, 2, 2));
    const fs::path held = bible("B", test_support::simpleBible(1, 2, 2));
    openBible(1, "A");
    openBible(2, "B");
    const std::string freeBytes = bytesOf(free), heldBytes = bytesOf(held);
    auto other = otherProgramOpens("B");

    form().CheckBox1->click();
    form().BitBtn2->click(); // through the event guard, as a real click
    ASSERT_EQ(messages_.size(), 1) << messages_.join("|").toStdString();
    EXPECT_TRUE(saidInUse(messages_[0], "B.mdb")) << messages_[0].toStdString();
    EXPECT_EQ(bytesOf(free), freeBytes);
    EXPECT_EQ(bytesOf(held), heldBytes);
    EXPECT_FALSE(form().modifyDBRunning);
}

TEST_F(InUseWindow, OtherProgramAppearingDuringTheRunStopsItWithOneMessage) {
    const fs::path file = bible("A", test_support::simpleBible(1, 2, 2));
    openBible(1, "A");
    const std::string original = bytesOf(file);
    std::unique_ptr<LockHolder> other;
    onMessage_ = [&](const QString& text) { // the run's warning: the run has passed its check
        if (text == form().texts.msgLongProcess && !other) other = otherProgramOpens("A");
    };
    form().CheckBox1->click();
    form().BitBtn2->click();
    ASSERT_EQ(messages_.size(), 2) << messages_.join("|").toStdString();
    EXPECT_EQ(messages_[0], form().texts.msgLongProcess);
    EXPECT_TRUE(saidInUse(messages_[1], "A.mdb")) << messages_[1].toStdString();
    EXPECT_EQ(bytesOf(file), original);
    EXPECT_FALSE(form().modifyDBRunning);
}

TEST_F(InUseWindow, CloseWithABibleInUseEndsPromptlyAndLeavesTheFile) {
    const fs::path file = bible("K", test_support::simpleBible(1, 1, 2));
    test_support::TempDir backups;
    test_support::ScopedEnv backupDir("KANTELO_BACKUP_DIR", backups.path().string());
    openBible(1, "K");
    const std::string original = bytesOf(file);
    // Jet's locks lie beyond the end of the file; compaction once waited for them for ever.
    LockHolder other({{file, F_WRLCK, 0x10000000, 0}});
    const auto started = std::chrono::steady_clock::now();
    form().close();
    EXPECT_FALSE(form().isVisible());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    EXPECT_FALSE(fs::exists(folder_ / "K.mdbx"));
    EXPECT_EQ(bytesOf(file), original);
}

} // namespace
