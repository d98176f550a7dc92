// Platform calls that show who else uses a file: other processes' byte-range locks on it and
// other processes that have it open. One implementation per platform (POSIX, Windows).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace jet::file_users {

struct ForeignLock {
    uint64_t start = 0;
    uint64_t length = 0;         // 0: to the end of every possible offset
    bool ownerKnown = true;      // false: the owner is an open file description, maybe this process's
};

// Locks that other owners hold on [start, start + length) of the file (length 0: to the end),
// each one that conflicts with a write lock, read locks included. Empty when the file is missing
// or its file system keeps no locks.
std::vector<ForeignLock> foreignLocks(const std::string& path, uint64_t start = 0, uint64_t length = 0);

// Whether the lock reported as `lock` is still held (asked again after a short pause).
bool stillLocked(const std::string& path, const ForeignLock& lock);

// Whether a process other than this one has any of the files open. Missing files are skipped.
bool openByAnotherProcess(const std::vector<std::string>& paths);

} // namespace jet::file_users
