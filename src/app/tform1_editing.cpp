// TForm1: editing the verse views and saving them (key and mouse handlers, popup commands,
// Savevers and the hooks that call it).
#include "app/tform1.h"

#include "app/rich_edit_view.h"
#include "bibledb/bible_schema.h"
#include "texts/messages.h"
#include "verse/commands.h"
#include "verse/save.h"

#include <QTextCursor>
#include <QTextEdit>

#include <exception>

namespace {

verse::Markers markersOf(const texts::UiTexts& texts) { return {texts.newSlideMarker, texts.emptyLineMarker}; }

// A refused command shows its message; a command that changed the view shows nothing.
void report(verse::CommandResult result, const texts::UiTexts& texts) {
    switch (result) {
    case verse::CommandResult::Changed: return;
    case verse::CommandResult::NotVerseText: TForm1::showMessage(texts.msgNotVerseText); return;
    case verse::CommandResult::NotSlideChange: TForm1::showMessage(texts.msgNotSlideChange); return;
    case verse::CommandResult::NotEmptyLine: TForm1::showMessage(texts.msgNotEmptyLine); return;
    case verse::CommandResult::NoEmptyLineHere: TForm1::showMessage(texts.msgNoEmptyLineHere); return;
    }
}

} // namespace

app::RichEditView& TForm1::paneLines(int pane) {
    QTextEdit* view = paneView(pane);
    auto* lines = view->findChild<app::RichEditView*>(QString(), Qt::FindDirectChildrenOnly);
    if (!lines) lines = new app::RichEditView(*view);
    // Text that reaches the view without a key press (an input method, a middle-click paste,
    // a drop) is an edit too.
    if (!lines->onUserEdit) lines->onUserEdit = [this, pane] { paneEdited(pane) = true; };
    return *lines;
}

// ---- Keys and mouse -------------------------------------------------------------------------

// Any key counts as an edit, arrows included: the next hook saves (and so normalises) the verse.
void TForm1::RE1KeyDown(int, Qt::KeyboardModifiers) { edited1 = true; }
void TForm1::RE2KeyDown(int, Qt::KeyboardModifiers) { edited2 = true; }

// A right-click puts the caret where a left click would, before the popup opens, so the
// command acts on the clicked line and column.
void TForm1::RE1MouseDown(Qt::MouseButton button, QPoint pos) {
    if (button == Qt::RightButton) RE1->setTextCursor(RE1->cursorForPosition(pos));
}

void TForm1::RE2MouseDown(Qt::MouseButton button, QPoint pos) {
    if (button == Qt::RightButton) RE2->setTextCursor(RE2->cursorForPosition(pos));
}

// ---- Popup commands: the pane counts as edited even when the command refuses ----------------

void TForm1::Forceernieuwedia1Click() {
    edited1 = true;
    NieuweDia(1);
}

void TForm1::Wissendiaovergang1Click() {
    edited1 = true;
    WisDia(1);
}

void TForm1::Tussenvoegenlegeregelindedia1Click() {
    edited1 = true;
    LegeRegelTussenvoegen(1);
}

void TForm1::Wissenlegeregel1Click() {
    edited1 = true;
    Wissenlegeregel(1);
}

void TForm1::Forceernieuwedia2Click() {
    edited2 = true;
    NieuweDia(2);
}

void TForm1::Wissendiaovergang2Click() {
    edited2 = true;
    WisDia(2);
}

void TForm1::Tussenvoegenlegeregelindedia2Click() {
    edited2 = true;
    LegeRegelTussenvoegen(2);
}

void TForm1::Wissenlegeregel2Click() {
    edited2 = true;
    Wissenlegeregel(2);
}

namespace {

// A command is one step of the view's undo history; its refusal message comes after it.
using Command = verse::CommandResult (*)(verse::LineView&, const verse::Markers&);
void runCommand(app::RichEditView& view, Command command, const texts::UiTexts& texts) {
    verse::CommandResult result;
    {
        const app::RichEditView::UndoStep step(view);
        result = command(view, markersOf(texts));
    }
    report(result, texts);
}

} // namespace

void TForm1::NieuweDia(int pane) { runCommand(paneLines(pane), verse::NieuweDia, texts); }
void TForm1::WisDia(int pane) { runCommand(paneLines(pane), verse::WisDia, texts); }
void TForm1::LegeRegelTussenvoegen(int pane) { runCommand(paneLines(pane), verse::LegeRegelTussenvoegen, texts); }
void TForm1::Wissenlegeregel(int pane) { runCommand(paneLines(pane), verse::Wissenlegeregel, texts); }

// ---- Saving ---------------------------------------------------------------------------------


// The final text is written in one post. Pending events run only after it: a handler they run
// (a second click on a step button) may move the cursor, and the text must land in the row it
// was taken from. A failed post (read-only or locked file) propagates to the event guard; the
// view keeps its converted lines and the pane stays edited, so the next hook tries again.
// A text equal to the row's is not written at all (an edit undone, keys that changed nothing):
// the file keeps its bytes and its modification time.
void TForm1::Savevers(int pane) {
    // A pane without an open query is not in use: there is no row to write to and nothing to say.
    if (!paneOpen(pane)) {
        paneEdited(pane) = false;
        return;
    }
    QString text;
    {
        app::RichEditView& lines = paneLines(pane);
        const app::RichEditView::Batch batch(lines);
        text = verse::convertForSave(lines, markersOf(texts));
    }

    QTextEdit* view = paneView(pane);
    QTextCursor end = view->textCursor();
    end.movePosition(QTextCursor::End);
    view->setTextCursor(end);
    view->ensureCursorVisible();
    if (pane == focusedViewPane()) view->setFocus();

    // Without a current row (a book or chapter without verses) there is no row to write to,
    // and a save must never add one. The user is told once that this edit was not stored; the
    // pane is then no longer edited, so later hooks neither repeat the message nor block.
    data::Query& query = paneQuery(pane);
    if (query.active() && query.recordNumber() >= 0) {
        if (text == query.fieldByName(bibledb::kTextColumn).asString()) {
            query.cancel();
        } else {
            backupBeforeWrite(pane);
            query.edit();
            query.setEditText(text);
            query.post();
        }
    } else {
        (pane == 1 ? edited1 : edited2) = false;
        showMessage(texts::noVerseRowMessage(languageCode));
    }
    processPendingEvents();
}

void TForm1::saveEditedPanes() {
    if (edited1) Savevers(1);
    if (edited2) Savevers(2);
}

void TForm1::FormFocusLost() {
    saveEditedPanes();
    if (ADOQuery1.state() == data::DataSetState::Edit) ADOQuery1.post();
    if (ADOQuery2.state() == data::DataSetState::Edit) ADOQuery2.post();
}

void TForm1::FormDeactivate() { FormFocusLost(); }

// Closing right after typing must not lose the edit: edited panes are saved, then pending
// edits posted. When a write fails, the error keeps the window open and shows its message;
// the failed edit is then dropped, so that closing again (the file may stay read-only) works.
void TForm1::closeStepPostEdits() {
    struct DropEditsOnFailure {
        TForm1& form;
        int failuresBefore = std::uncaught_exceptions();
        ~DropEditsOnFailure() {
            if (std::uncaught_exceptions() <= failuresBefore) return;
            form.edited1 = form.edited2 = false;
            form.ADOQuery1.cancel();
            form.ADOQuery2.cancel();
        }
    } dropOnFailure{*this};
    FormFocusLost();
}
