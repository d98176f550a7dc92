#include "texts/format_texts.h"

namespace texts {

namespace {

FormatTexts makeDutch() {
    FormatTexts t;
    t.menuCaption = QString::fromUtf8("Opmaken voor dia's…");
    t.dialogTitle = QStringLiteral("Opmaken voor dia's");
    t.maxLineLength = QStringLiteral("Maximale regellengte (tekens):");
    t.maxSlideLines = QStringLiteral("Regels per dia (0 = geen grens):");
    t.keepLineBreaks = QStringLiteral("Mijn regeleinden behouden");
    t.previewOf = QStringLiteral("Zo wordt het huidige vers van %1:");
    t.formatVerse = QStringLiteral("Dit vers opmaken");
    t.formatBook = QStringLiteral("Dit boek opmaken");
    t.formatBible = QStringLiteral("De hele bijbel opmaken");
    t.closeButton = QStringLiteral("Sluiten");
    t.msgConfirmBook = QStringLiteral("Alle verzen van %1 in %2 opmaken voor dia's?\nEerst wordt een reservekopie "
                                      "gemaakt.");
    t.msgConfirmBible = QStringLiteral("Alle verzen van %1 opmaken voor dia's?\nEerst wordt een reservekopie "
                                       "gemaakt.");
    t.msgVersesChanged = QStringLiteral("%1: %2 verzen gewijzigd.");
    t.msgRestoreHint = QString::fromUtf8("Extra → Een reservekopie terugzetten… zet een bijbel terug zoals hij was.");
    return t;
}

FormatTexts makeEnglish() {
    FormatTexts t;
    t.menuCaption = QString::fromUtf8("Format for slides…");
    t.dialogTitle = QStringLiteral("Format for slides");
    t.maxLineLength = QStringLiteral("Maximum line length (characters):");
    t.maxSlideLines = QStringLiteral("Lines per slide (0 = no limit):");
    t.keepLineBreaks = QStringLiteral("Keep my line breaks");
    t.previewOf = QStringLiteral("The current verse of %1 becomes:");
    t.formatVerse = QStringLiteral("Format this verse");
    t.formatBook = QStringLiteral("Format this book");
    t.formatBible = QStringLiteral("Format the whole bible");
    t.closeButton = QStringLiteral("Close");
    t.msgConfirmBook = QStringLiteral("Format every verse of %1 in %2 for slides?\nA backup is made first.");
    t.msgConfirmBible = QStringLiteral("Format every verse of %1 for slides?\nA backup is made first.");
    t.msgVersesChanged = QStringLiteral("%1: %2 verses changed.");
    t.msgRestoreHint = QString::fromUtf8("Tools → Restore a backup… brings a bible back as it was.");
    return t;
}

FormatTexts makeGerman() {
    FormatTexts t;
    t.menuCaption = QString::fromUtf8("Für Folien formatieren…");
    t.dialogTitle = QString::fromUtf8("Für Folien formatieren");
    t.maxLineLength = QString::fromUtf8("Maximale Zeilenlänge (Zeichen):");
    t.maxSlideLines = QStringLiteral("Zeilen pro Folie (0 = keine Grenze):");
    t.keepLineBreaks = QStringLiteral("Meine Zeilenumbrüche behalten");
    t.previewOf = QStringLiteral("So wird der aktuelle Vers von %1:");
    t.formatVerse = QStringLiteral("Diesen Vers formatieren");
    t.formatBook = QStringLiteral("Dieses Buch formatieren");
    t.formatBible = QStringLiteral("Die ganze Bibel formatieren");
    t.closeButton = QString::fromUtf8("Schließen");
    t.msgConfirmBook = QString::fromUtf8("Alle Verse von %1 in %2 für Folien formatieren?\nZuerst wird eine "
                                         "Sicherung angelegt.");
    t.msgConfirmBible = QString::fromUtf8("Alle Verse von %1 für Folien formatieren?\nZuerst wird eine Sicherung "
                                          "angelegt.");
    t.msgVersesChanged = QString::fromUtf8("%1: %2 Verse geändert.");
    t.msgRestoreHint = QString::fromUtf8("Extras → Eine Sicherung wiederherstellen… bringt eine Bibel zurück, wie "
                                         "sie war.");
    return t;
}

} // namespace

const FormatTexts& formatTexts(const QString& languageCode) {
    static const FormatTexts dutch = makeDutch();
    static const FormatTexts english = makeEnglish();
    static const FormatTexts german = makeGerman();
    if (languageCode == QLatin1String("NL")) return dutch;
    if (languageCode == QLatin1String("DE")) return german;
    return english;
}

} // namespace texts
