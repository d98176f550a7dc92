// A child process that holds files the way another program would: open, and locked with
// process-associated fcntl locks as Wine's server mirrors a Windows program's LockFile calls
// (or with open-file-description locks), until it is killed.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include <sys/types.h>

namespace test_support {

constexpr short kOpenOnly = -1; // a HeldFile's lockType for a file held open without a lock

struct HeldFile {
    std::filesystem::path file;
    short lockType = kOpenOnly; // F_RDLCK, F_WRLCK or kOpenOnly
    int64_t start = 0;
    int64_t length = 1;       // 0: to the end of every offset
    bool openFileDescription = false; // an F_OFD_SETLK lock instead of a process-associated one
};

class LockHolder {
public:
    // Returns once the child holds everything; throws when it could not.
    explicit LockHolder(const std::vector<HeldFile>& files);
    ~LockHolder(); // kills the child if it still runs
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    void kill(); // SIGKILL, then waits until it is gone (its locks with it)
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

} // namespace test_support
