// The line model of an editor view: the only operations through which filling, the editing
// commands, saving and the whole-bible options touch a view. Implemented over a QTextEdit in the
// app and in memory for tests.
#pragma once
#include <QString>
#include <QStringList>

namespace verse {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kPurple{128, 0, 128};

struct CharStyle {
    bool bold = false;
    Rgb colour = kBlack;
    friend bool operator==(const CharStyle&, const CharStyle&) = default;
};

// Line index and column (characters from the line's start). When the text ends with a line
// break, the place after it (the end place) has line index == lineCount().
struct Caret {
    int line = 0;
    int column = 0;
    friend bool operator==(const Caret&, const Caret&) = default;
};

class LineView {
public:
    virtual ~LineView() = default;

    // Number of lines; the empty place after a final line break is not counted, so an empty
    // text has no lines.
    virtual int lineCount() const = 0;
    // The line's characters without its break; empty at or beyond lineCount().
    virtual QString line(int index) const = 0;
    // Replaces the line's characters (not its break) in the insertion style; the caret then
    // stands at the end of the new characters. An index at or beyond lineCount() changes nothing.
    virtual void replaceLine(int index, const QString& text) = 0;
    // Removes the line together with its break; the caret then stands at the start of the line
    // that followed. An index at or beyond lineCount() changes nothing.
    virtual void deleteLine(int index) = 0;
    // Adds a last line in the insertion style: when the text is empty or ends with a break the
    // line is followed by a break, otherwise a break is put before it and none after it. The
    // caret then stands at the end of the text.
    virtual void appendLine(const QString& text) = 0;
    virtual void clear() = 0;
    // The end of the selection.
    virtual Caret caret() const = 0;
    // Replaces the selection by `text` in the insertion style; each CR LF starts a new line; the
    // caret then stands after the inserted text.
    virtual void insertAtCaret(const QString& text) = 0;
    // Makes the selection empty, at its start.
    virtual void collapseSelection() = 0;
    // The insertion style: applies to what is appended, inserted or replaced next; text already
    // in the view keeps its look.
    virtual void setBold(bool on) = 0;
    virtual void setColour(Rgb colour) = 0;

    // Line texts and single-line operations map a bare CR or LF to its stand-in (stored_text.h):
    // a view line never holds a line break.

    QStringList lines() const;
    void setStyle(CharStyle style);
};

} // namespace verse
