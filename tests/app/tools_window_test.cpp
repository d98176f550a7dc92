// The Tools menu in the real window, offscreen, on fixture bibles: Go to, Find and the step to
// the next long verse, each followed by an edit and a step (rows checked with mdb-export), the
// save before a move, references that name nothing, a second bible with a shorter chapter, the
// maximum line length in the INI file and its marks in the views.
#include "app/find_dialog.h"
#include "app/goto_dialog.h"
#include "app/line_length_guide.h"
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "window_fixture.h"

#include "support/bible_fixture.h"
#include "support/mdb_export.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <fstream>

// Shows QStrings as text in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace fs = std::filesystem;
using test_support::BibleSpec;

namespace {

// Genesis 1 (3 verses), 2 (2); Exodus 1 (2); John 1 (2), 2 (5), 3 (3). Texts "Verse b:c:v"
// unless given. With a maximum of 20: Genesis 1:2 has only a long blank line, Exodus 1:1 a
// line of exactly 20; Genesis 2:1 (21 with its end blanks), John 2:4 and John 3:3 are long.
BibleSpec bibleA() {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{3, u"John"}, {1, u"Genesis"}, {2, u"Exodus"}};
    const std::map<test_support::VerseKey, std::u16string> special = {
        {{1, 1, 2}, u"short\r\n                         \r\n"},
        {{1, 2, 1}, u"xxxxxxxxxxxxxxxxxxx  "},
        {{2, 1, 1}, u"aaaaaaaaaaaaaaaaaaaa"},
        {{2, 1, 2}, u"God LOVED Israel"},
        {{3, 2, 3}, u"For God so loved"},
        {{3, 2, 4}, u"first line\r\nbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"},
        {{3, 3, 1}, u"\u00C9sa\u00EFe, beloved"},
        {{3, 3, 3}, u"ccccccccccccccccccccc"},
    };
    const std::vector<std::vector<int>> shape = {{3, 2}, {2}, {2, 5, 3}};
    for (int b = 1; b <= 3; ++b)
        for (int c = 1; c <= int(shape[b - 1].size()); ++c)
            for (int v = 1; v <= shape[b - 1][c - 1]; ++v) {
                const auto it = special.find({b, c, v});
                bibleSpec.verses.push_back({b, c, v,
                                       it != special.end() ? it->second
                                                           : QString("Verse %1:%2:%3").arg(b).arg(c).arg(v).toStdU16String()});
            }
    bibleSpec.shuffleRows = true;
    return bibleSpec;
}

// The same books with John 2 two verses long; texts "B b:c:v".
BibleSpec bibleB() {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{1, u"Genesis"}, {2, u"Exodus"}, {3, u"John"}};
    const std::vector<std::vector<int>> shape = {{3, 2}, {2}, {2, 2, 3}};
    for (int b = 1; b <= 3; ++b)
        for (int c = 1; c <= int(shape[b - 1].size()); ++c)
            for (int v = 1; v <= shape[b - 1][c - 1]; ++v)
                bibleSpec.verses.push_back({b, c, v, QString("B %1:%2:%3").arg(b).arg(c).arg(v).toStdU16String()});
    return bibleSpec;
}

class Tools : public test_support::WindowTest {
public:
    void TearDown() override {
        TForm1::dialogSink = nullptr;
        WindowTest::TearDown();
    }
    void open(int pane, const QString& name) {
        QComboBox* selector = pane == 1 ? form().ComboBox1 : form().ComboBox3;
        test_support::putBibleName(selector, name);
        if (pane == 1) form().ComboBox1Change();
        else form().ComboBox3Change();
    }
    QStringList lines(int pane) { return form().paneLines(pane).lines(); }
    void caretTo(int pane, int line, int column) { form().paneLines(pane).select({line, column}, {line, column}); }
    void type(int pane, const QString& text) { QTest::keyClicks(form().paneView(pane), text); }
    QString where() { return form().Label4->text(); }

    // Go to with `typed` and Enter; true when the box closed.
    bool goTo(const QString& typed) {
        bool shown = false, closed = false;
        TForm1::dialogSink = [&](QDialog& dialog) {
            auto* box = qobject_cast<app::GotoDialog*>(&dialog);
            ASSERT_TRUE(box);
            shown = true;
            QTest::keyClicks(box->field(), typed);
            QTest::keyClick(box->field(), Qt::Key_Return);
            closed = box->result() == QDialog::Accepted;
        };
        form().Goto1->trigger();
        EXPECT_TRUE(shown);
        return closed;
    }

    // Find: runs `use` on the box while it is open.
    void find(const std::function<void(app::FindDialog&)>& use) {
        bool shown = false;
        TForm1::dialogSink = [&](QDialog& dialog) {
            auto* box = qobject_cast<app::FindDialog*>(&dialog);
            ASSERT_TRUE(box);
            shown = true;
            use(*box);
        };
        form().Find1->trigger();
        EXPECT_TRUE(shown);
    }

    void setMaximum(int characters) {
        TForm1::dialogSink = [&](QDialog& dialog) {
            auto* box = qobject_cast<QInputDialog*>(&dialog);
            ASSERT_TRUE(box);
            box->setIntValue(characters);
            box->accept();
        };
        form().MaxLineLength1->trigger();
    }

    static QStringList listed(const app::FindDialog& box) {
        QStringList texts;
        for (int i = 0; i < box.hits()->count(); ++i) texts << box.hits()->item(i)->text();
        return texts;
    }
};

TEST_F(Tools, GoToAReferenceThenAnEditAndAStep) {
    const fs::path file = bible("A", bibleA());
    open(1, "A");
    ASSERT_EQ(where(), "Genesis 1 : 1"); // book 1 by the book-name rows, whatever their row order
    EXPECT_TRUE(goTo("gen 2 2"));
    EXPECT_EQ(where(), "Genesis 2 : 2");
    EXPECT_TRUE(goTo("Exodus"));
    EXPECT_EQ(where(), "Exodus 1 : 1");
    EXPECT_TRUE(goTo("joh 2:3"));
    EXPECT_EQ(where(), "John 2 : 3");
    EXPECT_EQ(form().Label6->text(), "2");
    EXPECT_EQ(form().Label7->text(), "3");
    EXPECT_EQ(lines(1), QStringList{"For God so loved"});
    EXPECT_FALSE(form().edited1);

    caretTo(1, 0, 0);
    type(1, "Now ");
    form().SpeedButton2->click();
    EXPECT_EQ(where(), "John 2 : 4");
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({3, 2, 3}), "Now For God so loved");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Tools, GoToSavesAnEditedPaneFirst) {
    const fs::path file = bible("A", bibleA());
    open(1, "A");
    caretTo(1, 0, 0);
    type(1, "Edited ");
    ASSERT_TRUE(form().edited1);
    EXPECT_TRUE(goTo("2 1 2"));
    EXPECT_EQ(where(), "Exodus 1 : 2");
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 1}), "Edited Verse 1:1:1");
    EXPECT_FALSE(form().edited1);
}

TEST_F(Tools, AReferenceThatNamesNothingSaysSoInTheUsersLanguageAndMovesNothing) {
    const fs::path file = bible("A", bibleA());
    form().DE1Click();
    open(1, "A");
    ASSERT_TRUE(goTo("Genesis 1:3"));
    caretTo(1, 0, 0);
    type(1, "pending ");
    const texts::UiTexts& de = texts::germanTexts();
    const struct {
        const char* typed;
        QString message;
    } cases[] = {
        {"Genesis 3", de.msgNoSuchChapter.arg("Genesis").arg(3).arg(2)},
        {"Gen 1:0", de.msgNoSuchVerse.arg("Genesis").arg(1).arg(0).arg(3)},
        {"john 3 4", de.msgNoSuchVerse.arg("John").arg(3).arg(4).arg(3)},
        {"Job 1", de.msgNoSuchBook.arg("Job")},
        {"4 1 1", de.msgNoSuchBook.arg("4")},
        {"?!", de.msgNotAReference.arg("?!")},
        {"John 1:1:1", de.msgNotAReference.arg("John 1:1:1")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        messages_.clear();
        EXPECT_FALSE(goTo(c.typed)); // the box stays open for a correction
        EXPECT_EQ(messages_, QStringList{c.message});
        EXPECT_EQ(where(), "Genesis 1 : 3");
        EXPECT_EQ(lines(1), QStringList{"pending Verse 1:1:3"});
        EXPECT_TRUE(form().edited1);
    }
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({1, 1, 3}), "Verse 1:1:3"); // nothing saved either
}

TEST_F(Tools, GoToWithPaneTwoOnABibleWhoseChapterIsShorter) {
    bible("A", bibleA());
    const fs::path second = bible("B", bibleB());
    open(1, "A");
    open(2, "B");
    const struct {
        const char* typed;
        QString pane1, pane2;
    } cases[] = {
        {"John 2:4", "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", "B 3:2:2"}, // B's John 2 ends at verse 2
        {"John 2:2", "Verse 3:2:2", "B 3:2:2"},
        {"John 2:5", "Verse 3:2:5", "B 3:2:2"},
        {"John 3:2", "Verse 3:3:2", "B 3:3:2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_TRUE(goTo(c.typed));
        EXPECT_EQ(lines(1).last(), c.pane1);
        EXPECT_EQ(lines(2), QStringList{c.pane2});
    }
    caretTo(2, 0, 0);
    type(2, "Two ");
    form().SpeedButton2->click();
    EXPECT_EQ(lines(1), QStringList{"ccccccccccccccccccccc"});
    EXPECT_EQ(lines(2), QStringList{"B 3:3:3"});
    EXPECT_EQ(test_support::exportedVerseTexts(second).at({3, 3, 2}), "Two B 3:3:2");
}

TEST_F(Tools, FindListsTheHitsAndGoesToTheChosenOne) {
    const fs::path file = bible("A", bibleA());
    open(1, "A");
    const struct {
        const char* typed;
        QStringList hits;
    } cases[] = {
        {"LOVED", {"Exodus 1:2    God LOVED Israel", "John 2:3    For God so loved",
                   "John 3:1    \u00C9sa\u00EFe, beloved"}},
        {"esaie", {"John 3:1    \u00C9sa\u00EFe, beloved"}},
        {"line bbb", {"John 2:4    first line"}}, // across the line break; the line holding its start
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        find([&](app::FindDialog& box) {
            QTest::keyClicks(box.field(), QString::fromUtf8(c.typed));
            box.searchNow();
            EXPECT_EQ(listed(box), c.hits);
            box.reject();
        });
    }
    EXPECT_EQ(where(), "Genesis 1 : 1");

    find([&](app::FindDialog& box) {
        QTest::keyClicks(box.field(), "loved");
        QTest::keyClick(box.field(), Qt::Key_Down); // searches the new text, then the second hit
        QTest::keyClick(box.field(), Qt::Key_Down);
        EXPECT_EQ(box.hits()->currentRow(), 2);
        for (int i = 0; i < 3; ++i) QTest::keyClick(box.field(), Qt::Key_Up); // stops at the first
        QTest::keyClick(box.field(), Qt::Key_Return);
        EXPECT_EQ(box.result(), QDialog::Accepted);
    });
    EXPECT_EQ(where(), "Exodus 1 : 2");
    caretTo(1, 0, 16);
    type(1, "!");
    form().SpeedButton1->click();
    EXPECT_EQ(where(), "Exodus 1 : 1");
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({2, 1, 2}), "God LOVED Israel!");

    // Enter right after typing searches and goes to the first hit; a double-click goes too.
    find([&](app::FindDialog& box) {
        QTest::keyClicks(box.field(), "so loved");
        QTest::keyClick(box.field(), Qt::Key_Return);
    });
    EXPECT_EQ(where(), "John 2 : 3");
    find([&](app::FindDialog& box) {
        QTest::keyClicks(box.field(), "verse 3:2:");
        box.searchNow();
        ASSERT_EQ(box.hits()->count(), 3);
        QListWidgetItem* third = box.hits()->item(2);
        const QRect at = box.hits()->visualItemRect(third);
        box.hits()->setCurrentItem(third);
        emit box.hits()->itemDoubleClicked(third);
        EXPECT_FALSE(at.isEmpty());
    });
    EXPECT_EQ(where(), "John 2 : 5");
}

TEST_F(Tools, FindWithoutAHitSaysSoAndMovesNothing) {
    bible("A", bibleA());
    open(1, "A");
    ASSERT_TRUE(goTo("Exodus 1:2"));
    caretTo(1, 0, 0);
    type(1, "x");
    find([&](app::FindDialog& box) {
        QTest::keyClicks(box.field(), "zebra");
        QTest::keyClick(box.field(), Qt::Key_Return);
        EXPECT_NE(box.result(), QDialog::Accepted);
        EXPECT_EQ(listed(box), QStringList{form().texts.findNoHits});
        QTest::keyClick(box.field(), Qt::Key_Down);
        QTest::keyClick(box.field(), Qt::Key_Return);
        EXPECT_NE(box.result(), QDialog::Accepted);
    });
    EXPECT_EQ(where(), "Exodus 1 : 2");
    EXPECT_EQ(lines(1), QStringList{"xGod LOVED Israel"});
    EXPECT_TRUE(form().edited1);
}

TEST_F(Tools, NextLongLineVisitsTheLongVersesInBookOrderThenStops) {
    const fs::path file = bible("A", bibleA());
    open(1, "A");
    ASSERT_TRUE(goTo("Genesis"));
    setMaximum(20);
    EXPECT_TRUE(form().NextLongLine1->isEnabled());
    std::ifstream ini(drive_.path() / "kantelo.INI");
    const std::string settings{std::istreambuf_iterator<char>(ini), {}};
    EXPECT_NE(settings.find("MaxLineLength=20"), std::string::npos) << settings;

    form().NextLongLine1->trigger();
    EXPECT_EQ(where(), "Genesis 2 : 1");
    form().NextLongLine1->trigger();
    EXPECT_EQ(where(), "John 2 : 4"); // Exodus 1:1 holds exactly 20
    // The step saves the edited pane like every move.
    caretTo(1, 1, 15);
    QTest::keyClick(form().RE1, Qt::Key_Return);
    form().NextLongLine1->trigger();
    EXPECT_EQ(where(), "John 3 : 3");
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({3, 2, 4}), "first line\\r\\nbbbbbbbbbbbbbbb\\r\\nbbbbbbbbbbbbbbb");

    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
    form().NextLongLine1->trigger();
    EXPECT_EQ(messages_, QStringList{form().texts.msgNoLongLineLeft.arg(20)});
    EXPECT_EQ(where(), "John 3 : 3");

    caretTo(1, 0, 0);
    type(1, "!");
    form().SpeedButton1->click();
    EXPECT_EQ(test_support::exportedVerseTexts(file).at({3, 3, 3}), "!ccccccccccccccccccccc");
}

TEST_F(Tools, AtMaximumZeroTheStepIsOffAndTheViewsAreUnmarked) {
    bible("A", bibleA());
    open(1, "A");
    ASSERT_TRUE(goTo("John 2:4"));
    EXPECT_EQ(form().maxLineLength, 0);
    EXPECT_FALSE(form().NextLongLine1->isEnabled());
    form().NextLongLine1Click(); // the shortcut of a disabled entry does not fire; the handler does nothing
    EXPECT_EQ(where(), "John 2 : 4");
    EXPECT_TRUE(form().RE1->extraSelections().isEmpty());

    setMaximum(12);
    EXPECT_FALSE(form().RE1->extraSelections().isEmpty());
    setMaximum(0);
    EXPECT_FALSE(form().NextLongLine1->isEnabled());
    EXPECT_TRUE(form().RE1->extraSelections().isEmpty());
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Tools, TheMaximumFromTheIniMarksLongLinesAndChangesNoText) {
    const fs::path file = bible("A", bibleA());
    {
        std::ofstream ini(drive_.path() / "kantelo.INI", std::ios::binary);
        ini << "[Settings]\r\nTaal=UK\r\nMaxLineLength=20\r\n";
    }
    const auto before = test_support::exportedVerseTexts(file);
    open(1, "A");
    EXPECT_EQ(form().maxLineLength, 20);
    EXPECT_TRUE(form().NextLongLine1->isEnabled());
    auto* guide = form().RE1->findChild<app::LineLengthGuide*>();
    ASSERT_TRUE(guide);
    EXPECT_GT(guide->guideX(), 0);

    const struct {
        const char* typed;
        QList<QPair<int, int>> marks; // line, first marked character
    } cases[] = {
        {"John 2:4", {{1, 20}}},
        {"Genesis 1:2", {}},  // the long line holds only blanks
        {"Genesis 2:1", {{0, 20}}},
        {"Exodus 1:1", {}},   // exactly 20
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_TRUE(goTo(c.typed));
        EXPECT_EQ(guide->marks(), c.marks);
        EXPECT_FALSE(form().edited1);
    }
    form().close();
    EXPECT_EQ(test_support::exportedVerseTexts(file), before);
}

TEST_F(Tools, MarksFollowTheEditing) {
    bible("A", bibleA());
    {
        std::ofstream ini(drive_.path() / "kantelo.INI", std::ios::binary);
        ini << "[Settings]\r\nMaxLineLength=abc\r\n";
    }
    open(1, "A");
    EXPECT_EQ(form().maxLineLength, 0); // not a number: off
    setMaximum(20);
    ASSERT_TRUE(goTo("John 2:4"));
    auto* guide = form().RE1->findChild<app::LineLengthGuide*>();
    ASSERT_TRUE(guide);
    EXPECT_EQ(guide->marks(), (QList<QPair<int, int>>{{1, 20}}));
    caretTo(1, 1, 10);
    QTest::keyClick(form().RE1, Qt::Key_Return);
    EXPECT_TRUE(guide->marks().isEmpty());
    EXPECT_EQ(lines(1).at(2), QString(20, QChar(u'b')));
    type(1, "d"); // the new line now holds 21
    EXPECT_EQ(guide->marks(), (QList<QPair<int, int>>{{2, 20}}));
}

TEST_F(Tools, TheMenuComesAfterOptionsFollowsTheLanguageAndStaysEnabled) {
    bible("A", bibleA());
    const QList<QAction*> bar = form().MainMenu1->actions();
    ASSERT_GE(bar.indexOf(form().Extra1), 1);
    EXPECT_EQ(bar.indexOf(form().Extra1), bar.indexOf(form().Options1) + 1);
    const struct {
        void (TForm1::*click)();
        const texts::UiTexts& language;
    } switches[] = {{&TForm1::NL1Click, texts::dutchTexts()},
                    {&TForm1::DE1Click, texts::germanTexts()},
                    {&TForm1::UKClick, texts::englishTexts()}};
    for (const auto& s : switches) {
        (form().*s.click)();
        EXPECT_EQ(form().Extra1->text(), s.language.extra1Caption);
        EXPECT_TRUE(form().Extra1->menu()->actions().contains(form().Goto1));
        EXPECT_EQ(form().Goto1->text(), s.language.goto1Caption);
        EXPECT_EQ(form().Find1->text(), s.language.find1Caption);
        EXPECT_EQ(form().MaxLineLength1->text(), s.language.maxLineLength1Caption);
        EXPECT_EQ(form().NextLongLine1->text(), s.language.nextLongLine1Caption);
    }
    open(1, "A");
    EXPECT_FALSE(form().Options1->isEnabled());
    EXPECT_TRUE(form().Extra1->isEnabled());
}

TEST_F(Tools, TheShortcutsReachTheirEntriesFromEitherView) {
    bible("A", bibleA());
    bible("B", bibleB());
    open(1, "A");
    open(2, "B");
    setMaximum(20);
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    for (QTextEdit* view : {form().RE1, form().RE2}) {
        SCOPED_TRACE(view == form().RE1 ? "RE1" : "RE2");
        QStringList opened;
        TForm1::dialogSink = [&](QDialog& dialog) { opened << dialog.metaObject()->className(); };
        view->setFocus();
        QTest::keyClick(view, Qt::Key_G, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
        EXPECT_EQ(opened, (QStringList{"app::GotoDialog", "app::FindDialog"}));
        const QString before = where();
        QTest::keyClick(view, Qt::Key_L, Qt::ControlModifier);
        EXPECT_NE(where(), before);
    }
}

} // namespace
