// The QTextEdit adapter against the same line-model, command and save tables as the in-memory
// view, plus what only a real text edit can get wrong.
#include "app/rich_edit_view.h"
#include "support/qt_application.h"

#include "verse/line_view_contract.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextEdit>
#include <QTest>

namespace {

using test_support::application;

struct RichEditHolder {
    QApplication& app = application(); // before any widget
    QTextEdit edit;
    app::RichEditView* adapter = new app::RichEditView(edit); // owned by the edit
    verse::LineView& view() { return *adapter; }
    void select(verse::Caret anchor, verse::Caret caret) { adapter->select(anchor, caret); }
    verse::CharStyle styleAt(int line, int column) const { return adapter->styleAt(line, column); }
    QString rawText() const { return edit.toPlainText(); }
};

} // namespace

namespace line_view_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(RichEdit, LineViewContract, RichEditHolder);
}

namespace {

using line_view_contract::kMarkers;
using line_view_contract::M;

TEST(RichEditView, TypingEnterSplitsALineAndShiftEnterToo) {
    RichEditHolder h;
    verse::fillView(h.view(), "one two", kMarkers);
    h.select({0, 4}, {0, 4});
    QTest::keyClick(&h.edit, Qt::Key_Return);
    EXPECT_EQ(h.view().lines(), (QStringList{"one ", "two"}));
    h.select({1, 1}, {1, 1});
    QTest::keyClick(&h.edit, Qt::Key_Return, Qt::ShiftModifier); // no soft break inside a line
    EXPECT_EQ(h.view().lines(), (QStringList{"one ", "t", "wo"}));
    EXPECT_EQ(verse::convertForSave(h.view(), kMarkers), "one \r\nt\r\nwo");
}

TEST(RichEditView, TypingOnTheEndPlaceAfterAMarkerIsVerseStyle) {
    RichEditHolder h;
    verse::fillView(h.view(), "A\r\n", kMarkers);
    ASSERT_EQ(h.view().caret(), (verse::Caret{2, 0}));
    QTest::keyClicks(&h.edit, "xy");
    EXPECT_EQ(h.view().lines(), (QStringList{"A", M, "xy"}));
    EXPECT_EQ(h.styleAt(2, 0), verse::kVerseStyle);
    EXPECT_EQ(h.styleAt(1, 0), verse::kMarkerStyle);
}

TEST(RichEditView, CharactersADocumentTreatsSpeciallySurvive) {
    RichEditHolder h;
    const QString stored = QStringLiteral("a\u00A0b\tc\u2028\u2029e\uFDD0\uFDD1\r\nd");
    verse::fillView(h.view(), stored, kMarkers);
    EXPECT_EQ(h.view().lineCount(), 2);
    EXPECT_EQ(verse::convertForSave(h.view(), kMarkers), stored);
}

TEST(RichEditView, ReportsTheUsersChangesOnly) {
    RichEditHolder h;
    int edits = 0;
    h.adapter->onUserEdit = [&] { ++edits; };
    verse::fillView(h.view(), "one two", kMarkers);
    h.select({0, 4}, {0, 4});
    verse::NieuweDia(h.view(), kMarkers);
    verse::convertForSave(h.view(), kMarkers);
    QTest::keyClick(&h.edit, Qt::Key_Left); // moves the caret, changes no text
    EXPECT_EQ(edits, 0);

    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("\u00EB"));
    QCoreApplication::sendEvent(&h.edit, &composed);
    EXPECT_EQ(edits, 1);
    EXPECT_TRUE(h.view().lines().join(QString()).contains(QChar(0xEB)));
}

TEST(RichEditView, UndoDoesNotBringBackThePreviousVerse) {
    RichEditHolder h;
    verse::fillView(h.view(), "first", kMarkers);
    verse::fillView(h.view(), "second", kMarkers);
    h.edit.undo();
    EXPECT_EQ(h.view().lines(), (QStringList{"second"}));
}

} // namespace
