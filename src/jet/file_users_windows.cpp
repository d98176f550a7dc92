// Who else uses a file, on Windows: a lock test with LockFileEx and an open with a share mode that
// no other writer may hold. Windows keeps share modes itself, so an open that another program
// (Jet, shared or exclusive) already holds for writing fails with a sharing violation.
#ifdef _WIN32
#include "jet/file_users.h"

#include <windows.h>

namespace jet::file_users {

namespace {

std::wstring widePath(const std::string& path) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 1), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
    wide.resize(wide.size() - 1);
    return wide;
}

HANDLE openShared(const std::string& path) {
    return ::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Whether an exclusive lock on the range would be refused now (taken and given back at once).
bool rangeTaken(HANDLE file, uint64_t start, uint64_t length) {
    OVERLAPPED at{};
    at.Offset = DWORD(start);
    at.OffsetHigh = DWORD(start >> 32);
    const DWORD low = DWORD(length), high = DWORD(length >> 32);
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, low, high, &at)) return true;
    ::UnlockFileEx(file, 0, low, high, &at);
    return false;
}

} // namespace

std::vector<ForeignLock> foreignLocks(const std::string& path, uint64_t start, uint64_t length) {
    std::vector<ForeignLock> found;
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
