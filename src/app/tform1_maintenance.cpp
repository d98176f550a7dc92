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
#include "bibledb/bible_schema.h"
#include "maintenance/compaction.h"
#include "maintenance/slide_options.h"
#include "texts/leftover_texts.h"
#include "texts/messages.h"
#include "texts/run_progress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
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
