// TForm1: the whole-bible slide-change options and the compaction at close.
//
// The run (ModifyDB) lets window events run before every verse and after every change, so input
// can arrive in the middle of it. It is guarded like this:
// - a second start (BitBtn2 clicked again) is refused while a run is in progress;
// - the two bible selectors are disabled for the run's duration, so no connection is closed,
//   replaced or reopened under it; their previous state comes back when it ends;
// - a close of the window during the run is held back: the run ends after the verse in progress
//   has been saved, and the window then closes as usual (FormClose, compaction);
// - stepping by hand, choosing a book or ticking the other box stays possible, as before: the
//   run goes on from wherever the panes then stand.
#include "app/event_guard.h"
#include "app/event_pacing.h"
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "bibledb/verse_rows.h"
#include "bibledb/bible_schema.h"
#include "maintenance/compaction.h"
#include "maintenance/format_run.h"
#include "maintenance/slide_options.h"
#include "texts/format_texts.h"
#include "texts/leftover_texts.h"
#include "texts/messages.h"
#include "texts/run_progress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTextEdit>

#include <algorithm>
#include <optional>

namespace {

// The line model over a pane's editor view (the one the after-scroll fill uses).
verse::LineView& lineViewOf(QTextEdit* edit) {
    auto* view = edit->findChild<app::RichEditView*>(QString(), Qt::FindDirectChildrenOnly);
    if (!view) view = new app::RichEditView(*edit);
    return *view;
}

// Holds back a close of the window while a run is in progress.
class CloseHold : public QObject {
public:
    explicit CloseHold(TForm1& form) : form_(form) { form_.installEventFilter(this); }
    ~CloseHold() override { form_.removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &form_ && event->type() == QEvent::Close) {
            form_.closeRequestedDuringRun = true;
            event->ignore();
            return true;
        }
        return false;
    }

private:
    TForm1& form_;
};

// The run's state for its duration; restored however the run ends (an engine error included).
class RunScope {
public:
    explicit RunScope(TForm1& form)
        : form_(form), combo1Enabled_(form.ComboBox1->isEnabled()), combo3Enabled_(form.ComboBox3->isEnabled()),
          hold_(form) {
        form_.modifyDBRunning = true;
        form_.closeRequestedDuringRun = false;
        form_.ComboBox1->setEnabled(false);
        form_.ComboBox3->setEnabled(false);
    }
    ~RunScope() {
        form_.ComboBox1->setEnabled(combo1Enabled_);
        form_.ComboBox3->setEnabled(combo3Enabled_);
        form_.modifyDBRunning = false;
        if (form_.closeRequestedDuringRun) {
            form_.closeRequestedDuringRun = false;
            // After the handler has returned (and any error box is closed), close as usual.
            QMetaObject::invokeMethod(&form_, [form = &form_] { form->close(); }, Qt::QueuedConnection);
        }
    }

private:
    TForm1& form_;
    bool combo1Enabled_;
    bool combo3Enabled_;
    CloseHold hold_;
};

// The walk through the window's own navigation handlers and Savevers.
//
// The handlers let events run several times per verse; a person can follow about ten changes a
// second, so the passes are paced (event_pacing.h): the window paints what changed only at the
// passes that run, and only for them are the memos under the views brought up to date and the
// progress put in the status bar. The run thus still shows every tenth of a second where it is.
//
// Between passes the views' changes are one document edit (RichEditView::Batch): a view lays out
// the verse it shows once per pass, not after each fill, option step and save.
class WindowRun : public maintenance::WalkDriver {
public:
    explicit WindowRun(TForm1& form)
        : form_(form), errorsBefore_(app::errorsShown()),
          pacing_(TForm1::eventPassInterval, true, {[this] { beforePass(); }, [this] { afterPass(); }}) {
        form_.memosDeferred = true;
        afterPass();
    }
    ~WindowRun() override {
        closeBatches();
        form_.memosDeferred = false;
        form_.refreshMemos();
        form_.StatusBar1->clearMessage();
    }
    WindowRun(const WindowRun&) = delete;
    WindowRun& operator=(const WindowRun&) = delete;

    int bookCount() override { return form_.ComboBox2->count(); }
    void chooseBook(int position) override {
        {
            // Selecting by code is not a change event; the book change runs once, below.
            const QSignalBlocker block(form_.ComboBox2);
            form_.ComboBox2->setCurrentIndex(position);
        }
        form_.ComboBox2Change();
    }
    int lastChapter() override { return form_.lastChapter; }
    int currentVerse() override { return bibledb::verseOf(form_.ADOQuery1); }
    void nextVerse() override { form_.SpeedButton2Click(); }
    void nextChapter() override { form_.SpeedButton4Click(); }
    void letEventsRun() override { TForm1::processPendingEvents(); }
    // An error shown by an event that ran in the middle of the run ends it too: one message,
    // never one per verse.
    bool stopRequested() override {
        return form_.closeRequestedDuringRun || app::errorsShown() != errorsBefore_;
    }
    // A pane on a chapter its bible lacks (pane 2 follows pane 1's chapter numbers) has no
    // verse to change: the run passes it by.
    bool paneInUse(int pane) override {
        return form_.paneOpen(pane) && form_.paneView(pane)->isEnabled() && form_.paneQuery(pane).recordNumber() >= 0;
    }
    verse::LineView& view(int pane) override { return lineViewOf(form_.paneView(pane)); }
    bool edited(int pane) override { return form_.paneEdited(pane); }
    void setEdited(int pane) override { form_.paneEdited(pane) = true; }
    void save(int pane) override { form_.Savevers(pane); }
    void progressed(const maintenance::WalkProgress& progress) override { progress_ = progress; }

private:
    void closeBatches() {
        for (auto& batch : batches_) batch.reset();
    }
    void afterPass() {
        for (int pane : {1, 2}) batches_[pane - 1].emplace(form_.paneLines(pane));
    }
    void beforePass() {
        closeBatches();
        form_.refreshMemos();
        // The part done counts the chapters of the book the panes stand in now.
        maintenance::WalkProgress now = progress_;
        now.lastChapter = form_.lastChapter;
        form_.StatusBar1->showMessage(
            texts::runProgressText(form_.languageCode, form_.ComboBox2->itemText(now.book), now.percent()));
    }

    TForm1& form_;
    int errorsBefore_;
    maintenance::WalkProgress progress_;
    std::optional<app::RichEditView::Batch> batches_[2]; // pane 1, pane 2
    app::PacedPasses pacing_; // last: its passes end before the run's state goes
};

} // namespace

namespace {

// A ticked option box enables the run and locks the other box; unticked, it frees the other.
void optionBoxClicked(const QCheckBox* box, QCheckBox* other, QPushButton* run) {
    if (box->isChecked()) run->setEnabled(true);
    other->setEnabled(!box->isChecked());
}

} // namespace

void TForm1::CheckBox1Click() { optionBoxClicked(CheckBox1, CheckBox2, BitBtn2); }

void TForm1::CheckBox2Click() { optionBoxClicked(CheckBox2, CheckBox1, BitBtn2); }

void TForm1::BitBtn2Click() {
    if (modifyDBRunning) return;
    if (!CheckBox1->isChecked() && !CheckBox2->isChecked()) {
        showMessage(texts.msgTickRequired);
        return;
    }
    ModifyDB();
}

void TForm1::ModifyDB() {
    const auto steps = maintenance::slideOptionSteps(
        [this] { return maintenance::OptionBoxes{CheckBox1->isChecked(), CheckBox2->isChecked()}; },
        [this] { return texts.newSlideMarker; });
    walkInWindow(steps, maintenance::WalkRange::allBooks(), [this] { showMessage(texts.msgLongProcess); });
}

bool TForm1::walkInWindow(const std::vector<maintenance::VerseStep>& steps, maintenance::WalkRange range,
                          const std::function<void()>& beforeWalk) {
    if (modifyDBRunning) return false;
    RunScope scope(*this);
    // A bible that another program has open refuses the run before anything is written.
    ADOConnection1.refuseWritesIfInUse();
    if (RE2->isEnabled()) ADOConnection2.refuseWritesIfInUse();
    if (ADOQuery1.state() == data::DataSetState::Edit) ADOQuery1.post();
    if (ADOQuery2.state() == data::DataSetState::Edit) ADOQuery2.post();
    if (beforeWalk) beforeWalk();
    if (!paneOpen(1)) return false; // no bible to walk
    // The run saves up to every verse of both bibles: one flush at its end, not one per verse.
    const data::Connection::BulkWrites bulkWrites;
    WindowRun run(*this);
    return maintenance::walkBible(run, steps, range);
}

// ---- Formatting for slides: a book or the whole bible of each open bible ---------------------
//
// Each bible is walked on its own, by the walk kantelo-db format runs (the window's query steps
// without its views), so that every verse of it is visited, also where pane 2's bible has more
// verses in a chapter than pane 1's; the window's events run before and after every verse. The
// run holds the window as the whole-bible options do (RunScope): a second start is refused, the
// selectors are disabled, and a close ends it after the verse in progress.
void TForm1::formatBibles(const verse::SlideFormat& format, bool currentBookOnly) {
    if (modifyDBRunning || !paneOpen(1) || ComboBox2->count() == 0) return;
    const texts::FormatTexts& words = texts::formatTexts(languageCode);
    std::vector<int> panes{1};
    if (paneOpen(2) && RE2->isEnabled() &&
        ADOConnection2.resolvedFilePath().compare(ADOConnection1.resolvedFilePath(), Qt::CaseInsensitive) != 0)
        panes.push_back(2);
    auto bibleName = [this](int pane) { return (pane == 1 ? ComboBox1 : ComboBox3)->currentText(); };
    QStringList names;
    for (int pane : panes) names << bibleName(pane);
    const int book = ComboBox2->currentIndex();
    const QString question = currentBookOnly
                                 ? words.msgConfirmBook.arg(ComboBox2->itemText(book), names.join(QStringLiteral(", ")))
                                 : words.msgConfirmBible.arg(names.join(QStringLiteral(", ")));
    QMessageBox confirm(QMessageBox::Question, QStringLiteral("Kantelo"), question, QMessageBox::Yes | QMessageBox::No,
                        this);
    confirm.setDefaultButton(QMessageBox::No);
    execDialog(confirm);
    if (confirm.result() != QMessageBox::Yes) return;

    RunScope scope(*this);
    // A bible that another program has open refuses the run before anything is written.
    for (int pane : panes) paneConnection(pane).refuseWritesIfInUse();
    saveEditedPanes();
    if (ADOQuery1.state() == data::DataSetState::Edit) ADOQuery1.post();
    if (ADOQuery2.state() == data::DataSetState::Edit) ADOQuery2.post();
    const bibledb::VersePlace here{currentBookNumber(), ADOQuery1.fieldByName("Chapter").asInteger(),
                                   ADOQuery1.fieldByName("Verse").asInteger()};
    for (int pane : panes) backupBeforeWrite(pane);

    const int errorsBefore = app::errorsShown();
    maintenance::WalkProgress progress;
    const app::PacedPasses pacing(eventPassInterval, true, {[&] {
        StatusBar1->showMessage(texts::runProgressText(languageCode, ComboBox2->itemText(progress.book), progress.percent()));
    }, {}});
    maintenance::FileRunOptions options;
    options.languageCode = languageCode;
    if (currentBookOnly) options.range = maintenance::WalkRange::book(book);
    options.onProgress = [&progress](const maintenance::WalkProgress& now) { progress = now; };
    options.stopRequested = [this, errorsBefore] {
        processPendingEvents();
        return closeRequestedDuringRun || app::errorsShown() != errorsBefore;
    };
    const verse::Markers markers{texts.newSlideMarker, texts.emptyLineMarker};
    QStringList counts;
    for (int pane : panes) {
        const maintenance::ApplyReport report =
            maintenance::formatBibleFile(paneConnection(pane).resolvedFilePath(), format, markers, options);
        counts << words.msgVersesChanged.arg(bibleName(pane)).arg(report.rowsWritten);
        if (report.stopped) break;
    }
    StatusBar1->clearMessage();
    if (closeRequestedDuringRun) return; // the window closes now (RunScope)
    // The panes show the verse they stood on, as it is now.
    goToVerse(here);
    showMessage(counts.join(QLatin1Char('\n')) + QStringLiteral("\n") + words.msgRestoreHint);
}

bool TForm1::CompactAndRepair(const QString& path) {
    const maintenance::CompactOutcome outcome =
        maintenance::compactAndRepair(path, compactionFileOps ? *compactionFileOps : maintenance::systemFileOps());
    // The one message of compaction: the database would otherwise seem lost.
    if (!outcome.strandedAt.isEmpty())
        showMessage(texts::strandedDatabaseMessage(languageCode, path, outcome.strandedAt));
    // A leftover would block this bible's compaction at every close without a word: it is named
    // once (both panes may hold the same file).
    if (!outcome.blockedBy.isEmpty() && !reportedLeftovers_.contains(outcome.blockedBy, Qt::CaseInsensitive)) {
        reportedLeftovers_ << outcome.blockedBy;
        showMessage(texts::compactionBlockedMessage(languageCode, path, outcome.blockedBy));
    }
    return outcome.completed;
}

void TForm1::closeStepCompact() {
    if (!databasePath1.isEmpty()) CompactAndRepair(databasePath1);
    if (RE2->isEnabled() && !databasePath2.isEmpty()) CompactAndRepair(databasePath2);
}
