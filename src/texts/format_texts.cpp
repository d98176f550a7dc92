#include "texts/format_texts.h"

#include "texts/language.h"

namespace texts {

namespace {

const std::vector<TextEntry<FormatTexts>>& entries() {
    static const std::vector<TextEntry<FormatTexts>> table{
        {&FormatTexts::menuCaption,
         {{QString::fromUtf8("Opmaken voor dia's…"),
           QString::fromUtf8("Format for slides…"),
           QString::fromUtf8("Für Folien formatieren…")}}},
        {&FormatTexts::dialogTitle,
         {{QStringLiteral("Opmaken voor dia's"),
           QStringLiteral("Format for slides"),
           QString::fromUtf8("Für Folien formatieren")}}},
        {&FormatTexts::maxLineLength,
         {{QStringLiteral("Maximale regellengte (tekens):"),
           QStringLiteral("Maximum line length (characters):"),
           QString::fromUtf8("Maximale Zeilenlänge (Zeichen):")}}},
        {&FormatTexts::maxSlideLines,
         {{QStringLiteral("Regels per dia (0 = geen grens):"),
           QStringLiteral("Lines per slide (0 = no limit):"),
           QStringLiteral("Zeilen pro Folie (0 = keine Grenze):")}}},
        {&FormatTexts::keepLineBreaks,
         {{QStringLiteral("Mijn regeleinden behouden"),
           QStringLiteral("Keep my line breaks"),
           QStringLiteral("Meine Zeilenumbrüche behalten")}}},
        {&FormatTexts::previewOf,
         {{QStringLiteral("Zo wordt het huidige vers van %1:"),
           QStringLiteral("The current verse of %1 becomes:"),
           QStringLiteral("So wird der aktuelle Vers von %1:")}}},
        {&FormatTexts::formatVerse,
         {{QStringLiteral("Dit vers opmaken"),
           QStringLiteral("Format this verse"),
           QStringLiteral("Diesen Vers formatieren")}}},
        {&FormatTexts::formatBook,
         {{QStringLiteral("Dit boek opmaken"),
           QStringLiteral("Format this book"),
           QStringLiteral("Dieses Buch formatieren")}}},
        {&FormatTexts::formatBible,
         {{QStringLiteral("De hele bijbel opmaken"),
           QStringLiteral("Format the whole bible"),
           QStringLiteral("Die ganze Bibel formatieren")}}},
        {&FormatTexts::closeButton,
         {{QStringLiteral("Sluiten"),
           QStringLiteral("Close"),
           QString::fromUtf8("Schließen")}}},
        {&FormatTexts::msgConfirmBook,
         {{QStringLiteral("Alle verzen van %1 in %2 opmaken voor dia's?\nEerst wordt een reservekopie "
                          "gemaakt."),
           QStringLiteral("Format every verse of %1 in %2 for slides?\nA backup is made first."),
           QString::fromUtf8("Alle Verse von %1 in %2 für Folien formatieren?\nZuerst wird eine "
                          "Sicherung angelegt.")}}},
        {&FormatTexts::msgConfirmBible,
         {{QStringLiteral("Alle verzen van %1 opmaken voor dia's?\nEerst wordt een reservekopie "
                          "gemaakt."),
           QStringLiteral("Format every verse of %1 for slides?\nA backup is made first."),
           QString::fromUtf8("Alle Verse von %1 für Folien formatieren?\nZuerst wird eine Sicherung "
                          "angelegt.")}}},
        {&FormatTexts::msgVersesChanged,
         {{QStringLiteral("%1: %2 verzen gewijzigd."),
           QStringLiteral("%1: %2 verses changed."),
           QString::fromUtf8("%1: %2 Verse geändert.")}}},
        {&FormatTexts::msgRestoreHint,
         {{QString::fromUtf8("Extra → Een reservekopie terugzetten… zet een bijbel terug zoals hij was."),
           QString::fromUtf8("Tools → Restore a backup… brings a bible back as it was."),
           QString::fromUtf8("Extras → Eine Sicherung wiederherstellen… bringt eine Bibel zurück, wie "
                          "sie war.")}}},
    };
    return table;
}

FormatTexts textsIn(Language language) {
    FormatTexts t;
    fillTexts(t, entries(), language);
    return t;
}

} // namespace

const FormatTexts& formatTexts(const QString& languageCode) {
    static const PerLanguage<FormatTexts> table{{textsIn(Language::NL), textsIn(Language::UK), textsIn(Language::DE)}};
    return table[languageCode];
}

} // namespace texts
