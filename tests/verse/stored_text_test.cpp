// Blanks, trimming and the split of a stored verse text into lines and a trailing slide change.
#include "verse/blanks.h"
#include "verse/save.h"
#include "verse/stored_text.h"

#include <gtest/gtest.h>

namespace {

TEST(Blanks, EveryCodeUpTo32IsBlankAndNothingAbove) {
    EXPECT_TRUE(verse::isBlank(QChar(0)));
    EXPECT_TRUE(verse::isBlank(QChar(31)));
    EXPECT_TRUE(verse::isBlank(QChar(32)));
    EXPECT_FALSE(verse::isBlank(QChar(33)));
    EXPECT_FALSE(verse::isBlank(QChar(0xA0))); // no-break space is not a blank here
    EXPECT_EQ(verse::trimmed(QStringLiteral("\x01\t a b\r\n\x1f")), "a b");
    EXPECT_EQ(verse::trimmed(QStringLiteral("\u00A0a\u00A0")), QStringLiteral("\u00A0a\u00A0"));
    EXPECT_EQ(verse::trimmed(QStringLiteral(" \t ")), "");
    EXPECT_TRUE(verse::isBlankLine(QString()));
    EXPECT_TRUE(verse::isBlankLine(QStringLiteral("\x7\x0b")));
    EXPECT_FALSE(verse::isBlankLine(QStringLiteral(" .")));
}

TEST(StoredText, SplitsAtCrLfPairsOnly) {
    struct Case {
        QString text;
        QStringList lines;
        bool trailing;
    };
    const Case cases[] = {
        {"", {}, true},
        {"A", {"A"}, false},
        {"A\r\n", {"A"}, true},
        {"\r\n", {""}, true},
        {"A\r\n\r\nB", {"A", "", "B"}, false},
        {"A\r\r\nB\n", {"A\r", "B\n"}, false},
        {"A\n\r", {"A\n\r"}, false},
    };
    for (const auto& c : cases) {
        const verse::StoredVerse v = verse::splitStored(c.text);
        EXPECT_EQ(v.lines, c.lines) << c.text.toStdString();
        EXPECT_EQ(v.trailingSlideChange, c.trailing) << c.text.toStdString();
    }
    EXPECT_EQ(verse::kindOf(""), verse::LineKind::SlideChange);
    EXPECT_EQ(verse::kindOf("\r"), verse::LineKind::EmptyLine);
    EXPECT_EQ(verse::kindOf(" x "), verse::LineKind::VerseText);
}

TEST(StoredText, StandInsRoundTrip) {
    const QString stored = QStringLiteral("a\rb\nc\r");
    const QString shown = verse::toViewLine(stored);
    EXPECT_FALSE(shown.contains('\r'));
    EXPECT_FALSE(shown.contains('\n'));
    EXPECT_EQ(verse::fromViewLine(shown), stored);
    EXPECT_EQ(verse::splitInsertText("x\r\ny\rz"), (QStringList{"x", QStringLiteral("y\u240Dz")}));
    EXPECT_EQ(verse::joinStored({}), "");
    EXPECT_EQ(verse::joinStored({""}), "");
    EXPECT_EQ(verse::joinStored({"", ""}), "\r\n");
}

TEST(StoredText, StoredLinesReduceOnlyEmptyRuns) {
    const verse::Markers m{"<M>", "<E>"};
    EXPECT_EQ(verse::storedLines({"", "", " ", "", ""}, m), (QStringList{"", " ", ""}));
    // A marker text is recognised exactly: another case or a partial match is verse text.
    EXPECT_EQ(verse::storedLines({"<m>", "<E>x", "<M><M>"}, m), (QStringList{"<m>", "<E>x", "<M><M>"}));
}

} // namespace
