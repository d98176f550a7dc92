// Comparing the two versions in the real window, offscreen, on two fixture bibles that number
// their verses differently: the Tools menu's list of differences and its jump, and pane 2's own
// reference, shown exactly while pane 2 stands on another verse number than pane 1 (or on none).
#include "app/compare_dialog.h"
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "window_fixture.h"

#include "support/bible_fixture.h"
#include "support/mdb_export.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using test_support::BibleSpec;

// shape[b - 1][c - 1]: the verse count of chapter c of book b; texts "<tag> b:c:v".
BibleSpec bibleOf(std::vector<std::pair<int, std::u16string>> names, const std::vector<std::vector<int>>& shape,
                  const QString& tag) {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = std::move(names);
    for (int b = 1; b <= int(shape.size()); ++b)
        for (int c = 1; c <= int(shape[b - 1].size()); ++c)
            for (int v = 1; v <= shape[b - 1][c - 1]; ++v)
                bibleSpec.verses.push_back({b, c, v, QString("%1 %2:%3:%4").arg(tag).arg(b).arg(c).arg(v).toStdU16String()});
    bibleSpec.shuffleRows = true;
    return bibleSpec;
}

// Version 1. Against version 2: Genesis 1 a verse shorter, 2 a verse longer, Genesis 3 only
// here; Psalm 2 with its title as verse 1; Malachi without the chapter 3 version 2 has; no Tobit.
BibleSpec versionA() {
    return bibleOf({{1, u"Genesis"}, {2, u"Psalms"}, {3, u"Malachi"}}, {{3, 2, 1}, {2, 4}, {2, 3}}, "A");
}

BibleSpec versionB() {
    return bibleOf({{1, u"Genesis"}, {2, u"Psalmen"}, {3, u"Maleachi"}, {4, u"Tobit"}},
                   {{4, 1}, {2, 3}, {2, 2, 1}, {2}}, "B");
}

class Compare : public test_support::WindowTest {
public:
    void SetUp() override {
        WindowTest::SetUp();
        fileA_ = bible("A", versionA());
        bible("B", versionB());
    }
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
    void openBoth() {
        open(1, "A");
        open(2, "B");
    }
    // Runs `use` on the comparison box while it is open; false when none opened.
    bool compare(const std::function<void(app::CompareDialog&)>& use) {
        bool shown = false;
        TForm1::dialogSink = [&](QDialog& dialog) {
            auto* box = qobject_cast<app::CompareDialog*>(&dialog);
            ASSERT_TRUE(box);
            shown = true;
            use(*box);
        };
        form().Compare1->trigger();
        return shown;
    }
    void goTo(const QString& typed) { ASSERT_TRUE(form().GotoReference(typed)) << typed.toStdString(); }
    QString where() { return form().Label4->text(); }
    // What pane 2's own reference shows; "" while it is hidden.
    QString pane2Reference() {
        const QLabel* label = form().Label9;
        return label->isVisible() ? label->text() : QString();
    }
    static QStringList rows(const app::CompareDialog& box) {
        QStringList lines;
        for (int i = 0; i < box.list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = box.list()->topLevelItem(i);
            QStringList cells;
            for (int column = 0; column < box.list()->columnCount(); ++column) cells << item->text(column);
            lines << cells.join('|') + (item->flags() & Qt::ItemIsEnabled ? "" : " (greyed)");
        }
        return lines;
    }
    std::filesystem::path fileA_;
};

TEST_F(Compare, TheListShowsEveryDifferingChapterAndGoesToTheChosenOne) {
    openBoth();
    form().paneLines(1).select({0, 0}, {0, 0});
    QTest::keyClicks(form().RE1, "Edited ");
    ASSERT_TRUE(compare([&](app::CompareDialog& box) {
        EXPECT_EQ(box.summary()->text(), form().texts.compareSummary.arg(9).arg(7));
        QStringList heads;
        for (int column = 0; column < 4; ++column) heads << box.list()->headerItem()->text(column);
        EXPECT_EQ(heads, (QStringList{"Book", "Chapter", "Verses in A", "Verses in B"}));
        EXPECT_EQ(rows(box), (QStringList{"Genesis|1|3|4", "Genesis|2|2|1", "Genesis|3|1|\u2014", "Psalms|2|4|3",
                                          "Malachi|2|3|2", "Malachi|3|\u2014|1 (greyed)",
                                          "Tobit|1|\u2014|2 (greyed)"}));
        // The first line is chosen; Down chooses the next, Enter goes there.
        QTest::keyClick(box.list(), Qt::Key_Down);
        QTest::keyClick(box.list(), Qt::Key_Return);
        EXPECT_EQ(box.result(), QDialog::Accepted);
    }));
    EXPECT_EQ(where(), "Genesis 2 : 1");
    EXPECT_EQ(form().Label6->text(), "2");
    EXPECT_EQ(form().paneLines(2).lines(), QStringList{"B 1:2:1"});
    // As every move, the jump saved the edited verse first.
    EXPECT_EQ(test_support::exportedVerseTexts(fileA_).at({1, 1, 1}), "Edited A 1:1:1");

    // A double-click goes too; a greyed line (a chapter version 1 lacks) goes nowhere.
    ASSERT_TRUE(compare([&](app::CompareDialog& box) {
        emit box.list()->itemDoubleClicked(box.list()->topLevelItem(5), 0); // Malachi 3
        EXPECT_NE(box.result(), QDialog::Accepted);
        QTreeWidgetItem* psalm2 = box.list()->topLevelItem(3);
        box.list()->setCurrentItem(psalm2);
        emit box.list()->itemDoubleClicked(psalm2, 0);
        EXPECT_EQ(box.result(), QDialog::Accepted);
    }));
    EXPECT_EQ(where(), "Psalms 2 : 1");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Compare, TheSameBibleTwiceHasNoDifferenceAndOnePaneNoComparison) {
    open(1, "A");
    EXPECT_FALSE(compare([](app::CompareDialog&) {}));
    EXPECT_EQ(messages_, QStringList{form().texts.msgCompareNeedsTwo});
    open(2, "A");
    ASSERT_TRUE(compare([&](app::CompareDialog& box) {
        EXPECT_EQ(box.summary()->text(), form().texts.compareSummary.arg(7).arg(0));
        EXPECT_EQ(rows(box), QStringList{form().texts.compareNoDifference + "||| (greyed)"});
        QTest::keyClick(box.list(), Qt::Key_Return);
        EXPECT_NE(box.result(), QDialog::Accepted);
    }));
    EXPECT_EQ(where(), "Genesis 1 : 1");
}

TEST_F(Compare, PaneTwosOwnReferenceShowsExactlyWhileItStandsOnAnotherVerseNumber) {
    form().NL1Click();
    const texts::UiTexts& nl = texts::dutchTexts();
    EXPECT_EQ(form().Compare1->text(), nl.compare1Caption);
    openBoth();
    EXPECT_EQ(pane2Reference(), "");

    TForm1& f = form();
    const struct {
        const char* step;
        std::function<void()> run;
        QString pane1, pane2Reference;
        QStringList pane2; // what pane 2's view holds
    } steps[] = {
        // Genesis 1: version 2 has a fourth verse. Past pane 1's last verse pane 2 goes on
        // alone, and the offset stays on the steps back.
        {"Genesis 1:3", [&] { goTo("Genesis 1:3"); }, "Genesis 1 : 3", "", {"B 1:1:3"}},
        {"next verse", [&] { f.SpeedButton2->click(); }, "Genesis 1 : 3", nl.pane2At.arg("Genesis 1 : 4"), {"B 1:1:4"}},
        {"previous verse", [&] { f.SpeedButton1->click(); }, "Genesis 1 : 2", nl.pane2At.arg("Genesis 1 : 3"),
         {"B 1:1:3"}},
        {"next chapter", [&] { f.SpeedButton4->click(); }, "Genesis 2 : 1", "", {"B 1:2:1"}},
        // Genesis 2: version 2's is a verse shorter. Go to a verse past its last.
        {"Genesis 2:2", [&] { goTo("Genesis 2:2"); }, "Genesis 2 : 2", nl.pane2At.arg("Genesis 2 : 1"), {"B 1:2:1"}},
        {"previous verse", [&] { f.SpeedButton1->click(); }, "Genesis 2 : 1", "", {"B 1:2:1"}},
        {"next verse", [&] { f.SpeedButton2->click(); }, "Genesis 2 : 2", nl.pane2At.arg("Genesis 2 : 1"), {"B 1:2:1"}},
        // Genesis 3 is missing from version 2: its view shows no verse of another chapter.
        {"next chapter", [&] { f.SpeedButton4->click(); }, "Genesis 3 : 1", nl.pane2Missing.arg("Genesis 3"), {}},
        {"previous chapter", [&] { f.SpeedButton3->click(); }, "Genesis 2 : 1", "", {"B 1:2:1"}},
        {"Go to Genesis 3", [&] { goTo("Genesis 3"); }, "Genesis 3 : 1", nl.pane2Missing.arg("Genesis 3"), {}},
        // Pane 2's reference names the book as its own bible does.
        {"Psalms 2:4", [&] { goTo("Psalms 2:4"); }, "Psalms 2 : 4", nl.pane2At.arg("Psalmen 2 : 3"), {"B 2:2:3"}},
        {"Psalms 2:3", [&] { goTo("Psalms 2:3"); }, "Psalms 2 : 3", "", {"B 2:2:3"}},
        {"Malachi 2:3", [&] { goTo("Malachi 2:3"); }, "Malachi 2 : 3", nl.pane2At.arg("Maleachi 2 : 2"), {"B 3:2:2"}},
        {"book chosen", [&] { test_support::pick(f.ComboBox2, 0); }, "Genesis 1 : 1", "", {"B 1:1:1"}},
        {"Genesis 2:2 again", [&] { goTo("Genesis 2:2"); }, "Genesis 2 : 2", nl.pane2At.arg("Genesis 2 : 1"),
         {"B 1:2:1"}},
        // Closing pane 2 hides it; opening it again puts both panes on the first book.
        {"pane 2 closed", [&] { test_support::putBibleName(f.ComboBox3, ""); f.ComboBox3Change(); }, "Genesis 2 : 2",
         "", {}},
        {"Genesis 3 alone", [&] { goTo("Genesis 3"); }, "Genesis 3 : 1", "", {}},
        {"pane 2 opened", [&] { open(2, "B"); }, "Genesis 1 : 1", "", {"B 1:1:1"}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.run();
        EXPECT_EQ(where(), s.pane1);
        EXPECT_EQ(pane2Reference(), s.pane2Reference);
        EXPECT_EQ(f.paneLines(2).lines(), s.pane2);
    }
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
}

TEST_F(Compare, AWholeBibleRunPassesTheChaptersPaneTwoLacks) {
    const std::filesystem::path fileB = folder_ / "B.mdb";
    openBoth();
    form().CheckBox1->click();
    form().BitBtn2Click();
    EXPECT_EQ(messages_, QStringList{form().texts.msgLongProcess}); // nothing about Genesis 3
    for (const auto& [key, text] : test_support::exportedVerseTexts(fileA_)) {
        if (std::get<0>(key) > 0) EXPECT_TRUE(text.ends_with("\\r\\n")) << text;
    }
    // Pane 2 went with pane 1 row by row: what lies past pane 1's chapters was not visited.
    const std::set<test_support::VerseKey> unvisited = {{1, 1, 4}, {3, 3, 1}, {4, 1, 1}, {4, 1, 2}};
    for (const auto& [key, text] : test_support::exportedVerseTexts(fileB)) {
        if (std::get<0>(key) == 0) continue;
        SCOPED_TRACE(text);
        EXPECT_EQ(text.ends_with("\\r\\n"), !unvisited.count(key));
    }
}

TEST_F(Compare, PaneTwosOwnReferenceMovesNoControl) {
    form().DE1Click();
    openBoth();
    const QList<QWidget*> controls = form().centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    auto geometries = [&] {
        QCoreApplication::processEvents(); // labels size themselves to their texts
        QList<QRect> all;
        for (QWidget* w : controls)
            if (w != form().Label9) all << w->geometry();
        return all;
    };
    goTo("Psalms 2:3");
    ASSERT_EQ(pane2Reference(), "");
    const QList<QRect> hidden = geometries();
    goTo("Psalms 2:4"); // pane 1's labels as wide as before: one digit changes
    ASSERT_EQ(pane2Reference(), texts::germanTexts().pane2At.arg("Psalmen 2 : 3"));
    EXPECT_EQ(geometries(), hidden);
    const QRect label = form().Label9->geometry();
    for (QWidget* w : controls) {
        if (w != form().Label9 && w->isVisible()) {
            EXPECT_FALSE(w->geometry().intersects(label)) << w->metaObject()->className();
        }
    }
    // Below the right end of pane 2's view, beside the whole-bible options.
    EXPECT_EQ(label.right(), form().RE2->geometry().right());
    EXPECT_GT(label.top(), form().RE2->geometry().bottom());
    EXPECT_GT(label.left(), form().CheckBox1->geometry().right());
}

} // namespace
