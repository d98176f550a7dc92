// Windows: MoveFileExW without MOVEFILE_REPLACE_EXISTING refuses an existing name, and
// MOVEFILE_WRITE_THROUGH returns only once the move is on the disk (the folder's entry included:
// Windows offers no separate flush of a folder).
#ifdef _WIN32
#include "jet/disk_files.h"

#include "jet/error.h"
#include "jet/windows_text.h"

#include <windows.h>

namespace jet {

void publishFile(const std::string& from, const std::string& to) {
    if (::MoveFileExW(windows::widePath(from).c_str(), windows::widePath(to).c_str(), MOVEFILE_WRITE_THROUGH)) return;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        throw Error(to + ": the destination already exists");
    throw Error(to + ": cannot give the finished copy its name (" + windows::errorText(error) + ")");
}

void removeFileQuietly(const std::string& path) noexcept { ::DeleteFileW(windows::widePath(path).c_str()); }

bool pathTaken(const std::string& path) {
    return ::GetFileAttributesW(windows::widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace jet
#endif
