// Page 0 of a Jet 4 file: checks that the file is a plain Jet 4 database (not Jet 3, ACE or
// MS Money; no password, no page encryption) and decodes the fields behind the RC4 mask.
#pragma once
#include "jet/bytes.h"

#include <cstdint>
#include <string>

namespace jet {

class PageFile;

struct FileHeader {
    uint8_t version = 0;
    uint16_t codePage = 0;
    uint32_t databaseKey = 0;
    uint32_t sortOrder = 0;
    double creationDate = 0;
    Bytes decoded; // page 0 with the RC4 region decoded
};

// Applies (or removes: the same operation) the RC4 mask of page 0's obfuscated region.
void applyHeaderMask(Bytes& page0);

// Reads and validates page 0. Throws jet::Error naming the file for anything but an unprotected
// Jet 4 database whose length is a whole number of pages.
FileHeader readFileHeader(const PageFile& file);

} // namespace jet
