// The lock-holding child: fork, open and lock, report "ready" through a pipe, then wait to be killed.
#include "support/lock_holder.h"

#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace test_support {

namespace {

[[noreturn]] void holdInChild(const std::vector<HeldFile>& files, int report) {
    // The fork copied every descriptor of the test (bibles it has open among them): keep none.
    ::close_range(3, unsigned(report) - 1, 0);
    ::close_range(unsigned(report) + 1, ~0u, 0);
    for (const HeldFile& f : files) {
        // Wine's server takes a read lock on a descriptor that is open for reading only.
        const int fd = ::open(f.file.c_str(), f.lockType == F_WRLCK ? O_RDWR : O_RDONLY);
        char failed = 'F';
        if (fd < 0) {
            (void)!::write(report, &failed, 1);
            ::_exit(1);
        }
        if (f.lockType == kOpenOnly) continue;
        struct flock lock {};
        lock.l_type = f.lockType;
        lock.l_whence = SEEK_SET;
        lock.l_start = off_t(f.start);
        lock.l_len = off_t(f.length);
        if (::fcntl(fd, f.openFileDescription ? F_OFD_SETLK : F_SETLK, &lock) != 0) {
            (void)!::write(report, &failed, 1);
            ::_exit(1);
        }
    }
    const char ready = 'R';
    (void)!::write(report, &ready, 1);
    for (;;) ::pause();
}

} // namespace

LockHolder::LockHolder(const std::vector<HeldFile>& files) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        ::close(pipeFds[0]);
        holdInChild(files, pipeFds[1]);
    }
    ::close(pipeFds[1]);
    char answer = 0;
    const ssize_t n = ::read(pipeFds[0], &answer, 1);
    ::close(pipeFds[0]);
    if (n != 1 || answer != 'R') {
        kill();
        throw std::runtime_error("the lock-holding child could not take its locks");
    }
}

LockHolder::~LockHolder() { kill(); }

void LockHolder::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

} // namespace test_support
