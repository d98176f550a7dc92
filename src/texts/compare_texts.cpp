#include "texts/compare_texts.h"

namespace texts {

namespace {

void dutch(UiTexts& t) {
    t.compare1Caption = QString::fromUtf8("De twee versies vergelijken…");
    t.compareTitle = QStringLiteral("De twee versies vergelijken");
    t.compareColumnBook = QStringLiteral("Boek");
    t.compareColumnChapter = QStringLiteral("Hoofdstuk");
    t.compareColumnVerses = QStringLiteral("Verzen in %1");
    t.compareSummary = QStringLiteral("%1 hoofdstukken vergeleken, in %2 verschilt het aantal verzen.");
    t.compareNoDifference = QStringLiteral("Beide versies hebben dezelfde hoofdstukken met evenveel verzen.");
    t.msgCompareNeedsTwo = QStringLiteral("Kies eerst bijbelversie 2: de vergelijking heeft twee bijbels nodig.");
    t.pane2At = QStringLiteral("Versie 2 staat op %1");
    t.pane2Missing = QStringLiteral("%1 staat niet in versie 2");
}

void english(UiTexts& t) {
    t.compare1Caption = QString::fromUtf8("Compare the two versions…");
    t.compareTitle = QStringLiteral("Compare the two versions");
    t.compareColumnBook = QStringLiteral("Book");
    t.compareColumnChapter = QStringLiteral("Chapter");
    t.compareColumnVerses = QStringLiteral("Verses in %1");
    t.compareSummary = QStringLiteral("%1 chapters compared, %2 differ in their number of verses.");
    t.compareNoDifference = QStringLiteral("Both versions have the same chapters with as many verses.");
    t.msgCompareNeedsTwo = QStringLiteral("Choose bible version 2 first: the comparison needs two bibles.");
    t.pane2At = QStringLiteral("Version 2 is at %1");
    t.pane2Missing = QStringLiteral("%1 is not in version 2");
}

void german(UiTexts& t) {
    t.compare1Caption = QString::fromUtf8("Die beiden Übersetzungen vergleichen…");
    t.compareTitle = QString::fromUtf8("Die beiden Übersetzungen vergleichen");
    t.compareColumnBook = QStringLiteral("Buch");
    t.compareColumnChapter = QStringLiteral("Kapitel");
    t.compareColumnVerses = QStringLiteral("Verse in %1");
    t.compareSummary = QString::fromUtf8("%1 Kapitel verglichen, %2 davon mit anderer Verszahl.");
    t.compareNoDifference = QString::fromUtf8("Beide Übersetzungen haben dieselben Kapitel mit gleich vielen Versen.");
    t.msgCompareNeedsTwo = QString::fromUtf8("Wählen Sie zuerst Übersetzung 2: der Vergleich braucht zwei Bibeln.");
    t.pane2At = QString::fromUtf8("Übersetzung 2 steht auf %1");
    t.pane2Missing = QString::fromUtf8("%1 fehlt in Übersetzung 2");
}

} // namespace

void addCompareTexts(UiTexts& t, Language language) {
    static const PerLanguage<void (*)(UiTexts&)> add{{dutch, english, german}};
    add[language](t);
}

} // namespace texts
