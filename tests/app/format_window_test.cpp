// Format for slides in the window, offscreen on fixture bibles: the box's preview of each open
// pane, "Format this verse" as an undoable edit, the book and whole-bible runs compared through
// mdb-export with `kantelo-db format`, and the settings the box keeps.
#include "app/tform1.h"
#include "window_fixture.h"

#include "app/format_dialog.h"
#include "app/ini_file.h"
#include "app/rich_edit_view.h"
#include "support/lock_holder.h"
#include "support/mdb_export.h"
#include "texts/format_texts.h"
#include "verse/fill.h"
#include "verse/memory_line_view.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <QTimer>

namespace fs = std::filesystem;
using test_support::BibleSpec;

namespace {

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Two books of long verses; `tag` makes the texts of two bibles differ.
BibleSpec longVerses(const std::u16string& tag, int versesInChapter) {
    BibleSpec bibleSpec;
    bibleSpec.bookNames = {{1, u"Genesis"}, {2, u"Exodus"}};
    const std::u16string texts[] = {
        u"In the beginning God created the heaven and the earth.",
        u"And God said, Let there be light: and there was light.",
        u"Short.",
        u"And God saw the light, that it was good: and God divided the light from the darkness.",
    };
    int n = 0;
    for (int b = 1; b <= 2; ++b)
        for (int c = 1; c <= 2; ++c)
            for (int v = 1; v <= versesInChapter; ++v)
                bibleSpec.verses.push_back({b, c, v, tag + texts[size_t(n++) % std::size(texts)]});
    return bibleSpec;
}

class FormatWindow : public test_support::WindowTest {
public:
    void SetUp() override {
        WindowTest::SetUp();
        backupDir_.emplace("KANTELO_BACKUP_DIR", backups_.path().string());
    }
    void TearDown() override {
        TForm1::dialogSink = nullptr;
        WindowTest::TearDown();
    }
    void openBibles(const QString& one, const QString& two = {}) {
        test_support::putBibleName(form().ComboBox1, one);
        form().ComboBox1Change();
        if (two.isEmpty()) return;
        test_support::putBibleName(form().ComboBox3, two);
        form().ComboBox3Change();
    }
    // Opens the box through its menu entry; `inBox` acts in it; `answer` answers a confirmation.
    void useBox(const std::function<void(app::FormatDialog&)>& inBox,
                QMessageBox::StandardButton answer = QMessageBox::Yes) {
        TForm1::dialogSink = [&](QDialog& dialog) {
            if (auto* box = qobject_cast<app::FormatDialog*>(&dialog)) inBox(*box);
            else if (qobject_cast<QMessageBox*>(&dialog)) dialog.done(answer);
        };
        form().FormatForSlides1->trigger();
        TForm1::dialogSink = nullptr;
    }
    static void setFormat(app::FormatDialog& box, int n, int m, bool keep) {
        box.maxLineLength()->setValue(n);
        box.maxSlideLines()->setValue(m);
        box.keepLineBreaks()->setChecked(keep);
    }
    // A view filled with `stored`, as the window's views and the preview draw it.
    static verse::MemoryLineView filled(const QString& stored, const texts::UiTexts& t) {
        verse::MemoryLineView view;
        verse::fillView(view, stored, {t.newSlideMarker, t.emptyLineMarker});
        return view;
    }
    test_support::TempDir backups_;
    std::optional<test_support::ScopedEnv> backupDir_;
};

TEST_F(FormatWindow, ThePreviewShowsEachPaneAsItWouldBecomeWithPurpleMarkers) {
    bible("A", longVerses(u"", 2));
    bible("B", longVerses(u"Second: ", 2));
    openBibles("A", "B");
    const texts::UiTexts& t = form().texts;
    bool seen = false;
    useBox([&](app::FormatDialog& box) {
        setFormat(box, 20, 2, true);
        for (int i : {0, 1}) {
            SCOPED_TRACE(i);
            const QString stored = form().paneLines(i + 1).lines().join("\r\n");
            const QString expected = verse::formatForSlides(stored, {20, 2, true});
            ASSERT_NE(expected, stored);
            auto* lines = box.preview(i)->findChild<app::RichEditView*>();
            ASSERT_NE(lines, nullptr);
            EXPECT_EQ(lines->lines(), filled(expected, t).lines());
            // The slide change the formatter put in is a purple bold marker line.
            const int marker = int(lines->lines().indexOf(t.newSlideMarker));
            ASSERT_GE(marker, 0);
            EXPECT_EQ(lines->styleAt(marker, 0), verse::kMarkerStyle);
            EXPECT_EQ(lines->styleAt(0, 0), verse::kVerseStyle);
        }
        // The preview follows the settings at once.
        box.maxLineLength()->setValue(80);
        auto* lines = box.preview(0)->findChild<app::RichEditView*>();
        EXPECT_EQ(lines->lines(), (QStringList{"In the beginning God created the heaven and the earth."}));
        seen = true;
    });
    EXPECT_TRUE(seen);
    // Nothing was changed by looking.
    EXPECT_FALSE(form().paneEdited(1));
    EXPECT_EQ(form().paneLines(1).lines(), (QStringList{"In the beginning God created the heaven and the earth."}));
}

TEST_F(FormatWindow, FormatThisVerseIsAnEditThatCtrlZTakesBack) {
    const fs::path file = bible("A", longVerses(u"", 2));
    openBibles("A");
    const QStringList before = form().paneLines(1).lines();
    const QString formatted = verse::formatForSlides(before.join("\r\n"), {20, 3, true});
    useBox([&](app::FormatDialog& box) {
        setFormat(box, 20, 3, true);
        box.verseButton()->click();
        // The box stays open; its preview now shows the verse as it is (already formatted).
        EXPECT_EQ(box.preview(0)->findChild<app::RichEditView*>()->lines(), filled(formatted, form().texts).lines());
    });
    EXPECT_EQ(form().paneLines(1).lines(), filled(formatted, form().texts).lines());
    EXPECT_TRUE(form().paneEdited(1));

    QTest::keyClick(form().RE1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form().paneLines(1).lines(), before);
    const std::string bytes = bytesOf(file);
    form().SpeedButton2->click(); // the save hook: the text is the row's again, nothing is written
    EXPECT_EQ(bytesOf(file), bytes);

    // Formatted and not taken back: the next step saves it.
    useBox([&](app::FormatDialog& box) { box.verseButton()->click(); });
    const QString second = verse::formatForSlides(QStringLiteral("And God said, Let there be light: and there was light."),
                                                  {20, 3, true});
    form().SpeedButton2->click();
    EXPECT_EQ(QString::fromStdU16String(test_support::readVerseTexts(file).at({1, 1, 2})), second);
    // The settings are kept: N as the maximum line length (the guide follows), M beside it.
    EXPECT_EQ(form().maxLineLength, 20);
    EXPECT_EQ(app::readProfileString(TForm1::settingsPath(), "Settings", "MaxLineLength", ""), "20");
    EXPECT_EQ(app::readProfileString(TForm1::settingsPath(), "Settings", "MaxSlideLines", ""), "3");
}

TEST_F(FormatWindow, WholeBibleRunEqualsKanteloDbFormatInMdbExport) {
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "keep" : "reflow");
        const std::string one = keep ? "K1" : "R1", two = keep ? "K2" : "R2";
        // Bible 2 has more verses per chapter than bible 1: they are formatted too.
        const fs::path file1 = bible(one, longVerses(u"", 3));
        const fs::path file2 = bible(two, longVerses(u"Second: ", 5));
        test_support::TempDir other;
        const fs::path copy1 = test_support::copyInto(file1, other.path());
        const fs::path copy2 = test_support::copyInto(file2, other.path());
        const std::string exported1 = test_support::mdbExportRaw(file1, "bible");
        openBibles(QString::fromStdString(one), QString::fromStdString(two));
        form().SpeedButton2->click(); // on verse 2 of Genesis 1
        useBox([&](app::FormatDialog& box) {
            setFormat(box, 24, 2, keep);
            box.bibleButton()->click();
        });
        ASSERT_EQ(messages_.size(), 1) << messages_.join("|").toStdString();
        const texts::FormatTexts& words = texts::formatTexts("UK");
        EXPECT_TRUE(messages_[0].contains(words.msgVersesChanged.arg(QString::fromStdString(one)).arg(9))) // 3 verses fit
            << messages_[0].toStdString();
        EXPECT_TRUE(messages_[0].contains(words.msgVersesChanged.arg(QString::fromStdString(two)).arg(15)))
            << messages_[0].toStdString();
        EXPECT_TRUE(messages_[0].endsWith(words.msgRestoreHint));
        EXPECT_TRUE(form().StatusBar1->currentMessage().isEmpty());
        EXPECT_EQ(form().ADOQuery1.fieldByName("Verse").asInteger(), 2); // back where it stood
        form_.reset();
        messages_.clear();

        for (const fs::path& copy : {copy1, copy2}) {
            std::vector<std::string> args{test_support::kanteloDbTool().string(), "format", copy.string(), "--max-line",
                                          "24", "--max-lines", "2"};
            if (!keep) args.push_back("--reflow");
            const auto tool = test_support::run(args);
            ASSERT_EQ(tool.exitCode, 0) << tool.err;
        }
        EXPECT_EQ(test_support::mdbExportRaw(file1, "bible"), test_support::mdbExportRaw(copy1, "bible"));
        EXPECT_EQ(test_support::mdbExportRaw(file2, "bible"), test_support::mdbExportRaw(copy2, "bible"));
        EXPECT_NE(test_support::mdbExportRaw(file1, "bible"), exported1);
    }
}

TEST_F(FormatWindow, BookRunChangesTheBookShownOnlyAndNoAnswerChangesNothing) {
    const fs::path file = bible("A", longVerses(u"", 2));
    const test_support::VerseTexts before = test_support::readVerseTexts(file);
    openBibles("A");
    form().ComboBox2->setCurrentIndex(1);
    form().ComboBox2Change(); // Exodus

    useBox([&](app::FormatDialog& box) { box.bookButton()->click(); }, QMessageBox::No);
    EXPECT_EQ(test_support::readVerseTexts(file), before);
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_TRUE(fs::is_empty(backups_.path()));

    useBox([&](app::FormatDialog& box) {
        setFormat(box, 20, 0, true);
        box.bookButton()->click();
    });
    const test_support::VerseTexts after = test_support::readVerseTexts(file);
    for (const auto& [key, text] : before) {
        const QString expected = std::get<0>(key) == 2
                                     ? verse::formatForSlides(QString::fromStdU16String(text), {20, 0, true})
                                     : QString::fromStdU16String(text);
        EXPECT_EQ(QString::fromStdU16String(after.at(key)), expected);
    }
    EXPECT_FALSE(fs::is_empty(backups_.path()));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith(texts::formatTexts("UK").msgVersesChanged.arg("A").arg(3)))
        << messages_[0].toStdString();
}

TEST_F(FormatWindow, ARunIsRefusedWhileAnotherProgramHasABibleOpenAndChangesNothing) {
    const fs::path free = bible("A", longVerses(u"", 2));
    const fs::path held = bible("B", longVerses(u"Second: ", 2));
    openBibles("A", "B");
    const std::string freeBytes = bytesOf(free), heldBytes = bytesOf(held);
    std::string entry(64, '\0');
    entry.replace(0, 7, "STUDIO1");
    entry.replace(32, 5, "Admin");
    std::ofstream(folder_ / "B.ldb", std::ios::binary) << entry;
    test_support::LockHolder other({{folder_ / "B.ldb", F_WRLCK, 0x10000001}});

    useBox([&](app::FormatDialog& box) {
        setFormat(box, 20, 2, true);
        box.bibleButton()->click();
    });
    ASSERT_EQ(messages_.size(), 1) << messages_.join("|").toStdString();
    EXPECT_TRUE(messages_[0].contains("B.mdb") && messages_[0].contains("another program has this bible open"))
        << messages_[0].toStdString();
    EXPECT_EQ(bytesOf(free), freeBytes);
    EXPECT_EQ(bytesOf(held), heldBytes);
    EXPECT_TRUE(fs::is_empty(backups_.path()));
    EXPECT_FALSE(form().modifyDBRunning);
    EXPECT_TRUE(form().ComboBox1->isEnabled());
}

TEST_F(FormatWindow, ClosingDuringTheRunStopsAfterTheVerseInProgressThenCloses) {
    const fs::path file = bible("A", longVerses(u"", 4));
    TForm1::eventPassInterval = 0; // every pass runs, so the close is seen at once
    openBibles("A");
    const test_support::VerseTexts before = test_support::readVerseTexts(file);
    // The close arrives while the run lets events run at its first verse.
    QTimer::singleShot(0, [&] { form().close(); });
    useBox([&](app::FormatDialog& box) {
        setFormat(box, 20, 0, true);
        box.bibleButton()->click();
    });
    QCoreApplication::processEvents();
    EXPECT_FALSE(form().isVisible());
    const test_support::VerseTexts after = test_support::readVerseTexts(file);
    int changed = 0;
    for (const auto& [key, text] : before) changed += after.at(key) != text;
    EXPECT_LE(changed, 1) << "the run went on after the close";
    EXPECT_FALSE(fs::is_empty(backups_.path())) << "the run did not start";
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
}

TEST_F(FormatWindow, TheMenuEntryAndTheBoxSpeakTheLanguageInForce) {
    bible("A", longVerses(u"", 1));
    for (const char* code : {"NL", "UK", "DE"}) {
        SCOPED_TRACE(code);
        form_.reset();
        app::writeProfileString(TForm1::settingsPath(), "Settings", "Taal", code);
        const texts::FormatTexts& words = texts::formatTexts(code);
        EXPECT_EQ(form().FormatForSlides1->text(), words.menuCaption);
        openBibles("A");
        QString title;
        useBox([&](app::FormatDialog& box) {
            title = box.windowTitle();
            EXPECT_EQ(box.verseButton()->text(), words.formatVerse);
            EXPECT_EQ(box.keepLineBreaks()->text(), words.keepLineBreaks);
        });
        EXPECT_EQ(title, words.dialogTitle);
    }
}

} // namespace
