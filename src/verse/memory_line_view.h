// An in-memory editor view with per-character bold and colour, for testing the fill, the editing
// commands and the save without widgets. The text is held with one '\n' per line break.
#pragma once
#include "verse/line_view.h"

#include <vector>

namespace verse {

class MemoryLineView : public LineView {
public:
    int lineCount() const override;
    QString line(int index) const override;
    void replaceLine(int index, const QString& text) override;
    void deleteLine(int index) override;
    void appendLine(const QString& text) override;
    void clear() override;
    Caret caret() const override;
    void insertAtCaret(const QString& text) override;
    void collapseSelection() override;
    void setBold(bool on) override;
    void setColour(Rgb colour) override;

    // What a user does with the mouse: select from the anchor to the caret (both clamped to
    // the text; a line index past the last break is the end place).
    void select(Caret anchor, Caret caret);

    CharStyle styleAt(int line, int column) const; // default style outside the text
    const QString& rawText() const { return text_; }

private:
    int lineStart(int index) const;  // offset of the line's first character; -1 when none
    int offsetOf(Caret caret) const; // clamped
    Caret caretOf(int offset) const;
    void replaceRange(int from, int to, const QString& text, CharStyle style);

    QString text_;
    std::vector<CharStyle> styles_; // one per character of text_, breaks included
    int anchor_ = 0;
    int position_ = 0;
    CharStyle style_;
};

} // namespace verse
