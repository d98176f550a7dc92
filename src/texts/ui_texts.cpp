#include "texts/ui_texts.h"

#include "texts/compare_texts.h"
#include "texts/tools_texts.h"

namespace texts {

namespace {

// MsgLongProcess breaks its lines with a lone carriage return (no line feed).
const QString CR = QStringLiteral("\r");

UiTexts makeDutch() {
    UiTexts t;
    t.label3Caption = QStringLiteral("Hoofdstuk:");
    t.label5Caption = QStringLiteral("Vers:");
    t.label1Caption = QStringLiteral("Bijbelversie 1:");
    t.label8Caption = QStringLiteral("Bijbelversie 2:");
    t.label2Caption = QStringLiteral("Bijbelboek:");
    t.windowTitle = QStringLiteral("Kantelo voor Lumora.");
    t.helpLines = {
        QStringLiteral("Kantelo,  een hulpprogramma om de bijbelteksten in de Lumora database zodanig aan te "
                       "passen dat deze beter geprojecteerd kunnen worden."),
        QString(),
        QStringLiteral("Bijv. met de ENTER toets kunnen lange regels kleiner gemaakt worden."),
        QStringLiteral("Via het pop-up menu (rechtermuisklik) kan een diaovergang of lege regel tussen gevoegd "
                       "worden."),
        QString(),
        QStringLiteral("Tbv twee-talige projectie kunnen twee bijbelvertalingen gelijktijdig bewerkt worden."),
    };
    t.newSlideMarker = QStringLiteral("<Nieuwe dia>");
    t.emptyLineMarker = QStringLiteral("<Lege regel>");
    t.msgNotVerseText = QStringLiteral("Oeps, Dit is geen deel van een bijbelpassage.");
    t.msgNotSlideChange = QStringLiteral("Deze regel is geen diaovergang!");
    t.msgNotEmptyLine = QStringLiteral("Dit is geen lege regel!");
    t.wissenlegeregel1Caption = QStringLiteral("Wissen lege regel");
    t.wissendiaovergang1Caption = QStringLiteral("Wissen diaovergang");
    t.forceernieuwedia1Caption = QStringLiteral("Forceer nieuwe dia");
    t.tussenvoegenlegeregelindedia1Caption = QStringLiteral("Tussenvoegen lege regel in de dia");
    t.options1Caption = QStringLiteral("Opties");
    t.checkBox1Caption = QStringLiteral("Forceer diaovergang na elke versregel in deze bijbel(s)!");
    t.checkBox1Hint = QStringLiteral("Selecteer deze optie en klik daarna op 'OK, Alles aanpassen'");
    t.checkBox2Caption =
        QStringLiteral("Verwijder alle diaovergangen aan het eind van een versregel (hele bijbel!)");
    t.checkBox2Hint = t.checkBox1Hint;
    t.msgTickRequired =
        QStringLiteral("U moet wel een vinkje zetten, om de hele bijbel in één keer te aan te passen.");
    t.msgNoEmptyLineHere = QStringLiteral("Het is niet zinvol om hier een lege regel te plaatsen.");
    t.bitBtn2Caption = QStringLiteral("OK, Alles aanpassen");
    t.bitBtn1Caption = QStringLiteral("Afsluiten");
    t.msgLongProcess = QStringLiteral("Let op:") + CR + CR +
                       QStringLiteral("Dit proces kan geruime tijd in beslag nemen.") + CR +
                       QStringLiteral("NIET minimaliseren") + CR +
                       QStringLiteral("GEEN andere programmas starten") + CR +
                       QStringLiteral("Dit programma MOET op de voorgrond blijven!");
    t.extra1Caption = QStringLiteral("Extra");
    t.restoreBackup1Caption = QString::fromUtf8("Een reservekopie terugzetten…");
    addToolsTexts(t, Language::NL);
    addCompareTexts(t, Language::NL);
    return t;
}

UiTexts makeEnglish() {
    UiTexts t;
    t.label3Caption = QStringLiteral("Chapter:");
    t.label5Caption = QStringLiteral("Verse:");
    t.label1Caption = QStringLiteral("Bibleversion 1:");
    t.label8Caption = QStringLiteral("Bibleversion 2:");
    t.label2Caption = QStringLiteral("Biblebook:");
    t.windowTitle = QStringLiteral("Kantelo for Lumora");
    t.helpLines = {
        QStringLiteral("Kantelo,  a tool to adapt the Lumora Bibledatabase."),
        QStringLiteral("purpose is to format the verses for better projection."),
        QString(),
        QStringLiteral("E.g. with the ENTER key long lines can be made smaller."),
        QStringLiteral("The pop-up men (rightclick) enables you to insert empty lines or to force a slidechange"),
        QString(),
        QStringLiteral("For Bi-langual projection, it is possible to edit two bibletranslations simultaneously."),
    };
    t.newSlideMarker = QStringLiteral("<New slide>");
    t.emptyLineMarker = QStringLiteral("<Empty line>");
    t.msgNotVerseText = QStringLiteral("Sorry, This is not part of the actual bibleverse");
    t.msgNotSlideChange = QStringLiteral("This line is not a slidechange!");
    t.msgNotEmptyLine = QStringLiteral("This  is not an empty line!");
    t.wissenlegeregel1Caption = QStringLiteral("Delete empty line");
    t.wissendiaovergang1Caption = QStringLiteral("Delete Slidechange");
    t.forceernieuwedia1Caption = QStringLiteral("Force new slide");
    t.tussenvoegenlegeregelindedia1Caption = QStringLiteral("Insert empty line");
    t.options1Caption = QStringLiteral("Options");
    t.checkBox1Caption = QStringLiteral("Force Slidechange after each verse of this (these) bible(s)!)");
    t.checkBox1Hint = QStringLiteral("Select this option and press 'OK, Change ALL'");
    t.checkBox2Caption = QStringLiteral("Remove all forced slidechanges at the end of a bibleverse");
    t.checkBox2Hint = t.checkBox1Hint;
    t.msgTickRequired = QStringLiteral("You have set the tick if you want this changed for the whole bible.");
    t.msgNoEmptyLineHere = QStringLiteral("It's of no use to insert an empty line here.");
    t.bitBtn2Caption = QStringLiteral("OK, Change ALL");
    t.bitBtn1Caption = QStringLiteral("Close");
    t.msgLongProcess = QStringLiteral("Let op:") + CR + CR +
                       QStringLiteral("This process will take a relaltive long time.") + CR +
                       QStringLiteral("DO NOT minimize ") + CR +
                       QStringLiteral("DO'T start other applications") + CR +
                       QStringLiteral("This program MUST stay on top!");
    t.extra1Caption = QStringLiteral("Tools");
    t.restoreBackup1Caption = QString::fromUtf8("Restore a backup…");
    addToolsTexts(t, Language::UK);
    addCompareTexts(t, Language::UK);
    return t;
}

UiTexts makeGerman() {
    UiTexts t;
    t.label3Caption = QStringLiteral("Kapitel:");
    t.label5Caption = QStringLiteral("Vers:");
    t.label1Caption = QStringLiteral("Übersetzung 1:");
    t.label8Caption = QStringLiteral("Übersetzung 2:");
    t.label2Caption = QStringLiteral("Buch:");
    t.windowTitle = QStringLiteral("Kantelo für Lumora");
    t.helpLines = {
        QStringLiteral("Kantelo, ein Hilfsmittel zum Anpassen von Bibelübersetzungen im Lumora-Format."),
        QStringLiteral("Zweck ist die Formatierung von Versen zur besseren Projektion."),
        QString(),
        QStringLiteral("So können z.B. lange Zeilen mit Hilfe der ENTER-Taste umgebrochen werden."),
        QStringLiteral("Über das Kontext-Menü (rechte Maustaste) können Sie leere Zeilen oder Folienwechsel "
                       "einfügen"),
        QString(),
        QStringLiteral("Für zweisprachige Projektion ist es möglich, zwei Übersetzungen gleichzeitig zu "
                       "bearbeiten"),
    };
    t.newSlideMarker = QStringLiteral("<Neue Folie>");
    t.emptyLineMarker = QStringLiteral("<Leere Zeile>");
    t.msgNotVerseText = QStringLiteral("Ups, Dieses Wort gehört nicht zu diesem Teil der Bibel");
    t.msgNotSlideChange = QStringLiteral("Diese Zeile ist kein Folienwechsel!");
    t.msgNotEmptyLine = QStringLiteral("Diese Zeile ist keine leere Zeile!");
    // The German caption really begins with a double quote.
    t.wissenlegeregel1Caption = QStringLiteral("\"Leere Zeile löschen");
    t.wissendiaovergang1Caption = QStringLiteral("Folienwechsel löschen");
    t.forceernieuwedia1Caption = QStringLiteral("Folienwechsel einfügen");
    t.tussenvoegenlegeregelindedia1Caption = QStringLiteral("Leere Zeile einfügen");
    t.options1Caption = QStringLiteral("Optionen");
    t.checkBox1Caption = QStringLiteral("Erzwinge in diese(n) Bibel(n) Folienwechsel nach jedem Vers !)");
    t.checkBox1Hint = QStringLiteral("Diese Option auswählen und auf 'OK, Alle ändern' klicken.");
    t.checkBox2Caption = QStringLiteral("Entferene alle Folienwechsel an den Versenden");
    t.checkBox2Hint = t.checkBox1Hint;
    t.msgTickRequired = QStringLiteral(
        "Sie müssen einen Haken setzen, um diese Änderung für die gesamte Übersetzung auszuführen.");
    t.msgNoEmptyLineHere = QStringLiteral("Es macht keinen Sinn, hier eine leere Zeile einzufügen.");
    t.bitBtn2Caption = QStringLiteral("OK, Alles ändern");
    t.bitBtn1Caption = QStringLiteral("Ende");
    t.msgLongProcess = QStringLiteral("Achtung:") + CR + CR + QStringLiteral("Der Prozess dauert relativ lange.") +
                       CR + QStringLiteral("NICHT minimalisieren") + CR +
                       QStringLiteral("KEINE anderen Programme starten") + CR +
                       QStringLiteral("Dieses Programm MUSS Im Vordergrund laufen!");
    t.extra1Caption = QStringLiteral("Extras");
    t.restoreBackup1Caption = QString::fromUtf8("Eine Sicherung wiederherstellen…");
    addToolsTexts(t, Language::DE);
    addCompareTexts(t, Language::DE);
    return t;
}

} // namespace

const UiTexts& uiTexts(Language language) {
    static const PerLanguage<UiTexts> table{{makeDutch(), makeEnglish(), makeGerman()}};
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
