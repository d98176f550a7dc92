// The texts of backups and restoring in the three interface languages: the restore dialog and
// the messages of a refused backup or restore (the menu entry's caption is in UiTexts).
#pragma once
#include <QString>

namespace texts {

struct BackupTexts {
    QString dialogTitle;
    QString folderLine;            // %1: the backup folder
    QString columnBible;
    QString columnDateTime;
    QString columnSize;
    QString restoreButton;
    QString cancelButton;
    QString msgBackupFailed;       // %1: the bible file, %2: the reason
    QString msgRestoreOpenBible;   // %1: the bible
    QString msgRestoreFailed;      // %1: the reason
    QString msgRestored;           // %1: the bible file, %2: the backup, %3: the replaced file's backup

    bool operator==(const BackupTexts&) const = default;
};

// The texts of a language code ("NL", "UK", "DE"); any other code gives the English ones.
const BackupTexts& backupTexts(const QString& languageCode);

} // namespace texts
