// Backups and restoring in the real window, offscreen: the backup before the first save of a
// bible in the run, a backup folder that cannot be made, the Extra menu and its restore dialog.
// Rows are compared with mdb-export as the independent reader.
#include "app/restore_dialog.h"
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "maintenance/backups.h"
#include "texts/backup_texts.h"
#include "window_fixture.h"

#include "support/test_env.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using test_support::BibleSpec;

namespace {

std::string bytesOf(const fs::path& file) { return test_support::readBytes(file); }

std::string exported(const fs::path& file) {
    const auto result = test_support::run({"mdb-export", file.string(), "bible"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

BibleSpec twoVerses(std::u16string first) {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{1, u"Genesis"}};
    bibleSpec.verses = {{1, 1, 1, std::move(first)}, {1, 1, 2, u"Second verse"}};
    return bibleSpec;
}

class WindowBackups : public test_support::WindowTest {
public:
    fs::path backups = drive_.path() / "backups";
    test_support::ScopedEnv backupFolder{"KANTELO_BACKUP_DIR", backups.string()};

    void open(int pane, const QString& name) {
        QComboBox* selector = pane == 1 ? form().ComboBox1 : form().ComboBox3;
        selector->setCurrentText(name);
        if (pane == 1) form().ComboBox1Change();
        else form().ComboBox3Change();
    }
    void typeAtStart(const QString& text) {
        form().paneLines(1).select({0, 0}, {0, 0});
        QTest::keyClicks(form().RE1, text);
    }
    std::vector<maintenance::BackupEntry> backupsOf(const std::string& bible) {
        return maintenance::listBackups(backups, bible);
    }
    // Chooses the newest backup of `bible` in the restore dialog and clicks Restore.
    void restoreNewest(const QString& bible) {
        TForm1::dialogSink = [bible](QDialog& dialog) {
            auto& restore = dynamic_cast<app::RestoreDialog&>(dialog);
            const auto rows = restore.list->findItems(bible, Qt::MatchExactly, 0);
            ASSERT_FALSE(rows.isEmpty());
            restore.list->setCurrentItem(rows.first());
            ASSERT_TRUE(restore.restoreButton->isEnabled());
            restore.restoreButton->click();
        };
        form().RestoreBackup1->trigger();
        TForm1::dialogSink = nullptr;
    }
};

TEST_F(WindowBackups, FirstSaveMakesOneVerifiedBackupAndLaterSavesNone) {
    const fs::path file = bible("K", twoVerses(u"In the beginning"));
    const std::string before = bytesOf(file);
    open(1, "K");
    EXPECT_TRUE(backupsOf("K").empty()); // opening and looking change nothing

    typeAtStart("x");
    form().SpeedButton2->click();
    const auto made = backupsOf("K");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(bytesOf(made[0].path), before);
    EXPECT_NE(bytesOf(file), before);

    typeAtStart("y");
    form().SpeedButton1->click();
    typeAtStart("z");
    form().FormFocusLost();
    EXPECT_EQ(backupsOf("K").size(), 1u);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(WindowBackups, WholeBibleRunBacksUpBeforeItsFirstChange) {
    const fs::path file = bible("K", twoVerses(u"A"));
    const std::string before = bytesOf(file);
    open(1, "K");
    form().CheckBox1->click();
    form().BitBtn2Click();
    const auto made = backupsOf("K");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(bytesOf(made[0].path), before);
    EXPECT_NE(bytesOf(file), before);
}

TEST_F(WindowBackups, BackupFolderThatCannotBeMadeRefusesTheSave) {
    const fs::path file = bible("K", twoVerses(u"A"));
    std::ofstream(drive_.path() / "plain-file") << "x";
    // Below a regular file no folder can be made, not even by root.
    const test_support::ScopedEnv unusable("KANTELO_BACKUP_DIR", (drive_.path() / "plain-file" / "backups").string());
    const std::string before = bytesOf(file);
    const auto modified = fs::last_write_time(file);
    open(1, "K");
    typeAtStart("x");
    form().SpeedButton2->click();

    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith("No backup of")) << messages_[0].toStdString();
    EXPECT_TRUE(messages_[0].contains("K.mdb")) << messages_[0].toStdString();
    EXPECT_TRUE(messages_[0].contains("plain-file")) << messages_[0].toStdString();
    EXPECT_EQ(form().Label7->text(), "1"); // the step did not happen
    EXPECT_TRUE(form().edited1);
    EXPECT_EQ(bytesOf(file), before);
    EXPECT_EQ(fs::last_write_time(file), modified);
}

TEST_F(WindowBackups, RestoreThroughTheWindowGivesTheOldRowsBack) {
    const fs::path file = bible("K", twoVerses(u"In the beginning"));
    bible("L", twoVerses(u"Other"));
    const std::string rowsBefore = exported(file);
    open(1, "K");
    typeAtStart("changed ");
    form().SpeedButton2->click();
    ASSERT_NE(exported(file), rowsBefore);
    open(1, "L"); // K is no longer open

    restoreNewest("K");

    EXPECT_EQ(exported(file), rowsBefore);
    // The replaced file was backed up first; it is the newest backup now, and the message says so.
    const auto now = backupsOf("K");
    ASSERT_EQ(now.size(), 2u);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QString::fromStdString(now[0].path.filename().string())))
        << messages_[0].toStdString();
    EXPECT_NE(exported(now[0].path), rowsBefore);
    EXPECT_EQ(exported(now[1].path), rowsBefore);
    EXPECT_TRUE(form().Extra1->isEnabled());
}

TEST_F(WindowBackups, RestoreOfABibleOpenInAPaneIsRefused) {
    const fs::path file = bible("K", twoVerses(u"A"));
    bible("L", twoVerses(u"B"));
    maintenance::makeBackup(file, backups, {2026, 1, 1, 0, 0, 0});
    const std::string before = bytesOf(file);
    const struct {
        const char* name;
        int pane;
        const char* bible1;
    } cases[] = {{"open in pane 1", 1, "K"}, {"open in pane 2", 2, "L"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.clear();
        if (c.pane == 2) open(2, "K");
        open(1, c.bible1);
        restoreNewest("K");
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_EQ(messages_[0], texts::backupTexts(form().languageCode).msgRestoreOpenBible.arg("K"));
        EXPECT_EQ(bytesOf(file), before);
        EXPECT_EQ(backupsOf("K").size(), 1u);
    }
}

TEST_F(WindowBackups, ExtraMenuFollowsOptionsInEveryLanguageAndStaysEnabled) {
    bible("K", twoVerses(u"A"));
    const QList<QAction*> bar = form().MainMenu1->actions();
    ASSERT_GE(bar.size(), 3);
    EXPECT_EQ(bar.indexOf(form().Extra1), bar.indexOf(form().Options1) + 1);
    ASSERT_NE(form().Extra1->menu(), nullptr);
    EXPECT_TRUE(form().Extra1->menu()->actions().contains(form().RestoreBackup1));
    const struct {
        QAction* language;
        const char* extra;
        const char* restore;
    } cases[] = {
        {form().NL1, "Extra", "Een reservekopie terugzetten…"},
        {form().DE1, "Extras", "Eine Sicherung wiederherstellen…"},
        {form().UK, "Tools", "Restore a backup…"},
    };
    for (const auto& c : cases) {
        c.language->trigger();
        EXPECT_EQ(form().Extra1->text(), QString::fromUtf8(c.extra));
        EXPECT_EQ(form().RestoreBackup1->text(), QString::fromUtf8(c.restore));
    }
    open(1, "K");
    EXPECT_FALSE(form().Options1->isEnabled());
    EXPECT_TRUE(form().Extra1->isEnabled());
    EXPECT_TRUE(form().RestoreBackup1->isEnabled());
}

} // namespace
