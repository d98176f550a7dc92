#include "maintenance/backup_run.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStandardPaths>

#include <cstdlib>
#include <utility>

namespace fs = std::filesystem;

namespace maintenance {

fs::path backupFolder() {
    // Read as UTF-16: a narrow path would be taken in the ANSI code page on Windows.
    if (const QString chosen = qEnvironmentVariable("KANTELO_BACKUP_DIR"); !chosen.isEmpty())
        return fs::path(chosen.toStdU16String());
    // The folder is named after the application; both programs must find the same one, so it
    // is asked for under Kantelo's name whatever the running executable is called.
    const QString ownName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Kantelo"));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QCoreApplication::setApplicationName(ownName);
    if (data.isEmpty()) return {};
    return fs::path((data + QStringLiteral("/backups")).toStdU16String());
}

BackupStamp localNow() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

BackupRun::BackupRun(Folder folder, Clock clock) : folder_(std::move(folder)), clock_(std::move(clock)) {}

BackupRun& BackupRun::program() {
    static BackupRun run(backupFolder, localNow);
    return run;
}

fs::path BackupRun::folder() const { return folder_(); }

std::string BackupRun::keyOf(const fs::path& file) {
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(file, ec), ec);
    const std::u8string text = (ec ? file : canonical).generic_u8string();
    std::string key(text.begin(), text.end());
    // One bible is one key however its name is written, where the file system ignores case.
    if (kFileNamesIgnoreCase) key = QString::fromStdString(key).toCaseFolded().toStdString();
    return key;
}

bool BackupRun::backedUp(const fs::path& bibleFile) const { return backedUp_.count(keyOf(bibleFile)) > 0; }

namespace {

// The backup before a change of `bibleFile` could not be made, for `reason`.
BackupError backupFailed(const fs::path& bibleFile, const std::string& reason) {
    jet::ErrorFacts facts;
    facts.path = bibleFile.string();
    facts.reason = reason;
    return BackupError(jet::ErrorKind::BackupFailed, facts, reason);
}

} // namespace

fs::path BackupRun::beforeChange(const fs::path& bibleFile) {
    const std::string key = keyOf(bibleFile);
    if (backedUp_.count(key)) return {};
    const fs::path where = folder();
    if (where.empty()) throw backupFailed(bibleFile, "no folder for backups is known; set KANTELO_BACKUP_DIR");
    fs::path copy;
    try {
        copy = makeBackup(bibleFile, where, clock_());
    } catch (const BackupError& e) {
        throw backupFailed(bibleFile, e.what());
    }
    backedUp_.insert(key);
    return copy;
}

fs::path BackupRun::restore(const fs::path& bibleFile, const fs::path& backup) {
    const fs::path where = folder();
    if (where.empty()) throw BackupError("no folder for backups is known; set KANTELO_BACKUP_DIR");
    fs::path replaced = restoreBackup(bibleFile, backup, where, clock_());
    backedUp_.insert(keyOf(bibleFile));
    return replaced;
}

} // namespace maintenance
