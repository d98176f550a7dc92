#include "texts/backup_texts.h"

#include "texts/language.h"

namespace texts {

namespace {

BackupTexts makeDutch() {
    BackupTexts t;
    t.dialogTitle = QStringLiteral("Reservekopie terugzetten");
    t.folderLine = QStringLiteral("Reservekopieën staan in: %1");
    t.columnBible = QStringLiteral("Bijbel");
    t.columnDateTime = QStringLiteral("Datum en tijd");
    t.columnSize = QStringLiteral("Grootte");
    t.restoreButton = QStringLiteral("Terugzetten");
    t.cancelButton = QStringLiteral("Annuleren");
    t.msgBackupFailed = QStringLiteral("Van %1 kon geen reservekopie worden gemaakt; de wijziging is niet "
                                       "opgeslagen.\n%2");
    t.msgRestoreOpenBible = QStringLiteral("%1 is geopend in Kantelo en kan nu niet worden teruggezet. Sluit hem "
                                           "eerst door een andere bijbel te kiezen.");
    t.msgRestoreFailed = QStringLiteral("De reservekopie is niet teruggezet; er is niets veranderd.\n%1");
    t.msgRestored = QStringLiteral("%1 is teruggezet uit %2.\nHet vervangen bestand is bewaard als %3.");
    return t;
}

BackupTexts makeEnglish() {
    BackupTexts t;
    t.dialogTitle = QStringLiteral("Restore a backup");
    t.folderLine = QStringLiteral("Backups are kept in: %1");
    t.columnBible = QStringLiteral("Bible");
    t.columnDateTime = QStringLiteral("Date and time");
    t.columnSize = QStringLiteral("Size");
    t.restoreButton = QStringLiteral("Restore");
    t.cancelButton = QStringLiteral("Cancel");
    t.msgBackupFailed = QStringLiteral("No backup of %1 could be made, so the change was not written.\n%2");
    t.msgRestoreOpenBible = QStringLiteral("%1 is open in Kantelo and cannot be restored now. Close it by "
                                           "choosing another bible first.");
    t.msgRestoreFailed = QStringLiteral("The backup was not restored; nothing was changed.\n%1");
    t.msgRestored = QStringLiteral("%1 has been restored from %2.\nThe replaced file was kept as %3.");
    return t;
}

BackupTexts makeGerman() {
    BackupTexts t;
    t.dialogTitle = QStringLiteral("Sicherung wiederherstellen");
    t.folderLine = QStringLiteral("Sicherungen liegen in: %1");
    t.columnBible = QStringLiteral("Bibel");
    t.columnDateTime = QStringLiteral("Datum und Uhrzeit");
    t.columnSize = QString::fromUtf8("Größe");
    t.restoreButton = QStringLiteral("Wiederherstellen");
    t.cancelButton = QStringLiteral("Abbrechen");
    t.msgBackupFailed = QString::fromUtf8("Von %1 konnte keine Sicherung angelegt werden; die Änderung wurde "
                                          "nicht gespeichert.\n%2");
    t.msgRestoreOpenBible = QString::fromUtf8("%1 ist in Kantelo geöffnet und kann jetzt nicht wiederhergestellt "
                                              "werden. Schließen Sie sie zuerst, indem Sie eine andere Bibel wählen.");
    t.msgRestoreFailed = QString::fromUtf8("Die Sicherung wurde nicht wiederhergestellt; nichts wurde geändert.\n%1");
    t.msgRestored = QString::fromUtf8("%1 wurde aus %2 wiederhergestellt.\nDie ersetzte Datei wurde als %3 "
                                      "aufbewahrt.");
    return t;
}

} // namespace

const BackupTexts& backupTexts(const QString& languageCode) {
    static const PerLanguage<BackupTexts> table{{makeDutch(), makeEnglish(), makeGerman()}};
    return table[languageCode];
}

} // namespace texts
