// The behaviour every verse::LineView must show, as a typed GoogleTest suite: the line model,
// filling, the four commands and the save conversion. Instantiated for the in-memory view
// (tests/verse) and for the QTextEdit adapter (tests/app), so both pass the same tables.
//
// A holder type H provides: LineView& view(); void select(Caret anchor, Caret caret);
// CharStyle styleAt(int line, int column); QString rawText() (one '\n' per line break).
#pragma once
#include "verse/commands.h"
#include "verse/fill.h"
#include "verse/line_view.h"
#include "verse/save.h"
#include "verse/stored_text.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <ostream>

namespace verse {
inline void PrintTo(const Caret& c, std::ostream* os) { *os << "(" << c.line << "," << c.column << ")"; }
inline void PrintTo(const CharStyle& s, std::ostream* os)
{
    *os << (s.bold ? "bold " : "") << "rgb(" << s.colour.r << "," << s.colour.g << "," << s.colour.b << ")";
}
} // namespace verse
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    QString shown = s;
    shown.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    *os << '"' << shown.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << "[" << l.join(QStringLiteral("|")).toStdString() << "]";
}
QT_END_NAMESPACE

namespace line_view_contract {

using verse::Caret;
using verse::CharStyle;
using verse::CommandResult;
using verse::LineView;

inline const QString M = QStringLiteral("<New slide>");
inline const QString E = QStringLiteral("<Empty line>");
inline const verse::Markers kMarkers{M, E};

using Command = CommandResult (*)(LineView&, const verse::Markers&);

// A null text sets up an empty view (all text deleted) instead of a fill.
inline const QString kEmptyView;

struct CommandCase {
    const char* what;
    QString stored; // the view is filled from this
    Caret caret;
    Command command;
    CommandResult result;
    QStringList lines; // the view afterwards
    QString saved;     // what a save then stores
};

inline const CommandCase kCommandCases[] = {
    // NieuweDia
    {"NieuweDia after the space splits into word+space, M, word", "one two", {0, 4},
     verse::NieuweDia, CommandResult::Changed, {"one ", M, "two"}, "one \r\n\r\ntwo"},
    {"NieuweDia at column 0 leaves an empty line before M and trims", "  Alpha  ", {0, 0},
     verse::NieuweDia, CommandResult::Changed, {"", M, "Alpha"}, "\r\nAlpha"},
    {"NieuweDia on the end place appends M", "A", {1, 0},
     verse::NieuweDia, CommandResult::Changed, {"A", M}, "A\r\n"},
    {"NieuweDia at the end of the last line", "A", {0, 1},
     verse::NieuweDia, CommandResult::Changed, {"A", M, ""}, "A\r\n"},
    {"NieuweDia in the middle line keeps the lines around it", "A\r\nbc\r\nD", {1, 1},
     verse::NieuweDia, CommandResult::Changed, {"A", "b", M, "c", "D"}, "A\r\nb\r\n\r\nc\r\nD"},
    {"NieuweDia in an empty view gives M", kEmptyView, {0, 0},
     verse::NieuweDia, CommandResult::Changed, {M}, ""},
    {"NieuweDia on M is refused", "A\r\n\r\nB", {1, 3},
     verse::NieuweDia, CommandResult::NotVerseText, {"A", M, "B"}, "A\r\n\r\nB"},
    {"NieuweDia on E is refused", "A\r\n \r\nB", {1, 0},
     verse::NieuweDia, CommandResult::NotVerseText, {"A", E, "B"}, "A\r\n \r\nB"},
    // WisDia
    {"WisDia joins A trimmed, one space, B", "A  \r\n\r\nB", {1, 2},
     verse::WisDia, CommandResult::Changed, {"A B"}, "A B"},
    {"WisDia on a trailing M leaves A and one space", "A\r\n", {1, 0},
     verse::WisDia, CommandResult::Changed, {"A "}, "A "},
    {"WisDia on the first line deletes the marker only", "\r\nA", {0, 0},
     verse::WisDia, CommandResult::Changed, {"A"}, "A"},
    {"WisDia before E deletes the marker only", "A\r\n\r\n \r\nB", {1, 0},
     verse::WisDia, CommandResult::Changed, {"A", E, "B"}, "A\r\n \r\nB"},
    {"WisDia after E deletes the marker only", "A\r\n \r\n\r\nB", {2, 0},
     verse::WisDia, CommandResult::Changed, {"A", E, "B"}, "A\r\n \r\nB"},
    {"WisDia on the second of two trailing Ms", "A\r\n\r\n", {2, 0},
     verse::WisDia, CommandResult::Changed, {"A", M}, "A\r\n"},
    {"WisDia on a verse line is refused", "A\r\n\r\nB", {0, 0},
     verse::WisDia, CommandResult::NotSlideChange, {"A", M, "B"}, "A\r\n\r\nB"},
    {"WisDia on the end place is refused", "A", {1, 0},
     verse::WisDia, CommandResult::NotSlideChange, {"A"}, "A"},
    {"WisDia treats a marker with blanks around it as the marker", "A\r\n  <New slide> \r\nB", {1, 0},
     verse::WisDia, CommandResult::Changed, {"A B"}, "A B"},
    // LegeRegelTussenvoegen
    {"LegeRegel after the space gives word+space, E, word", "one two", {0, 4},
     verse::LegeRegelTussenvoegen, CommandResult::Changed, {"one ", E, "two"}, "one \r\n \r\ntwo"},
    {"LegeRegel at column 0 gives E before the trimmed line", " Alpha", {0, 0},
     verse::LegeRegelTussenvoegen, CommandResult::Changed, {E, "Alpha"}, " \r\nAlpha"},
    {"LegeRegel at the end of a line that is not the last leaves no empty line", "A\r\nB", {0, 1},
     verse::LegeRegelTussenvoegen, CommandResult::Changed, {"A", E, "B"}, "A\r\n \r\nB"},
    {"LegeRegel before trailing blanks of a middle line", "A  \r\nB", {0, 1},
     verse::LegeRegelTussenvoegen, CommandResult::Changed, {"A", E, "B"}, "A\r\n \r\nB"},
    {"LegeRegel on the end place is refused", "A", {1, 0},
     verse::LegeRegelTussenvoegen, CommandResult::NoEmptyLineHere, {"A"}, "A"},
    {"LegeRegel at the end of the last line is refused", "A\r\nB", {1, 1},
     verse::LegeRegelTussenvoegen, CommandResult::NoEmptyLineHere, {"A", "B"}, "A\r\nB"},
    {"LegeRegel before only blanks on the last line is refused", "A  ", {0, 1},
     verse::LegeRegelTussenvoegen, CommandResult::NoEmptyLineHere, {"A  "}, "A  "},
    {"LegeRegel in an empty view is refused", kEmptyView, {0, 0},
     verse::LegeRegelTussenvoegen, CommandResult::NoEmptyLineHere, {}, ""},
    {"LegeRegel on M is refused", "A\r\n\r\nB", {1, 0},
     verse::LegeRegelTussenvoegen, CommandResult::NotVerseText, {"A", M, "B"}, "A\r\n\r\nB"},
    // Wissenlegeregel
    {"Wissenlegeregel deletes E without joining", "A\r\n \r\nB", {1, 4},
     verse::Wissenlegeregel, CommandResult::Changed, {"A", "B"}, "A\r\nB"},
    {"Wissenlegeregel on a verse line is refused", "A\r\n \r\nB", {0, 0},
     verse::Wissenlegeregel, CommandResult::NotEmptyLine, {"A", E, "B"}, "A\r\n \r\nB"},
    {"Wissenlegeregel on M is refused", "A\r\n", {1, 0},
     verse::Wissenlegeregel, CommandResult::NotEmptyLine, {"A", M}, "A\r\n"},
};

struct FillCase {
    const char* what;
    QString stored;
    QStringList lines;
};

inline const FillCase kFillCases[] = {
    {"empty", "", {M}},
    {"one line", "A", {"A"}},
    {"trailing CR LF", "A\r\n", {"A", M}},
    {"slide change", "A\r\n\r\nB", {"A", M, "B"}},
    {"empty line", "A\r\n \r\nB", {"A", E, "B"}},
    {"line of tab and spaces", "A\r\n\t  \r\nB", {"A", E, "B"}},
    {"leading CR LF", "\r\nA", {M, "A"}},
    {"two trailing CR LF", "A\r\n\r\n", {"A", M, M}},
    {"only CR LF", "\r\n", {M, M}},
    {"blanks around a line kept", "  A  ", {"  A  "}},
    {"a stored marker text is verse text", "<New slide>\r\n <Empty line>", {M, " <Empty line>"}},
    {"bare CR and LF shown as stand-ins", "A\rB\r\nC\nD", {QStringLiteral("A\u240DB"), QStringLiteral("C\u240AD")}},
    {"a line of only a bare CR is blank", "A\r\n\r\r\nB", {"A", E, "B"}},
};

struct SaveCase {
    const char* what;
    QStringList lines; // appended to an empty view one by one
    QString saved;
};

inline const SaveCase kSaveCases[] = {
    {"A, M", {"A", M}, "A\r\n"},
    {"A, M, B", {"A", M, "B"}, "A\r\n\r\nB"},
    {"A, M, M, B", {"A", M, M, "B"}, "A\r\n\r\nB"},
    {"A, M, M, M, B", {"A", M, M, M, "B"}, "A\r\n\r\nB"},
    {"A, E, B", {"A", E, "B"}, "A\r\n \r\nB"},
    {"A, three spaces, B", {"A", "   ", "B"}, "A\r\n   \r\nB"},
    {"A, M, E, M, B", {"A", M, E, M, "B"}, "A\r\n\r\n \r\n\r\nB"},
    {"M", {M}, ""},
    {"empty line, M, A", {"", M, "A"}, "\r\nA"},
    {"no lines", {}, ""},
    {"markers with blanks around them count", {"A", "  <Empty line>\t", " <New slide>", "B"},
     "A\r\n \r\n\r\nB"},
    {"a marker inside a line is verse text", {"x <New slide>"}, "x <New slide>"},
    {"stand-ins back to bare CR and LF", {QStringLiteral("A\u240DB"), QStringLiteral("\u240A")}, "A\rB\r\n\n"},
};

template <class H>
class LineViewContract : public ::testing::Test {
protected:
    H holder;
    LineView& view() { return holder.view(); }

    void expectStyle(int line, CharStyle style)
    {
        const QString text = view().line(line);
        for (int c = 0; c < text.size(); ++c)
            EXPECT_EQ(holder.styleAt(line, c), style) << "line " << line << " column " << c;
    }
};

TYPED_TEST_SUITE_P(LineViewContract);

TYPED_TEST_P(LineViewContract, LineModelOperations)
{
    LineView& v = this->view();
    EXPECT_EQ(v.lineCount(), 0);
    EXPECT_EQ(v.line(0), "");

    v.appendLine("A"); // empty text: line then break
    v.appendLine("B");
    EXPECT_EQ(this->holder.rawText(), "A\nB\n");
    EXPECT_EQ(v.lineCount(), 2); // the place after the final break is not counted
    EXPECT_EQ(v.caret(), (Caret{2, 0})); // the end place
    EXPECT_EQ(v.line(2), "");

    v.replaceLine(0, "xyz");
    EXPECT_EQ(v.caret(), (Caret{0, 3}));
    v.insertAtCaret("1\r\n2");
    EXPECT_EQ(v.lines(), (QStringList{"xyz1", "2", "B"}));
    EXPECT_EQ(v.caret(), (Caret{1, 1}));

    v.deleteLine(1);
    EXPECT_EQ(v.lines(), (QStringList{"xyz1", "B"}));
    EXPECT_EQ(v.caret(), (Caret{1, 0}));
    v.deleteLine(5); // beyond the lines: nothing
    v.replaceLine(2, "no");
    EXPECT_EQ(this->holder.rawText(), "xyz1\nB\n");

    // Selection: the caret is its end; collapsing goes to its start; inserting replaces it.
    this->holder.select(Caret{1, 1}, Caret{0, 1});
    EXPECT_EQ(v.caret(), (Caret{1, 1}));
    v.collapseSelection();
    EXPECT_EQ(v.caret(), (Caret{0, 1}));
    this->holder.select(Caret{0, 1}, Caret{1, 1});
    v.insertAtCaret("-");
    EXPECT_EQ(v.lines(), (QStringList{"x-"}));

    // Text not ending with a break: append puts the break before the line and none after.
    v.clear();
    v.insertAtCaret("A");
    v.appendLine("B");
    EXPECT_EQ(this->holder.rawText(), "A\nB");
    EXPECT_EQ(v.lineCount(), 2);
    v.deleteLine(1); // the last line without a break: the break before it stays
    EXPECT_EQ(this->holder.rawText(), "A\n");
    EXPECT_EQ(v.lineCount(), 1);

    v.clear();
    EXPECT_EQ(v.lineCount(), 0);
    EXPECT_EQ(this->holder.rawText(), "");
}

TYPED_TEST_P(LineViewContract, InsertionStyleAppliesToNewTextOnly)
{
    LineView& v = this->view();
    v.setBold(true);
    v.setColour(verse::kPurple);
    v.appendLine("P");
    v.setBold(false);
    v.appendLine("Q");
    v.setColour(verse::kBlack);
    v.insertAtCaret("R");
    EXPECT_EQ(this->holder.styleAt(0, 0), (CharStyle{true, verse::kPurple}));
    EXPECT_EQ(this->holder.styleAt(1, 0), (CharStyle{false, verse::kPurple}));
    EXPECT_EQ(this->holder.styleAt(2, 0), (CharStyle{false, verse::kBlack}));
}

TYPED_TEST_P(LineViewContract, FillShowsStoredLines)
{
    for (const auto& c : kFillCases) {
        SCOPED_TRACE(c.what);
        verse::fillView(this->view(), c.stored, kMarkers);
        EXPECT_EQ(this->view().lines(), c.lines);
        EXPECT_TRUE(this->holder.rawText().endsWith('\n')); // end place below the last line
        const verse::StoredVerse stored = verse::splitStored(c.stored);
        for (int i = 0; i < this->view().lineCount(); ++i) {
            const bool marker = i >= stored.lines.size() || verse::kindOf(stored.lines[i]) != verse::LineKind::VerseText;
            this->expectStyle(i, marker ? verse::kMarkerStyle : verse::kVerseStyle);
        }
    }
}

// Replacing a verse by editing gives what a fill gives: the same lines, look and end place.
TYPED_TEST_P(LineViewContract, ReplaceVerseLooksLikeAFill)
{
    for (const auto& c : kFillCases) {
        SCOPED_TRACE(c.what);
        verse::fillView(this->view(), c.stored, kMarkers);
        const QString filled = this->holder.rawText();
        verse::fillView(this->view(), "Another\r\n \r\nverse\r\n", kMarkers);
        verse::replaceVerse(this->view(), c.stored, kMarkers);
        EXPECT_EQ(this->view().lines(), c.lines);
        EXPECT_EQ(this->holder.rawText(), filled);
        const verse::StoredVerse stored = verse::splitStored(c.stored);
        for (int i = 0; i < this->view().lineCount(); ++i) {
            const bool marker = i >= stored.lines.size() || verse::kindOf(stored.lines[i]) != verse::LineKind::VerseText;
            this->expectStyle(i, marker ? verse::kMarkerStyle : verse::kVerseStyle);
        }
        this->view().insertAtCaret("typed");
        EXPECT_EQ(this->holder.styleAt(this->view().caret().line, 0), verse::kVerseStyle);
    }
}

TYPED_TEST_P(LineViewContract, FillReplacesEverythingAndLeavesVerseStyle)
{
    LineView& v = this->view();
    verse::fillView(v, "A\r\n\r\n", kMarkers);
    verse::fillView(v, "B", kMarkers);
    EXPECT_EQ(v.lines(), (QStringList{"B"}));
    EXPECT_EQ(this->holder.rawText(), "B\n");
    v.insertAtCaret("typed");
    EXPECT_EQ(this->holder.styleAt(1, 0), verse::kVerseStyle);
}

TYPED_TEST_P(LineViewContract, Commands)
{
    for (const auto& c : kCommandCases) {
        SCOPED_TRACE(c.what);
        LineView& v = this->view();
        if (c.stored.isNull())
            v.clear();
        else
            verse::fillView(v, c.stored, kMarkers);
        this->holder.select(c.caret, c.caret);
        ASSERT_EQ(v.caret(), c.caret);
        EXPECT_EQ(c.command(v, kMarkers), c.result);
        EXPECT_EQ(v.lines(), c.lines);
        EXPECT_EQ(verse::convertForSave(v, kMarkers), c.saved);
    }
}

TYPED_TEST_P(LineViewContract, InsertedMarkersArePurpleBoldAndTheRestBlack)
{
    LineView& v = this->view();
    verse::fillView(v, "one two\r\nthree four", kMarkers);
    this->holder.select(Caret{1, 6}, Caret{1, 6});
    ASSERT_EQ(verse::NieuweDia(v, kMarkers), CommandResult::Changed);
    this->holder.select(Caret{0, 4}, Caret{0, 4});
    ASSERT_EQ(verse::LegeRegelTussenvoegen(v, kMarkers), CommandResult::Changed);
    ASSERT_EQ(v.lines(), (QStringList{"one ", E, "two", "three ", M, "four"}));
    for (int line : {0, 2, 3, 5})
        this->expectStyle(line, verse::kVerseStyle);
    this->expectStyle(1, verse::kMarkerStyle);
    this->expectStyle(4, verse::kMarkerStyle);
    // The insertion style is left black, not bold.
    v.appendLine("x");
    this->expectStyle(6, verse::kVerseStyle);
}

TYPED_TEST_P(LineViewContract, NieuweDiaWithASelectionReachingTheEndPlace)
{
    LineView& v = this->view();
    verse::fillView(v, "Alpha\r\nBeta", kMarkers);
    this->holder.select(Caret{0, 2}, Caret{2, 0});
    EXPECT_EQ(verse::NieuweDia(v, kMarkers), CommandResult::Changed);
    EXPECT_EQ(v.lines(), (QStringList{"Alpha", "Beta", M}));
    this->expectStyle(2, verse::kMarkerStyle);
}

TYPED_TEST_P(LineViewContract, SaveConversion)
{
    for (const auto& c : kSaveCases) {
        SCOPED_TRACE(c.what);
        LineView& v = this->view();
        v.clear();
        for (const QString& line : c.lines)
            v.appendLine(line);
        EXPECT_EQ(verse::convertForSave(v, kMarkers), c.saved);
        // The view now holds the stored lines; saving it again stores the same text.
        const QStringList converted = v.lines();
        EXPECT_EQ(verse::convertForSave(v, kMarkers), c.saved);
        EXPECT_EQ(v.lines(), converted);
    }
}

TYPED_TEST_P(LineViewContract, SaveKeepsTrailingSlideChangeWithoutFinalBreak)
{
    LineView& v = this->view();
    v.insertAtCaret("A\r\n" + M); // the user removed the break after the marker
    ASSERT_EQ(this->holder.rawText(), "A\n" + M);
    EXPECT_EQ(verse::convertForSave(v, kMarkers), "A\r\n");
    EXPECT_EQ(v.lines(), (QStringList{"A", ""}));
    EXPECT_EQ(verse::convertForSave(v, kMarkers), "A\r\n");
}

TYPED_TEST_P(LineViewContract, BareCrAndLfSurviveEditingAnotherLine)
{
    LineView& v = this->view();
    verse::fillView(v, "A\rB\r\nC\nD\r\nold\r\n", kMarkers);
    v.replaceLine(2, "new");
    EXPECT_EQ(verse::convertForSave(v, kMarkers), "A\rB\r\nC\nD\r\nnew\r\n");
}

TYPED_TEST_P(LineViewContract, FillThenSaveKeepsNormalisedTexts)
{
    // Stored texts a save writes itself come back unchanged after fill and save.
    for (const QString stored : {"", "A", "A\r\n", "A\r\n\r\nB", "A\r\n \r\nB", "\r\nA", " A \r\n"}) {
        SCOPED_TRACE(stored.toStdString());
        verse::fillView(this->view(), stored, kMarkers);
        EXPECT_EQ(verse::convertForSave(this->view(), kMarkers), stored);
    }
    // Other forms come out normalised.
    verse::fillView(this->view(), "A\r\n\t \r\n\r\n\r\nB\r\n\r\n", kMarkers);
    EXPECT_EQ(verse::convertForSave(this->view(), kMarkers), "A\r\n \r\n\r\nB\r\n");
}

REGISTER_TYPED_TEST_SUITE_P(LineViewContract, LineModelOperations, InsertionStyleAppliesToNewTextOnly,
                            FillShowsStoredLines, ReplaceVerseLooksLikeAFill,
                            FillReplacesEverythingAndLeavesVerseStyle, Commands,
                            InsertedMarkersArePurpleBoldAndTheRestBlack,
                            NieuweDiaWithASelectionReachingTheEndPlace, SaveConversion,
                            SaveKeepsTrailingSlideChangeWithoutFinalBreak,
                            BareCrAndLfSurviveEditingAnotherLine, FillThenSaveKeepsNormalisedTexts);

} // namespace line_view_contract
