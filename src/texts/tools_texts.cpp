#include "texts/tools_texts.h"

namespace texts {

namespace {

void dutch(UiTexts& t) {
    t.goto1Caption = QStringLiteral("Ga naar...");
    t.find1Caption = QStringLiteral("Zoeken...");
    t.maxLineLength1Caption = QStringLiteral("Maximale regellengte...");
    t.nextLongLine1Caption = QStringLiteral("Volgende te lange regel");
    t.gotoTitle = QStringLiteral("Ga naar");
    t.gotoPrompt = QStringLiteral("Bijbeltekst, bijv. Johannes 3:16:");
    t.findTitle = QStringLiteral("Zoeken");
    t.findPrompt = QStringLiteral("Zoeken in de hele bijbel:");
    t.findNoHits = QStringLiteral("Geen vers bevat deze tekst.");
    t.findHitCount = QStringLiteral("%1 verzen gevonden.");
    t.findHitsShown = QStringLiteral("%1 verzen gevonden, de eerste %2 staan hieronder.");
    t.maxLineLengthTitle = QStringLiteral("Maximale regellengte");
    t.maxLineLengthPrompt = QStringLiteral("Maximaal aantal tekens per regel (0 = uit):");
    t.msgNoLongLineLeft = QStringLiteral("Na dit vers heeft geen vers nog een regel van meer dan %1 tekens.");
    t.msgNotAReference = QStringLiteral("\"%1\" is geen bijbeltekst. Typ bijvoorbeeld: Johannes 3:16");
    t.msgNoSuchBook = QStringLiteral("Deze bijbel heeft geen boek \"%1\".");
    t.msgAmbiguousBook = QStringLiteral("\"%1\" past bij meer dan één boek: %2.");
    t.msgNoSuchChapter = QStringLiteral("%1 heeft geen hoofdstuk %2 (het laatste is %3).");
    t.msgNoSuchVerse = QStringLiteral("%1 %2 heeft geen vers %3 (het laatste is %4).");
}

void english(UiTexts& t) {
    t.goto1Caption = QStringLiteral("Go to...");
    t.find1Caption = QStringLiteral("Find...");
    t.maxLineLength1Caption = QStringLiteral("Maximum line length...");
    t.nextLongLine1Caption = QStringLiteral("Next line too long");
    t.gotoTitle = QStringLiteral("Go to");
    t.gotoPrompt = QStringLiteral("Reference, e.g. John 3:16:");
    t.findTitle = QStringLiteral("Find");
    t.findPrompt = QStringLiteral("Find in the whole bible:");
    t.findNoHits = QStringLiteral("No verse holds this text.");
    t.findHitCount = QStringLiteral("%1 verses found.");
    t.findHitsShown = QStringLiteral("%1 verses found, the first %2 are listed.");
    t.maxLineLengthTitle = QStringLiteral("Maximum line length");
    t.maxLineLengthPrompt = QStringLiteral("Maximum characters per line (0 = off):");
    t.msgNoLongLineLeft = QStringLiteral("No verse after this one has a line longer than %1 characters.");
    t.msgNotAReference = QStringLiteral("\"%1\" is not a bible reference. Type for example: John 3:16");
    t.msgNoSuchBook = QStringLiteral("This bible has no book \"%1\".");
    t.msgAmbiguousBook = QStringLiteral("\"%1\" fits more than one book: %2.");
    t.msgNoSuchChapter = QStringLiteral("%1 has no chapter %2 (the last is %3).");
    t.msgNoSuchVerse = QStringLiteral("%1 %2 has no verse %3 (the last is %4).");
}

void german(UiTexts& t) {
    t.goto1Caption = QStringLiteral("Gehe zu...");
    t.find1Caption = QStringLiteral("Suchen...");
    t.maxLineLength1Caption = QStringLiteral("Maximale Zeilenlänge...");
    t.nextLongLine1Caption = QStringLiteral("Nächste zu lange Zeile");
    t.gotoTitle = QStringLiteral("Gehe zu");
    t.gotoPrompt = QStringLiteral("Bibelstelle, z. B. Johannes 3:16:");
    t.findTitle = QStringLiteral("Suchen");
    t.findPrompt = QStringLiteral("In der ganzen Bibel suchen:");
    t.findNoHits = QStringLiteral("Kein Vers enthält diesen Text.");
    t.findHitCount = QStringLiteral("%1 Verse gefunden.");
    t.findHitsShown = QStringLiteral("%1 Verse gefunden, die ersten %2 stehen unten.");
    t.maxLineLengthTitle = QStringLiteral("Maximale Zeilenlänge");
    t.maxLineLengthPrompt = QStringLiteral("Höchstens so viele Zeichen pro Zeile (0 = aus):");
    t.msgNoLongLineLeft = QStringLiteral("Nach diesem Vers hat kein Vers mehr eine Zeile mit mehr als %1 Zeichen.");
    t.msgNotAReference = QStringLiteral("„%1“ ist keine Bibelstelle. Geben Sie zum Beispiel ein: Johannes 3:16");
    t.msgNoSuchBook = QStringLiteral("Diese Bibel hat kein Buch „%1“.");
    t.msgAmbiguousBook = QStringLiteral("„%1“ passt zu mehr als einem Buch: %2.");
    t.msgNoSuchChapter = QStringLiteral("%1 hat kein Kapitel %2 (das letzte ist %3).");
    t.msgNoSuchVerse = QStringLiteral("%1 %2 hat keinen Vers %3 (der letzte ist %4).");
}

} // namespace

void addToolsTexts(UiTexts& t, Language language) {
    static const PerLanguage<void (*)(UiTexts&)> add{{dutch, english, german}};
    add[language](t);
}

} // namespace texts
