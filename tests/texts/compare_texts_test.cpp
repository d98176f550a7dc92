// The texts of comparing the two versions: every language sets each of them, and each carries
// the same placeholders in every language (a missing %2 would show a raw "%2" or lose a number).
#include "texts/ui_texts.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <functional>

namespace {

using texts::UiTexts;

#define FIELD(name) {#name, [](const UiTexts& t) { return t.name; }}

const std::vector<std::pair<const char*, std::function<QString(const UiTexts&)>>> kFields = {
    FIELD(compare1Caption),     FIELD(compareTitle),    FIELD(compareColumnBook),  FIELD(compareColumnChapter),
    FIELD(compareColumnVerses), FIELD(compareSummary),  FIELD(compareNoDifference), FIELD(msgCompareNeedsTwo),
    FIELD(pane2At),             FIELD(pane2Missing),
};

QSet<QString> placeholders(const QString& text) {
    QSet<QString> found;
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    for (auto it = marker.globalMatch(text); it.hasNext();) found.insert(it.next().captured());
    return found;
}

TEST(CompareTexts, EveryLanguageSetsEachTextWithTheSamePlaceholders) {
    const UiTexts* languages[] = {&texts::dutchTexts(), &texts::englishTexts(), &texts::germanTexts()};
    for (const auto& [name, get] : kFields) {
        SCOPED_TRACE(name);
        for (const UiTexts* language : languages) EXPECT_FALSE(get(*language).isEmpty());
        EXPECT_EQ(placeholders(get(texts::dutchTexts())), placeholders(get(texts::englishTexts())));
        EXPECT_EQ(placeholders(get(texts::germanTexts())), placeholders(get(texts::englishTexts())));
    }
    EXPECT_EQ(texts::englishTexts().compare1Caption, QString::fromUtf8("Compare the two versions…"));
}

} // namespace
