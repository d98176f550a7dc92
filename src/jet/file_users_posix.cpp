// Who else uses a file, on Linux: F_OFD_GETLK probes for locks (which also shows the classic
// process-associated locks that Wine's server takes on behalf of Windows programs) and a walk of
// /proc/*/fd for open descriptors.
#ifndef _WIN32
#include "jet/file_users.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace jet::file_users {

namespace {

// Enough to see every user and page lock that a Jet client places; a probe never needs more.
constexpr int kMaxProbes = 4096;
constexpr uint64_t kMaxOffset = uint64_t(std::numeric_limits<off_t>::max());

class ReadDescriptor {
public:
    // Non-blocking so that a FIFO or a device under the name cannot stall the open.
    explicit ReadDescriptor(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)) {}
    ~ReadDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadDescriptor(const ReadDescriptor&) = delete;
    ReadDescriptor& operator=(const ReadDescriptor&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

bool isRegular(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::vector<ForeignLock> foreignLocks(const std::string& path, uint64_t start, uint64_t length) {
    std::vector<ForeignLock> found;
    ReadDescriptor file(path);
    if (file.fd() < 0 || !isRegular(file.fd()) || start > kMaxOffset) return found;
    const uint64_t end = length == 0 || length > kMaxOffset - start ? 0 : start + length; // 0: no end
    const pid_t self = ::getpid();
    uint64_t from = start;
    for (int probe = 0; probe < kMaxProbes; ++probe) {
        struct flock query {};
        query.l_type = F_WRLCK; // conflicts with read and write locks alike
        query.l_whence = SEEK_SET;
        query.l_start = off_t(from);
        query.l_len = end == 0 ? 0 : off_t(end - from);
        // A file system without locks answers with an error: nothing can be seen there.
        if (::fcntl(file.fd(), F_OFD_GETLK, &query) != 0 || query.l_type == F_UNLCK) break;
        const uint64_t hitStart = uint64_t(query.l_start);
        const uint64_t hitLength = uint64_t(query.l_len);
        // A process-associated lock reports its owner's process id; a lock of an open file
        // description reports -1, whichever process holds it (this one's other panes included).
        if (query.l_pid != self)
            found.push_back({hitStart, hitLength, query.l_pid > 0});
        if (hitLength == 0 || hitStart + hitLength <= from) break;
        from = hitStart + hitLength;
        if (end != 0 && from >= end) break;
    }
    return found;
}

bool stillLocked(const std::string& path, const ForeignLock& lock) {
    return !foreignLocks(path, lock.start, lock.length).empty();
}

namespace {

struct FileId {
    dev_t device;
    ino_t inode;
    std::string name; // the last path component, lower case
};

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return lower;
}

std::string_view lastComponent(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool isNumber(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name)
        if (c < '0' || c > '9') return false;
    return true;
}

// Whether one of the process's descriptors refers to one of the files. Only descriptors whose
// path ends in one of the files' names (letter case aside) are compared by device and inode: a
// stat of every descriptor of every process would make the walk many times slower. A file opened
// under another name (a hard link) is therefore not seen.
bool processHasOpen(const std::string& pid, const std::vector<FileId>& files) {
    const std::string folder = "/proc/" + pid + "/fd";
    DIR* fds = ::opendir(folder.c_str());
    if (!fds) return false; // gone meanwhile, or another user's process seen without the right
    bool found = false;
    char target[4096];
    while (!found) {
        const dirent* entry = ::readdir(fds);
        if (!entry) break;
        if (!isNumber(entry->d_name)) continue;
        const std::string link = folder + "/" + entry->d_name;
        const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
        if (n <= 0 || size_t(n) >= sizeof target || target[0] != '/') continue; // sockets, pipes, ...
        const std::string name = lowerCase(lastComponent(std::string_view(target, size_t(n))));
        for (const FileId& f : files) {
            if (name != f.name) continue;
            struct stat st {};
            if (::stat(link.c_str(), &st) == 0 && st.st_dev == f.device && st.st_ino == f.inode) found = true;
        }
    }
    ::closedir(fds);
    return found;
}

} // namespace

bool openByAnotherProcess(const std::vector<std::string>& paths) {
    std::vector<FileId> files;
    for (const std::string& path : paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            files.push_back({st.st_dev, st.st_ino, lowerCase(lastComponent(path))});
    }
    if (files.empty()) return false;
    DIR* proc = ::opendir("/proc");
    if (!proc) return false; // no process file system: only the lock checks are possible
    const std::string self = std::to_string(::getpid());
    bool found = false;
    while (!found) {
        const dirent* entry = ::readdir(proc);
        if (!entry) break;
        if (!isNumber(entry->d_name) || self == entry->d_name) continue;
        found = processHasOpen(entry->d_name, files);
    }
    ::closedir(proc);
    return found;
}

} // namespace jet::file_users
#endif
