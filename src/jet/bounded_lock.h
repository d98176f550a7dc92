// Byte-range locks that never wait without limit: tried at once, retried for about two seconds
// while another owner holds a conflicting lock, then refused with the "locked by another
// program" error.
#pragma once
#include <cstdint>
#include <string>

namespace jet {

#ifdef _WIN32
using NativeFile = void*; // a file HANDLE
#else
using NativeFile = int; // a file descriptor
#endif

enum class LockKind : uint8_t { Shared, Exclusive };

// Takes a lock of `kind` on [start, start + length) of the open file: an open-file-description
// lock (F_OFD_SETLK) on POSIX systems, a LockFileEx lock of the handle on Windows. Returns false
// when the file system keeps no locks (the caller goes ahead unlocked); throws InUseError naming
// `path` when the range stays locked by someone else.
bool lockRange(NativeFile file, LockKind kind, uint64_t start, uint64_t length, const std::string& path);
// Gives a range taken with lockRange back.
void unlockRange(NativeFile file, uint64_t start, uint64_t length);

// One attempt, which never waits; the platform's part of lockRange (bounded_lock_posix.cpp,
// bounded_lock_windows.cpp).
enum class LockAttempt : uint8_t { Taken, Conflict, Unsupported };
LockAttempt tryLockRange(NativeFile file, LockKind kind, uint64_t start, uint64_t length);

} // namespace jet
