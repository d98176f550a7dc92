// The "Restore a backup" dialog: the backups of the bibles in the bible folder (bible, date and
// time, size), newest first per bible; the user chooses one to put back in place of its bible.
#pragma once
#include "texts/backup_texts.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace app {

struct RestoreChoice {
    QString bible;     // the bible's name
    QString bibleFile; // native path of the bible file
    QString backup;    // native path of the backup
    QString dateTime;  // from the backup's name, "YYYY-MM-DD HH:MM:SS"
    std::uintmax_t size = 0;
};

// The backups of each bible file (native paths) in the backup folder, bible by bible in the
// given order, newest first.
std::vector<RestoreChoice> restoreChoices(const QStringList& bibleFiles, const QString& backupFolder);

class RestoreDialog : public QDialog {
    Q_OBJECT
public:
    RestoreDialog(std::vector<RestoreChoice> choices, const texts::BackupTexts& texts, const QString& backupFolder,
                  QWidget* parent = nullptr);

    // The choice of the selected row; nothing when no row is selected.
    std::optional<RestoreChoice> chosen() const;

    QTreeWidget* list = nullptr;          // one row per backup, in the order of the choices
    QPushButton* restoreButton = nullptr; // accepts; enabled while a row is selected
    QPushButton* cancelButton = nullptr;

private:
    std::vector<RestoreChoice> choices_;
};

} // namespace app
