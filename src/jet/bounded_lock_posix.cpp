// Bounded byte-range locks on Linux (F_OFD_SETLK, which never waits, in a retry loop).
#ifndef _WIN32
#include "jet/bounded_lock.h"

#include "jet/in_use.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <thread>

namespace jet {

namespace {

// Jet itself gives up after about as long (20 retries, 100 ms apart, by default).
constexpr auto kRetryTime = std::chrono::seconds(2);

struct flock rangeOf(short type, uint64_t start, uint64_t length) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = off_t(start);
    lock.l_len = off_t(length);
    return lock;
}

} // namespace

bool lockRange(int fd, short type, uint64_t start, uint64_t length, const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + kRetryTime;
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        struct flock lock = rangeOf(type, start, length);
        if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EACCES) return false; // no locks on this file system
        if (std::chrono::steady_clock::now() >= deadline) throw lockedByAnotherProgram(path);
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(100));
    }
}

void unlockRange(int fd, uint64_t start, uint64_t length) {
    struct flock lock = rangeOf(F_UNLCK, start, length);
    ::fcntl(fd, F_OFD_SETLK, &lock);
}

} // namespace jet
#endif
