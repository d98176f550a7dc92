// Who else uses a file, on Windows: a lock test with LockFileEx and an open with a share mode that
// no other writer may hold. Windows keeps share modes itself, so an open that another program
// (Jet, shared or exclusive) already holds for writing fails with a sharing violation.
#ifdef _WIN32
#include "jet/file_users.h"

#include "jet/bounded_lock.h"
#include "jet/windows_sessions.h"
#include "jet/windows_text.h"

#include <windows.h>

namespace jet::file_users {

namespace {

using windows::widePath;

HANDLE openShared(const std::string& path) {
    return ::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Whether an exclusive lock on the range would be refused now (taken and given back at once).
bool rangeTaken(HANDLE file, uint64_t start, uint64_t length) {
    if (tryLockRange(file, LockKind::Exclusive, start, length) != LockAttempt::Taken) return true;
    unlockRange(file, start, length);
    return false;
}

} // namespace

std::vector<ForeignLock> foreignLocks(const std::string& path, uint64_t start, uint64_t length) {
    std::vector<ForeignLock> found;
    // A lock needs a handle with data access, which this process's share-mode-0 handle excludes.
    if (windows::ownWriteSessionHolds(path)) return found;
    HANDLE file = openShared(path);
    if (file == INVALID_HANDLE_VALUE) return found;
    const uint64_t span = length == 0 ? ~uint64_t(0) - start : length;
    // Windows cannot list locks; halving the range finds single bytes (a user lock) quickly.
    std::vector<std::pair<uint64_t, uint64_t>> todo{{start, span}};
    while (!todo.empty() && found.size() < 256) {
        auto [from, size] = todo.back();
        todo.pop_back();
        if (size == 0 || !rangeTaken(file, from, size)) continue;
        if (size == 1) {
            found.push_back({from, 1, true});
            continue;
        }
        todo.push_back({from + size / 2, size - size / 2});
        todo.push_back({from, size / 2});
    }
    ::CloseHandle(file);
    return found;
}

bool stillLocked(const std::string& path, const ForeignLock& lock) {
    return !foreignLocks(path, lock.start, lock.length).empty();
}

bool openByAnotherProcess(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        // A write session of this process (share mode 0) proves that nobody else has the file
        // open; it would also make the probe below fail.
        if (windows::ownWriteSessionHolds(path)) continue;
        // Read sharing only: this program's own read handles (shared for reading and writing)
        // still allow the open; any handle open for writing elsewhere makes it fail.
        HANDLE file = ::CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            continue;
        }
        if (::GetLastError() == ERROR_SHARING_VIOLATION || ::GetLastError() == ERROR_LOCK_VIOLATION) return true;
    }
    return false;
}

} // namespace jet::file_users
#endif
