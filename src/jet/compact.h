// Compaction between two page files (the facade's jet::compact opens the real files; tests pass
// failing ones).
#pragma once
#include <string>

namespace jet {

class PageFile;

// Writes a compacted copy of `source` into the empty, writable `destination`, reads it back
// against what was meant, flushes it, and checks that `source` did not change meanwhile.
// Throws jet::Error (messages name the copy as `copyName`); the caller removes the destination.
void compactFile(const PageFile& source, PageFile& destination, const std::string& copyName);

} // namespace jet
