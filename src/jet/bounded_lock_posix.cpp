// One non-waiting byte-range lock attempt on Linux: F_OFD_SETLK, owned by the open file
// description, so that two descriptors of this process (two panes) exclude each other too.
#ifndef _WIN32
#include "jet/bounded_lock.h"

#include <cerrno>
#include <fcntl.h>

namespace jet {

namespace {

struct flock rangeOf(short type, uint64_t start, uint64_t length) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = off_t(start);
    lock.l_len = off_t(length);
    return lock;
}

} // namespace

LockAttempt tryLockRange(NativeFile fd, LockKind kind, uint64_t start, uint64_t length) {
    for (;;) {
        struct flock lock = rangeOf(kind == LockKind::Shared ? F_RDLCK : F_WRLCK, start, length);
        if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return LockAttempt::Taken;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EACCES ? LockAttempt::Conflict : LockAttempt::Unsupported;
    }
}

void unlockRange(NativeFile fd, uint64_t start, uint64_t length) {
    struct flock lock = rangeOf(F_UNLCK, start, length);
    ::fcntl(fd, F_OFD_SETLK, &lock);
}

} // namespace jet
#endif
