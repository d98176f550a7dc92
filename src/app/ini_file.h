// A small reader and writer for Windows INI files that behaves like the private-profile calls:
// section and key names match without regard to case, and a write changes only the one line
// it has to (or adds the section or key), leaving every other byte of the file as it was.
#pragma once
#include <QByteArray>
#include <QString>

#include <optional>

namespace app {

// The value of `key` in `section`, blanks around it removed and one pair of enclosing quotes
// taken off; nothing when the section or key is missing.
std::optional<QString> iniValue(const QByteArray& content, const QString& section, const QString& key);

// The file content with `key` in `section` set to `value`: the key's first line is rewritten
// after its "=", a missing key is added after the section's last entry, a missing section is
// added at the end. New lines use the file's own line ending (CR LF for a new file).
QByteArray withIniValue(const QByteArray& content, const QString& section, const QString& key,
                        const QString& value);

// File level. A missing or unreadable file gives `fallback`.
QString readProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& fallback);
// Creates the file when missing. false when it cannot be written.
bool writeProfileString(const QString& path, const QString& section, const QString& key, const QString& value);

// The INI path of an executable: the extension of the file name (from its last dot) replaced
// by ".INI"; a name without a dot gets ".INI" appended.
QString iniPathForExecutable(const QString& executablePath);

// The INI file to use: `besideExecutable` where it can be written (it exists and may be written,
// or its folder takes a new file), else the file of the same name in `userFolder` (the program
// copied into a folder the user may not write, such as Program Files).
QString settingsFileFor(const QString& besideExecutable, const QString& userFolder);

} // namespace app
