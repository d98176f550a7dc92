#include "texts/compare_texts.h"

namespace texts {

namespace {

const std::vector<TextEntry<UiTexts>>& entries() {
    static const std::vector<TextEntry<UiTexts>> table{
        {&UiTexts::compare1Caption,
         {{QString::fromUtf8("De twee versies vergelijken…"),
           QString::fromUtf8("Compare the two versions…"),
           QString::fromUtf8("Die beiden Übersetzungen vergleichen…")}}},
        {&UiTexts::compareTitle,
         {{QStringLiteral("De twee versies vergelijken"),
           QStringLiteral("Compare the two versions"),
           QString::fromUtf8("Die beiden Übersetzungen vergleichen")}}},
        {&UiTexts::compareColumnBook,
         {{QStringLiteral("Boek"),
           QStringLiteral("Book"),
           QStringLiteral("Buch")}}},
        {&UiTexts::compareColumnChapter,
         {{QStringLiteral("Hoofdstuk"),
           QStringLiteral("Chapter"),
           QStringLiteral("Kapitel")}}},
        {&UiTexts::compareColumnVerses,
         {{QStringLiteral("Verzen in %1"),
           QStringLiteral("Verses in %1"),
           QStringLiteral("Verse in %1")}}},
        {&UiTexts::compareSummary,
         {{QStringLiteral("%1 hoofdstukken vergeleken, in %2 verschilt het aantal verzen."),
           QStringLiteral("%1 chapters compared, %2 differ in their number of verses."),
           QString::fromUtf8("%1 Kapitel verglichen, %2 davon mit anderer Verszahl.")}}},
        {&UiTexts::compareNoDifference,
         {{QStringLiteral("Beide versies hebben dezelfde hoofdstukken met evenveel verzen."),
           QStringLiteral("Both versions have the same chapters with as many verses."),
           QString::fromUtf8("Beide Übersetzungen haben dieselben Kapitel mit gleich vielen Versen.")}}},
        {&UiTexts::msgCompareNeedsTwo,
         {{QStringLiteral("Kies eerst bijbelversie 2: de vergelijking heeft twee bijbels nodig."),
           QStringLiteral("Choose bible version 2 first: the comparison needs two bibles."),
           QString::fromUtf8("Wählen Sie zuerst Übersetzung 2: der Vergleich braucht zwei Bibeln.")}}},
        {&UiTexts::pane2At,
         {{QStringLiteral("Versie 2 staat op %1"),
           QStringLiteral("Version 2 is at %1"),
           QString::fromUtf8("Übersetzung 2 steht auf %1")}}},
        {&UiTexts::pane2Missing,
         {{QStringLiteral("%1 staat niet in versie 2"),
           QStringLiteral("%1 is not in version 2"),
           QString::fromUtf8("%1 fehlt in Übersetzung 2")}}},
    };
    return table;
}

} // namespace

void addCompareTexts(UiTexts& t, Language language) { fillTexts(t, entries(), language); }

} // namespace texts
