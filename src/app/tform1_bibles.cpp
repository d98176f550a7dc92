// TForm1: opening bibles, the book list and navigation (handlers of the bible panes).
#include "app/tform1.h"

#include "app/event_pacing.h"
#include "app/rich_edit_view.h"

#include "bibledb/bible_file.h"
#include "bibledb/bible_schema.h"
#include "bibledb/book_list.h"
#include "bibledb/navigation.h"
#include "bibledb/statements.h"
#include "bibledb/version_compare.h"
#include "verse/fill.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

using bibledb::setStatement;

// ---- Opening a bible ------------------------------------------------------------------------

void TForm1::ComboBox1Change() {
    // Opening reads the book-name rows through the cursor, each shown as it passes: only the
    // window's last state is worth a repaint.
    const app::PacedPasses pacing(eventPassInterval, false);
    saveEditedPanes();
    if (ComboBox1->currentText().isEmpty()) {
        ComboBox2->setEnabled(false);
        setControlColor(ComboBox2, clBtnShadow());
    } else {
        const QString name = ComboBox1->currentText();
        ComboBox2->setEnabled(true);
        setControlColor(ComboBox2, clCream);
        ComboBox3->setEnabled(true);
        setControlColor(ComboBox3, clCream);
        closingFailedPanes([&] {
            connectPane(1, name);
            setStatement(ADOQuery1, bibledb::openBibleStatement());
            ADOQuery1.setActive(true);
            ADOQuery1.first();
            Laadbijbelboekenlijst();
        });
    }
    // The selector is read again: the steps above let events run.
    if (ComboBox1->currentText().isEmpty()) {
        RE1->setEnabled(false);
        setControlColor(RE1, clGray);
    } else {
        RE1->setEnabled(true);
        setControlColor(RE1, clCream);
        RE1->setFocus();
        // The interface language cannot change once a bible is open: the views hold the marker
        // texts of the language in force.
        Options1->setEnabled(false);
    }
    showPane2Reference();
}

void TForm1::ComboBox3Change() {
    const app::PacedPasses pacing(eventPassInterval, false);
    saveEditedPanes();
    // An emptied selector names no file: pane 2 is closed and pane 1 stays where it is.
    if (ComboBox3->currentText().isEmpty()) {
        closePaneTwo();
        return;
    }
    closingFailedPanes([&] {
        connectPane(2, ComboBox3->currentText());
        setStatement(ADOQuery2, bibledb::openBibleStatement());
        ADOQuery2.open();
        ADOQuery2.first();
        pane2BookNames = bibledb::readBookNames(ADOConnection2.database());
    });
    ComboBox1Change();
}

void TForm1::connectPane(int pane, const QString& bibleName) {
    data::Connection& connection = paneConnection(pane);
    if (connection.connected()) connection.setConnected(false);
    QString& path = paneDatabasePath(pane);
    path = bibledb::bibleFilePath(baseFolder, bibleName);
    connection.setConnectionString(bibledb::bibleConnectionString(path));
    connection.setConnected(true);
}

void TForm1::Laadbijbelboekenlijst() {
    bibledb::openBookList(ADOQuery1);

    // Filling the selector by code is no user choice: it must not run ComboBox2Change itself.
    const QSignalBlocker blockSelector(ComboBox2);
    ComboBox2->clear();
    BookList->clear();
    bibledb::BookList books;
    bibledb::readBookNames(ADOQuery1, books);
    for (const QString& entry : books.entries()) BookList->addTopLevelItem(new QTreeWidgetItem({entry}));
    ComboBox2->addItems(books.selectorNames());
    ComboBox2->setCurrentIndex(ComboBox2->count() > 0 ? 0 : -1);

    ComboBox2Change();
}

void TForm1::closeStepReleaseConnections() {
    ADOConnection1.release();
    ADOConnection2.release();
}

// ---- Navigation -----------------------------------------------------------------------------

int TForm1::currentBookNumber() const { return ComboBox2->currentIndex() + 1; }

void TForm1::ComboBox2Change() {
    saveEditedPanes();
    if (!paneOpen(1)) return; // pane 1 leads: without its bible there is nothing to position
    closingFailedPanes([this] { positionOnBook(); });
    focusStepView();
    processPendingEvents();
}

void TForm1::positionOnBook() {
    const int book = currentBookNumber();
    lastChapter = bibledb::readHighestChapter(ADOQuery1, book);
    bibledb::openFirstChapter(ADOQuery1, ADOQuery2, book);

    for (QToolButton* step : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4}) step->setEnabled(true);
    Label6->setText("1");
    Label7->setText("1");
    if (ComboBox3->currentText().isEmpty() || !paneOpen(2)) {
        showPaneClosed(2);
    } else {
        RE2->setEnabled(true);
        setControlColor(RE2, clCream);
    }
}

void TForm1::SpeedButton1Click() {
    saveEditedPanes();
    if (!paneOpen(1)) return;
    if (bibledb::verseOf(ADOQuery1) > 1) {
        ADOQuery1.prior();
        if (ADOQuery2.active()) ADOQuery2.prior();
    }
    Label7->setText(ADOQuery1.fieldByName(bibledb::kVerseColumn).asString());
    focusStepView();
}

void TForm1::SpeedButton2Click() {
    saveEditedPanes();
    if (!paneOpen(1)) return;
    ADOQuery1.next();
    Label7->setText(ADOQuery1.fieldByName(bibledb::kVerseColumn).asString());
    // Pane 2 follows by rows, also when pane 1 stayed on its last verse.
    if (ADOQuery2.active()) ADOQuery2.next();
    focusStepView();
}

void TForm1::SpeedButton3Click() {
    saveEditedPanes();
    if (!paneOpen(1)) return;
    if (bibledb::chapterOf(ADOQuery1) > 1) stepChapter(-1);
    focusStepView();
}

void TForm1::SpeedButton4Click() {
    saveEditedPanes();
    if (!paneOpen(1)) return;
    if (bibledb::chapterOf(ADOQuery1) < lastChapter) stepChapter(+1);
    focusStepView();
}

void TForm1::stepChapter(int delta) {
    bibledb::stepChapter(ADOQuery1, ADOQuery2, currentBookNumber(), Label6->text(), delta,
                         [this](const QString& chapter) { Label6->setText(chapter); });
    Label7->setText("1");
    // Pane 2's bible lacks the chapter: an open without a row shows nothing, and the verse of
    // the chapter before must not stay in view as if pane 2 stood on it.
    if (ADOQuery2.active() && ADOQuery2.isEmpty()) {
        paneLines(2).clear();
        edited2 = false;
    }
}

void TForm1::FormMouseWheel(int wheelDelta) {
    if (!ADOQuery1.active()) return;
    if (wheelDelta > 0) SpeedButton1Click();
    else if (wheelDelta < 0) SpeedButton2Click();
    activateWindow();
}

// ---- Showing the current verse --------------------------------------------------------------

void TForm1::bindQueryEvents() {
    // A memo only mirrors its row; the view in front of it is where verses are edited.
    for (QPlainTextEdit* memo : {DBMemo1, DBMemo2}) {
        memo->setReadOnly(true);
        memo->setFocusPolicy(Qt::NoFocus);
    }
    for (data::Query* query : {&ADOQuery1, &ADOQuery2}) query->setTextField(bibledb::kTextColumn);
    ADOQuery1.onDataChange = [this] { showRowInMemo(1); };
    ADOQuery1.afterScroll = [this] { ADOQuery1AfterScroll(); };
    ADOQuery2.onDataChange = [this] { showRowInMemo(2); };
    ADOQuery2.afterScroll = [this] { ADOQuery2AfterScroll(); };
}

void TForm1::showRowInMemo(int pane) {
    if (memosDeferred) {
        memoStale_[pane - 1] = true;
        return;
    }
    memoStale_[pane - 1] = false;
    data::Query& query = paneQuery(pane);
    const bool onRow = query.active() && query.recordNumber() >= 0;
    // The memo shows the stored lines (CR LF breaks).
    const QString text = onRow ? query.fieldByName(bibledb::kTextColumn).asString().replace("\r\n", "\n") : QString();
    if (text == memoText_[pane - 1]) return;
    memoText_[pane - 1] = text;
    paneMemo(pane)->setPlainText(text);
}

void TForm1::refreshMemos() {
    for (int pane : {1, 2})
        if (memoStale_[pane - 1]) showRowInMemo(pane);
}

void TForm1::ADOQuery1AfterScroll() {
    if (!ComboBox1->currentText().isEmpty()) {
        Label4->setText(ComboBox2->currentText() + " " + ADOQuery1.fieldByName(bibledb::kChapterColumn).asString() + " : " +
                        ADOQuery1.fieldByName(bibledb::kVerseColumn).asString());
        showCurrentVerse(1);
    }
    edited1 = false;
    processPendingEvents();
}

void TForm1::ADOQuery2AfterScroll() {
    // Pane 2 tests the selector of bible version 1 as well.
    if (!ComboBox1->currentText().isEmpty()) showCurrentVerse(2);
    edited2 = false;
}

void TForm1::showCurrentVerse(int pane) {
    // The row's text as the bound memo holds it: "" when the query has no current row.
    {
        app::RichEditView& lines = paneLines(pane);
        const app::RichEditView::Batch batch(lines);
        verse::fillView(lines, paneQuery(pane).fieldByName(bibledb::kTextColumn).asString(),
                        verse::Markers{texts.newSlideMarker, texts.emptyLineMarker});
    }
    QTextEdit* edit = paneView(pane);
    // The memo under the view is only the row's text: keys must go to a view, where the user
    // sees them, never into the memo. A step keeps them in the view that had them (pane 1's
    // when neither had), so typing on after a step never writes into the other bible.
    if (edit->isEnabled() && pane == focusedViewPane()) edit->setFocus();
}
