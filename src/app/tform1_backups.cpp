// TForm1: the backup before the first change of a bible file in this run, and restoring one.
#include "app/tform1.h"

#include "app/event_guard.h"
#include "app/restore_dialog.h"
#include "bibledb/bible_file.h"
#include "data/win_path.h"
#include "maintenance/backup_run.h"
#include "texts/backup_texts.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>

namespace {

std::filesystem::path toPath(const QString& native) { return std::filesystem::path(native.toStdU16String()); }

QString shown(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(QString::fromStdU16String(path.u16string()));
}

bool sameFile(const QString& a, const QString& b) {
    std::error_code ec;
    return !a.isEmpty() && !b.isEmpty() && std::filesystem::equivalent(toPath(a), toPath(b), ec);
}

} // namespace

void TForm1::backupBeforeWrite(int pane) {
    const QString file = paneConnection(pane).resolvedFilePath();
    maintenance::BackupRun& run = maintenance::BackupRun::program();
    // A save that another program's hold will refuse must not leave a backup behind.
    if (!run.backedUp(toPath(file))) paneConnection(pane).refuseWritesIfInUse();
    try {
        run.beforeChange(toPath(file));
    } catch (const maintenance::BackupError& error) {
        throw app::AppError(texts::backupTexts(languageCode)
                                .msgBackupFailed.arg(QDir::toNativeSeparators(file), QString::fromUtf8(error.what())));
    }
}

void TForm1::RestoreBackup1Click() {
    QStringList bibleFiles;
    if (!baseFolder.isEmpty()) {
        const QString folder = baseFolder + QStringLiteral("\\HolyBibles");
        for (const QString& name : data::listFilesWithSuffix(folder, QStringLiteral(".mdb")))
            bibleFiles << data::resolveWindowsPath(folder + QLatin1Char('\\') + name);
    }
    const QString backupFolder = QString::fromStdU16String(maintenance::backupFolder().u16string());
    app::RestoreDialog dialog(app::restoreChoices(bibleFiles, backupFolder), texts::backupTexts(languageCode),
                              backupFolder, this);
    execDialog(dialog);
    if (dialog.result() != QDialog::Accepted) return;
    if (const auto choice = dialog.chosen()) restoreChosenBackup(choice->bibleFile, choice->backup);
}

void TForm1::restoreChosenBackup(const QString& bibleFile, const QString& backup) {
    const texts::BackupTexts& words = texts::backupTexts(languageCode);
    for (int pane : {1, 2}) {
        const data::Connection& connection = paneConnection(pane);
        if (connection.connected() && sameFile(connection.resolvedFilePath(), bibleFile)) {
            showMessage(words.msgRestoreOpenBible.arg(QFileInfo(bibleFile).completeBaseName()));
            return;
        }
    }
    std::filesystem::path replaced;
    try {
        replaced = maintenance::BackupRun::program().restore(toPath(bibleFile), toPath(backup));
    } catch (const maintenance::BackupError& error) {
        throw app::AppError(words.msgRestoreFailed.arg(QString::fromUtf8(error.what())));
    }
    showMessage(words.msgRestored.arg(QDir::toNativeSeparators(bibleFile), QDir::toNativeSeparators(backup),
                                      shown(replaced)));
}
