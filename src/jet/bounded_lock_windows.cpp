// One non-waiting byte-range lock attempt on Windows: LockFileEx with LOCKFILE_FAIL_IMMEDIATELY,
// owned by the handle. Windows locks are mandatory: a range another handle locks exclusively
// cannot be read through this one.
#ifdef _WIN32
#include "jet/bounded_lock.h"

#include <windows.h>

namespace jet {

namespace {

OVERLAPPED at(uint64_t start) {
    OVERLAPPED where{};
    where.Offset = DWORD(start);
    where.OffsetHigh = DWORD(start >> 32);
    return where;
}

} // namespace

LockAttempt tryLockRange(NativeFile file, LockKind kind, uint64_t start, uint64_t length) {
    OVERLAPPED where = at(start);
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (::LockFileEx(file, flags, 0, DWORD(length), DWORD(length >> 32), &where)) return LockAttempt::Taken;
    const DWORD error = ::GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION || error == ERROR_IO_PENDING
               ? LockAttempt::Conflict
               : LockAttempt::Unsupported;
}

void unlockRange(NativeFile file, uint64_t start, uint64_t length) {
    OVERLAPPED where = at(start);
    ::UnlockFileEx(file, 0, DWORD(length), DWORD(length >> 32), &where);
}

} // namespace jet
#endif
