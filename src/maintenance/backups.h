// Backups of bible files in one folder: their names (NAME-YYYYMMDD-HHMMSS.mdb, then -2, -3, ...
// when a name is taken), making a verified copy, keeping the newest few of a bible, and putting
// one back in place of its bible. The folder and the clock come from the caller.
#pragma once
#include "jet/error.h"

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace maintenance {

// A backup could not be made or put back; the message says why. Nothing was changed then.
class BackupError : public jet::Error {
public:
    using jet::Error::Error;
};

// Local date and time as a backup's name carries it, to the second.
struct BackupStamp {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    auto operator<=>(const BackupStamp&) const = default;
};

struct BackupEntry {
    std::filesystem::path path;
    BackupStamp stamp;
    int sequence = 1; // 1 for the plain name, 2 for "-2.mdb", ...
    std::uintmax_t size = 0;
};

inline constexpr int kBackupsKept = 10;

// The bible's name in backup names: the file name without its extension.
std::string bibleNameOf(const std::filesystem::path& bibleFile);

// Whether two file names (UTF-8) name the same file: on Windows without regard to letter case
// (kjv.mdb and KJV.mdb are one bible, and so are their backups), elsewhere byte for byte.
#ifdef _WIN32
inline constexpr bool kFileNamesIgnoreCase = true;
#else
inline constexpr bool kFileNamesIgnoreCase = false;
#endif
bool fileNamesEqual(const std::string& a, const std::string& b);

// "NAME-YYYYMMDD-HHMMSS.mdb" for sequence 1, "NAME-YYYYMMDD-HHMMSS-N.mdb" for N >= 2.
std::string backupFileName(const std::string& bible, const BackupStamp& stamp, int sequence = 1);

// The stamp and sequence of a file named exactly as a backup of `bible`; nothing for any other
// name (another bible whose name starts the same, a stray suffix, an impossible date).
std::optional<BackupEntry> parseBackupFileName(const std::string& fileName, const std::string& bible);

// The backups of `bible` in `folder`, newest first (by the time in the name, then the sequence).
// A folder that does not exist holds none.
std::vector<BackupEntry> listBackups(const std::filesystem::path& folder, const std::string& bible);

// Copies `bibleFile` into `folder` (created when missing) under the first free backup name for
// `now`, reads the copy back and compares it with the file, then keeps only the newest
// kBackupsKept backups of that bible. Returns the copy's path. Throws BackupError when any of it
// fails before the copy is verified; a partial copy is removed. Errors while removing old
// backups are ignored: the new backup is in place.
std::filesystem::path makeBackup(const std::filesystem::path& bibleFile, const std::filesystem::path& folder,
                                 const BackupStamp& now);

// Removes all but the newest `keep` backups of `bible` in `folder`.
void pruneBackups(const std::filesystem::path& folder, const std::string& bible, int keep = kBackupsKept);

// Puts `backup` back in place of `bibleFile`. The backup must be named as a backup of that
// bible and be a Jet database. `bibleFile`, when it exists, is first backed up itself (always a
// new backup). The backup is copied beside the bible file, verified, and renamed over it; the
// backup itself is never changed. Throws BackupError (nothing changed) when a step fails, and
// jet::InUseError when another program has the bible file open.
// Returns the path of the backup of the replaced file, empty when there was no file.
std::filesystem::path restoreBackup(const std::filesystem::path& bibleFile, const std::filesystem::path& backup,
                                    const std::filesystem::path& folder, const BackupStamp& now);

// True when both files exist and hold the same bytes.
bool sameContents(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace maintenance
