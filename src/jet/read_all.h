// Reads everything a database holds (catalog, every user table's definition, every row and
// value, a statement per table) from bytes in memory: the path the fuzz target and its seed
// replay test drive.
#pragma once
#include "jet/bytes.h"

#include <cstddef>
#include <cstdint>

namespace jet {

// Returns the number of values read. Throws jet::Error for a file that is not a readable Jet 4
// database; anything else escaping is a bug.
size_t readWholeDatabase(const uint8_t* data, size_t size);

} // namespace jet
