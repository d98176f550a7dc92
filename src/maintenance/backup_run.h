// The program's backups: the folder they are kept in, the local time their names carry, and the
// memory of which bible files this run of the program has already backed up.
#pragma once
#include "maintenance/backups.h"

#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace maintenance {

// $KANTELO_BACKUP_DIR when set, else the per-user application data folder of Kantelo followed by
// "/backups" (~/.local/share/Kantelo/backups on Linux, %LOCALAPPDATA%\Kantelo\backups on
// Windows), the same for the window and kantelo-db. Empty when no such folder is known.
std::filesystem::path backupFolder();

// The local date and time now.
BackupStamp localNow();

class BackupRun {
public:
    using Folder = std::function<std::filesystem::path()>;
    using Clock = std::function<BackupStamp()>;
    BackupRun(Folder folder, Clock clock);

    // The run of this process: backupFolder() (read anew for every backup) and localNow().
    static BackupRun& program();

    // Called right before this program changes `bibleFile`. The first time in the run it makes
    // the file's backup and returns its path; after that it does nothing and returns an empty
    // path. Throws BackupError when the backup cannot be made: the change must not go ahead.
    std::filesystem::path beforeChange(const std::filesystem::path& bibleFile);
    // Whether this run has backed up `bibleFile` already (beforeChange would do nothing).
    bool backedUp(const std::filesystem::path& bibleFile) const;

    // Puts `backup` back in place of `bibleFile` (restoreBackup, the replaced file backed up
    // first); the file then counts as backed up in this run. Returns the replaced file's backup.
    std::filesystem::path restore(const std::filesystem::path& bibleFile, const std::filesystem::path& backup);

    std::filesystem::path folder() const;

private:
    static std::string keyOf(const std::filesystem::path& file);
    Folder folder_;
    Clock clock_;
    std::set<std::string> backedUp_;
};

} // namespace maintenance
