#include "verse/memory_line_view.h"

#include "verse/stored_text.h"

#include <algorithm>

namespace verse {

int MemoryLineView::lineCount() const {
    if (text_.isEmpty()) return 0;
    const int breaks = int(text_.count(QLatin1Char('\n')));
    return text_.endsWith(QLatin1Char('\n')) ? breaks : breaks + 1;
}

int MemoryLineView::lineStart(int index) const {
    if (index < 0 || index >= lineCount()) return -1;
    int start = 0;
    for (int i = 0; i < index; ++i)
        start = int(text_.indexOf(QLatin1Char('\n'), start)) + 1;
    return start;
}

QString MemoryLineView::line(int index) const {
    const int start = lineStart(index);
    if (start < 0) return {};
    const qsizetype end = text_.indexOf(QLatin1Char('\n'), start);
    return text_.mid(start, (end < 0 ? text_.size() : end) - start);
}

void MemoryLineView::replaceRange(int from, int to, const QString& text, CharStyle style) {
    text_.replace(from, to - from, text);
    styles_.erase(styles_.begin() + from, styles_.begin() + to);
    styles_.insert(styles_.begin() + from, size_t(text.size()), style);
}

void MemoryLineView::replaceLine(int index, const QString& text) {
    const int start = lineStart(index);
    if (start < 0) return;
    const QString replacement = toViewLine(text);
    replaceRange(start, start + int(line(index).size()), replacement, style_);
    anchor_ = position_ = start + int(replacement.size());
}

void MemoryLineView::deleteLine(int index) {
    const int start = lineStart(index);
    if (start < 0) return;
    const qsizetype end = text_.indexOf(QLatin1Char('\n'), start);
    replaceRange(start, end < 0 ? int(text_.size()) : int(end) + 1, QString(), style_);
    anchor_ = position_ = start;
}

void MemoryLineView::appendLine(const QString& text) {
    const QString viewLine = toViewLine(text);
    const int end = int(text_.size());
    if (text_.isEmpty() || text_.endsWith(QLatin1Char('\n')))
        replaceRange(end, end, viewLine + QLatin1Char('\n'), style_);
    else
        replaceRange(end, end, QLatin1Char('\n') + viewLine, style_);
    anchor_ = position_ = int(text_.size());
}

void MemoryLineView::clear() {
    text_.clear();
    styles_.clear();
    anchor_ = position_ = 0;
}

Caret MemoryLineView::caretOf(int offset) const {
    const QStringView before = QStringView(text_).left(offset);
    const int line = int(before.count(QLatin1Char('\n')));
    const int column = offset - int(before.lastIndexOf(QLatin1Char('\n')) + 1);
    return {line, column};
}

int MemoryLineView::offsetOf(Caret caret) const {
    const QStringList pieces = text_.split(QLatin1Char('\n'));
    const int line = std::clamp(caret.line, 0, int(pieces.size()) - 1);
    int offset = 0;
    for (int i = 0; i < line; ++i)
        offset += int(pieces[i].size()) + 1;
    return offset + std::clamp(caret.column, 0, int(pieces[line].size()));
}

Caret MemoryLineView::caret() const { return caretOf(std::max(anchor_, position_)); }

void MemoryLineView::insertAtCaret(const QString& text) {
    const int from = std::min(anchor_, position_);
    const int to = std::max(anchor_, position_);
    const QString inserted = splitInsertText(text).join(QLatin1Char('\n'));
    replaceRange(from, to, inserted, style_);
    anchor_ = position_ = from + int(inserted.size());
}

void MemoryLineView::collapseSelection() { anchor_ = position_ = std::min(anchor_, position_); }

void MemoryLineView::setBold(bool on) { style_.bold = on; }

void MemoryLineView::setColour(Rgb colour) { style_.colour = colour; }

void MemoryLineView::select(Caret anchor, Caret caret) {
    anchor_ = offsetOf(anchor);
    position_ = offsetOf(caret);
}

CharStyle MemoryLineView::styleAt(int line, int column) const {
    const int start = lineStart(line);
    if (start < 0 || column < 0 || column >= this->line(line).size()) return {};
    return styles_[size_t(start + column)];
}

} // namespace verse
