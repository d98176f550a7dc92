// Page 0 validation and the RC4 mask over its obfuscated region.
#include "jet/header.h"

#include "jet/format.h"
#include "jet/page_file.h"

#include <cmath>
#include <cstring>

namespace jet {

using namespace format;

namespace {

// The RC4 key stream for the 4-byte key; XORing with it both encodes and decodes.
void rc4Xor(uint8_t* data, size_t length, const uint8_t* key, size_t keyLength) {
    uint8_t s[256];
    for (int i = 0; i < 256; ++i) s[i] = uint8_t(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    int i = 0, j = 0;
    for (size_t n = 0; n < length; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xFF];
    }
}

} // namespace

void applyHeaderMask(Bytes& page0) {
    requireSpace(page0, kHeaderRc4Start, kHeaderRc4Size);
    rc4Xor(page0.data() + kHeaderRc4Start, kHeaderRc4Size, kHeaderRc4Key, sizeof kHeaderRc4Key);
}

FileHeader readFileHeader(const PageFile& file) {
    const std::string& name = file.name();
    uint64_t size = file.sizeBytes();
    if (size == 0) throw Error(ErrorKind::NotJet4, {name}, name + ": the file is empty, not a Jet database");
    if (size < kPageSize)
        throw Error(ErrorKind::NotJet4, {name}, name + ": the file is too short (" + std::to_string(size) +
                    " bytes) to be a Jet 4 database; it is truncated or not a database");

    FileHeader header;
    header.decoded = file.page(0);
    ByteView raw(header.decoded.data(), header.decoded.size(), name + ", header page");
    std::string engine(reinterpret_cast<const char*>(raw.data() + kHeaderEngineName),
                       kHeaderEngineNameSize);
    header.version = raw.u8(kHeaderVersion);
    if (raw.u8(0) != kPageHeader || (engine != kEngineJet && engine != kEngineAce))
        throw Error(ErrorKind::NotJet4, {name}, name + ": not a Jet database (the file header is not recognised)");
    if (engine == kEngineAce || header.version > kVersionJet4)
        throw Error(ErrorKind::NotJet4, {name}, name + ": is an Access 2007 or later (ACE, .accdb) database; only Jet 4 "
                           "databases (Access 2000-2003 .mdb) are supported");
    if (header.version == kVersionJet3)
        throw Error(ErrorKind::NotJet4, {name}, name + ": is a Jet 3 (Access 97) database; only Jet 4 databases "
                           "(Access 2000-2003 .mdb) are supported");
    if (size % kPageSize != 0)
        throw Error(ErrorKind::NotJet4, {name}, name + ": the file length (" + std::to_string(size) +
                    " bytes) is not a whole number of pages; the file is truncated or damaged");

    applyHeaderMask(header.decoded);
    ByteView dec(header.decoded.data(), header.decoded.size(), name + ", header page");
    header.codePage = dec.u16(kHeaderCodePage);
    header.databaseKey = dec.u32(kHeaderDatabaseKey);
    header.sortOrder = dec.u32(kHeaderSortOrder);
    header.creationDate = dec.f64(kHeaderCreationDate);
    if (header.databaseKey != 0)
        throw Error(name + ": the database is encrypted; encrypted databases are not supported");

    // The password field is masked once more with the creation date's integer part.
    uint8_t mask[4] = {0, 0, 0, 0};
    double date = header.creationDate;
    if (std::isfinite(date) && date > -2147483648.0 && date < 2147483648.0) {
        uint32_t d = uint32_t(int32_t(date));
        for (int i = 0; i < 4; ++i) mask[i] = uint8_t(d >> (8 * i));
    }
    for (size_t i = 0; i < kHeaderPasswordSize; ++i) {
        if ((dec.u8(kHeaderPassword + i) ^ mask[i % 4]) != 0)
            throw Error(name + ": the database is protected by a password; such databases are "
                               "not supported");
    }
    return header;
}

} // namespace jet
