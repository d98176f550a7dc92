// Whether another program has a database open (the presentation program through Jet, natively
// or under Wine, or any other process), so that nothing is written under it.
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
};

// The message for the user when another program has the database at `path` open, else nothing.
// A lock file that nobody locks or holds open is stale: it is ignored and left alone.
std::optional<std::string> inUseMessage(const std::string& path, InUseCheck check);

// Throws InUseError with that message when another program has the database open.
void refuseIfInUse(const std::string& path, InUseCheck check);

// The error for a byte range of `path` that stayed locked by another program past the retry time.
InUseError lockedByAnotherProgram(const std::string& path);

} // namespace jet
