// POSIX: link() refuses an existing name, so the final name never replaces a file; the folder is
// fsynced so that the new name (and the removal of the old one) survive a power cut.
#ifndef _WIN32
#include "jet/disk_files.h"

#include "jet/error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jet {

namespace {

void syncFolderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return; // nothing more can be done for the entry
    ::fsync(fd);
    ::close(fd);
}

} // namespace

void publishFile(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST) throw Error(to + ": the destination already exists");
        // Some file systems have no hard links: a rename that refuses an existing name.
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
            throw Error(to + ": cannot give the finished copy its name (" + std::strerror(errno) + ")");
    } else {
        ::unlink(from.c_str());
    }
    syncFolderOf(to);
}

void removeFileQuietly(const std::string& path) noexcept { ::unlink(path.c_str()); }

bool pathTaken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace jet
#endif
