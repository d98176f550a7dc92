// Editing and saving in the real window, offscreen, on fixture bibles: typed line breaks, the
// popup commands after a right-click, undo and redo, the save hooks (navigation, deactivation,
// close) and a bible file that cannot be written. Rows are checked with mdb-export as the
// independent reader.
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "verse/fill.h"
#include "window_fixture.h"

#include "support/bible_fixture.h"
#include "support/mdb_export.h"
#include "support/qt_application.h"
#include "support/read_only_files.h"
#include "support/test_env.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <filesystem>
#include <map>
#include <sstream>
#include <tuple>

#include <sys/stat.h>

namespace fs = std::filesystem;
using test_support::BibleSpec;
using test_support::pick;
using test_support::spontaneousWheel;

namespace {

using test_support::application;

BibleSpec twoVerses(std::u16string first, std::u16string second = u"Second verse") {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{1, u"Genesis"}};
    bibleSpec.verses = {{1, 1, 1, std::move(first)}, {1, 1, 2, std::move(second)}};
    return bibleSpec;
}

class Editing : public test_support::WindowTest {
public:
    void open(int pane, const QString& name) {
        QComboBox* selector = pane == 1 ? form().ComboBox1 : form().ComboBox3;
        test_support::putBibleName(selector, name);
        if (pane == 1)
            form().ComboBox1Change();
        else
            form().ComboBox3Change();
    }
    QStringList lines(int pane) { return form().paneLines(pane).lines(); }
    void caretTo(int pane, int line, int column) { form().paneLines(pane).select({line, column}, {line, column}); }
    void type(int pane, const QString& text) { QTest::keyClicks(form().paneView(pane), text); }
    void nextVerse() { form().SpeedButton2->click(); }
};

TEST_F(Editing, EnterInTheMiddleThenNextVerseStoresTwoLines) {
    const fs::path file = bible("K", twoVerses(u"In the beginning"));
    open(1, "K");
    ASSERT_EQ(lines(1), QStringList{"In the beginning"});
    caretTo(1, 0, 7);
    QTest::keyClick(form().RE1, Qt::Key_Return);
    EXPECT_TRUE(form().edited1);
    EXPECT_EQ(lines(1), (QStringList{"In the ", "beginning"}));

    nextVerse();
    EXPECT_EQ(lines(1), QStringList{"Second verse"});
    EXPECT_FALSE(form().edited1);
    const auto rows = test_support::exportedVerseTexts(file);
    EXPECT_EQ(rows.at({1, 1, 1}), "In the \\r\\nbeginning");
    EXPECT_EQ(rows.at({1, 1, 2}), "Second verse");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Editing, TextFromAnInputMethodIsSavedToo) {
    const fs::path file = bible("K", twoVerses(u"Noe"));
    open(1, "K");
    caretTo(1, 0, 3);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("\u00EB")); // no key press reaches the view
    QCoreApplication::sendEvent(form().RE1, &composed);
    EXPECT_TRUE(form().edited1);
    nextVerse();
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "Noe\xC3\xAB"); // UTF-8 of U+00EB
}

TEST_F(Editing, RightClickPutsTheCaretWhereThePopupCommandActs) {
    const fs::path file = bible("K", twoVerses(u"first line\r\nsecond line"));
    open(1, "K");
    caretTo(1, 0, 0);
    QTextEdit* view = form().RE1;
    QTextCursor target(view->document()->findBlockByNumber(1));
    target.setPosition(target.position() + 7); // "second |line"
    const QPoint at = view->cursorRect(target).center() + QPoint(1, 0);

    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
    EXPECT_EQ(form().paneLines(1).caret(), (verse::Caret{1, 7}));
    form().Forceernieuwedia1->trigger();
    form().PopupMenu1->hide();
    EXPECT_EQ(lines(1), (QStringList{"first line", "second ", form().texts.newSlideMarker, "line"}));

    // A refused command still marks the pane edited and shows the language's message.
    caretTo(1, 0, 3);
    form().edited1 = false;
    form().Wissenlegeregel1->trigger();
    EXPECT_TRUE(form().edited1);
    EXPECT_EQ(messages_, QStringList{form().texts.msgNotEmptyLine});

    nextVerse();
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "first line\\r\\nsecond \\r\\n\\r\\nline");
}

TEST_F(Editing, SavingTwiceStoresTheSameText) {
    const fs::path file = bible("K", twoVerses(u"A\r\n\t \r\n\r\n\r\nB\r\n\r\n"));
    open(1, "K");
    QTest::keyClick(form().RE1, Qt::Key_Right); // an arrow key is an edit too
    form().FormFocusLost();
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "A\\r\\n \\r\\n\\r\\nB\\r\\n");
    EXPECT_TRUE(form().edited1); // a save does not clear the flag; the view shows stored lines
    EXPECT_EQ(lines(1), (QStringList{"A", " ", "", "B", ""}));
    form().SpeedButton1->click(); // on verse 1: saves, moves nothing, the pane stays edited
    EXPECT_TRUE(form().edited1);
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "A\\r\\n \\r\\n\\r\\nB\\r\\n");
    nextVerse();
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "A\\r\\n \\r\\n\\r\\nB\\r\\n");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Editing, BothPanesEditedSavePaneOneFirst) {
    // Both panes on the same file and row: the text saved last is what the row keeps.
    const fs::path file = bible("K", twoVerses(u"shared"));
    open(1, "K");
    open(2, "K");
    ASSERT_TRUE(form().RE2->isEnabled());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "deactivation" : "navigation");
        caretTo(1, 0, 0);
        type(1, "one ");
        caretTo(2, 0, 0);
        type(2, "two ");
        if (round == 0) {
            form().FormFocusLost();
            EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "two shared");
            // Back to a fresh view of the row in both panes.
            nextVerse();
            form().SpeedButton1->click();
        } else {
            nextVerse();
            EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "two two shared");
        }
    }
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Editing, AnEditOfABookWithoutVersesIsReportedOnceAndAddsNoRow) {
    BibleSpec bibleSpec = twoVerses(u"A");
    bibleSpec.bookNames.push_back({2, u"Exodus"}); // no verse rows
    const fs::path file = bible("K", bibleSpec);
    open(1, "K");
    form().ComboBox2->setCurrentIndex(1);
    form().ComboBox2Change();
    ASSERT_EQ(lines(1), QStringList{form().texts.newSlideMarker});
    type(1, "x");
    form().FormFocusLost();
    form().FormFocusLost(); // the next hook neither repeats the message nor fails
    ASSERT_EQ(messages_.size(), 1) << messages_.join("; ").toStdString();
    EXPECT_TRUE(messages_[0].contains("not saved")) << messages_[0].toStdString();
    form().ComboBox2->setCurrentIndex(0);
    form().ComboBox2Change();
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_EQ(lines(1), QStringList{"A"});
    const auto rows = test_support::exportedVerseTexts(file);
    EXPECT_EQ(rows.size(), 4u); // two name rows, two verses: nothing added
    EXPECT_EQ(rows.at({1, 1, 1}), "A");
}

TEST_F(Editing, AnotherProgramBecomingActiveSavesTheEdit) {
    const fs::path file = bible("K", twoVerses(u"word"));
    open(1, "K");
    caretTo(1, 0, 4);
    type(1, " added");
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "word added");
    EXPECT_TRUE(form().edited1); // a save does not clear the flag; the next hook saves again
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Editing, AnotherWindowOfTheProgramBecomingActiveSavesTheEdit) {
    const fs::path file = bible("K", twoVerses(u"word"));
    open(1, "K");
    QApplication::setActiveWindow(&form());
    caretTo(1, 0, 4);
    type(1, " added");
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &other);
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "word added");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

// Every handler that moves a pane first saves both edited panes: the rows are read back with
// mdb-export, and the position shows that the handler moved.
TEST_F(Editing, EveryNavigationHandlerSavesBothPanesBeforeItMoves) {
    const BibleSpec bibleSpec = test_support::simpleBible(2, 3, 3);
    const struct {
        const char* handler;
        std::function<void(TForm1&)> run;
        const char* landsOn; // book:chapter:verse of pane 1 afterwards
    } handlers[] = {
        {"previous verse", [](TForm1& f) { f.SpeedButton1->click(); }, "1:2:1"},
        {"next verse", [](TForm1& f) { f.SpeedButton2->click(); }, "1:2:3"},
        {"previous chapter", [](TForm1& f) { f.SpeedButton3->click(); }, "1:1:1"},
        {"next chapter", [](TForm1& f) { f.SpeedButton4->click(); }, "1:3:1"},
        {"wheel towards the user", [](TForm1& f) { spontaneousWheel(f.Label1, -120); }, "1:2:3"},
        {"book selector", [](TForm1& f) { pick(f.ComboBox2, 1); }, "2:1:1"},
        {"bible version 1 selector", [](TForm1& f) { pick(f.ComboBox1, f.ComboBox1->findText("A")); }, "1:1:1"},
        {"bible version 2 selector", [](TForm1& f) { pick(f.ComboBox3, f.ComboBox3->findText("B")); }, "1:1:1"},
    };
    for (const auto& h : handlers) {
        SCOPED_TRACE(h.handler);
        const fs::path a = bible("A", bibleSpec), b = bible("B", bibleSpec);
        open(1, "A");
        open(2, "B");
        form().SpeedButton4->click();
        form().SpeedButton2->click(); // both panes on 1:2:2
        caretTo(1, 0, 0);
        type(1, "one ");
        caretTo(2, 0, 0);
        type(2, "two ");
        h.run(form());
        QCoreApplication::processEvents();
        data::Query& q = form().ADOQuery1;
        EXPECT_EQ(q.fieldByName("Book").asString() + ":" + q.fieldByName("Chapter").asString() + ":" +
                      q.fieldByName("Verse").asString(),
                  h.landsOn);
        EXPECT_EQ(test_support::exportedVerseTexts(a).at({1, 2, 2}), "one Verse 1:2:2");
        EXPECT_EQ(test_support::exportedVerseTexts(b).at({1, 2, 2}), "two Verse 1:2:2");
        EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
        form_.reset();
        fs::remove(a);
        fs::remove(b);
    }
}

// After a step the keys stay with the view that had them, pane 1's when neither had; typing on
// never writes into the other bible.
TEST_F(Editing, TypingOnAfterAStepStaysInTheViewThatHadTheFocus) {
    const fs::path a = bible("A", test_support::simpleBible(2, 3, 3));
    const fs::path b = bible("B", test_support::simpleBible(2, 3, 3));
    open(1, "A");
    open(2, "B");
    TForm1& f = form();
    QApplication::setActiveWindow(&f);
    const struct {
        const char* handler;
        std::function<void(TForm1&)> run;
    } steps[] = {
        {"next verse", [](TForm1& w) { w.SpeedButton2->click(); }},
        {"next chapter", [](TForm1& w) { w.SpeedButton4->click(); }},
        {"wheel", [](TForm1& w) { spontaneousWheel(w.Label1, 120); }},
        {"book selector", [](TForm1& w) { pick(w.ComboBox2, 1 - w.ComboBox2->currentIndex()); }},
    };
    const struct {
        const char* name;
        std::function<QWidget*(TForm1&)> widget;
        int typedInto;
    } focuses[] = {
        {"view 1", [](TForm1& w) -> QWidget* { return w.RE1; }, 1},
        {"view 2", [](TForm1& w) -> QWidget* { return w.RE2; }, 2},
        {"close button", [](TForm1& w) -> QWidget* { return w.BitBtn1; }, 1},
    };
    for (const auto& s : steps)
        for (const auto& focus : focuses) {
            SCOPED_TRACE(std::string(s.handler) + ", focus in " + focus.name);
            focus.widget(f)->setFocus();
            f.edited1 = f.edited2 = false;
            s.run(f);
            QCoreApplication::processEvents();
            QTest::keyClicks(f.focusWidget(), "z");
            EXPECT_EQ(f.edited1, focus.typedInto == 1);
            EXPECT_EQ(f.edited2, focus.typedInto == 2);
            f.paneLines(1).clear(); // the next step saves nothing typed here
            f.edited1 = f.edited2 = false;
        }

    // Opening a bible gives pane 1's view the keys.
    f.ComboBox3->setFocus();
    pick(f.ComboBox3, f.ComboBox3->findText("A"));
    QCoreApplication::processEvents();
    EXPECT_EQ(f.focusWidget(), f.RE1);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

// Only the language choice lives in the INI file: when it cannot be written the close still
// saves, posts, releases and compacts. The INI's folder is a regular file, which stops root too.
TEST_F(Editing, AnUnwritableIniCostsOnlyTheLanguageChoice) {
    const fs::path file = bible("K", twoVerses(u"word"));
    { std::ofstream(drive_.path() / "blocker") << "a file, not a folder"; }
    const QString ini = QString::fromStdString((drive_.path() / "blocker" / "kantelo.INI").string());
    TForm1::settingsPathOverride = ini;
    open(1, "K");
    caretTo(1, 0, 4);
    type(1, " added");
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);

    EXPECT_TRUE(form().close());
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(messages_, QStringList{"Unable to write to " + ini});
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "word added");
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino); // the compacted copy took the file's place
    EXPECT_FALSE(form().ADOConnection1.connected());
}

TEST_F(Editing, AnUnwritableIniIsReportedOnceAlsoWhenAFailedPostKeepsTheWindowOpen) {
    const fs::path file = bible("K", twoVerses(u"A"));
    { std::ofstream(drive_.path() / "blocker") << "a file, not a folder"; }
    TForm1::settingsPathOverride = QString::fromStdString((drive_.path() / "blocker" / "kantelo.INI").string());
    open(1, "K");
    test_support::ReadOnlyFiles protect({file});
    type(1, "x");
    form().close();
    EXPECT_TRUE(form().isVisible());
    ASSERT_EQ(messages_.size(), 2) << messages_.join("; ").toStdString();
    EXPECT_TRUE(messages_[0].startsWith("Unable to write to "));
    form().close();
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(messages_.size(), 2) << messages_.join("; ").toStdString();
}

TEST_F(Editing, ClosingRightAfterAnEditKeepsIt) {
    const fs::path file = bible("K", twoVerses(u"word"));
    open(1, "K");
    caretTo(1, 0, 4);
    type(1, " added");
    form().close();
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "word added");
}

TEST_F(Editing, UnwritableBibleGivesAMessageAndLosesNothing) {
    const fs::path file = bible("K", twoVerses(u"A\r\n"));
    open(1, "K");
    test_support::ReadOnlyFiles protect({file});

    caretTo(1, 0, 1);
    type(1, "B");
    form().paneLines(1).select({0, 0}, {0, 0});
    form().Forceernieuwedia1->trigger(); // "", M, "AB", M
    nextVerse();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains("K.mdb")) << messages_[0].toStdString();
    // The view keeps its converted lines, the pane stays edited, the cursor did not move.
    EXPECT_EQ(lines(1), (QStringList{"", "AB", ""}));
    EXPECT_TRUE(form().edited1);
    EXPECT_EQ(form().Label7->text(), "1");
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "A\\r\\n");

    // Writable again: the next hook saves the same text and moves on.
    protect.release();
    nextVerse();
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "\\r\\nAB\\r\\n");
    EXPECT_EQ(lines(1), QStringList{"Second verse"});
}

TEST_F(Editing, CloseWithAnUnwritableBibleFailsOnceThenCloses) {
    const fs::path file = bible("K", twoVerses(u"A"));
    open(1, "K");
    test_support::ReadOnlyFiles protect({file});
    type(1, "x");
    form().close();
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(messages_.size(), 1);
    form().close();
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "A");
}

// --- Undo within a verse ----------------------------------------------------------------------

std::string bytesOf(const fs::path& file) { return test_support::readBytes(file); }

void undoKey(QWidget* view) { QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier); }

TEST_F(Editing, EditsUndoneThenAStepWriteNothing) {
    const fs::path file = bible("K", twoVerses(u"In the beginning\r\n"));
    open(1, "K");
    const QStringList filled = lines(1);
    const std::string bytes = bytesOf(file);
    const auto modified = fs::last_write_time(file);

    caretTo(1, 0, 7);
    QTest::keyClick(form().RE1, Qt::Key_Return);
    type(1, "God");
    ASSERT_EQ(lines(1), (QStringList{"In the ", "Godbeginning", form().texts.newSlideMarker}));
    undoKey(form().RE1);
    EXPECT_EQ(lines(1), (QStringList{"In the ", "beginning", form().texts.newSlideMarker}));
    undoKey(form().RE1);
    EXPECT_EQ(lines(1), filled);
    EXPECT_EQ(form().paneLines(1).styleAt(1, 0), verse::kMarkerStyle);
    EXPECT_TRUE(form().edited1);

    nextVerse();
    EXPECT_EQ(lines(1), QStringList{"Second verse"});
    EXPECT_EQ(bytesOf(file), bytes);
    EXPECT_EQ(fs::last_write_time(file), modified);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Editing, EachPopupCommandIsOneUndoStepAndCanBeRedone) {
    bible("K", twoVerses(u"first line\r\n\r\nsecond line\r\n \r\nthird"));
    open(1, "K");
    const QString M = form().texts.newSlideMarker;
    const QString E = form().texts.emptyLineMarker;
    const QStringList filled{"first line", M, "second line", E, "third"};
    ASSERT_EQ(lines(1), filled);
    const struct {
        const char* name;
        QAction* item;
        verse::Caret at;
        QStringList after;
        Qt::KeyboardModifiers redo; // with Key_Y when Shift is absent, else Key_Z
    } cases[] = {
        {"new slide", form().Forceernieuwedia1, {0, 6}, {"first ", M, "line", M, "second line", E, "third"},
         Qt::ControlModifier},
        {"delete slide change", form().Wissendiaovergang1, {1, 0}, {"first line second line", E, "third"},
         Qt::ControlModifier | Qt::ShiftModifier},
        {"insert empty line", form().Tussenvoegenlegeregelindedia1, {2, 7}, {"first line", M, "second ", E, "line", E, "third"},
         Qt::ControlModifier},
        {"delete empty line", form().Wissenlegeregel1, {3, 0}, {"first line", M, "second line", "third"},
         Qt::ControlModifier | Qt::ShiftModifier},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form().showCurrentVerse(1); // a fresh view of the row, without history
        caretTo(1, c.at.line, c.at.column);
        c.item->trigger();
        ASSERT_EQ(lines(1), c.after);

        undoKey(form().RE1);
        EXPECT_EQ(lines(1), filled);
        EXPECT_EQ(form().paneLines(1).styleAt(1, 0), verse::kMarkerStyle);
        EXPECT_EQ(form().paneLines(1).styleAt(3, 0), verse::kMarkerStyle);
        EXPECT_EQ(form().paneLines(1).styleAt(2, 0), verse::kVerseStyle);

        const int redoKey = c.redo & Qt::ShiftModifier ? Qt::Key_Z : Qt::Key_Y;
        QTest::keyClick(form().RE1, Qt::Key(redoKey), c.redo);
        EXPECT_EQ(lines(1), c.after);
    }
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Editing, UndoReachesBackToTheFillOnly) {
    bible("K", twoVerses(u"A\r\n", u"B"));
    open(1, "K");
    caretTo(1, 0, 0);
    type(1, "x");
    nextVerse();
    form().SpeedButton1->click(); // back to verse 1, refilled: the history starts here
    ASSERT_EQ(lines(1), (QStringList{"xA", form().texts.newSlideMarker}));
    undoKey(form().RE1);
    EXPECT_EQ(lines(1), (QStringList{"xA", form().texts.newSlideMarker}));
    // Typing on the end place after that undo is verse text, not in the look of the marker above.
    caretTo(1, 2, 0);
    type(1, "y");
    EXPECT_EQ(form().paneLines(1).styleAt(2, 0), verse::kVerseStyle);
}

} // namespace
