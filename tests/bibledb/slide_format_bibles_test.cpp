// Formatting for slides over every verse of the demo bibles (KJV and WEB), as they are and with
// line breaks, slide changes and empty lines put in: the words stay, the verse's structure stays,
// the limits hold, and a second run changes nothing.
#include "bibledb/verse_rows.h"
#include "jet/database.h"
#include "support/test_env.h"
#include "verse/blanks.h"
#include "verse/long_lines.h"
#include "verse/slide_format.h"
#include "verse/stored_text.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString nonBlanks(const QString& text) {
    QString out;
    for (QChar c : text)
        if (!verse::isBlank(c)) out += c;
    return out;
}

// The verse as words and marks: "w" for a word, "|" for a line break between verse-text lines,
// "S" for a slide change, "E<text>" for an empty line, and "T" for a trailing slide change.
QStringList shape(const QString& text) {
    QStringList items;
    const verse::StoredVerse v = verse::splitStored(text);
    bool textBefore = false;
    for (const QString& line : v.lines) {
        switch (verse::kindOf(line)) {
        case verse::LineKind::SlideChange: items << "S"; textBefore = false; break;
        case verse::LineKind::EmptyLine: items << "E" + line; textBefore = false; break;
        case verse::LineKind::VerseText:
            if (textBefore) items << "|";
            for (qsizetype i = 0; i < line.size(); ++i)
                if (!verse::isBlank(line[i]) && (i == 0 || verse::isBlank(line[i - 1]))) items << "w";
            textBefore = true;
            break;
        }
    }
    if (v.trailingSlideChange && !v.lines.isEmpty()) items << "T";
    return items;
}

// `after` is `before` with only new line breaks ("|") and new slide changes ("S") added; with
// `keepLineBreaks` every "|" of `before` stays too ("|" may turn into "S").
::testing::AssertionResult sameStructure(const QStringList& before, const QStringList& after, bool keepLineBreaks) {
    qsizetype j = 0;
    for (const QString& item : before) {
        while (j < after.size() && after[j] != item && (after[j] == "|" || after[j] == "S")) {
            if (item == "|" && keepLineBreaks && after[j] == "S") break;
            ++j;
        }
        if (item == "|" && !keepLineBreaks) continue; // a line break of the verse may go
        if (j == after.size()) return ::testing::AssertionFailure() << "lost " << item.toStdString();
        if (after[j] != item && !(item == "|" && after[j] == "S"))
            return ::testing::AssertionFailure() << "found " << after[j].toStdString() << " for " << item.toStdString();
        ++j;
    }
    for (; j < after.size(); ++j)
        if (after[j] != "|" && after[j] != "S") return ::testing::AssertionFailure() << "added " << after[j].toStdString();
    return ::testing::AssertionSuccess();
}

// The verse with structure of its own: a line break after every 7th word, a slide change after
// every 23rd, an empty line after every 31st, a trailing slide change on odd verses.
QString withStructure(const bibledb::VerseRow& row) {
    const QStringList words = verse::trimmed(row.text).split(' ', Qt::SkipEmptyParts);
    QString text;
    for (qsizetype i = 0; i < words.size(); ++i) {
        text += words[i];
        if (i + 1 == words.size()) break;
        const qsizetype n = i + 1;
        text += n % 31 == 0 ? "\r\n \r\n" : n % 23 == 0 ? "\r\n\r\n" : n % 7 == 0 ? "\r\n" : " ";
    }
    if (row.place.verse % 2 == 1) text += "\r\n";
    return text;
}

class DemoBibles : public ::testing::TestWithParam<const char*> {};

TEST_P(DemoBibles, WordsStructureLimitsAndStability) {
    const auto db = jet::Database::open((test_support::demoBiblesDir() / GetParam()).string());
    const std::vector<bibledb::VerseRow> rows = bibledb::readVerseRows(*db);
    ASSERT_GT(rows.size(), 30000u);
    const verse::SlideFormat formats[] = {{32, 3, true}, {40, 4, true}, {50, 0, true},
                                          {32, 0, false}, {40, 4, false}, {50, 3, false}};
    for (const verse::SlideFormat& format : formats) {
        SCOPED_TRACE("N " + std::to_string(format.maxLineLength) + ", M " + std::to_string(format.maxSlideLines) +
                     (format.keepLineBreaks ? ", keep" : ", reflow"));
        int failures = 0;
        for (const bibledb::VerseRow& row : rows) {
            for (const QString& in : {row.text, withStructure(row)}) {
                const QString out = verse::formatForSlides(in, format);
                const bool ok = nonBlanks(out) == nonBlanks(in) &&
                                sameStructure(shape(in), shape(out), format.keepLineBreaks) &&
                                verse::keepsSlideLimits(out, format) && verse::formatForSlides(out, format) == out &&
                                (!format.keepLineBreaks || !verse::keepsSlideLimits(in, format) || out == in);
                if (!ok && ++failures <= 3) {
                    ADD_FAILURE() << row.place.book << " " << row.place.chapter << ":" << row.place.verse << "\n"
                                  << in.toStdString() << "\n->\n" << out.toStdString() << "\n"
                                  << sameStructure(shape(in), shape(out), format.keepLineBreaks).message();
                }
            }
        }
        EXPECT_EQ(failures, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(KjvAndWeb, DemoBibles, ::testing::Values("KJV.mdb", "WEB.mdb"));

} // namespace
