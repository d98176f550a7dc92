// Windows paths of the program ("c:\Lumora\HolyBibles\KJV.mdb") mapped to this machine. On
// Windows they are used as written. Elsewhere drive c: is $KANTELO_DRIVE_C, else
// ${WINEPREFIX:-$HOME/.wine}/drive_c, and every component is matched without regard to letter
// case against what exists, as the Windows file system does.
#pragma once
#include <QString>
#include <QStringList>

#include <filesystem>
#include <string>

namespace data {

// The folder that stands for drive c: on this machine (empty on Windows).
QString driveCRoot();

// Maps a Windows path to a native one. Components that exist are matched without regard to
// case (the first match in directory order wins when several differ only in case); the rest
// is appended as written. A path on another drive than c: keeps its drive letter as a folder
// name below the drive root's parent (d: -> <prefix>/drive_d).
QString resolveWindowsPath(const QString& windowsPath);

// The entries of a folder whose names end in `suffix` (".mdb"), compared without regard to
// case, hidden ones included, in the order the file system lists them. A missing folder gives
// an empty list.
QStringList listFilesWithSuffix(const QString& windowsFolder, const QString& suffix);

// A native path as the engine takes it: UTF-8 on Windows (the engine widens it for the system
// calls), the file system's own bytes elsewhere.
std::string engineName(const QString& nativePath);

// A native path as std::filesystem takes it. A narrow string would be read in the ANSI code
// page on Windows, so the path goes through UTF-16.
std::filesystem::path fsPath(const QString& nativePath);
QString fromFsPath(const std::filesystem::path& path);

// Whether two UTF-8 names are equal without regard to letter case, as Windows compares file names.
bool sameNameIgnoringCase(const std::string& a, const std::string& b);

} // namespace data
