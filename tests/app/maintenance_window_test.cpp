// The window's whole-bible run and its compaction at close, offscreen on fixture bibles: the
// option boxes, the run compared row by row with `kantelo-db apply`, the second pane, input
// during the run, and which files a close compacts.
#include "app/tform1.h"
#include "window_fixture.h"

#include "jet/database.h"
#include "app/event_guard.h"
#include "maintenance/compaction.h"
#include "texts/leftover_texts.h"
#include "support/bible_fixture.h"
#include "support/pass_through_files.h"
#include "support/qt_application.h"
#include "support/test_env.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

namespace fs = std::filesystem;
using test_support::BibleSpec;

namespace {

using test_support::application;

using Key = test_support::VerseKey; // book, chapter, verse
using Texts = test_support::VerseTexts;


Texts readTexts(const fs::path& file) { return test_support::readVerseTexts(file); }

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Three books of uneven chapters; texts with every kind of ending.
BibleSpec mixedBible() {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{2, u"Exodus"}, {1, u"Genesis"}, {3, u"Leviticus"}};
    const std::u16string endings[] = {u"", u"\r\n", u"\r\n\r\n", u"\r\n\r\nMore", u"\r\n ", u"\r\n\r\n\r\n"};
    int n = 0;
    const std::vector<std::vector<int>> shape = {{3, 2}, {1, 4, 2}, {2}};
    for (size_t b = 0; b < shape.size(); ++b)
        for (size_t c = 0; c < shape[b].size(); ++c)
            for (int v = 1; v <= shape[b][c]; ++v) {
                std::u16string text = u"Verse " + QString("%1:%2:%3").arg(b + 1).arg(c + 1).arg(v).toStdU16String();
                bibleSpec.verses.push_back({int(b + 1), int(c + 1), v, text + endings[size_t(n++) % std::size(endings)]});
            }
    bibleSpec.verses.push_back({1, 1, 0, u"Verse 0 sorts first"}); // odd, but visited like any row
    bibleSpec.verses.push_back({0, 1, 1, u"Book 0 row"});
    bibleSpec.shuffleRows = true;
    return bibleSpec;
}

using RecordingFiles = test_support::PassThroughFiles;

class MaintenanceWindow : public test_support::WindowTest {
public:
    void openBible1(const QString& name) {
        test_support::putBibleName(form().ComboBox1, name);
        form().ComboBox1Change();
    }
    void openBible2(const QString& name) {
        test_support::putBibleName(form().ComboBox3, name);
        form().ComboBox3Change();
    }
    // Ticks a box as a click does and starts the run as the OK button does.
    void run(bool force) {
        QCheckBox* box = force ? form().CheckBox1 : form().CheckBox2;
        if (!box->isChecked()) box->click();
        form().BitBtn2Click();
    }
    void closeWindow() {
        form().close();
        QCoreApplication::processEvents();
    }
    int count(const QString& message) const { return int(messages_.count(message)); }
};

TEST_F(MaintenanceWindow, OptionBoxesFollowTheirStateTable) {
    TForm1& f = form();
    struct State {
        bool box1Enabled, box1Ticked, box2Enabled, box2Ticked, okEnabled;
    };
    auto state = [&] {
        return State{f.CheckBox1->isEnabled(), f.CheckBox1->isChecked(), f.CheckBox2->isEnabled(),
                     f.CheckBox2->isChecked(), f.BitBtn2->isEnabled()};
    };
    auto expect = [&](const char* step, State want) {
        SCOPED_TRACE(step);
        const State got = state();
        EXPECT_EQ(got.box1Enabled, want.box1Enabled);
        EXPECT_EQ(got.box1Ticked, want.box1Ticked);
        EXPECT_EQ(got.box2Enabled, want.box2Enabled);
        EXPECT_EQ(got.box2Ticked, want.box2Ticked);
        EXPECT_EQ(got.okEnabled, want.okEnabled);
    };
    expect("start", {true, false, true, false, false});
    f.CheckBox1->click();
    expect("box 1 ticked", {true, true, false, false, true});
    f.CheckBox1->click();
    expect("box 1 cleared", {true, false, true, false, true});
    f.CheckBox2->click();
    expect("box 2 ticked", {false, false, true, true, true});
    f.CheckBox2->click();
    expect("box 2 cleared", {true, false, true, false, true});

    // OK with no tick only asks for one.
    f.BitBtn2Click();
    EXPECT_EQ(messages_, QStringList{f.texts.msgTickRequired});
}

TEST_F(MaintenanceWindow, RunWithoutBooksOnlyWarns) {
    BibleSpec noNames = test_support::simpleBible(1, 1, 2);
    noNames.bookNames.clear();
    const fs::path file = bible("N", noNames);
    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "bible without book-name rows" : "no bible open");
        if (open) openBible1("N");
        messages_.clear();
        const std::string bytes = bytesOf(file);
        run(true);
        EXPECT_EQ(messages_, QStringList{form().texts.msgLongProcess});
        EXPECT_EQ(bytesOf(file), bytes);
    }
}

TEST_F(MaintenanceWindow, RunMatchesKanteloDbApplyRowForRow) {
    for (bool force : {true, false}) {
        SCOPED_TRACE(force ? "force" : "remove");
        test_support::TempDir other;
        const fs::path windowCopy = bible(force ? "F" : "R", mixedBible());
        const fs::path toolCopy = test_support::copyInto(windowCopy, other.path());
        const Texts before = readTexts(windowCopy);

        openBible1(force ? "F" : "R");
        run(force);
        EXPECT_EQ(count(form().texts.msgLongProcess), 1);
        const Texts byWindow = readTexts(windowCopy);
        form_.reset();
        messages_.clear();

        const auto tool = test_support::run({test_support::kanteloDbTool().string(), "apply", toolCopy.string(),
                                             force ? "force" : "remove"});
        ASSERT_EQ(tool.exitCode, 0) << tool.err;
        EXPECT_EQ(readTexts(toolCopy), byWindow);
        EXPECT_NE(byWindow, before);
        EXPECT_EQ(byWindow.at({0, 1, 1}), before.at({0, 1, 1}));
        EXPECT_EQ(byWindow.at({0, 10, 1}), before.at({0, 10, 1}));
    }
}

TEST_F(MaintenanceWindow, ForcingAForcedBibleWritesNothing) {
    BibleSpec bibleSpec = test_support::simpleBible(2, 2, 3);
    for (auto& verse : bibleSpec.verses) verse.text += u"\r\n";
    const fs::path file = bible("K", bibleSpec);
    openBible1("K");
    const std::string bytes = bytesOf(file);
    run(true);
    EXPECT_EQ(bytesOf(file), bytes);
}

// Pane 2's bible has one verse fewer in chapter 1 of book 1 and one verse more in chapter 2.
BibleSpec secondBible() {
    BibleSpec bibleSpec = test_support::simpleBible(2, 2, 3);
    bibleSpec.verses.erase(std::find_if(bibleSpec.verses.begin(), bibleSpec.verses.end(),
                                   [](const auto& v) { return v.book == 1 && v.chapter == 1 && v.verse == 3; }));
    bibleSpec.verses.push_back({1, 2, 4, u"Verse 1:2:4"});
    return bibleSpec;
}

TEST_F(MaintenanceWindow, SecondPaneIsWalkedInStepWithTheFirst) {
    for (bool force : {true, false}) {
        SCOPED_TRACE(force ? "force" : "remove");
        BibleSpec one = test_support::simpleBible(2, 2, 3);
        BibleSpec two = secondBible();
        if (!force) {
            for (auto& v : one.verses) v.text += u"\r\n";
            for (auto& v : two.verses) v.text += u"\r\n";
        }
        const fs::path file1 = bible(force ? "One" : "Uno", one);
        const fs::path file2 = bible(force ? "Two" : "Dos", two);
        const Texts before2 = readTexts(file2);
        openBible1(force ? "One" : "Uno");
        openBible2(force ? "Two" : "Dos");
        ASSERT_TRUE(form().RE2->isEnabled());
        run(force);

        for (const auto& [key, text] : readTexts(file1))
            if (std::get<0>(key) > 0) {
                EXPECT_EQ(text.ends_with(u"\r\n"), force);
            }
        const Texts after2 = readTexts(file2);
        for (const auto& [key, text] : after2) {
            const auto& [b, c, v] = key;
            SCOPED_TRACE(std::to_string(b) + ":" + std::to_string(c) + ":" + std::to_string(v));
            // Verse 1:2:4 lies beyond pane 1's three verses: never visited.
            const bool visited = b > 0 && !(b == 1 && c == 2 && v == 4);
            EXPECT_EQ(text, visited ? (force ? before2.at(key) + u"\r\n" : before2.at(key).substr(0, before2.at(key).size() - 2))
                                    : before2.at(key));
        }
        form_.reset();
    }
}

TEST_F(MaintenanceWindow, SameBibleInBothPanesIsChangedOnce) {
    const fs::path file = bible("A", mixedBible());
    test_support::TempDir other;
    const fs::path toolCopy = test_support::copyInto(file, other.path());
    openBible1("A");
    openBible2("A");
    run(true);
    form_.reset();
    ASSERT_EQ(test_support::run({test_support::kanteloDbTool().string(), "apply", toolCopy.string(), "force"}).exitCode, 0);
    EXPECT_EQ(readTexts(file), readTexts(toolCopy));
    const auto check = test_support::run({"mdb-export", file.string(), "bible"});
    EXPECT_EQ(check.exitCode, 0) << check.err;
}

TEST_F(MaintenanceWindow, SecondStartAndBibleChangesAreRefusedDuringTheRun) {
    bible("A", test_support::simpleBible(1, 2, 3));
    openBible1("A");
    bool selectorsLocked = false;
    onMessage_ = [&](const QString& text) {
        if (text != form().texts.msgLongProcess) return;
        QTimer::singleShot(0, [&] {
            selectorsLocked = !form().ComboBox1->isEnabled() && !form().ComboBox3->isEnabled();
            form().BitBtn2->click();
        });
    };
    run(true);
    EXPECT_TRUE(selectorsLocked);
    EXPECT_EQ(count(form().texts.msgLongProcess), 1);
    EXPECT_TRUE(form().ComboBox1->isEnabled());
    EXPECT_TRUE(form().ComboBox3->isEnabled());
    EXPECT_FALSE(form().modifyDBRunning);
    for (const auto& [key, text] : readTexts(folder_ / "A.mdb"))
        if (std::get<0>(key) > 0) {
            EXPECT_TRUE(text.ends_with(u"\r\n"));
        }
}

TEST_F(MaintenanceWindow, StatusBarShowsTheBookAndPartDoneDuringTheRunAndIsEmptyAfter) {
    bible("A", mixedBible());
    TForm1::eventPassInterval = 0; // every pass shows the progress
    openBible1("A");
    QStringList shown;
    QObject::connect(form().StatusBar1, &QStatusBar::messageChanged, [&](const QString& text) {
        if (!text.isEmpty()) shown << text;
    });
    EXPECT_TRUE(form().StatusBar1->currentMessage().isEmpty());
    run(true);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.front(), "Working on Genesis: 0%");
    EXPECT_TRUE(shown.contains("Working on Exodus: 33%"));
    EXPECT_TRUE(shown.contains("Working on Leviticus: 66%"));
    EXPECT_TRUE(form().StatusBar1->currentMessage().isEmpty());
}

TEST_F(MaintenanceWindow, ClosingDuringTheRunStopsAfterTheVerseInProgressThenCloses) {
    const fs::path file = bible("A", test_support::simpleBible(1, 2, 4));
    // Every pass runs, so the close is seen at the verse where it was sent.
    TForm1::eventPassInterval = 0;
    openBible1("A");
    // Close as soon as verse 3 is shown: verses 1 and 2 are done, verse 3 is not started.
    bool closeSent = false;
    QObject::connect(form().RE1, &QTextEdit::textChanged, [&] {
        if (!closeSent && form().RE1->toPlainText().contains("Verse 1:1:3")) {
            closeSent = true;
            QTimer::singleShot(0, [&] { form().close(); });
        }
    });
    run(true);
    EXPECT_TRUE(closeSent);
    EXPECT_TRUE(form().isVisible()); // held back until the run has ended
    QCoreApplication::processEvents();
    EXPECT_FALSE(form().isVisible());
    const Texts texts = readTexts(file);
    EXPECT_EQ(texts.at({1, 1, 1}), u"Verse 1:1:1\r\n");
    EXPECT_EQ(texts.at({1, 1, 2}), u"Verse 1:1:2\r\n");
    EXPECT_EQ(texts.at({1, 1, 3}), u"Verse 1:1:3");
    EXPECT_EQ(texts.at({1, 2, 1}), u"Verse 1:2:1");
    EXPECT_FALSE(fs::exists(folder_ / "A.mdbx")); // closed as usual: compacted
}

TEST_F(MaintenanceWindow, EngineErrorEndsTheRunWithItsMessageAndRestoresTheWindow) {
    const fs::path file = bible("A", test_support::simpleBible(1, 1, 3));
    openBible1("A");
    fs::remove(file); // the first save of the run cannot open the file for writing
    form().CheckBox1->click();
    form().BitBtn2->click(); // through the event guard, as a real click
    ASSERT_EQ(messages_.size(), 2) << messages_.join("|").toStdString();
    EXPECT_EQ(messages_[0], form().texts.msgLongProcess);
    EXPECT_TRUE(messages_[1].contains("A.mdb")) << messages_[1].toStdString();
    EXPECT_FALSE(form().modifyDBRunning);
    EXPECT_TRUE(form().ComboBox1->isEnabled());
    EXPECT_TRUE(form().ComboBox3->isEnabled());
    EXPECT_TRUE(form().updatesEnabled());
}

// A bible 2 that fails to open leaves pane 2 out of everything: the run changes pane 1 exactly
// as the tool does, touches pane 2's earlier file not at all and says nothing per verse.
TEST_F(MaintenanceWindow, FailedBibleTwoThenARunChangesPaneOneOnly) {
    const fs::path file1 = bible("A", mixedBible());
    const fs::path file2 = bible("B", mixedBible());
    test_support::TempDir other;
    const fs::path toolCopy = test_support::copyInto(file1, other.path());
    openBible1("A");
    openBible2("B");
    form().ComboBox3->setFocus();
    form().ComboBox3->lineEdit()->clear();
    QTest::keyClicks(form().ComboBox3, "Nothing");
    QTest::keyClick(form().ComboBox3, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_FALSE(form().RE2->isEnabled());
    EXPECT_FALSE(form().ADOQuery2.active());
    const std::string bytes2 = bytesOf(file2);

    run(true);
    EXPECT_EQ(messages_.size(), 2) << messages_.join("|").toStdString();
    EXPECT_EQ(count(form().texts.msgLongProcess), 1);
    form_.reset();
    ASSERT_EQ(test_support::run({test_support::kanteloDbTool().string(), "apply", toolCopy.string(), "force"}).exitCode, 0);
    EXPECT_EQ(readTexts(file1), readTexts(toolCopy));
    EXPECT_EQ(bytesOf(file2), bytes2);
}

// An error shown by an event that runs in the middle of the run ends the run: one message.
TEST_F(MaintenanceWindow, AnErrorDuringTheRunEndsIt) {
    const fs::path file = bible("A", test_support::simpleBible(3, 3, 3));
    openBible1("A");
    onMessage_ = [&](const QString& text) {
        if (text == form().texts.msgLongProcess)
            QTimer::singleShot(0, [] { app::runGuarded([] { throw jet::Error("an event failed"); }); });
    };
    run(true);
    EXPECT_EQ(messages_, (QStringList{form().texts.msgLongProcess, "an event failed"}));
    EXPECT_FALSE(form().modifyDBRunning);
    EXPECT_EQ(readTexts(file).at({3, 3, 3}), u"Verse 3:3:3"); // never reached
}

// Enter that no control takes clicks the default button (the whole-bible run); a view and a
// bible selector take their Enter themselves.
TEST_F(MaintenanceWindow, EnterPressesTheDefaultButtonOnlyWhereNoControlTakesIt) {
    bible("A", test_support::simpleBible(1, 1, 2));
    openBible1("A");
    form().CheckBox1->click();
    const struct {
        const char* name;
        QWidget* focus;
        int runs;
    } cases[] = {
        {"check box", form().CheckBox1, 1},
        {"view", form().RE1, 0},
        {"bible selector", form().ComboBox1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.clear();
        c.focus->setFocus();
        QTest::keyClick(c.focus, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(count(form().texts.msgLongProcess), c.runs);
    }
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
}

// --- compaction at close ----------------------------------------------------------------------

TEST_F(MaintenanceWindow, CloseCompactsTheFilesOpenedLast) {
    bible("A", test_support::simpleBible(1, 1, 2));
    bible("B", test_support::simpleBible(1, 1, 2));
    const QString nativeA = QString::fromStdString((folder_ / "A.mdb").string());
    const QString nativeB = QString::fromStdString((folder_ / "B.mdb").string());

    struct Case {
        const char* name;
        std::function<void(MaintenanceWindow&)> steps;
        QStringList compacted;
    };
    const Case cases[] = {
        {"nothing opened", [](MaintenanceWindow&) {}, {}},
        {"only looked at", [](MaintenanceWindow& t) { t.openBible1("A"); }, {nativeA}},
        {"replaced in pane 1", [](MaintenanceWindow& t) { t.openBible1("A"); t.openBible1("B"); }, {nativeB}},
        {"same file in both panes", [](MaintenanceWindow& t) { t.openBible1("A"); t.openBible2("A"); }, {nativeA, nativeA}},
        {"two bibles", [](MaintenanceWindow& t) { t.openBible1("B"); t.openBible2("A"); }, {nativeB, nativeA}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingFiles files;
        form().compactionFileOps = &files;
        c.steps(*this);
        closeWindow();
        EXPECT_EQ(files.compacted, c.compacted);
        EXPECT_FALSE(fs::exists(folder_ / "A.mdbx"));
        EXPECT_FALSE(fs::exists(folder_ / "B.mdbx"));
        EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
        form_.reset();
    }
}

TEST_F(MaintenanceWindow, LeftoverTemporaryFileBlocksTheCompactionAndIsNamedOnce) {
    const fs::path file = bible("A", test_support::simpleBible(1, 1, 2));
    bible("B", test_support::simpleBible(1, 1, 2));
    { std::ofstream(folder_ / "A.mdbx") << "earlier"; }
    openBible1("A");
    openBible2("A"); // both panes on the blocked file: still one message
    const std::string bytes = bytesOf(file);
    closeWindow();
    EXPECT_EQ(bytesOf(file), bytes);
    EXPECT_EQ(bytesOf(folder_ / "A.mdbx"), "earlier");
    ASSERT_EQ(messages_.size(), 1) << messages_.join("|").toStdString();
    EXPECT_TRUE(messages_[0].contains(form().baseFolder + "\\HolyBibles\\A.mdbx")) << messages_[0].toStdString();
    EXPECT_EQ(messages_[0], texts::compactionBlockedMessage("UK", form().baseFolder + "\\HolyBibles\\A.mdb",
                                                            form().baseFolder + "\\HolyBibles\\A.mdbx"));

    // A bible without a leftover is compacted without a word.
    form_.reset();
    messages_.clear();
    openBible1("B");
    closeWindow();
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
}

TEST_F(MaintenanceWindow, FailedRenameKeepsTheDatabaseAndSaysWhereItIs) {
    const fs::path file = bible("A", test_support::simpleBible(1, 2, 2));
    const Texts before = readTexts(file);
    RecordingFiles files;
    files.failRenames = true;
    form().compactionFileOps = &files;
    openBible1("A");
    closeWindow();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_.front().contains(form().baseFolder + "\\HolyBibles\\A.mdbx")) << messages_.front().toStdString();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(readTexts(folder_ / "A.mdbx"), before);
}

} // namespace
