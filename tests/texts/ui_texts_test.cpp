// The interface texts of the three languages, slot by slot, against the wording the program
// must show (non-ASCII letters, doubled blanks, lone CRs and the leading quote included).
#include "texts/ui_texts.h"
#include "texts/run_progress.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using texts::UiTexts;

struct Slot {
    const char* name;
    std::function<QString(const UiTexts&)> get;
    QString nl, uk, de;
};

QString cr(std::initializer_list<const char*> lines) {
    QStringList parts;
    for (const char* l : lines) parts << QString::fromUtf8(l);
    return parts.join(QLatin1Char('\r'));
}

#define SLOT(field) #field, [](const UiTexts& t) { return t.field; }

const std::vector<Slot>& slotTable() {
    static const std::vector<Slot> table = {
        {SLOT(label3Caption), "Hoofdstuk:", "Chapter:", "Kapitel:"},
        {SLOT(label5Caption), "Vers:", "Verse:", "Vers:"},
        {SLOT(label1Caption), "Bijbelversie 1:", "Bibleversion 1:", u8"Übersetzung 1:"},
        {SLOT(label8Caption), "Bijbelversie 2:", "Bibleversion 2:", u8"Übersetzung 2:"},
        {SLOT(label2Caption), "Bijbelboek:", "Biblebook:", "Buch:"},
        {SLOT(windowTitle), "Kantelo voor Lumora.", "Kantelo for Lumora", u8"Kantelo für Lumora"},
        {SLOT(newSlideMarker), "<Nieuwe dia>", "<New slide>", "<Neue Folie>"},
        {SLOT(emptyLineMarker), "<Lege regel>", "<Empty line>", "<Leere Zeile>"},
        {SLOT(msgNotVerseText), "Oeps, Dit is geen deel van een bijbelpassage.",
         "Sorry, This is not part of the actual bibleverse", u8"Ups, Dieses Wort gehört nicht zu diesem Teil der Bibel"},
        {SLOT(msgNotSlideChange), "Deze regel is geen diaovergang!", "This line is not a slidechange!",
         "Diese Zeile ist kein Folienwechsel!"},
        {SLOT(msgNotEmptyLine), "Dit is geen lege regel!", "This  is not an empty line!",
         "Diese Zeile ist keine leere Zeile!"},
        {SLOT(wissenlegeregel1Caption), "Wissen lege regel", "Delete empty line", u8"\"Leere Zeile löschen"},
        {SLOT(wissendiaovergang1Caption), "Wissen diaovergang", "Delete Slidechange", u8"Folienwechsel löschen"},
        {SLOT(forceernieuwedia1Caption), "Forceer nieuwe dia", "Force new slide", u8"Folienwechsel einfügen"},
        {SLOT(tussenvoegenlegeregelindedia1Caption), "Tussenvoegen lege regel in de dia", "Insert empty line",
         u8"Leere Zeile einfügen"},
        {SLOT(options1Caption), "Opties", "Options", "Optionen"},
        {SLOT(checkBox1Caption), "Forceer diaovergang na elke versregel in deze bijbel(s)!",
         "Force Slidechange after each verse of this (these) bible(s)!)",
         "Erzwinge in diese(n) Bibel(n) Folienwechsel nach jedem Vers !)"},
        {SLOT(checkBox1Hint), "Selecteer deze optie en klik daarna op 'OK, Alles aanpassen'",
         "Select this option and press 'OK, Change ALL'", u8"Diese Option auswählen und auf 'OK, Alle ändern' klicken."},
        {SLOT(checkBox2Caption), "Verwijder alle diaovergangen aan het eind van een versregel (hele bijbel!)",
         "Remove all forced slidechanges at the end of a bibleverse", "Entferene alle Folienwechsel an den Versenden"},
        {SLOT(checkBox2Hint), "Selecteer deze optie en klik daarna op 'OK, Alles aanpassen'",
         "Select this option and press 'OK, Change ALL'", u8"Diese Option auswählen und auf 'OK, Alle ändern' klicken."},
        {SLOT(msgTickRequired), u8"U moet wel een vinkje zetten, om de hele bijbel in één keer te aan te passen.",
         "You have set the tick if you want this changed for the whole bible.",
         u8"Sie müssen einen Haken setzen, um diese Änderung für die gesamte Übersetzung auszuführen."},
        {SLOT(msgNoEmptyLineHere), "Het is niet zinvol om hier een lege regel te plaatsen.",
         "It's of no use to insert an empty line here.", "Es macht keinen Sinn, hier eine leere Zeile einzufügen."},
        {SLOT(bitBtn2Caption), "OK, Alles aanpassen", "OK, Change ALL", u8"OK, Alles ändern"},
        {SLOT(bitBtn1Caption), "Afsluiten", "Close", "Ende"},
        {SLOT(msgLongProcess),
         cr({"Let op:", "", "Dit proces kan geruime tijd in beslag nemen.", "NIET minimaliseren",
             "GEEN andere programmas starten", "Dit programma MOET op de voorgrond blijven!"}),
         cr({"Let op:", "", "This process will take a relaltive long time.", "DO NOT minimize ",
             "DO'T start other applications", "This program MUST stay on top!"}),
         cr({"Achtung:", "", "Der Prozess dauert relativ lange.", "NICHT minimalisieren",
             "KEINE anderen Programme starten", "Dieses Programm MUSS Im Vordergrund laufen!"})},
        {SLOT(extra1Caption), "Extra", "Tools", "Extras"},
        {SLOT(restoreBackup1Caption), u8"Een reservekopie terugzetten…", u8"Restore a backup…",
         u8"Eine Sicherung wiederherstellen…"},
    };
    return table;
}

TEST(UiTexts, EverySlotInEveryLanguage) {
    for (const Slot& slot : slotTable()) {
        SCOPED_TRACE(slot.name);
        EXPECT_EQ(slot.get(texts::dutchTexts()), slot.nl);
        EXPECT_EQ(slot.get(texts::englishTexts()), slot.uk);
        EXPECT_EQ(slot.get(texts::germanTexts()), slot.de);
    }
}

TEST(UiTexts, HelpLinesSixInDutchSevenOtherwise) {
    const QStringList nl = texts::dutchTexts().helpLines;
    ASSERT_EQ(nl.size(), 6);
    EXPECT_EQ(nl[0], QStringLiteral("Kantelo,  een hulpprogramma om de bijbelteksten in de Lumora database zodanig aan "
                                    "te passen dat deze beter geprojecteerd kunnen worden."));
    EXPECT_TRUE(nl[1].isEmpty());
    EXPECT_EQ(nl[2], QStringLiteral("Bijv. met de ENTER toets kunnen lange regels kleiner gemaakt worden."));
    EXPECT_EQ(nl[3], QStringLiteral("Via het pop-up menu (rechtermuisklik) kan een diaovergang of lege regel tussen "
                                    "gevoegd worden."));
    EXPECT_TRUE(nl[4].isEmpty());
    EXPECT_EQ(nl[5], QStringLiteral("Tbv twee-talige projectie kunnen twee bijbelvertalingen gelijktijdig bewerkt worden."));

    const QStringList uk = texts::englishTexts().helpLines;
    const QStringList expectedUk = {
        "Kantelo,  a tool to adapt the Lumora Bibledatabase.",
        "purpose is to format the verses for better projection.",
        "",
        "E.g. with the ENTER key long lines can be made smaller.",
        "The pop-up men (rightclick) enables you to insert empty lines or to force a slidechange",
        "",
        "For Bi-langual projection, it is possible to edit two bibletranslations simultaneously.",
    };
    EXPECT_EQ(uk, expectedUk);

    const QStringList de = texts::germanTexts().helpLines;
    const QStringList expectedDe = {
        QString::fromUtf8(u8"Kantelo, ein Hilfsmittel zum Anpassen von Bibelübersetzungen im Lumora-Format."),
        "Zweck ist die Formatierung von Versen zur besseren Projektion.",
        "",
        QString::fromUtf8(u8"So können z.B. lange Zeilen mit Hilfe der ENTER-Taste umgebrochen werden."),
        QString::fromUtf8(
            u8"Über das Kontext-Menü (rechte Maustaste) können Sie leere Zeilen oder Folienwechsel einfügen"),
        "",
        QString::fromUtf8(
            u8"Für zweisprachige Projektion ist es möglich, zwei Übersetzungen gleichzeitig zu bearbeiten"),
    };
    EXPECT_EQ(de, expectedDe);
}

TEST(UiTexts, LongProcessBreaksLinesWithLoneCarriageReturns) {
    for (const UiTexts* t : {&texts::dutchTexts(), &texts::englishTexts(), &texts::germanTexts()}) {
        EXPECT_FALSE(t->msgLongProcess.contains(QLatin1Char('\n')));
        EXPECT_EQ(t->msgLongProcess.count(QLatin1Char('\r')), 5);
        EXPECT_TRUE(t->msgLongProcess.contains(QStringLiteral("\r\r")));
    }
}

TEST(UiTexts, CodesMatchExactlyAndCaseSensitively) {
    EXPECT_EQ(texts::textsForCode("NL"), texts::dutchTexts());
    EXPECT_EQ(texts::textsForCode("UK"), texts::englishTexts());
    EXPECT_EQ(texts::textsForCode("DE"), texts::germanTexts());
    for (const char* code : {"nl", "Uk", "de", "", " UK", "UK ", "EN", "GB"}) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(texts::textsForCode(code).has_value());
    }
}

TEST(UiTexts, SecondPopupKeepsDutchDesignCaptions) {
    const QStringList expected = {"Forceer nieuwe dia", "Wissen diaovergang", "Tussenvoegen lege regel in de dia",
                                  "Wissen lege regel"};
    EXPECT_EQ(texts::designPopupCaptions(), expected);
}

} // namespace

namespace {

TEST(RunProgressText, EachLanguageNamesTheBookAndThePercent) {
    const struct {
        const char* code;
        const char* expected;
    } cases[] = {
        {"NL", "Bezig met Psalmen: 42%"},
        {"UK", "Working on Psalmen: 42%"},
        {"DE", "Bearbeite Psalmen: 42%"},
        {"nl", "Working on Psalmen: 42%"}, // codes compare exactly
    };
    for (const auto& c : cases) EXPECT_EQ(texts::runProgressText(c.code, "Psalmen", 42), c.expected) << c.code;
    EXPECT_EQ(texts::runProgressText("UK", "Book %2", 7), "Working on Book %2: 7%"); // a name is text, not a pattern
}

} // namespace
