// The window's bible handlers, offscreen on fixture bibles below a temporary drive c: opening a
// bible and its book list, the failure states, showing the current verse, and navigation.
#include "app/event_guard.h"
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "window_fixture.h"

#include "support/bible_fixture.h"
#include "support/qt_application.h"
#include "support/test_env.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QCheckBox>
#include <QPushButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using test_support::BibleSpec;
using test_support::BibleVerse;

namespace {

using test_support::application;

std::u16string u16(const QString& s) { return s.toStdU16String(); }

// A bible of one book: chapter c has verses[c - 1] verses, texts "Verse 1:c:v".
BibleSpec oneBook(std::u16string name, std::vector<int> verses) {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{1, std::move(name)}};
    for (int c = 1; c <= int(verses.size()); ++c)
        for (int v = 1; v <= verses[size_t(c - 1)]; ++v)
            bibleSpec.verses.push_back({1, c, v, u16(QString("Verse 1:%1:%2").arg(c).arg(v))});
    return bibleSpec;
}

class Bibles : public test_support::WindowTest {
public:
    // A handler run as a window event runs it: an error becomes a message.
    bool event(const std::function<void(TForm1&)>& handler) {
        TForm1& f = form();
        return app::runGuarded([&] { handler(f); });
    }
    void openBible1(const QString& name) {
        test_support::putBibleName(form().ComboBox1, name);
        ASSERT_TRUE(event([](TForm1& f) { f.ComboBox1Change(); })) << messages_.join("\n").toStdString();
    }
    void openBible2(const QString& name) {
        test_support::putBibleName(form().ComboBox3, name);
        ASSERT_TRUE(event([](TForm1& f) { f.ComboBox3Change(); })) << messages_.join("\n").toStdString();
    }
    void chooseBook(int index) {
        form().ComboBox2->setCurrentIndex(index);
        ASSERT_TRUE(event([](TForm1& f) { f.ComboBox2Change(); })) << messages_.join("\n").toStdString();
    }
    void step(QToolButton* TForm1::*button, int times = 1) {
        for (int i = 0; i < times; ++i) {
            (form().*button)->click();
            QCoreApplication::processEvents();
        }
    }
    QStringList items(QComboBox* combo) {
        QStringList list;
        for (int i = 0; i < combo->count(); ++i) list << combo->itemText(i);
        return list;
    }
    // Pane position as "chapter:verse" of the query's current row.
    std::string at(int pane) {
        data::Query& q = form().paneQuery(pane);
        return (q.fieldByName("Chapter").asString() + ":" + q.fieldByName("Verse").asString()).toStdString();
    }
    std::string labels() { return (form().Label6->text() + "/" + form().Label7->text()).toStdString(); }
    QStringList view(int pane) { return form().paneLines(pane).lines(); }
};

// ---- Opening a bible and the book list ------------------------------------------------------

TEST_F(Bibles, SixtySixBooksShowInBookOrderWhateverTheirNamesAndRowOrder) {
    BibleSpec bibleSpec;
    // Names that sort alphabetically in reverse book order; book-name rows stored backwards,
    // all rows shuffled.
    for (int n = 66; n >= 1; --n) bibleSpec.bookNames.emplace_back(n, u16(QString("Z%1").arg(99 - n)));
    for (int n = 1; n <= 66; ++n) bibleSpec.verses.push_back({n, 1, 1, u16(QString("Verse of book %1").arg(n))});
    bibleSpec.shuffleRows = true;
    bible("KJV", bibleSpec);
    openBible1("KJV");

    TForm1& f = form();
    QStringList expected;
    for (int n = 1; n <= 66; ++n) expected << QString("Z%1").arg(99 - n);
    EXPECT_EQ(items(f.ComboBox2), expected);
    EXPECT_EQ(f.ComboBox2->currentIndex(), 0);
    EXPECT_EQ(f.ComboBox2->currentText(), "Z98");
    EXPECT_EQ(f.BookList->topLevelItemCount(), 66);
    EXPECT_EQ(f.BookList->topLevelItem(65)->text(0), "066;Z33");

    // The third entry is book 3, whatever number its row carried.
    chooseBook(2);
    EXPECT_EQ(view(1), QStringList{"Verse of book 3"});
    EXPECT_EQ(f.Label4->text(), "Z96 1 : 1");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("\n").toStdString();
}

TEST_F(Bibles, OpeningSetsTheControlsAndPutsPaneOneOnTheFirstVerse) {
    bible("KJV", oneBook(u"Genesis", {2, 3}));
    TForm1& f = form();
    EXPECT_FALSE(f.RE1->isEnabled());
    openBible1("KJV");
    EXPECT_TRUE(f.ComboBox2->isEnabled());
    EXPECT_TRUE(f.ComboBox3->isEnabled());
    EXPECT_TRUE(f.RE1->isEnabled());
    EXPECT_TRUE(f.RE1->hasFocus());
    EXPECT_FALSE(f.DBMemo1->hasFocus());
    EXPECT_FALSE(f.Options1->isEnabled());
    EXPECT_FALSE(f.RE2->isEnabled()); // no second bible
    for (QToolButton* b : {f.SpeedButton1, f.SpeedButton2, f.SpeedButton3, f.SpeedButton4}) EXPECT_TRUE(b->isEnabled());
    EXPECT_EQ(f.databasePath1, "c:\\Lumora\\HolyBibles\\KJV.mdb");
    EXPECT_EQ(f.ADOConnection1.connectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\Lumora\\HolyBibles\\KJV.mdb;Persist Security Info=False");
    EXPECT_EQ(at(1), "1:1");
    EXPECT_EQ(labels(), "1/1");
    EXPECT_EQ(f.lastChapter, 2);
    EXPECT_EQ(f.Label4->text(), "Genesis 1 : 1");
    EXPECT_EQ(view(1), QStringList{"Verse 1:1:1"});
    EXPECT_EQ(f.DBMemo1->toPlainText(), "Verse 1:1:1");
    EXPECT_TRUE(f.DBMemo1->isReadOnly());
}

TEST_F(Bibles, OddBookListsSemicolonInANameAndNoBookNameRows) {
    BibleSpec semicolon = oneBook(u"Song;of Songs", {1});
    semicolon.bookNames.push_back({2, u"Empty book"}); // a book without verse rows
    bible("Semi", semicolon);
    BibleSpec noNames = oneBook(u"x", {1});
    noNames.bookNames.clear();
    bible("NoNames", noNames);

    openBible1("Semi");
    TForm1& f = form();
    EXPECT_EQ(items(f.ComboBox2), (QStringList{"Song", "Empty book"}));
    chooseBook(1);
    // No row: the view shows one slide change, the reference has no numbers.
    EXPECT_EQ(f.lastChapter, 0);
    EXPECT_EQ(view(1), QStringList{f.texts.newSlideMarker});
    EXPECT_EQ(f.Label4->text(), "Empty book  : ");
    EXPECT_EQ(f.DBMemo1->toPlainText(), "");

    openBible1("NoNames");
    EXPECT_TRUE(items(f.ComboBox2).isEmpty());
    EXPECT_EQ(f.ComboBox2->currentText(), "");
    EXPECT_EQ(f.ComboBox2->currentIndex(), -1);
    EXPECT_TRUE(f.ADOQuery1.active());
    EXPECT_TRUE(f.ADOQuery1.isEmpty()); // book 0 has no chapter 1
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("\n").toStdString();
}

TEST_F(Bibles, ChoosingBibleTwoReopensPaneOneOnTheFirstBook) {
    BibleSpec two = test_support::simpleBible(2, 3, 2);
    bible("A", two);
    bible("B", two);
    openBible1("A");
    chooseBook(1);
    step(&TForm1::SpeedButton4);
    step(&TForm1::SpeedButton2);
    EXPECT_EQ(at(1), "2:2");

    openBible2("B");
    TForm1& f = form();
    EXPECT_EQ(f.ComboBox2->currentIndex(), 0);
    EXPECT_EQ(at(1), "1:1");
    EXPECT_EQ(f.ADOQuery1.fieldByName("Book").asInteger(), 1);
    EXPECT_EQ(at(2), "1:1");
    EXPECT_EQ(labels(), "1/1");
    EXPECT_EQ(f.databasePath2, "c:\\Lumora\\HolyBibles\\B.mdb");
    EXPECT_TRUE(f.RE2->isEnabled());
    EXPECT_EQ(view(2), QStringList{"Verse 1:1:1"});

    // Choosing bible 1 again keeps pane 2 open and puts both on the first book again.
    chooseBook(1);
    openBible1("A");
    EXPECT_EQ(f.ADOQuery2.fieldByName("Book").asInteger(), 1);
    EXPECT_EQ(at(2), "1:1");
}

// The message of an error a user can meet follows the interface language, the English text after it.
TEST_F(Bibles, AMissingFileIsToldInTheInterfaceLanguage) {
    bible("KJV", oneBook(u"Genesis", {2}));
    TForm1& f = form();
    for (auto [choose, expected] : {std::pair{&TForm1::NL1Click, "Het bestand 'c:\\Lumora\\HolyBibles\\No.mdb' is niet gevonden."},
                                    std::pair{&TForm1::DE1Click, "Die Datei 'c:\\Lumora\\HolyBibles\\No.mdb' wurde nicht gefunden."}}) {
        (f.*choose)();
        messages_.clear();
        f.ComboBox1->setCurrentText("No");
        EXPECT_FALSE(event([](TForm1& w) { w.ComboBox1Change(); }));
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_EQ(messages_[0], QString::fromUtf8(expected) + "\n(Could not find file 'c:\\Lumora\\HolyBibles\\No.mdb'.)");
    }
}

TEST_F(Bibles, ANameThatIsNoFileGivesTheEnginesMessageOnceAndLeavesThePaneClosed) {
    bible("KJV", oneBook(u"Genesis", {2}));
    TForm1& f = form();
    // Typing opens nothing while the text names no listed bible; Enter opens what it names.
    f.ComboBox1->setFocus();
    QTest::keyClicks(f.ComboBox1, "No");
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("\n").toStdString();
    QTest::keyClick(f.ComboBox1, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_, QStringList{"Could not find file 'c:\\Lumora\\HolyBibles\\No.mdb'."});
    EXPECT_TRUE(f.ComboBox2->isEnabled());
    EXPECT_TRUE(f.ComboBox3->isEnabled());
    EXPECT_FALSE(f.RE1->isEnabled());
    EXPECT_TRUE(f.Options1->isEnabled());
    EXPECT_EQ(f.databasePath1, "c:\\Lumora\\HolyBibles\\No.mdb");
    EXPECT_FALSE(f.ADOConnection1.connected());
    // The wheel does nothing while pane 1's query is closed.
    EXPECT_TRUE(event([](TForm1& w) { w.FormMouseWheel(-120); }));
    EXPECT_EQ(messages_.size(), 1);

    openBible1("KJV");
    openBible2("KJV");
    EXPECT_EQ(f.Label4->text(), "Genesis 1 : 1");
    EXPECT_TRUE(f.RE1->isEnabled());
    EXPECT_TRUE(f.RE2->isEnabled());

    // Emptying bible 2 closes pane 2 without a message; pane 1 stays where it is.
    step(&TForm1::SpeedButton2);
    messages_.clear();
    f.ComboBox3->setFocus();
    f.ComboBox3->lineEdit()->selectAll();
    QTest::keyClick(f.ComboBox3, Qt::Key_Backspace);
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("\n").toStdString();
    EXPECT_FALSE(f.ADOQuery2.active());
    EXPECT_FALSE(f.ADOConnection2.connected());
    EXPECT_FALSE(f.RE2->isEnabled());
    EXPECT_EQ(f.RE2->palette().color(QPalette::Base), clGray);
    EXPECT_TRUE(f.RE2->toPlainText().isEmpty());
    EXPECT_EQ(at(1), "1:2");
    step(&TForm1::SpeedButton1);
    EXPECT_EQ(at(1), "1:1");
    EXPECT_FALSE(f.RE2->isEnabled());

    // A failed reopen after a good one: pane 1 is closed and grey, and the steps do nothing.
    test_support::putBibleName(f.ComboBox1, "Gone");
    EXPECT_FALSE(event([](TForm1& w) { w.ComboBox1Change(); }));
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_FALSE(f.ADOQuery1.active());
    EXPECT_FALSE(f.RE1->isEnabled());
    EXPECT_EQ(f.RE1->palette().color(QPalette::Base), clGray);
    for (QToolButton* TForm1::*button : {&TForm1::SpeedButton1, &TForm1::SpeedButton2, &TForm1::SpeedButton3,
                                         &TForm1::SpeedButton4})
        step(button);
    chooseBook(0);
    EXPECT_EQ(messages_.size(), 1) << messages_.join("\n").toStdString();
}

// Typing opens nothing until the text names a listed bible that no other listed name goes on
// from; Enter opens what the text names (a listed name in its listed spelling).
TEST_F(Bibles, TypingOpensABibleOnlyOnceItsNameIsComplete) {
    for (const char* name : {"KJV", "KJVA", "WEB"}) bible(name, oneBook(u"Genesis", {2}));
    TForm1& f = form();
    const struct {
        const char* typed;
        bool enter;
        const char* opened; // databasePath1 afterwards ("" = nothing opened yet)
    } cases[] = {
        {"k", false, ""},
        {"kj", false, ""},
        {"kjv", false, ""}, // KJVA goes on from it: the user may still be typing
        {"kjv", true, "KJV"},
        {"w", false, "KJV"},
        {"web", false, "WEB"}, // letter case ignored
        {"kjva", false, "KJVA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.enter ? " + Enter" : ""));
        f.ComboBox1->setFocus();
        f.ComboBox1->lineEdit()->clear();
        QTest::keyClicks(f.ComboBox1, c.typed);
        if (c.enter) QTest::keyClick(f.ComboBox1, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(f.databasePath1, *c.opened ? QString("c:\\Lumora\\HolyBibles\\%1.mdb").arg(c.opened) : "");
        if (QString(c.typed).compare(c.opened, Qt::CaseInsensitive) == 0) {
            EXPECT_EQ(f.ComboBox1->currentText(), c.opened); // the listed spelling
            EXPECT_EQ(f.Label4->text(), "Genesis 1 : 1");
        }
        EXPECT_TRUE(messages_.isEmpty()) << messages_.join("\n").toStdString();
    }
    // Enter on a name that is no bible: the engine's message, once; the default button does not
    // take the Enter.
    f.CheckBox1->click();
    ASSERT_TRUE(f.BitBtn2->isEnabled());
    f.ComboBox1->setFocus();
    f.ComboBox1->lineEdit()->clear();
    QTest::keyClicks(f.ComboBox1, "kjv2");
    QTest::keyClick(f.ComboBox1, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_, QStringList{"Could not find file 'c:\\Lumora\\HolyBibles\\kjv2.mdb'."});
}

// Enter on an entry of the dropped-down list confirms the selector through several signals at
// once; the bible is opened once (a listed file that is no database shows how often).
TEST_F(Bibles, EnterInTheDroppedDownListOpensOnce) {
    bible("KJV", oneBook(u"Genesis", {2}));
    { std::ofstream(folder_ / "Text.mdb") << "not a database"; }
    TForm1& f = form();
    f.ComboBox1->setFocus();
    QTest::keyClicks(f.ComboBox1, "te");
    QAbstractItemView* list = f.ComboBox1->completer()->popup();
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(messages_.size(), 1) << messages_.join("\n").toStdString();
    EXPECT_TRUE(messages_[0].contains("Text.mdb")) << messages_[0].toStdString();
    EXPECT_EQ(f.databasePath1, "c:\\Lumora\\HolyBibles\\Text.mdb");
}

TEST_F(Bibles, AFileWithoutTableBibleANonJetFileOrATruncatedOneGivesAMessage) {
    bible("KJV", oneBook(u"Genesis", {1}));
    BibleSpec other = oneBook(u"Genesis", {1});
    other.tableName = "verses";
    bible("Other", other);
    { std::ofstream(folder_ / "Text.mdb") << "not a database"; }
    const fs::path cut = bible("Cut", test_support::simpleBible(3, 20, 30));
    fs::resize_file(cut, fs::file_size(cut) / 4096 / 2 * 4096);
    const std::string cutBytes = test_support::readBytes(cut);
    openBible1("KJV");
    TForm1& f = form();
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"Other", "no table 'bible'"},
        {"Text", "not a database"},
        {"Cut", "is damaged or incomplete: page "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.clear();
        test_support::putBibleName(f.ComboBox1, c.name);
        EXPECT_FALSE(event([](TForm1& w) { w.ComboBox1Change(); }));
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].contains(c.message)) << messages_[0].toStdString();
        EXPECT_FALSE(f.ADOQuery1.active());
        EXPECT_FALSE(f.RE1->isEnabled());
    }
    form_.reset(); // closing tries to compact the file pane 1 named last: the cut one
    EXPECT_EQ(test_support::readBytes(cut), cutBytes);
}

TEST_F(Bibles, ClearingBibleOneDisablesTheBookSelectorAndViewButClosesNothing) {
    bible("A", oneBook(u"Genesis", {3}));
    openBible1("A");
    openBible2("A");
    TForm1& f = form();
    step(&TForm1::SpeedButton2);
    const QString label4 = f.Label4->text();
    const QStringList shown = view(1);

    test_support::putBibleName(f.ComboBox1, "");
    ASSERT_TRUE(event([](TForm1& w) { w.ComboBox1Change(); }));
    EXPECT_FALSE(f.ComboBox2->isEnabled());
    EXPECT_FALSE(f.RE1->isEnabled());
    EXPECT_TRUE(f.ComboBox3->isEnabled());
    EXPECT_TRUE(f.ADOQuery1.active());
    EXPECT_TRUE(f.ADOQuery2.active());

    // A move now only clears the edited flags; views and reference stay.
    f.edited1 = f.edited2 = true;
    f.ADOQuery1.prior();
    f.ADOQuery2.prior();
    EXPECT_FALSE(f.edited1);
    EXPECT_FALSE(f.edited2);
    EXPECT_EQ(f.Label4->text(), label4);
    EXPECT_EQ(view(1), shown);
}

// ---- Showing the current verse --------------------------------------------------------------

TEST_F(Bibles, EachStoredTextShowsAsItsViewLines) {
    const QString A = "In the beginning", B = "God created";
    const QString M = "<New slide>", E = "<Empty line>"; // the English markers
    const struct {
        QString stored;
        QStringList lines;
    } cases[] = {
        {"", {M}},
        {A, {A}},
        {A + "\r\n", {A, M}},
        {A + "\r\n\r\n" + B, {A, M, B}},
        {A + "\r\n \r\n" + B, {A, E, B}},
        {A + "\r\n\t  \r\n" + B, {A, E, B}},
        {"\r\n" + A, {M, A}},
        {A + "\r\n\r\n", {A, M, M}},
        {"\r\n", {M, M}},
        {"  " + A + "  ", {"  " + A + "  "}},
        {" " + M + " ", {" " + M + " "}}, // a marker text stored as verse text stays black
    };
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{1, u"Genesis"}};
    for (int v = 1; v <= int(std::size(cases)); ++v) bibleSpec.verses.push_back({1, 1, v, u16(cases[v - 1].stored)});
    bible("KJV", bibleSpec);
    { std::ofstream(drive_.path() / "kantelo.INI") << "[Settings]\r\nTaal=UK\r\n"; }
    openBible1("KJV");
    TForm1& f = form();
    ASSERT_EQ(f.texts.newSlideMarker, M);
    ASSERT_EQ(f.texts.emptyLineMarker, E);

    for (int v = 1; v <= int(std::size(cases)); ++v) {
        SCOPED_TRACE("verse " + std::to_string(v));
        if (v > 1) {
            f.edited1 = true;
            f.ADOQuery1.next(); // a move without the save hook: only the fill clears the flag
        }
        EXPECT_FALSE(f.edited1);
        EXPECT_EQ(view(1), cases[v - 1].lines);
        EXPECT_EQ(f.Label4->text(), QString("Genesis 1 : %1").arg(v));
        for (int i = 0; i < int(cases[v - 1].lines.size()); ++i) {
            const QString& line = cases[v - 1].lines[i];
            const bool marker = line == M || line == E;
            const verse::CharStyle style = f.paneLines(1).styleAt(i, 0);
            EXPECT_EQ(style.bold, marker) << i;
            EXPECT_EQ(style.colour, marker ? verse::kPurple : verse::kBlack) << i;
        }
    }
}

// ---- Navigation -----------------------------------------------------------------------------

TEST_F(Bibles, ChapterAndVerseStepsStopAtTheLimitsOfTheBook) {
    bible("KJV", test_support::simpleBible(2, 50, 14));
    openBible1("KJV");
    chooseBook(1);
    TForm1& f = form();
    EXPECT_EQ(f.lastChapter, 50);
    const struct {
        QToolButton* TForm1::*button;
        int times;
        const char* position;
        const char* labels;
    } steps[] = {
        {&TForm1::SpeedButton3, 1, "1:1", "1/1"},    // previous chapter from chapter 1
        {&TForm1::SpeedButton1, 1, "1:1", "1/1"},    // previous verse from verse 1
        {&TForm1::SpeedButton2, 13, "1:14", "1/14"}, // to the last verse
        {&TForm1::SpeedButton2, 2, "1:14", "1/14"},  // next verse stays there
        {&TForm1::SpeedButton1, 1, "1:13", "1/13"},
        {&TForm1::SpeedButton4, 4, "5:1", "5/1"},
        {&TForm1::SpeedButton2, 11, "5:12", "5/12"},
        {&TForm1::SpeedButton3, 1, "4:1", "4/1"},    // previous chapter from 5:12
        {&TForm1::SpeedButton4, 45, "49:1", "49/1"},
        {&TForm1::SpeedButton4, 1, "50:1", "50/1"},
        {&TForm1::SpeedButton2, 1, "50:2", "50/2"},
        {&TForm1::SpeedButton4, 2, "50:2", "50/2"},  // next chapter from the last does nothing
    };
    for (const auto& s : steps) {
        step(s.button, s.times);
        EXPECT_EQ(at(1), s.position) << s.position;
        EXPECT_EQ(labels(), s.labels) << s.position;
        EXPECT_EQ(f.ADOQuery1.fieldByName("Book").asInteger(), 2);
        EXPECT_EQ(view(1), QStringList{f.ADOQuery1.fieldByName("BIBLETEXT").asString()});
    }
    EXPECT_EQ(f.Label4->text(), "Book 2 50 : 2");
    EXPECT_FALSE(f.RE2->isEnabled()); // no second bible: pane 2 left alone
    EXPECT_FALSE(f.ADOQuery2.active());
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("\n").toStdString();
}

TEST_F(Bibles, PaneTwoFollowsByRowsAndChapterStepsAlignThePanes) {
    bible("A", oneBook(u"Genesis", {3, 2}));
    bible("B", oneBook(u"Genesis", {5, 2}));
    openBible1("A");
    openBible2("B");
    step(&TForm1::SpeedButton2, 2);
    EXPECT_EQ(at(1) + " " + at(2), "1:3 1:3");
    step(&TForm1::SpeedButton2);
    EXPECT_EQ(at(1) + " " + at(2), "1:3 1:4");
    step(&TForm1::SpeedButton2);
    EXPECT_EQ(at(1) + " " + at(2), "1:3 1:5");
    EXPECT_EQ(view(2), QStringList{"Verse 1:1:5"});
    EXPECT_EQ(labels(), "1/3");
    step(&TForm1::SpeedButton1); // back: both one row
    EXPECT_EQ(at(1) + " " + at(2), "1:2 1:4");
    step(&TForm1::SpeedButton4);
    EXPECT_EQ(at(1) + " " + at(2), "2:1 2:1");
    EXPECT_EQ(view(2), QStringList{"Verse 1:2:1"});
    EXPECT_EQ(labels(), "2/1");
}

TEST_F(Bibles, AChapterMissingInPaneTwoLeavesItsQueryEmpty) {
    bible("A", oneBook(u"Genesis", {1, 1}));
    bible("B", oneBook(u"Genesis", {1}));
    openBible1("A");
    openBible2("B");
    step(&TForm1::SpeedButton4);
    TForm1& f = form();
    EXPECT_EQ(at(1), "2:1");
    EXPECT_TRUE(f.ADOQuery2.active());
    EXPECT_TRUE(f.ADOQuery2.isEmpty());
    step(&TForm1::SpeedButton2);
    step(&TForm1::SpeedButton3);
    EXPECT_EQ(at(1) + " " + at(2), "1:1 1:1");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("\n").toStdString();
}

TEST_F(Bibles, AGapInTheChaptersEmptiesPaneOneUntilABookIsChosen) {
    BibleSpec gap = oneBook(u"Genesis", {2, 0, 1}); // chapters 1 and 3
    bible("Gap", gap);
    openBible1("Gap");
    TForm1& f = form();
    EXPECT_EQ(f.lastChapter, 3);
    step(&TForm1::SpeedButton4);
    EXPECT_TRUE(f.ADOQuery1.isEmpty());
    EXPECT_EQ(labels(), "/1");
    EXPECT_TRUE(messages_.isEmpty());
    step(&TForm1::SpeedButton4); // the empty chapter label is no number
    EXPECT_EQ(messages_, QStringList{"'' is not a valid integer value"});
    step(&TForm1::SpeedButton3); // previous chapter: nothing
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_EQ(labels(), "/1");
    chooseBook(0);
    EXPECT_EQ(at(1), "1:1");
    EXPECT_EQ(labels(), "1/1");
}

TEST_F(Bibles, TheWheelStepsOneVersePerMessage) {
    bible("KJV", oneBook(u"Genesis", {5}));
    TForm1& f = form();
    EXPECT_TRUE(event([](TForm1& w) { w.FormMouseWheel(-120); })); // no bible yet: nothing
    EXPECT_TRUE(messages_.isEmpty());
    openBible1("KJV");
    const struct {
        int delta;
        const char* position;
    } wheel[] = {{-120, "1:2"}, {-480, "1:3"}, {-1, "1:4"}, {0, "1:4"}, {120, "1:3"}, {960, "1:2"}};
    for (const auto& w : wheel) {
        ASSERT_TRUE(event([&](TForm1& t) { t.FormMouseWheel(w.delta); }));
        EXPECT_EQ(at(1), w.position) << w.delta;
        EXPECT_EQ(f.Label7->text().toStdString(), std::string(w.position).substr(2)) << w.delta;
    }
}

} // namespace
