#include "maintenance/backups.h"

#include "data/win_path.h"

#include "jet/database.h"
#include "jet/in_use.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace maintenance {

namespace {

constexpr const char* kExtension = ".mdb";
constexpr std::size_t kChunk = 1 << 16;

// File names as UTF-8 text, whatever the platform's native path encoding.
std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path fromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string shown(const fs::path& path) {
    std::string text(1, '\'');
    text += utf8(path);
    text += '\'';
    return text;
}

std::string twoDigits(int value) {
    std::array<char, 8> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02d", value);
    return buffer.data();
}

// Reads `count` decimal digits at `at`; false when any is not a digit.
bool digits(const std::string& text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool plausible(const BackupStamp& s) {
    return s.year >= 1 && s.month >= 1 && s.month <= 12 && s.day >= 1 && s.day <= 31 && s.hour <= 23 &&
           s.minute <= 59 && s.second <= 60;
}

// Copies `from` into the new file `to` (which must not exist); false when `to` was taken.
// Throws BackupError on a read or write failure, after removing what was written.
bool copyNew(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (fs::exists(to, ec) || fs::is_symlink(to, ec)) return false;
    std::ifstream in(from, std::ios::binary);
    if (!in) throw BackupError("cannot read " + shown(from));
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) throw BackupError("cannot create " + shown(to));
    std::vector<char> buffer(kChunk);
    while (in && out) {
        in.read(buffer.data(), std::streamsize(buffer.size()));
        const std::streamsize got = in.gcount();
        if (got > 0) out.write(buffer.data(), got);
    }
    bool failed = in.bad() || !in.eof() || !out;
    out.close();
    if (failed || out.fail()) {
        fs::remove(to, ec);
        throw BackupError("cannot copy " + shown(from) + " to " + shown(to) + " (disk full or not writable?)");
    }
    return true;
}

} // namespace

std::string bibleNameOf(const fs::path& bibleFile) { return utf8(bibleFile.stem()); }

bool fileNamesEqual(const std::string& a, const std::string& b) {
    return kFileNamesIgnoreCase ? data::sameNameIgnoringCase(a, b) : a == b;
}

std::string backupFileName(const std::string& bible, const BackupStamp& s, int sequence) {
    std::string name = bible + "-" + std::to_string(s.year) + twoDigits(s.month) + twoDigits(s.day) + "-" +
                       twoDigits(s.hour) + twoDigits(s.minute) + twoDigits(s.second);
    if (sequence >= 2) {
        name += '-';
        name += std::to_string(sequence);
    }
    return name + kExtension;
}

std::optional<BackupEntry> parseBackupFileName(const std::string& fileName, const std::string& bible) {
    const std::string extension = kExtension;
    // NAME "-" YYYYMMDD "-" HHMMSS [ "-" N ] ".mdb"
    if (fileName.size() < bible.size() + 1 + 8 + 1 + 6 + extension.size()) return std::nullopt;
    if (!fileNamesEqual(fileName.substr(0, bible.size()), bible) || fileName[bible.size()] != '-') return std::nullopt;
    if (!fileNamesEqual(fileName.substr(fileName.size() - extension.size()), extension)) return std::nullopt;
    const std::string rest = fileName.substr(bible.size() + 1, fileName.size() - bible.size() - 1 - extension.size());

    BackupEntry entry;
    BackupStamp& s = entry.stamp;
    if (!digits(rest, 0, 4, s.year) || !digits(rest, 4, 2, s.month) || !digits(rest, 6, 2, s.day)) return std::nullopt;
    if (rest.size() < 15 || rest[8] != '-') return std::nullopt;
    if (!digits(rest, 9, 2, s.hour) || !digits(rest, 11, 2, s.minute) || !digits(rest, 13, 2, s.second))
        return std::nullopt;
    if (!plausible(s)) return std::nullopt;
    if (rest.size() > 15) {
        // "-N" with N >= 2 written without leading zeros, as backupFileName writes it.
        const std::string number = rest.substr(16);
        if (rest[15] != '-' || number.empty() || number.size() > 6 || number[0] == '0') return std::nullopt;
        int sequence = 0;
        if (!digits(number, 0, number.size(), sequence) || sequence < 2) return std::nullopt;
        entry.sequence = sequence;
    }
    return entry;
}

std::vector<BackupEntry> listBackups(const fs::path& folder, const std::string& bible) {
    std::vector<BackupEntry> found;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        auto entry = parseBackupFileName(utf8(it->path().filename()), bible);
        if (!entry) continue;
        entry->path = it->path();
        entry->size = it->file_size(ec);
        found.push_back(std::move(*entry));
    }
    std::sort(found.begin(), found.end(), [](const BackupEntry& a, const BackupEntry& b) {
        if (a.stamp != b.stamp) return a.stamp > b.stamp;
        return a.sequence > b.sequence;
    });
    return found;
}

bool sameContents(const fs::path& a, const fs::path& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second) return false;
    std::vector<char> x(kChunk), y(kChunk);
    for (;;) {
        first.read(x.data(), std::streamsize(x.size()));
        second.read(y.data(), std::streamsize(y.size()));
        const std::streamsize n = first.gcount();
        if (n != second.gcount()) return false;
        if (!std::equal(x.begin(), x.begin() + n, y.begin())) return false;
        if (first.eof() || second.eof()) return first.eof() && second.eof() && !first.bad() && !second.bad();
        if (!first || !second) return false;
    }
}

fs::path makeBackup(const fs::path& bibleFile, const fs::path& folder, const BackupStamp& now) {
    std::error_code ec;
    if (!fs::is_regular_file(bibleFile, ec)) throw BackupError(shown(bibleFile) + " is not a file");
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder))
        throw BackupError("cannot create the backup folder " + shown(folder) + (ec ? ": " + ec.message() : ""));

    const std::string bible = bibleNameOf(bibleFile);
    fs::path copy;
    for (int sequence = 1;; ++sequence) {
        copy = folder / fromUtf8(backupFileName(bible, now, sequence));
        if (copyNew(bibleFile, copy)) break;
        if (sequence > 1000) throw BackupError("no free backup name in " + shown(folder));
    }
    if (!sameContents(bibleFile, copy)) {
        fs::remove(copy, ec);
        throw BackupError("the backup " + shown(copy) + " does not read back the same as " + shown(bibleFile));
    }
    pruneBackups(folder, bible);
    return copy;
}

void pruneBackups(const fs::path& folder, const std::string& bible, int keep) {
    const std::vector<BackupEntry> backups = listBackups(folder, bible);
    std::error_code ec;
    for (std::size_t i = std::size_t(std::max(keep, 0)); i < backups.size(); ++i) fs::remove(backups[i].path, ec);
}

fs::path restoreBackup(const fs::path& bibleFile, const fs::path& backup, const fs::path& folder,
                       const BackupStamp& now) {
    std::error_code ec;
    const std::string bible = bibleNameOf(bibleFile);
    if (!parseBackupFileName(utf8(backup.filename()), bible))
        throw BackupError(shown(backup) + " is not a backup of " + bible + " (" + bible + "-YYYYMMDD-HHMMSS.mdb)");
    if (!fs::is_regular_file(backup, ec)) throw BackupError("the backup " + shown(backup) + " does not exist");
    if (fs::exists(bibleFile, ec) && fs::equivalent(bibleFile, backup, ec))
        throw BackupError(shown(backup) + " is the bible file itself");
    try {
        const auto readable = jet::Database::open(utf8(backup), jet::OpenMode::ReadOnly);
    } catch (const jet::Error& error) {
        throw BackupError("the backup " + shown(backup) + " cannot be read as a database: " + error.what());
    }

    // Another program reading the bible (Lumora through Jet) must not see it replaced under it.
    if (fs::exists(bibleFile, ec)) jet::refuseIfInUse(utf8(bibleFile), jet::InUseCheck::Thorough);

    // The replacement is prepared beside the bible file, so that the final rename stays on one
    // file system and either happens whole or not at all.
    const fs::path staging = bibleFile.parent_path() / fromUtf8(utf8(bibleFile.filename()) + ".restoring");
    fs::remove(staging, ec);
    // A leftover that cannot be removed would otherwise be compared in place of the copy.
    if (!copyNew(backup, staging))
        throw BackupError("the backup cannot be put back: " + shown(staging) + " is in the way and cannot be removed" +
                          (ec ? " (" + ec.message() + ")" : std::string()));
    if (!sameContents(backup, staging)) {
        fs::remove(staging, ec);
        throw BackupError("the copy of " + shown(backup) + " does not read back the same");
    }

    fs::path replaced;
    try {
        if (fs::exists(bibleFile, ec)) replaced = makeBackup(bibleFile, folder, now);
    } catch (...) {
        fs::remove(staging, ec);
        throw;
    }
    fs::rename(staging, bibleFile, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(staging, ec);
        throw BackupError("cannot replace " + shown(bibleFile) + ": " + reason);
    }
    return replaced;
}

} // namespace maintenance
