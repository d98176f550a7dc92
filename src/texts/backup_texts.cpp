#include "texts/backup_texts.h"

#include "texts/language.h"

namespace texts {

namespace {

const std::vector<TextEntry<BackupTexts>>& entries() {
    static const std::vector<TextEntry<BackupTexts>> table{
        {&BackupTexts::dialogTitle,
         {{QStringLiteral("Reservekopie terugzetten"),
           QStringLiteral("Restore a backup"),
           QStringLiteral("Sicherung wiederherstellen")}}},
        {&BackupTexts::folderLine,
         {{QStringLiteral("Reservekopieën staan in: %1"),
           QStringLiteral("Backups are kept in: %1"),
           QStringLiteral("Sicherungen liegen in: %1")}}},
        {&BackupTexts::columnBible,
         {{QStringLiteral("Bijbel"),
           QStringLiteral("Bible"),
           QStringLiteral("Bibel")}}},
        {&BackupTexts::columnDateTime,
         {{QStringLiteral("Datum en tijd"),
           QStringLiteral("Date and time"),
           QStringLiteral("Datum und Uhrzeit")}}},
        {&BackupTexts::columnSize,
         {{QStringLiteral("Grootte"),
           QStringLiteral("Size"),
           QString::fromUtf8("Größe")}}},
        {&BackupTexts::restoreButton,
         {{QStringLiteral("Terugzetten"),
           QStringLiteral("Restore"),
           QStringLiteral("Wiederherstellen")}}},
        {&BackupTexts::cancelButton,
         {{QStringLiteral("Annuleren"),
           QStringLiteral("Cancel"),
           QStringLiteral("Abbrechen")}}},
        {&BackupTexts::msgBackupFailed,
         {{QStringLiteral("Van %1 kon geen reservekopie worden gemaakt; de wijziging is niet "
                                       "opgeslagen.\n%2"),
           QStringLiteral("No backup of %1 could be made, so the change was not written.\n%2"),
           QString::fromUtf8("Von %1 konnte keine Sicherung angelegt werden; die Änderung wurde "
                                          "nicht gespeichert.\n%2")}}},
        {&BackupTexts::msgRestoreOpenBible,
         {{QStringLiteral("%1 is geopend in Kantelo en kan nu niet worden teruggezet. Sluit hem "
                                           "eerst door een andere bijbel te kiezen."),
           QStringLiteral("%1 is open in Kantelo and cannot be restored now. Close it by "
                                           "choosing another bible first."),
           QString::fromUtf8("%1 ist in Kantelo geöffnet und kann jetzt nicht wiederhergestellt "
                                              "werden. Schließen Sie sie zuerst, indem Sie eine andere Bibel wählen.")}}},
        {&BackupTexts::msgRestoreFailed,
         {{QStringLiteral("De reservekopie is niet teruggezet; er is niets veranderd.\n%1"),
           QStringLiteral("The backup was not restored; nothing was changed.\n%1"),
           QString::fromUtf8("Die Sicherung wurde nicht wiederhergestellt; nichts wurde geändert.\n%1")}}},
        {&BackupTexts::msgRestored,
         {{QStringLiteral("%1 is teruggezet uit %2.\nHet vervangen bestand is bewaard als %3."),
           QStringLiteral("%1 has been restored from %2.\nThe replaced file was kept as %3."),
           QString::fromUtf8("%1 wurde aus %2 wiederhergestellt.\nDie ersetzte Datei wurde als %3 "
                                      "aufbewahrt.")}}},
    };
    return table;
}

BackupTexts textsIn(Language language) {
    BackupTexts t;
    fillTexts(t, entries(), language);
    return t;
}

} // namespace

const BackupTexts& backupTexts(const QString& languageCode) {
    static const PerLanguage<BackupTexts> table{{textsIn(Language::NL), textsIn(Language::UK), textsIn(Language::DE)}};
    return table[languageCode];
}

} // namespace texts
