// Memo and OLE values: the 12-byte header in the row's var slot and the three storage kinds
// (inline, one LVAL row, a chain of LVAL rows), read with every pointer and length checked.
#pragma once
#include "jet/bytes.h"

#include <cstdint>
#include <vector>

namespace jet {

class PageFile;

struct LongValueHeader {
    uint32_t length = 0;       // data length in bytes
    uint8_t storage = 0;       // format::kLongValueInline / Single / Chain
    uint32_t firstRow = 0;     // row pointer to the first LVAL row (0 for inline)
    uint32_t tag = 0;          // bytes 8..11
};

// Parses the header at the start of a var slot; throws when the slot is shorter than 12 bytes or
// the storage kind is unknown.
LongValueHeader parseLongValueHeader(ByteView slot);

// One LVAL row a value occupies (for a chain: in chain order).
struct LongValueSegment {
    uint32_t page = 0;
    uint16_t slot = 0;
    size_t rowStart = 0;   // row start within the page
    size_t rowLength = 0;
    size_t dataLength = 0; // bytes of the value taken from this row
};

// The value's bytes. Chains are bounded by the file's page count and by the value's length.
Bytes readLongValue(const PageFile& file, ByteView slot);
// The LVAL rows holding the value (empty for inline).
std::vector<LongValueSegment> longValueSegments(const PageFile& file, ByteView slot);

} // namespace jet
