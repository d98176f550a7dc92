// The texts of formatting for slides: every language sets each of them, differently from the
// English one where a word is translated, and with the same placeholders.
#include "texts/format_texts.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <functional>

namespace {

using texts::FormatTexts;

#define FIELD(name) {#name, [](const FormatTexts& t) { return t.name; }}

const std::vector<std::pair<const char*, std::function<QString(const FormatTexts&)>>> kFields = {
    FIELD(menuCaption),     FIELD(dialogTitle),     FIELD(maxLineLength),   FIELD(maxSlideLines),
    FIELD(keepLineBreaks),  FIELD(previewOf),       FIELD(formatVerse),     FIELD(formatBook),
    FIELD(formatBible),     FIELD(closeButton),     FIELD(msgConfirmBook),
    FIELD(msgConfirmBible), FIELD(msgVersesChanged), FIELD(msgRestoreHint),
};

QSet<QString> placeholders(const QString& text) {
    QSet<QString> found;
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    for (auto it = marker.globalMatch(text); it.hasNext();) found.insert(it.next().captured());
    return found;
}

TEST(FormatTexts, EveryLanguageSetsEachTextWithTheSamePlaceholders) {
    const FormatTexts& english = texts::formatTexts("UK");
    const FormatTexts* others[] = {&texts::formatTexts("NL"), &texts::formatTexts("DE")};
    for (const auto& [name, get] : kFields) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(get(english).isEmpty());
        for (const FormatTexts* language : others) {
            EXPECT_FALSE(get(*language).isEmpty());
            EXPECT_NE(get(*language), get(english));
            EXPECT_EQ(placeholders(get(*language)), placeholders(get(english)));
        }
    }
    EXPECT_EQ(texts::formatTexts("FR"), english); // any other code: English
}

} // namespace
