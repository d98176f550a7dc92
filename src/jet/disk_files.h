// Whole-file steps on disk beside the page file: giving a finished file its final name so that it
// appears complete or not at all, and removing a file that must not stay behind.
#pragma once
#include <string>

namespace jet {

// Gives the flushed file `from` the name `to`, which must not exist, and removes the name
// `from`; the folder's entry is flushed, so after a power cut `to` is either absent or the whole
// file. Throws jet::Error (then `from` is left as it is).
void publishFile(const std::string& from, const std::string& to);

// Removes the file if it is there; failures are ignored (clean-up on an error path).
void removeFileQuietly(const std::string& path) noexcept;

// Whether anything (file, folder, dangling link) has this name.
bool pathTaken(const std::string& path);

} // namespace jet
