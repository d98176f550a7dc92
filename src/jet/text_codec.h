// Jet 4 text values: UCS-2LE, optionally in the "compressed" form (FF FE prefix, one byte per
// character, 0x00 toggling between one- and two-byte mode). Plus UTF-8 conversions for tools.
#pragma once
#include "jet/bytes.h"

#include <string>

namespace jet {

// Decodes a stored text value (plain or compressed, mixed mode included). Throws on an odd
// number of bytes in uncompressed mode.
std::u16string decodeText(ByteView bytes);

// Encodes a text value the way Access does: compressed when the column allows it, the text has
// 3..1024 code units and every unit is in U+0001..U+00FF; otherwise plain UCS-2LE. Plain bytes
// FF FE at the start would read back as the compression mark, so a text that begins with U+FEFF
// is stored in the compressed form with a toggle to two-byte mode in front of the U+FEFF.
Bytes encodeText(const std::u16string& text, bool compressionAllowed);

std::string toUtf8(const std::u16string& text);   // lone surrogates become U+FFFD
std::u16string fromUtf8(const std::string& text); // invalid bytes become U+FFFD

} // namespace jet
