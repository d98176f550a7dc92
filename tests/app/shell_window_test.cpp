// The program shell through the real window (offscreen): start-up from the INI file, bible
// discovery, language switching, close, About box, popups, geometry and the event guard.
#include "app/about_box.h"
#include "app/event_guard.h"
#include "app/ini_file.h"
#include "app/tform1.h"
#include "support/bible_fixture.h"
#include "support/qt_application.h"
#include "support/test_env.h"
#include "texts/leftover_texts.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

using test_support::application;

QString q(const fs::path& p) { return QString::fromStdString(p.string()); }

QByteArray readFile(const fs::path& p) {
    QFile f(q(p));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const fs::path& p, const QByteArray& bytes) {
    fs::create_directories(p.parent_path());
    QFile f(q(p));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A temporary drive c:, an INI file beside it and the message boxes captured.
class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        qputenv("KANTELO_DRIVE_C", q(drive()).toLocal8Bit());
        fs::create_directories(drive());
        TForm1::settingsPathOverride = q(ini());
        TForm1::messageSink = [this](const QString& text) { messages << text; };
        TForm1::dialogSink = [this](QDialog& dialog) { dialogs << &dialog; };
    }
    void TearDown() override {
        form.reset();
        TForm1::settingsPathOverride.clear();
        TForm1::messageSink = nullptr;
        TForm1::dialogSink = nullptr;
        qunsetenv("KANTELO_DRIVE_C");
    }
    fs::path drive() const { return dir / "drive_c"; }
    fs::path ini() const { return dir / "kantelo.INI"; }
    TForm1& start() {
        form = std::make_unique<TForm1>();
        return *form;
    }
    void touch(const std::string& relative) { writeFile(drive() / relative, "not a database"); }
    static QStringList items(const QComboBox* combo) {
        QStringList result;
        for (int i = 0; i < combo->count(); ++i) result << combo->itemText(i);
        return result;
    }
    static QStringList helpLines(const TForm1& f) {
        QStringList lines;
        for (QTextBlock b = f.Help1->document()->begin(); b.isValid(); b = b.next()) lines << b.text();
        return lines;
    }
    static QStringList captions(const QMenu* menu) {
        QStringList result;
        for (const QAction* a : menu->actions()) result << a->text();
        return result;
    }
    // Everything a language writes, as the window shows it.
    static void expectLanguage(const TForm1& f, const texts::UiTexts& t) {
        EXPECT_EQ(f.Label3->text(), t.label3Caption);
        EXPECT_EQ(f.Label5->text(), t.label5Caption);
        EXPECT_EQ(f.Label1->text(), t.label1Caption);
        EXPECT_EQ(f.Label8->text(), t.label8Caption);
        EXPECT_EQ(f.Label2->text(), t.label2Caption);
        EXPECT_EQ(f.windowTitle(), t.windowTitle);
        EXPECT_EQ(helpLines(f), t.helpLines);
        EXPECT_EQ(captions(f.PopupMenu1), QStringList({t.forceernieuwedia1Caption, t.wissendiaovergang1Caption,
                                                       t.tussenvoegenlegeregelindedia1Caption,
                                                       t.wissenlegeregel1Caption}));
        EXPECT_EQ(captions(f.PopupMenu2), texts::designPopupCaptions());
        EXPECT_EQ(f.Options1->text(), t.options1Caption);
        EXPECT_EQ(f.CheckBox1->text(), t.checkBox1Caption);
        EXPECT_EQ(f.CheckBox1->toolTip(), t.checkBox1Hint);
        EXPECT_EQ(f.CheckBox2->text(), t.checkBox2Caption);
        EXPECT_EQ(f.CheckBox2->toolTip(), t.checkBox2Hint);
        EXPECT_EQ(f.BitBtn2->text(), t.bitBtn2Caption);
        EXPECT_EQ(f.BitBtn1->text(), t.bitBtn1Caption);
        EXPECT_EQ(f.texts, t); // markers and messages
        // The About item and the language items never change.
        EXPECT_EQ(f.About2->text(), "About");
        EXPECT_EQ(f.UK->text(), "UK");
        EXPECT_EQ(f.NL1->text(), "NL");
        EXPECT_EQ(f.DE1->text(), "DE");
    }
    static QString checkedItems(const TForm1& f) {
        return QString(f.UK->isChecked() ? "UK " : "") + (f.NL1->isChecked() ? "NL " : "") +
               (f.DE1->isChecked() ? "DE " : "");
    }

    test_support::TempDir dir;
    std::unique_ptr<TForm1> form;
    QStringList messages;
    QList<QDialog*> dialogs;
};

// ---- Start-up and close ------------------------------------------------------------------

struct StartCase {
    const char* name;
    std::optional<QByteArray> ini;
    const texts::UiTexts* texts;
    const char* checked;
    const char* storedAtClose;
};

TEST_F(Shell, StartsInTheStoredLanguageAndStoresItAtClose) {
    const StartCase cases[] = {
        {"no file", std::nullopt, &texts::englishTexts(), "UK ", "UK"},
        {"DE", "[Settings]\r\nTaal=DE\r\n", &texts::germanTexts(), "DE ", "DE"},
        {"NL", "[Settings]\r\nTaal=NL\r\n", &texts::dutchTexts(), "NL ", "NL"},
        {"UK", "[Settings]\r\nTaal=UK\r\n", &texts::englishTexts(), "UK ", "UK"},
        {"lower case", "[Settings]\r\nTaal=de\r\n", &texts::englishTexts(), "UK ", "UK"},
        {"empty value", "[Settings]\r\nTaal=\r\n", &texts::englishTexts(), "UK ", "UK"},
        {"unknown code", "[Settings]\r\nTaal=FR\r\n", &texts::englishTexts(), "UK ", "UK"},
        {"no key", "[Settings]\r\nOther=DE\r\n", &texts::englishTexts(), "UK ", "UK"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(ini());
        if (c.ini) writeFile(ini(), *c.ini);
        TForm1& f = start();
        expectLanguage(f, *c.texts);
        EXPECT_EQ(checkedItems(f), c.checked);
        EXPECT_EQ(f.languageCode, c.storedAtClose);
        EXPECT_TRUE(f.Label4->text().isEmpty());
        f.show();
        EXPECT_TRUE(f.close());
        EXPECT_EQ(app::readProfileString(q(ini()), "Settings", "Taal", "?"), c.storedAtClose);
        EXPECT_TRUE(messages.isEmpty());
    }
}

TEST_F(Shell, CloseKeepsTheRestOfTheIniByteForByte) {
    const QByteArray before = "; Kantelo settings\r\n[Window]\r\nLeft=10\r\n\r\n[SETTINGS]\r\ntaal=NL\r\n"
                              "Extra=1\r\n[Last]\nx=y";
    writeFile(ini(), before);
    TForm1& f = start();
    EXPECT_EQ(checkedItems(f), "NL ");
    f.DE1->trigger(); // through the menu wiring
    EXPECT_TRUE(f.close());
    QByteArray expected = before;
    expected.replace("taal=NL", "taal=DE");
    EXPECT_EQ(readFile(ini()), expected);
}

// ---- Languages ---------------------------------------------------------------------------

TEST_F(Shell, LanguageMenuSetsMarksTextsAndCode) {
    TForm1& f = start();
    struct Step {
        QAction* TForm1::*item;
        const texts::UiTexts* texts;
        const char* checked;
        const char* code;
    };
    const Step steps[] = {
        {&TForm1::NL1, &texts::dutchTexts(), "NL ", "NL"},
        {&TForm1::NL1, &texts::dutchTexts(), "NL ", "NL"}, // the language in force again
        {&TForm1::DE1, &texts::germanTexts(), "DE ", "DE"},
        {&TForm1::UK, &texts::englishTexts(), "UK ", "UK"},
        {&TForm1::UK, &texts::englishTexts(), "UK ", "UK"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.code);
        (f.*s.item)->trigger();
        EXPECT_EQ(checkedItems(f), s.checked);
        expectLanguage(f, *s.texts);
        EXPECT_EQ(f.languageCode, s.code);
    }
}

TEST_F(Shell, TaalSelectIgnoresAnythingButTheExactCodes) {
    TForm1& f = start();
    f.NL1Click();
    for (const char* code : {"nl", "Uk", "de", "", "UK ", "EN"}) {
        SCOPED_TRACE(code);
        f.TaalSelect(code);
        expectLanguage(f, texts::dutchTexts());
        EXPECT_EQ(f.languageCode, "NL");
    }
    f.TaalSelect("DE"); // changes texts only: marks and code stay
    expectLanguage(f, texts::germanTexts());
    EXPECT_EQ(checkedItems(f), "NL ");
    EXPECT_EQ(f.languageCode, "NL");
}

// ---- Discovery ---------------------------------------------------------------------------

struct DiscoveryCase {
    const char* name;
    std::vector<std::string> files;
    QStringList names;
    QString baseFolder;
};

TEST_F(Shell, DiscoversBiblesInTheFirstFolderThatHasAny) {
    const DiscoveryCase cases[] = {
        {"nothing", {}, {}, ""},
        {"first folder wins",
         {"Lumora/HolyBibles/NBG.mdb", "Lumora/HolyBibles/KJV.mdb", "LumoraData/HolyBibles/Other.mdb"},
         {"KJV", "NBG"},
         "c:\\Lumora"},
        {"empty first folder falls through",
         {"Lumora/HolyBibles/readme.txt", "LumoraData/HolyBibles/WEB.mdb"},
         {"WEB"},
         "c:\\LumoraData"},
        {"letter case of folders and extension",
         {"LUMORA/holyBIBLES/MyBible.MDB", "LUMORA/holyBIBLES/Second.Mdb"},
         {"MyBible", "Second"},
         "c:\\Lumora"},
        {"hidden files, sorted without regard to case, only .mdb",
         {"Lumora/HolyBibles/zeta.mdb", "Lumora/HolyBibles/.Hidden.mdb", "Lumora/HolyBibles/Alpha.mdb",
          "Lumora/HolyBibles/beta.mdb", "Lumora/HolyBibles/x.ldb", "Lumora/HolyBibles/notes.mdb.bak"},
         {".Hidden", "Alpha", "beta", "zeta"},
         "c:\\Lumora"},
    };
    for (const DiscoveryCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(drive());
        fs::create_directories(drive());
        for (const std::string& file : c.files) touch(file);
        TForm1& f = start();
        EXPECT_EQ(items(f.ComboBox1), c.names);
        EXPECT_EQ(items(f.ComboBox3), c.names);
        EXPECT_EQ(f.baseFolder, c.baseFolder);
        EXPECT_TRUE(f.ComboBox1->currentText().isEmpty());
        EXPECT_TRUE(f.ComboBox3->currentText().isEmpty());
        EXPECT_TRUE(messages.isEmpty());
    }
}

// A bible left only under the compaction's temporary name is put back before discovery, so that
// it is listed (and its folder wins), and the user is told once.
TEST_F(Shell, AStrandedDatabaseIsRenamedBackAtStart) {
    const fs::path lumora = drive() / "Lumora" / "HolyBibles";
    fs::create_directories(lumora);
    test_support::writeBible(lumora / "KJV.mdbx", test_support::simpleBible(1, 1, 2));
    touch("LumoraData/HolyBibles/Other.mdb");
    TForm1& f = start();
    EXPECT_EQ(items(f.ComboBox1), QStringList{"KJV"});
    EXPECT_EQ(f.baseFolder, "c:\\Lumora");
    EXPECT_TRUE(fs::exists(lumora / "KJV.mdb"));
    EXPECT_FALSE(fs::exists(lumora / "KJV.mdbx"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], texts::strandedAtStartMessage("UK", {{"c:\\Lumora\\HolyBibles\\KJV.mdb"}, {}}));
    test_support::pick(f.ComboBox1, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.Label4->text(), "Book 1 1 : 1");
    EXPECT_EQ(messages.size(), 1);

    // The next start finds nothing to put back.
    form.reset();
    messages.clear();
    start();
    EXPECT_TRUE(messages.isEmpty());
}

// ---- Window: start state, geometry, popups -----------------------------------------------

TEST_F(Shell, TypingIntoABibleSelectorDropsTheMatchingEntriesAndKeepsTheTypedText) {
    for (const char* name : {"Kjv.mdb", "Klm.mdb", "Web.mdb"}) touch(std::string("Lumora/HolyBibles/") + name);
    TForm1& f = start();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QTest::keyClicks(f.ComboBox1->lineEdit(), "k");
    QCompleter* completer = f.ComboBox1->completer();
    ASSERT_NE(completer, nullptr);
    EXPECT_TRUE(completer->popup()->isVisible());
    EXPECT_EQ(completer->completionCount(), 2);
    EXPECT_EQ(f.ComboBox1->currentText(), "k"); // no inline completion
    completer->popup()->hide();
}

TEST_F(Shell, ControlsStayInPlaceWhenTheWindowIsResized) {
    TForm1& f = start();
    f.show();
    const QWidget* client = f.centralWidget();
    EXPECT_EQ(client->width(), 923);
    EXPECT_EQ(client->height() + f.StatusBar1->height(), 708);
    struct Place {
        const char* name;
        QWidget* widget;
        QRect rect;
    };
    const Place places[] = {
        {"SpeedButton1", f.SpeedButton1, {320, 92, 23, 22}}, {"SpeedButton2", f.SpeedButton2, {381, 97, 23, 22}},
        {"SpeedButton3", f.SpeedButton3, {320, 69, 23, 22}}, {"SpeedButton4", f.SpeedButton4, {381, 69, 23, 22}},
        {"Help1", f.Help1, {442, 0, 473, 130}},             {"ComboBox1", f.ComboBox1, {91, 22, 145, 21}},
        {"ComboBox2", f.ComboBox2, {91, 76, 145, 21}},       {"DBMemo1", f.DBMemo1, {8, 136, 905, 216}},
        {"BitBtn1", f.BitBtn1, {840, 620, 75, 25}},         {"DBMemo2", f.DBMemo2, {10, 358, 905, 216}},
        {"ComboBox3", f.ComboBox3, {91, 49, 145, 21}},       {"RE2", f.RE2, {8, 358, 907, 216}},
        {"CheckBox1", f.CheckBox1, {8, 584, 537, 17}},      {"BitBtn2", f.BitBtn2, {24, 620, 137, 25}},
        {"RE1", f.RE1, {8, 136, 907, 216}},                 {"CheckBox2", f.CheckBox2, {8, 602, 537, 17}},
        {"BookList", f.BookList, {442, 456, 303, 89}},
    };
    const QPoint label1 = f.Label1->pos();
    const int label6Right = f.Label6->geometry().right();
    for (const QSize size : {QSize(1300, 1000), QSize(500, 400), QSize(923, 740)}) {
        f.resize(size);
        QApplication::processEvents();
        for (const Place& p : places) {
            SCOPED_TRACE(p.name);
            EXPECT_EQ(p.widget->geometry(), p.rect);
        }
        EXPECT_EQ(f.Label1->pos(), label1);
        EXPECT_EQ(f.Label6->geometry().right(), label6Right);
        // The status bar follows the bottom edge, full width.
        EXPECT_EQ(f.StatusBar1->geometry().bottom(), f.height() - 1);
        EXPECT_EQ(f.StatusBar1->width(), f.width());
    }
}

TEST_F(Shell, LabelsSizeToTheirTextAndNumbersGrowToTheLeft) {
    TForm1& f = start();
    f.show();
    QApplication::processEvents();
    const int right = f.Label6->geometry().right();
    const QRect caption = f.Label3->geometry();
    f.Label6->setText("150");
    f.Label3->setText("A much longer chapter caption:");
    QApplication::processEvents();
    EXPECT_EQ(f.Label6->geometry().right(), right);
    EXPECT_GE(f.Label6->width(), f.Label6->sizeHint().width());
    EXPECT_EQ(f.Label3->pos(), caption.topLeft());
    EXPECT_GT(f.Label3->width(), caption.width());
}

TEST_F(Shell, KeysInAViewReachItsKeyHandlerBeforeTheView) {
    TForm1& f = start();
    f.RE1->setEnabled(true);
    f.edited1 = false;
    QTest::keyClick(f.RE1, Qt::Key_X);
    EXPECT_TRUE(f.edited1);
    EXPECT_FALSE(f.edited2);
}

TEST_F(Shell, StartState) {
    TForm1& f = start();
    EXPECT_TRUE(f.ComboBox1->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{f.ComboBox2, f.ComboBox3, f.SpeedButton1, f.SpeedButton2,
                                                      f.SpeedButton3, f.SpeedButton4, f.RE1, f.RE2, f.BitBtn2,
                                                      f.Help1})
        EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
    EXPECT_TRUE(f.CheckBox1->isEnabled());
    EXPECT_FALSE(f.CheckBox1->isChecked());
    EXPECT_TRUE(f.Options1->isEnabled());
    EXPECT_TRUE(f.BookList->isHidden());
    EXPECT_TRUE(f.BitBtn2->isDefault());
    EXPECT_EQ(f.RE1->palette().color(QPalette::Base), clGray);
    EXPECT_EQ(f.ComboBox1->palette().color(QPalette::Base), clCream);
    EXPECT_EQ(f.Label6->text(), "1");
    EXPECT_EQ(f.Label7->text(), "1");
    // Only the check boxes have hints.
    for (QWidget* w : f.centralWidget()->findChildren<QWidget*>()) {
        if (w != f.CheckBox1 && w != f.CheckBox2) {
            EXPECT_TRUE(w->toolTip().isEmpty()) << w->metaObject()->className();
        }
    }
}

TEST_F(Shell, RightClickOpensThePopupOnlyInAnEnabledView) {
    TForm1& f = start();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QTest::mouseClick(f.RE1->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(20, 20), f.RE1->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(f.RE1->viewport(), &menuEvent); // a disabled view does not take it
    QApplication::processEvents();
    EXPECT_FALSE(f.PopupMenu1->isVisible());

    f.RE2->setEnabled(true);
    QContextMenuEvent menuEvent2(QContextMenuEvent::Mouse, QPoint(20, 20), f.RE2->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(f.RE2->viewport(), &menuEvent2);
    QApplication::processEvents();
    EXPECT_TRUE(f.PopupMenu2->isVisible());
    EXPECT_FALSE(f.PopupMenu1->isVisible());
    f.PopupMenu2->hide();
}

// ---- About -------------------------------------------------------------------------------

TEST_F(Shell, AboutBoxIsOneFixedDialogWhateverTheLanguage) {
    TForm1& f = start();
    f.About2->trigger();
    f.DE1Click();
    f.About2->trigger();
    ASSERT_EQ(dialogs.size(), 2);
    EXPECT_EQ(dialogs[0], dialogs[1]);
    auto* box = qobject_cast<TAboutBox*>(dialogs[0]);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "About");
    EXPECT_EQ(box->size(), QSize(298, 213));
    EXPECT_EQ(box->minimumSize(), box->maximumSize());
    EXPECT_EQ(box->ProductName->text(), "Kantelo");
    EXPECT_EQ(box->Version->text(), "Version 3.0");
    EXPECT_EQ(box->OKButton->geometry(), QRect(111, 180, 75, 25));
    EXPECT_FALSE(box->Copyright->text().isEmpty());
    EXPECT_FALSE(box->ProgramIcon->pixmap().isNull());
}

TEST_F(Shell, AboutBoxClosesWithOkEnterAndTheCloseBox) {
    TAboutBox box;
    box.show();
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
    box.show();
    box.OKButton->click();
    EXPECT_FALSE(box.isVisible());
    box.show();
    EXPECT_TRUE(box.close());
    EXPECT_FALSE(box.isVisible());
}

// ---- Event guard -------------------------------------------------------------------------

TEST_F(Shell, GuardShowsOneBoxForOneFailureAndTheProgramGoesOn) {
    start();
    bool after = false;
    EXPECT_FALSE(app::runGuarded([&] {
        // A nested guarded call on the same boundary passes the error up.
        app::runGuarded([] { throw data::DataError("engine says no"); });
        after = true;
    }));
    EXPECT_FALSE(after); // the error ended the outer handler too
    EXPECT_EQ(messages, QStringList{"engine says no"});

    messages.clear();
    EXPECT_TRUE(app::runGuarded([] {}));
    EXPECT_FALSE(app::runGuarded([] { throw std::runtime_error("plain"); }));
    EXPECT_EQ(messages, QStringList{"plain"});
}

TEST_F(Shell, EventsRunInsideAHandlerAreTheirOwnBoundary) {
    start();
    bool outerFinished = false;
    EXPECT_TRUE(app::runGuarded([&] {
        QTimer::singleShot(0, [] { app::runGuarded([] { throw jet::Error("inner event failed"); }); });
        TForm1::processPendingEvents();
        outerFinished = true;
    }));
    EXPECT_TRUE(outerFinished);
    EXPECT_EQ(messages, QStringList{"inner event failed"});
}

TEST_F(Shell, WiredEventsRunUnderTheGuard) {
    TForm1& f = start();
    TForm1::dialogSink = [](QDialog&) { throw std::runtime_error("About failed"); };
    f.About2->trigger(); // must not throw out of the signal
    EXPECT_EQ(messages, QStringList{"About failed"});
}

// ---- Wheel -------------------------------------------------------------------------------

TEST_F(Shell, OneWheelMessageIsOneVerseStepWhicheverChildGetsIt) {
    fs::create_directories(drive() / "Lumora" / "HolyBibles");
    test_support::writeBible(drive() / "Lumora" / "HolyBibles" / "T.mdb", test_support::simpleBible(1, 1, 6));
    TForm1& f = start();
    f.show();
    using test_support::spontaneousWheel;
    spontaneousWheel(f.Label1, -120); // before a bible is open: nothing
    EXPECT_EQ(f.Label7->text(), "1");

    f.ComboBox1->setCurrentIndex(0);
    ASSERT_TRUE(app::runGuarded([&] { f.ComboBox1Change(); }));
    ASSERT_EQ(f.Label7->text(), "1");
    spontaneousWheel(f.Label1, -120); // a label ignores the wheel: Qt hands it on to its parents
    EXPECT_EQ(f.Label7->text(), "2");
    spontaneousWheel(f.RE1->viewport(), -120);
    EXPECT_EQ(f.Label7->text(), "3");
    spontaneousWheel(f.Help1, -360); // a big turn is still one message
    EXPECT_EQ(f.Label7->text(), "4");
    spontaneousWheel(f.ComboBox2, 120);
    EXPECT_EQ(f.Label7->text(), "3");
    spontaneousWheel(f.Label1, 0);
    EXPECT_EQ(f.Label7->text(), "3");
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

// The wheel belongs to the focused control: over a selector without the focus it steps one verse
// and leaves the selector (and so the bible and the book) alone; a focused selector changes.
TEST_F(Shell, TheWheelChangesASelectorOnlyWhenItHasTheFocus) {
    fs::create_directories(drive() / "Lumora" / "HolyBibles");
    for (const char* name : {"T.mdb", "U.mdb", "V.mdb"})
        test_support::writeBible(drive() / "Lumora" / "HolyBibles" / name, test_support::simpleBible(2, 1, 9));
    TForm1& f = start();
    f.show();
    test_support::pick(f.ComboBox1, 0);
    QCoreApplication::processEvents();
    test_support::pick(f.ComboBox3, 1);
    QCoreApplication::processEvents();
    ASSERT_EQ(f.databasePath2, "c:\\Lumora\\HolyBibles\\U.mdb");
    f.RE1->setFocus();
    const struct {
        const char* name;
        QWidget* under;
    } selectors[] = {
        {"bible version 1", f.ComboBox1},        {"its edit field", f.ComboBox1->lineEdit()},
        {"book", f.ComboBox2},                   {"bible version 2", f.ComboBox3},
        {"its edit field", f.ComboBox3->lineEdit()},
    };
    int verse = 1;
    for (const auto& s : selectors) {
        SCOPED_TRACE(s.name);
        test_support::spontaneousWheel(s.under, -120);
        QCoreApplication::processEvents();
        EXPECT_EQ(f.Label7->text(), QString::number(++verse));
        EXPECT_EQ(f.ComboBox1->currentText(), "T");
        EXPECT_EQ(f.ComboBox2->currentIndex(), 0);
        EXPECT_EQ(f.ComboBox3->currentText(), "U");
        EXPECT_EQ(f.databasePath1, "c:\\Lumora\\HolyBibles\\T.mdb");
        EXPECT_EQ(f.databasePath2, "c:\\Lumora\\HolyBibles\\U.mdb");
        EXPECT_EQ(f.focusWidget(), f.RE1);
    }

    // With the focus in a selector the wheel changes that one, wherever the pointer is.
    f.ComboBox2->setFocus();
    test_support::spontaneousWheel(f.RE1->viewport(), -120);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.ComboBox2->currentIndex(), 1);
    EXPECT_EQ(f.ADOQuery1.fieldByName("Book").asInteger(), 2);
    f.ComboBox3->setFocus();
    test_support::spontaneousWheel(f.Label1, -120);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.databasePath2, "c:\\Lumora\\HolyBibles\\V.mdb");
    EXPECT_EQ(f.databasePath1, "c:\\Lumora\\HolyBibles\\T.mdb");
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

} // namespace
