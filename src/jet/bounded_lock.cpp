// The bounded retry around one platform's non-waiting lock attempt.
#include "jet/bounded_lock.h"

#include "jet/in_use.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace jet {

namespace {

// Jet itself gives up after about as long (20 retries, 100 ms apart, by default).
constexpr auto kRetryTime = std::chrono::seconds(2);

} // namespace

bool lockRange(NativeFile file, LockKind kind, uint64_t start, uint64_t length, const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + kRetryTime;
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        switch (tryLockRange(file, kind, start, length)) {
        case LockAttempt::Taken: return true;
        case LockAttempt::Unsupported: return false; // no locks on this file system
        case LockAttempt::Conflict: break;
        }
        if (std::chrono::steady_clock::now() >= deadline) throw lockedByAnotherProgram(path);
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(100));
    }
}

} // namespace jet
