// The Tools menu texts: every language sets each of them, and a message carries the same
// placeholders in every language (a missing %2 would show a raw "%2" or lose a number).
#include "texts/ui_texts.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <functional>

namespace {

using texts::UiTexts;

#define FIELD(name) {#name, [](const UiTexts& t) { return t.name; }}

const std::vector<std::pair<const char*, std::function<QString(const UiTexts&)>>> kFields = {
    FIELD(extra1Caption),     FIELD(goto1Caption),      FIELD(find1Caption),       FIELD(maxLineLength1Caption),
    FIELD(nextLongLine1Caption), FIELD(gotoTitle),      FIELD(gotoPrompt),         FIELD(findTitle),
    FIELD(findPrompt),        FIELD(findNoHits),        FIELD(findHitCount),       FIELD(findHitsShown),
    FIELD(maxLineLengthTitle), FIELD(maxLineLengthPrompt), FIELD(msgNoLongLineLeft), FIELD(msgNotAReference),
    FIELD(msgNoSuchBook),     FIELD(msgAmbiguousBook),  FIELD(msgNoSuchChapter),   FIELD(msgNoSuchVerse),
};

QSet<QString> placeholders(const QString& text) {
    QSet<QString> found;
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    for (auto it = marker.globalMatch(text); it.hasNext();) found.insert(it.next().captured());
    return found;
}

TEST(ToolsTexts, EveryLanguageSetsEachTextWithTheSamePlaceholders) {
    const UiTexts* languages[] = {&texts::dutchTexts(), &texts::englishTexts(), &texts::germanTexts()};
    for (const auto& [name, get] : kFields) {
        SCOPED_TRACE(name);
        for (const UiTexts* language : languages) EXPECT_FALSE(get(*language).isEmpty());
        EXPECT_EQ(placeholders(get(texts::dutchTexts())), placeholders(get(texts::englishTexts())));
        EXPECT_EQ(placeholders(get(texts::germanTexts())), placeholders(get(texts::englishTexts())));
    }
    EXPECT_EQ(texts::dutchTexts().extra1Caption, "Extra");
    EXPECT_EQ(texts::englishTexts().extra1Caption, "Tools");
    EXPECT_EQ(texts::germanTexts().extra1Caption, "Extras");
}

} // namespace
