#include "texts/ui_texts.h"

#include "texts/compare_texts.h"
#include "texts/tools_texts.h"

namespace texts {

namespace {

// MsgLongProcess breaks its lines with a lone carriage return (no line feed).
const QString CR = QStringLiteral("\r");

const std::vector<TextEntry<UiTexts>>& entries() {
    static const std::vector<TextEntry<UiTexts>> table{
        {&UiTexts::label3Caption,
         {{QStringLiteral("Hoofdstuk:"),
           QStringLiteral("Chapter:"),
           QStringLiteral("Kapitel:")}}},
        {&UiTexts::label5Caption,
         {{QStringLiteral("Vers:"),
           QStringLiteral("Verse:"),
           QStringLiteral("Vers:")}}},
        {&UiTexts::label1Caption,
         {{QStringLiteral("Bijbelversie 1:"),
           QStringLiteral("Bibleversion 1:"),
           QStringLiteral("Übersetzung 1:")}}},
        {&UiTexts::label8Caption,
         {{QStringLiteral("Bijbelversie 2:"),
           QStringLiteral("Bibleversion 2:"),
           QStringLiteral("Übersetzung 2:")}}},
        {&UiTexts::label2Caption,
         {{QStringLiteral("Bijbelboek:"),
           QStringLiteral("Biblebook:"),
           QStringLiteral("Buch:")}}},
        {&UiTexts::windowTitle,
         {{QStringLiteral("Kantelo voor Lumora."),
           QStringLiteral("Kantelo for Lumora"),
           QStringLiteral("Kantelo für Lumora")}}},
        {&UiTexts::newSlideMarker,
         {{QStringLiteral("<Nieuwe dia>"),
           QStringLiteral("<New slide>"),
           QStringLiteral("<Neue Folie>")}}},
        {&UiTexts::emptyLineMarker,
         {{QStringLiteral("<Lege regel>"),
           QStringLiteral("<Empty line>"),
           QStringLiteral("<Leere Zeile>")}}},
        {&UiTexts::msgNotVerseText,
         {{QStringLiteral("Oeps, Dit is geen deel van een bijbelpassage."),
           QStringLiteral("Sorry, This is not part of the actual bibleverse"),
           QStringLiteral("Ups, Dieses Wort gehört nicht zu diesem Teil der Bibel")}}},
        {&UiTexts::msgNotSlideChange,
         {{QStringLiteral("Deze regel is geen diaovergang!"),
           QStringLiteral("This line is not a slidechange!"),
           QStringLiteral("Diese Zeile ist kein Folienwechsel!")}}},
        {&UiTexts::msgNotEmptyLine,
         {{QStringLiteral("Dit is geen lege regel!"),
           QStringLiteral("This  is not an empty line!"),
           QStringLiteral("Diese Zeile ist keine leere Zeile!")}}},
        // The German caption really begins with a double quote.
        {&UiTexts::wissenlegeregel1Caption,
         {{QStringLiteral("Wissen lege regel"),
           QStringLiteral("Delete empty line"),
           QStringLiteral("\"Leere Zeile löschen")}}},
        {&UiTexts::wissendiaovergang1Caption,
         {{QStringLiteral("Wissen diaovergang"),
           QStringLiteral("Delete Slidechange"),
           QStringLiteral("Folienwechsel löschen")}}},
        {&UiTexts::forceernieuwedia1Caption,
         {{QStringLiteral("Forceer nieuwe dia"),
           QStringLiteral("Force new slide"),
           QStringLiteral("Folienwechsel einfügen")}}},
        {&UiTexts::tussenvoegenlegeregelindedia1Caption,
         {{QStringLiteral("Tussenvoegen lege regel in de dia"),
           QStringLiteral("Insert empty line"),
           QStringLiteral("Leere Zeile einfügen")}}},
        {&UiTexts::options1Caption,
         {{QStringLiteral("Opties"),
           QStringLiteral("Options"),
           QStringLiteral("Optionen")}}},
        {&UiTexts::checkBox1Caption,
         {{QStringLiteral("Forceer diaovergang na elke versregel in deze bijbel(s)!"),
           QStringLiteral("Force Slidechange after each verse of this (these) bible(s)!)"),
           QStringLiteral("Erzwinge in diese(n) Bibel(n) Folienwechsel nach jedem Vers !)")}}},
        {&UiTexts::checkBox1Hint,
         {{QStringLiteral("Selecteer deze optie en klik daarna op 'OK, Alles aanpassen'"),
           QStringLiteral("Select this option and press 'OK, Change ALL'"),
           QStringLiteral("Diese Option auswählen und auf 'OK, Alle ändern' klicken.")}}},
        {&UiTexts::checkBox2Caption,
         {{QStringLiteral("Verwijder alle diaovergangen aan het eind van een versregel (hele bijbel!)"),
           QStringLiteral("Remove all forced slidechanges at the end of a bibleverse"),
           QStringLiteral("Entferene alle Folienwechsel an den Versenden")}}},
        {&UiTexts::msgTickRequired,
         {{QStringLiteral("U moet wel een vinkje zetten, om de hele bijbel in één keer te aan te passen."),
           QStringLiteral("You have set the tick if you want this changed for the whole bible."),
           QStringLiteral(
               "Sie müssen einen Haken setzen, um diese Änderung für die gesamte Übersetzung auszuführen.")}}},
        {&UiTexts::msgNoEmptyLineHere,
         {{QStringLiteral("Het is niet zinvol om hier een lege regel te plaatsen."),
           QStringLiteral("It's of no use to insert an empty line here."),
           QStringLiteral("Es macht keinen Sinn, hier eine leere Zeile einzufügen.")}}},
        {&UiTexts::bitBtn2Caption,
         {{QStringLiteral("OK, Alles aanpassen"),
           QStringLiteral("OK, Change ALL"),
           QStringLiteral("OK, Alles ändern")}}},
        {&UiTexts::bitBtn1Caption,
         {{QStringLiteral("Afsluiten"),
           QStringLiteral("Close"),
           QStringLiteral("Ende")}}},
        {&UiTexts::msgLongProcess,
         {{QStringLiteral("Let op:") + CR + CR +
               QStringLiteral("Dit proces kan geruime tijd in beslag nemen.") + CR +
               QStringLiteral("NIET minimaliseren") + CR +
               QStringLiteral("GEEN andere programmas starten") + CR +
               QStringLiteral("Dit programma MOET op de voorgrond blijven!"),
           QStringLiteral("Let op:") + CR + CR +
               QStringLiteral("This process will take a relaltive long time.") + CR +
               QStringLiteral("DO NOT minimize ") + CR +
               QStringLiteral("DO'T start other applications") + CR +
               QStringLiteral("This program MUST stay on top!"),
           QStringLiteral("Achtung:") + CR + CR + QStringLiteral("Der Prozess dauert relativ lange.") +
               CR + QStringLiteral("NICHT minimalisieren") + CR +
               QStringLiteral("KEINE anderen Programme starten") + CR +
               QStringLiteral("Dieses Programm MUSS Im Vordergrund laufen!")}}},
        {&UiTexts::extra1Caption,
         {{QStringLiteral("Extra"),
           QStringLiteral("Tools"),
           QStringLiteral("Extras")}}},
        {&UiTexts::restoreBackup1Caption,
         {{QString::fromUtf8("Een reservekopie terugzetten…"),
           QString::fromUtf8("Restore a backup…"),
           QString::fromUtf8("Eine Sicherung wiederherstellen…")}}},
    };
    return table;
}

const PerLanguage<QStringList>& helpLines() {
    // Six lines in Dutch, seven in English and German.
    static const PerLanguage<QStringList> lines{{
        QStringList{
            QStringLiteral("Kantelo,  een hulpprogramma om de bijbelteksten in de Lumora database zodanig aan te "
                           "passen dat deze beter geprojecteerd kunnen worden."),
            QString(),
            QStringLiteral("Bijv. met de ENTER toets kunnen lange regels kleiner gemaakt worden."),
            QStringLiteral("Via het pop-up menu (rechtermuisklik) kan een diaovergang of lege regel tussen gevoegd "
                           "worden."),
            QString(),
            QStringLiteral("Tbv twee-talige projectie kunnen twee bijbelvertalingen gelijktijdig bewerkt worden."),
        },
        QStringList{
            QStringLiteral("Kantelo,  a tool to adapt the Lumora Bibledatabase."),
            QStringLiteral("purpose is to format the verses for better projection."),
            QString(),
            QStringLiteral("E.g. with the ENTER key long lines can be made smaller."),
            QStringLiteral("The pop-up men (rightclick) enables you to insert empty lines or to force a slidechange"),
            QString(),
            QStringLiteral("For Bi-langual projection, it is possible to edit two bibletranslations simultaneously."),
        },
        QStringList{
            QStringLiteral("Kantelo, ein Hilfsmittel zum Anpassen von Bibelübersetzungen im Lumora-Format."),
            QStringLiteral("Zweck ist die Formatierung von Versen zur besseren Projektion."),
            QString(),
            QStringLiteral("So können z.B. lange Zeilen mit Hilfe der ENTER-Taste umgebrochen werden."),
            QStringLiteral("Über das Kontext-Menü (rechte Maustaste) können Sie leere Zeilen oder Folienwechsel "
                           "einfügen"),
            QString(),
            QStringLiteral("Für zweisprachige Projektion ist es möglich, zwei Übersetzungen gleichzeitig zu "
                           "bearbeiten"),
        },
    }};
    return lines;
}

UiTexts textsIn(Language language) {
    UiTexts t;
    fillTexts(t, entries(), language);
    t.helpLines = helpLines()[language];
    t.checkBox2Hint = t.checkBox1Hint;
    addToolsTexts(t, language);
    addCompareTexts(t, language);
    return t;
}

} // namespace

const UiTexts& uiTexts(Language language) {
    static const PerLanguage<UiTexts> table{{textsIn(Language::NL), textsIn(Language::UK), textsIn(Language::DE)}};
    return table[language];
}

const UiTexts& dutchTexts() { return uiTexts(Language::NL); }
const UiTexts& englishTexts() { return uiTexts(Language::UK); }
const UiTexts& germanTexts() { return uiTexts(Language::DE); }

std::optional<UiTexts> textsForCode(const QString& code) {
    const std::optional<Language> language = languageOfCode(code);
    if (!language) return std::nullopt;
    return uiTexts(*language);
}

QStringList designPopupCaptions() {
    return {QStringLiteral("Forceer nieuwe dia"), QStringLiteral("Wissen diaovergang"),
            QStringLiteral("Tussenvoegen lege regel in de dia"), QStringLiteral("Wissen lege regel")};
}

} // namespace texts
