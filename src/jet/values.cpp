// Column values: fixed-size numbers, dates, GUIDs, decimals, text, binary and long values.
#include "jet/values.h"

#include "jet/long_value.h"
#include "jet/row.h"
#include "jet/table_def.h"
#include "jet/text_codec.h"

#include <algorithm>

namespace jet {

std::string decimalText(ByteView bytes, int scale) {
    // Byte 0: sign (0x80 = negative); bytes 1..16: four LE 32-bit words, most significant first.
    unsigned __int128 magnitude = 0;
    for (int word = 0; word < 4; ++word)
        magnitude = (magnitude << 32) | bytes.u32(1 + 4 * size_t(word));
    std::string digits;
    do {
        digits.push_back(char('0' + int(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    scale = std::clamp(scale, 0, 38);
    while (int(digits.size()) <= scale) digits.push_back('0');
    std::reverse(digits.begin(), digits.end());
    if (scale > 0) digits.insert(digits.size() - size_t(scale), ".");
    return (bytes.u8(0) & 0x80 ? "-" : "") + digits;
}

namespace {

Value decodeStored(const PageFile& file, const ColumnDef& column, ByteView data) {
    switch (ColumnType(column.typeCode)) {
    case ColumnType::Byte: return int64_t(data.u8(0));
    case ColumnType::Int: return int64_t(data.i16(0));
    case ColumnType::Long: return int64_t(data.i32(0));
    case ColumnType::Money: return Money{data.i64(0)};
    case ColumnType::Float: return double(data.f32(0));
    case ColumnType::Double: return data.f64(0);
    case ColumnType::DateTime: return DateTime{data.f64(0)};
    case ColumnType::Guid: return data.copy(0, 16);
    case ColumnType::Numeric: return Decimal{decimalText(data, column.scale)};
    case ColumnType::Text: return decodeText(data);
    case ColumnType::Memo: {
        Bytes bytes = readLongValue(file, data);
        return decodeText(ByteView(bytes.data(), bytes.size(), data.what()));
    }
    case ColumnType::Ole: return readLongValue(file, data);
    case ColumnType::Binary:
    default:
        return data.copy(0, data.size());
    }
}

} // namespace

Value decodeValue(const PageFile& file, const ColumnDef& column, const CrackedRow& row,
                  const ColumnSlice& slice) {
    if (column.typeCode == uint8_t(ColumnType::Bool)) {
        if (!slice.present) return Null{};
        return bool(slice.notNull);
    }
    if (slice.isNull()) return Null{};
    ByteView data = row.bytes.sub(slice.offset, slice.length);
    try {
        return decodeStored(file, column, data);
    } catch (const Error& e) {
        throw Error(std::string(e.what()) + " (column " + column.nameUtf8 + ")");
    }
}

} // namespace jet
