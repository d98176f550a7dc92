// Byte-range locks that never wait without limit: tried at once, retried for about two seconds
// while another owner holds a conflicting lock, then refused with the "locked by another
// program" error.
#pragma once
#include <cstdint>
#include <string>

namespace jet {

// Takes an open-file-description lock of `type` (F_RDLCK or F_WRLCK) on [start, start + length)
// of the descriptor. Returns false when the file system keeps no locks (the caller goes ahead
// unlocked); throws InUseError naming `path` when the range stays locked by someone else.
bool lockRange(int fd, short type, uint64_t start, uint64_t length, const std::string& path);
// Gives a range taken with lockRange back.
void unlockRange(int fd, uint64_t start, uint64_t length);

} // namespace jet
