// Windows only: this process's write sessions. A write session holds its file with share mode 0,
// so every other open of the file fails, this program's own included: the checks that open a
// file to see who else uses it ask here first.
#pragma once
#ifdef _WIN32
#include <string>

namespace jet::windows {

// Whether a page file of this process holds the file at `path` open for writing.
bool ownWriteSessionHolds(const std::string& path);

} // namespace jet::windows
#endif
