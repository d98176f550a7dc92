#include "app/rich_edit_view.h"

#include "verse/stored_text.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <utility>

namespace app {

namespace {

// Characters a QTextDocument turns into block or frame boundaries when inserted, so they
// cannot stand inside a line: kept in the document as private-use stand-ins and turned back
// when a line is read. (Bare CR and LF are mapped by the verse layer already.)
constexpr std::pair<char16_t, char16_t> kDocumentStandIns[] = {
    {u'\u2029', u'\uF829'}, // paragraph separator
    {u'\uFDD0', u'\uF8D0'}, // QTextBeginningOfFrame
    {u'\uFDD1', u'\uF8D1'}, // QTextEndOfFrame
};

QString toDocument(QString text) {
    for (QChar& c : text)
        for (const auto& [real, standIn] : kDocumentStandIns)
            if (c == real) c = QChar(standIn);
    return text;
}

QString fromDocument(QString text) {
    for (QChar& c : text)
        for (const auto& [real, standIn] : kDocumentStandIns)
            if (c == standIn) c = QChar(real);
    return text;
}

// Marks the document changes made by the line model's own operations.
class OwnChange {
public:
    explicit OwnChange(int& depth) : depth_(depth) { ++depth_; }
    ~OwnChange() { --depth_; }
    OwnChange(const OwnChange&) = delete;
    OwnChange& operator=(const OwnChange&) = delete;

private:
    int& depth_;
};

enum class HistoryKey { None, Undo, Redo };

HistoryKey historyKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_Z && modifiers == Qt::ControlModifier) return HistoryKey::Undo;
    if (key.key() == Qt::Key_Z && modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) return HistoryKey::Redo;
    if (key.key() == Qt::Key_Y && modifiers == Qt::ControlModifier) return HistoryKey::Redo;
    return HistoryKey::None;
}

QTextCharFormat formatOf(verse::CharStyle style) {
    QTextCharFormat format;
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setForeground(QColor(style.colour.r, style.colour.g, style.colour.b));
    return format;
}

} // namespace

RichEditView::RichEditView(QTextEdit& edit) : QObject(&edit), edit_(edit), format_(formatOf({})) {
    edit_.setLineWrapMode(QTextEdit::NoWrap);
    edit_.setAcceptRichText(false);
    edit_.installEventFilter(this);
    // Every change the user makes, not only one made by a key press (an input method's
    // composed text, a middle-click paste, a drop), must mark the pane edited.
    connect(edit_.document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (ownChanges_ > 0 || (removed == 0 && added == 0)) return;
        historyEmpty_ = false;
        if (onUserEdit) onUserEdit();
    });
}

int RichEditView::lineCount() const {
    const QTextDocument* doc = edit_.document();
    const int blocks = doc->blockCount();
    // The last block is empty exactly when the text is empty or ends with a break.
    return doc->lastBlock().length() == 1 ? blocks - 1 : blocks;
}

QString RichEditView::line(int index) const {
    if (index < 0 || index >= lineCount()) return {};
    return fromDocument(edit_.document()->findBlockByNumber(index).text());
}

void RichEditView::replaceLine(int index, const QString& text) {
    const OwnChange own(ownChanges_);
    if (index < 0 || index >= lineCount()) return;
    const QTextBlock block = edit_.document()->findBlockByNumber(index);
    QTextCursor cursor(edit_.document());
    cursor.setPosition(block.position());
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(toDocument(verse::toViewLine(text)), format_);
    placeCaret(cursor);
}

void RichEditView::deleteLine(int index) {
    const OwnChange own(ownChanges_);
    if (index < 0 || index >= lineCount()) return;
    const QTextBlock block = edit_.document()->findBlockByNumber(index);
    QTextCursor cursor(edit_.document());
    cursor.setPosition(block.position());
    // length() counts the block's separator; the document's last block has none to delete.
    const bool last = block.next().isValid() == false;
    cursor.setPosition(block.position() + block.length() - (last ? 1 : 0), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    placeCaret(cursor);
}

void RichEditView::appendLine(const QString& text) {
    const OwnChange own(ownChanges_);
    QTextCursor cursor(edit_.document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (lineCount() == edit_.document()->blockCount() - 1) {
        cursor.insertText(toDocument(verse::toViewLine(text)), format_);
        cursor.insertBlock(cursor.blockFormat(), format_);
    } else {
        cursor.insertBlock(cursor.blockFormat(), format_);
        cursor.insertText(toDocument(verse::toViewLine(text)), format_);
    }
    cursor.endEditBlock();
    placeCaret(cursor);
    forgetUndo();
}

void RichEditView::clear() {
    const OwnChange own(ownChanges_);
    QTextCursor cursor(edit_.document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockCharFormat(format_);
    placeCaret(cursor);
    forgetUndo();
}

verse::Caret RichEditView::caret() const {
    const int position = caretCursor().selectionEnd();
    const QTextBlock block = edit_.document()->findBlock(position);
    return {block.blockNumber(), position - block.position()};
}

void RichEditView::insertAtCaret(const QString& text) {
    const OwnChange own(ownChanges_);
    QTextCursor cursor = caretCursor();
    const QStringList lines = verse::splitInsertText(text);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) cursor.insertBlock(cursor.blockFormat(), format_);
        if (!lines[i].isEmpty()) cursor.insertText(toDocument(lines[i]), format_);
    }
    cursor.endEditBlock();
    placeCaret(cursor);
}

void RichEditView::collapseSelection() {
    QTextCursor cursor = caretCursor();
    cursor.setPosition(cursor.selectionStart());
    placeCaret(cursor);
}

void RichEditView::setBold(bool on) {
    format_.setFontWeight(on ? QFont::Bold : QFont::Normal);
    applyInsertionStyleAtCaret();
}

void RichEditView::setColour(verse::Rgb colour) {
    format_.setForeground(QColor(colour.r, colour.g, colour.b));
    applyInsertionStyleAtCaret();
}

// What the user types at an empty caret takes the insertion style too, as in a rich-text
// editor whose selection attributes are set: after a fill, typing on the end place is black.
void RichEditView::applyInsertionStyleAtCaret() {
    const OwnChange own(ownChanges_);
    QTextCursor cursor = caretCursor();
    if (cursor.hasSelection()) return;
    if (cursor.block().length() == 1) cursor.setBlockCharFormat(format_);
    cursor.setCharFormat(format_);
    placeCaret(cursor);
    // The style of an empty line is a change of the document too; right after a fill it must
    // not become a step that the user's first undo would take back (the end place would then
    // type in the look of the last marker).
    if (historyEmpty_ && undoSteps_ == 0) forgetUndo();
}

void RichEditView::undo() { edit_.undo(); }
void RichEditView::redo() { edit_.redo(); }

// An edit block of the document groups every change made through any cursor until it ends.
RichEditView::UndoStep::UndoStep(RichEditView& view) : view_(view) {
    ++view_.undoSteps_;
    view_.historyEmpty_ = false;
    QTextCursor(view_.edit_.document()).beginEditBlock();
}

RichEditView::UndoStep::~UndoStep() {
    QTextCursor(view_.edit_.document()).endEditBlock();
    --view_.undoSteps_;
}

QTextCursor RichEditView::caretCursor() const {
    return batchDepth_ > 0 && !batchCaret_.isNull() ? batchCaret_ : edit_.textCursor();
}

void RichEditView::placeCaret(const QTextCursor& cursor) {
    if (batchDepth_ > 0) batchCaret_ = cursor;
    else edit_.setTextCursor(cursor);
}

void RichEditView::forgetUndo() {
    historyEmpty_ = true;
    if (batchDepth_ > 0) batchForgetsUndo_ = true;
    else edit_.document()->clearUndoRedoStacks();
}

RichEditView::Batch::Batch(RichEditView& view) : view_(view) {
    if (view_.batchDepth_++ > 0) return;
    // The document reports the batch's changes when the edit block closes: they are own changes.
    ++view_.ownChanges_;
    view_.batchEdit_ = QTextCursor(view_.edit_.document());
    view_.batchEdit_.beginEditBlock();
}

RichEditView::Batch::~Batch() {
    if (--view_.batchDepth_ > 0) return;
    view_.batchEdit_.endEditBlock();
    view_.batchEdit_ = QTextCursor();
    if (!view_.batchCaret_.isNull()) view_.edit_.setTextCursor(view_.batchCaret_);
    view_.batchCaret_ = QTextCursor();
    if (view_.batchForgetsUndo_) view_.edit_.document()->clearUndoRedoStacks();
    view_.batchForgetsUndo_ = false;
    --view_.ownChanges_;
}

int RichEditView::positionOf(verse::Caret caret) const {
    const QTextDocument* doc = edit_.document();
    const int number = std::clamp(caret.line, 0, doc->blockCount() - 1);
    const QTextBlock block = doc->findBlockByNumber(number);
    return block.position() + std::clamp(caret.column, 0, block.length() - 1);
}

void RichEditView::select(verse::Caret anchor, verse::Caret caret) {
    QTextCursor cursor(edit_.document());
    cursor.setPosition(positionOf(anchor));
    cursor.setPosition(positionOf(caret), QTextCursor::KeepAnchor);
    edit_.setTextCursor(cursor);
}

verse::CharStyle RichEditView::styleAt(int line, int column) const {
    if (column < 0 || column >= this->line(line).size()) return {};
    const QTextBlock block = edit_.document()->findBlockByNumber(line);
    QTextCursor cursor(edit_.document());
    cursor.setPosition(block.position() + column + 1); // the format of the character before
    const QTextCharFormat format = cursor.charFormat();
    const QColor colour = format.foreground().color();
    return {format.fontWeight() >= QFont::Bold, {colour.red(), colour.green(), colour.blue()}};
}

bool RichEditView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &edit_ && event->type() == QEvent::ShortcutOverride &&
        historyKey(*static_cast<QKeyEvent*>(event)) != HistoryKey::None) {
        event->accept(); // the view's own key, not a menu shortcut
        return true;
    }
    if (watched == &edit_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (historyKey(*key)) {
        case HistoryKey::Undo: undo(); return true;
        case HistoryKey::Redo: redo(); return true;
        case HistoryKey::None: break;
        }
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & Qt::ShiftModifier)) {
            QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ShiftModifier, key->text(),
                            key->isAutoRepeat(), ushort(key->count()));
            QCoreApplication::sendEvent(&edit_, &plain);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
