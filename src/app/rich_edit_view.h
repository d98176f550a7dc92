// The editor view's line model over a QTextEdit (RE1, RE2): one text block per line. The text
// "ends with a line break" when its last block is empty; that empty block is the end place
// below the last line, where a click puts the caret. Document positions and the model's
// offsets agree: one position per character and one per break.
#pragma once
#include "verse/line_view.h"

#include <QObject>
#include <QTextCharFormat>
#include <QTextCursor>

#include <functional>

class QTextEdit;

namespace app {

class RichEditView : public QObject, public verse::LineView {
    Q_OBJECT // findChild<RichEditView*> on the edit must find this object only
        public :
        // Configures the edit for the line model (no word wrap, plain-text paste) and becomes its
        // child, so the edit owns it.
        explicit RichEditView(QTextEdit& edit);

    int lineCount() const override;
    QString line(int index) const override;
    void replaceLine(int index, const QString& text) override;
    void deleteLine(int index) override;
    // Clearing and appending build a new verse (a fill) or are the whole-bible run's change:
    // they empty the undo history, so that undo never brings back another verse.
    void appendLine(const QString& text) override;
    void clear() override;
    verse::Caret caret() const override;
    void insertAtCaret(const QString& text) override;
    void collapseSelection() override;
    void setBold(bool on) override;
    void setColour(verse::Rgb colour) override;

    // Selects from the anchor to the caret, as the mouse does (clamped to the text).
    void select(verse::Caret anchor, verse::Caret caret);
    verse::CharStyle styleAt(int line, int column) const; // default style outside the text
    QTextEdit& edit() const { return edit_; }

    // Called after each change of the text that the user made (typing, input method, paste,
    // drop, undo and redo), never for the changes made through the operations above.
    std::function<void()> onUserEdit;

    // The view's undo history: what the user typed and each command run in an UndoStep, back to
    // the last clear or append. Ctrl+Z undoes; Ctrl+Y and Ctrl+Shift+Z redo.
    void undo();
    void redo();
    // While it lives, every change made to the view is one step of the undo history (a popup
    // command with its markers and their look).
    class UndoStep {
    public:
        explicit UndoStep(RichEditView& view);
        ~UndoStep();
        UndoStep(const UndoStep&) = delete;
        UndoStep& operator=(const UndoStep&) = delete;

    private:
        RichEditView& view_;
    };

    // Groups the operations made while it lives (a fill, a save's rewrite) into one edit of the
    // document: the view lays its text out and places its caret once, at the end, instead of
    // after every line. What the operations read and leave behind is the same.
    class Batch {
    public:
        explicit Batch(RichEditView& view);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        RichEditView& view_;
    };

protected:
    // Shift+Enter would put a soft break inside a block, a line the model cannot see: it is
    // turned into a plain Enter. The undo and redo keys are handled here, the same on every
    // platform.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int positionOf(verse::Caret caret) const;
    void applyInsertionStyleAtCaret();
    // The edit's caret; inside a batch the one that the batch will place.
    QTextCursor caretCursor() const;
    void placeCaret(const QTextCursor& cursor);
    void forgetUndo();

    QTextEdit& edit_;
    QTextCharFormat format_; // the insertion style
    int ownChanges_ = 0;
    int undoSteps_ = 0;        // UndoSteps alive
    bool historyEmpty_ = true; // nothing since the last clear or append can be undone
    int batchDepth_ = 0;
    QTextCursor batchEdit_;   // holds the document's edit block open
    QTextCursor batchCaret_;  // the caret to place when the batch ends (null: leave it)
    bool batchForgetsUndo_ = false;
};

} // namespace app
