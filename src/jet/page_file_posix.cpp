// Page I/O on Linux and other POSIX systems: pread/pwrite on a descriptor, each call under a
// byte-range lock of its own, fsync for durability.
#ifndef _WIN32
#include "jet/page_file.h"

#include "jet/bounded_lock.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace jet {

namespace {

std::string systemError(const std::string& path, const std::string& action) {
    return path + ": cannot " + action + " (" + std::strerror(errno) + ")";
}

// Linux does not make a buffered read atomic against a concurrent write of the same page: ext4
// copies page-cache pages out to a reader without taking the writer's locks, so a reader could
// see half of a page write. Readers and writers of this program therefore hold an
// open-file-description lock on the byte range for the one system call: shared to read,
// exclusive to write. Where the file system refuses locks the call goes ahead unlocked; a range
// that another program keeps locked is refused after a bounded wait (bounded_lock.h).
class RangeLock {
public:
    RangeLock(int fd, LockKind kind, uint64_t offset, size_t length, const std::string& path)
        : fd_(fd), offset_(offset), length_(length), locked_(lockRange(fd, kind, offset, length, path)) {}
    ~RangeLock() {
        if (locked_) unlockRange(fd_, offset_, length_);
    }
    RangeLock(const RangeLock&) = delete;
    RangeLock& operator=(const RangeLock&) = delete;

private:
    int fd_;
    uint64_t offset_;
    size_t length_;
    bool locked_;
};

class PosixPageFile final : public PageFile {
public:
    PosixPageFile(const std::string& path, int fd, bool writable)
        : PageFile(path), fd_(fd), writable_(writable) {}
    ~PosixPageFile() override { ::close(fd_); } // closing the descriptor drops its locks
    // A shared lock over the file's bytes, kept until the file is closed (only the bytes: Jet
    // places its locks beyond the end of the file, and those must not be waited for); the reads
    // then take no range locks of their own (unlocking a range would cut a hole into this one).
    void holdReadLock() {
        uint64_t size = sizeBytes();
        if (size > 0) bytesLocked_ = lockRange(fd_, LockKind::Shared, 0, size, name());
    }

    bool writable() const override { return writable_; }
    uint64_t sizeBytes() const override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) throw Error(systemError(name(), "read the file's size"));
        return uint64_t(st.st_size);
    }

protected:
    void sync() override {
        if (writable_ && ::fsync(fd_) != 0) throw Error(systemError(name(), "flush the file"));
    }
    void readAt(uint64_t offset, uint8_t* dst, size_t length) const override {
        std::optional<RangeLock> lock;
        if (!bytesLocked_) lock.emplace(fd_, LockKind::Shared, offset, length, name());
        size_t done = 0;
        while (done < length) {
            ssize_t n = ::pread(fd_, dst + done, length - done, off_t(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw Error(systemError(name(), "read"));
            if (n == 0) throw Error(name() + ": the file ended while reading (it was truncated?)");
            done += size_t(n);
        }
    }
    void writeAt(uint64_t offset, const uint8_t* src, size_t length) override {
        RangeLock lock(fd_, LockKind::Exclusive, offset, length, name());
        size_t done = 0;
        while (done < length) {
            ssize_t n = ::pwrite(fd_, src + done, length - done, off_t(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0 && errno == ENOSPC) throw Error(ErrorKind::DiskFull, {name()}, systemError(name(), "write"));
            if (n <= 0) throw Error(systemError(name(), "write"));
            done += size_t(n);
        }
    }
    void truncateTo(uint64_t size) override {
        if (::ftruncate(fd_, off_t(size)) != 0) throw Error(systemError(name(), "shorten the file"));
    }
    bool modifiedJustNow() const override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return true;
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        return now.tv_sec - st.st_mtim.tv_sec < 2;
    }
    uint64_t stamp() const override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return 0;
        uint64_t mtime = uint64_t(st.st_mtim.tv_sec) * 1000000000ull + uint64_t(st.st_mtim.tv_nsec);
        return mtime * 1099511628211ull ^ uint64_t(st.st_size) ^ (uint64_t(st.st_ino) << 20);
    }

private:
    int fd_;
    bool writable_;
    bool bytesLocked_ = false;
};

int openDatabaseFile(const std::string& path, bool writable) {
    if (path.empty()) throw Error("no database file was given");
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) throw Error(ErrorKind::FileMissing, {path}, path + ": the file does not exist");
        throw Error(systemError(path, "open the file"));
    }
    if (S_ISDIR(st.st_mode)) throw Error(path + ": is a folder, not a database file");
    if (!S_ISREG(st.st_mode)) throw Error(path + ": is not a regular file");
    int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) {
        if (writable && (errno == EACCES || errno == EROFS || errno == EPERM)) throw notWritableError(path);
        throw Error(systemError(path, "open the file"));
    }
    return fd;
}

} // namespace

std::unique_ptr<PageFile> openDiskPageFile(const std::string& path, bool writable) {
    return std::make_unique<PosixPageFile>(path, openDatabaseFile(path, writable), writable);
}

std::unique_ptr<PageFile> openPageFileForCopy(const std::string& path) {
    auto file = std::make_unique<PosixPageFile>(path, openDatabaseFile(path, false), false);
    file->holdReadLock();
    return file;
}

std::unique_ptr<PageFile> createPageFile(const std::string& path) {
    if (path.empty()) throw Error("no file name was given");
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST) throw Error(path + ": the file already exists");
        throw Error(systemError(path, "create the file"));
    }
    return std::make_unique<PosixPageFile>(path, fd, true);
}

} // namespace jet
#endif
