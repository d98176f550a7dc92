// TForm1: which panes are in use, where the keyboard focus stays, and the input rules of the
// two bible selectors (typing, Enter, a pick from the list, emptying the version 2 selector).
#include "app/tform1.h"

#include "app/bible_selector.h"
#include "app/event_guard.h"
#include "app/rich_edit_view.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

} // namespace

// ---- Pane state -----------------------------------------------------------------------------

bool TForm1::paneOpen(int pane) { return paneQuery(pane).active(); }

void TForm1::showPaneClosed(int pane) {
    QTextEdit* view = paneView(pane);
    view->setEnabled(false);
    setControlColor(view, clGray);
    paneLines(pane).clear();
    paneMemo(pane)->clear();
    paneEdited(pane) = false;
    showPane2Reference();
}

void TForm1::closePaneTwo() {
    ADOConnection2.setConnected(false);
    showPaneClosed(2);
}

void TForm1::closingFailedPanes(const std::function<void()>& steps) {
    try {
        steps();
    } catch (...) {
        for (int pane : {1, 2})
            if (!paneOpen(pane) && paneView(pane)->isEnabled()) showPaneClosed(pane);
        throw;
    }
}

int TForm1::focusedViewPane() const {
    const QWidget* focused = focusWidget();
    return focused && (focused == RE2 || RE2->isAncestorOf(focused)) && RE2->isEnabled() ? 2 : 1;
}

void TForm1::focusStepView() {
    QTextEdit* view = paneView(focusedViewPane());
    if (view->isEnabled()) view->setFocus();
    showPane2Reference();
}

// ---- The bible selectors' input -------------------------------------------------------------

void TForm1::ComboBox1Typed() {
    // An emptied version 1 selector runs its change at once: it only disables controls.
    if (ComboBox1->currentText().isEmpty() ||
        !app::bibleCompletedByTyping(itemsOf(ComboBox1), ComboBox1->currentText()).isEmpty())
        requestBibleOpen(1);
}

void TForm1::ComboBox3Typed() {
    if (ComboBox3->currentText().isEmpty() ||
        !app::bibleCompletedByTyping(itemsOf(ComboBox3), ComboBox3->currentText()).isEmpty())
        requestBibleOpen(2);
}

void TForm1::requestBibleOpen(int pane) {
    bool& requested = bibleOpenRequested_[pane - 1];
    if (requested) return;
    requested = true;
    QMetaObject::invokeMethod(
        this,
        [this, pane] {
            bibleOpenRequested_[pane - 1] = false;
            app::runGuarded([this, pane] { bibleSelectorConfirmed(pane); });
        },
        Qt::QueuedConnection);
}

void TForm1::bibleSelectorConfirmed(int pane) {
    QComboBox* selector = pane == 1 ? ComboBox1 : ComboBox3;
    if (QCompleter* completer = selector->completer()) completer->popup()->hide();
    // The listed entry becomes the selected one, in its own spelling ("kjv" typed opens KJV).
    // Qt confirms an editable selector again when it loses the focus with a text that names
    // another entry than the selected one: that would open the bible a second time.
    const QString listed = app::listedBible(itemsOf(selector), selector->currentText());
    if (!listed.isEmpty()) selector->setCurrentIndex(selector->findText(listed, Qt::MatchExactly));
    if (pane == 1) ComboBox1Change();
    else ComboBox3Change();
}
