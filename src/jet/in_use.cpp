// The in-use verdict. Jet keeps a lock file NAME.ldb beside NAME.mdb while a client has the
// database open in shared mode: an array of 64-byte entries (32 bytes computer name, 32 bytes
// account name), and one exclusive 1-byte "user lock" per connected client from 0x10000001 on,
// the entry of user n starting at (n - 1) * 64. Jet 4's other lock offsets are not known, so any
// lock by another owner on either file counts; offsets only pick the names for the message.
#include "jet/in_use.h"

#include "jet/file_users.h"
#include "jet/format.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace jet {

namespace {

namespace fs = std::filesystem;

using format::kLdbFirstUserLock;
using format::kLdbNameBytes;
using format::kLdbUserLocks;

// Paths are UTF-8 in this program; on Windows a narrow path would be read in the ANSI code page.
fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

// The lock file beside the database: same base name, extension .ldb, letter case ignored (Wine
// creates it in the case the Windows program used). Empty when there is none.
std::string lockFileOf(const std::string& database) {
    const fs::path db = pathOf(database);
    std::string wanted = utf8Of(db.stem()) + ".ldb";
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        return s;
    };
    wanted = lower(wanted);
    std::error_code ec;
    const fs::path folder = db.has_parent_path() ? db.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (lower(utf8Of(it->path().filename())) == wanted) return utf8Of(it->path());
    return {};
}

// A name field of an entry: up to the first NUL, trailing blanks cut, bytes read as Latin-1.
std::string nameField(const char* bytes) {
    std::string name;
    for (size_t i = 0; i < kLdbNameBytes && bytes[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x20) return {}; // not a name: the entry was never written
        if (c < 0x80) {
            name += char(c);
        } else {
            name += char(0xC0 | (c >> 6));
            name += char(0x80 | (c & 0x3F));
        }
    }
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

// "computer X, user Y" from the entry of the user whose user lock is held, when it can be read.
std::string userOfSlot(const std::string& lockFile, uint64_t lockOffset) {
    const uint64_t user = lockOffset - kLdbFirstUserLock + 1;
    std::ifstream in(pathOf(lockFile), std::ios::binary);
    char entry[2 * kLdbNameBytes] = {};
    in.seekg(std::streamoff((user - 1) * sizeof entry));
    if (!in.read(entry, sizeof entry)) return {};
    const std::string computer = nameField(entry), account = nameField(entry + kLdbNameBytes);
    if (computer.empty() && account.empty()) return {};
    std::string who;
    if (!computer.empty()) who = "computer " + computer;
    if (!account.empty()) who += (who.empty() ? "user " : ", user ") + account;
    return who;
}

// Whether a lock found stays held: a lock of an open file description may be this program's own
// page lock of the moment (the other pane's handle), so it counts only when it is still there
// after a few short pauses.
bool lasting(const std::string& path, const file_users::ForeignLock& lock) {
    if (lock.ownerKnown) return true;
    for (int i = 0; i < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!file_users::stillLocked(path, lock)) return false;
    }
    return true;
}

bool lockedByOther(const std::string& path) {
    for (const auto& lock : file_users::foreignLocks(path))
        if (lasting(path, lock)) return true;
    return false;
}

// The engine's own, technical wording; what the user reads (and what to do about it) is worded
// from the facts by the program, in the user's language.
std::string message(const std::string& database, const std::string& who) {
    return database + ": the file is open in another program" + (who.empty() ? "" : " (" + who + ")");
}

InUseError inUseError(const std::string& database, const std::string& who) {
    ErrorFacts facts;
    facts.path = database;
    facts.holder = who;
    return InUseError(ErrorKind::InUse, facts, message(database, who));
}

// Whose user lock another program holds in the lock file: nullopt when none is held, an empty
// text when one is held but its entry names nobody.
std::optional<std::string> userLockHolder(const std::string& lockFile) {
    for (const auto& lock : file_users::foreignLocks(lockFile, kLdbFirstUserLock, kLdbUserLocks)) {
        if (!lasting(lockFile, lock)) continue;
        const bool oneUser = lock.start >= kLdbFirstUserLock && lock.length == 1;
        return oneUser ? userOfSlot(lockFile, lock.start) : std::string();
    }
    return std::nullopt;
}

// Who has the database open, as far as the lock file tells ("" when it does not), or nullopt when
// nobody else has it open.
std::optional<std::string> otherUser(const std::string& path, InUseCheck check) {
    const std::string lockFile = lockFileOf(path);
    if (!lockFile.empty()) {
        // A held user lock tells whose entry to name.
        if (auto who = userLockHolder(lockFile)) return who;
        if (lockedByOther(lockFile)) return std::string();
    }
    if (lockedByOther(path)) return std::string();
    if (check == InUseCheck::Thorough) {
        std::vector<std::string> files{path};
        if (!lockFile.empty()) files.push_back(lockFile);
        if (file_users::openByAnotherProcess(files)) return std::string();
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> inUseMessage(const std::string& path, InUseCheck check) {
    if (auto who = otherUser(path, check)) return message(path, *who);
    return std::nullopt;
}

void refuseIfInUse(const std::string& path, InUseCheck check) {
    if (auto who = otherUser(path, check)) throw inUseError(path, *who);
}

InUseError openByAnotherProgram(const std::string& path) {
    const std::string lockFile = lockFileOf(path);
    const std::optional<std::string> who = lockFile.empty() ? std::nullopt : userLockHolder(lockFile);
    return inUseError(path, who.value_or(std::string()));
}

InUseError lockedByAnotherProgram(const std::string& path) {
    return InUseError(ErrorKind::Locked, {path},
                      path + ": the file is locked by another program");
}

} // namespace jet
