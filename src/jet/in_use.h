// Whether another program has a database open (the presentation program through Jet, natively
// or under Wine, or any other process), so that nothing is written under it. On Linux this is
// seen in locks and open descriptors (file_users_posix.cpp). On Windows a write session opens the
// file with share mode 0, and the sharing violation that another program's open causes is the
// refusal (page_file_windows.cpp); the checks here add the names from the lock file. The Windows
// code is built with MinGW and tested under Wine only: no native Windows build exists.
#pragma once
#include "jet/error.h"

#include <optional>
#include <string>

namespace jet {

// A write refused because another program has the database open or holds a lock this program
// needs. Callers that must tell it apart (exit status, skipping a compaction) catch it first.
class InUseError : public Error {
public:
    using Error::Error;
};

enum class InUseCheck {
    Locks,    // byte-range locks on the database and its lock file: cheap, before every write
    Thorough, // also every open of either file by another process: a write session's start, compaction
              // (on Windows: an open that another program's handle refuses)
};

// The message for the user when another program has the database at `path` open, else nothing.
// A lock file that nobody locks or holds open is stale: it is ignored and left alone.
std::optional<std::string> inUseMessage(const std::string& path, InUseCheck check);

// Throws InUseError with that message when another program has the database open.
void refuseIfInUse(const std::string& path, InUseCheck check);

// The error for a database that another program is known to have open (on Windows: an open for
// writing met a sharing violation). It names the computer and user when another program holds a
// user lock in the lock file.
InUseError openByAnotherProgram(const std::string& path);

// The error for a byte range of `path` that stayed locked by another program past the retry time.
InUseError lockedByAnotherProgram(const std::string& path);

} // namespace jet
