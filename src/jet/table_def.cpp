// TDEF parsing: the page chain, header counters, column blocks and names, index blocks and the
// long-value column maps.
#include "jet/table_def.h"

#include "jet/catalog.h"
#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/text_codec.h"

#include <set>

namespace jet {

using namespace format;

bool holdsNumber(ColumnType type) {
    switch (type) {
    case ColumnType::Bool:
    case ColumnType::Byte:
    case ColumnType::Int:
    case ColumnType::Long:
    case ColumnType::Money:
    case ColumnType::Float:
    case ColumnType::Double:
    case ColumnType::DateTime:
    case ColumnType::Numeric:
        return true;
    default:
        return false;
    }
}

bool ColumnDef::fixed() const {
    const ColumnType type = ColumnType(typeCode);
    if (holdsNumber(type) || type == ColumnType::Guid) return true;
    if (type == ColumnType::Memo || type == ColumnType::Ole) return false;
    // Text and binary columns, and unknown types, as their flag says (fixed-length text
    // exists, e.g. Text(1) flag columns).
    return flags & kColFlagFixed;
}

bool ColumnDef::isLongValue() const {
    return typeCode == uint8_t(ColumnType::Memo) || typeCode == uint8_t(ColumnType::Ole);
}

bool ColumnDef::compressionAllowed() const { return extFlags & kColExtCompressed; }

TableDef::Location TableDef::locate(size_t rawOffset) const {
    if (pages.empty() || rawOffset >= raw.size())
        throw Error("internal: definition offset " + std::to_string(rawOffset) + " outside table " + name);
    if (rawOffset < kPageSize) return {pages[0], rawOffset};
    size_t rest = rawOffset - kPageSize;
    size_t perPage = kPageSize - kTdefContinuationHeader;
    return {pages.at(1 + rest / perPage), kTdefContinuationHeader + rest % perPage};
}

const ColumnDef* TableDef::columnByNumber(uint16_t number) const {
    for (const auto& c : columns)
        if (c.number == number) return &c;
    return nullptr;
}

int TableDef::columnIndex(const std::string& utf8Name) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (sameName(columns[i].nameUtf8, utf8Name)) return int(i);
    return -1;
}

bool TableDef::isIndexed(uint16_t columnNumber) const {
    for (const auto& idx : realIndexes)
        for (uint16_t n : idx.columnNumbers)
            if (n == columnNumber) return true;
    return false;
}

const LongValueMaps* TableDef::longValueMapsFor(uint16_t columnNumber) const {
    for (const auto& m : longValueMaps)
        if (m.columnNumber == columnNumber) return &m;
    return nullptr;
}

ColumnInfo TableDef::info(const ColumnDef& c) const {
    ColumnInfo info;
    info.name = c.nameUtf8;
    info.type = ColumnType(c.typeCode);
    info.number = c.number;
    info.length = c.length;
    info.precision = c.precision;
    info.scale = c.scale;
    info.fixedLength = c.flags & kColFlagFixed;
    info.autoNumber = c.flags & (kColFlagAutoNumber | kColFlagAutoGuid);
    info.compressedUnicode = c.compressionAllowed();
    info.indexed = isIndexed(c.number);
    return info;
}

std::vector<ColumnInfo> TableDef::infos() const {
    std::vector<ColumnInfo> out;
    out.reserve(columns.size());
    for (const auto& c : columns) out.push_back(info(c));
    return out;
}

TableSchema TableDef::schema() const {
    TableSchema s;
    s.name = name;
    s.definitionPage = firstPage;
    s.rowCount = rowCount;
    s.columns = infos();
    return s;
}

namespace {

std::u16string readName(ByteView buf, size_t& off) {
    uint16_t len = buf.u16(off);
    off += 2;
    ByteView bytes = buf.sub(off, len);
    off += len;
    std::u16string name;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) name.push_back(char16_t(bytes.u16(i)));
    return name;
}

} // namespace

namespace {

// The definition's pages joined into def.raw; each page is visited once, which bounds the walk.
void joinDefinitionChain(const PageFile& file, TableDef& def, const std::string& where) {
    const uint32_t pageCount = file.pageCount();
    std::set<uint32_t> seen;
    for (uint32_t p = def.firstPage; p != 0;) {
        if (p >= pageCount) throw PageMissingError(file.name(), p, pageCount);
        if (!seen.insert(p).second)
            throw Error(where + ": the definition's page chain loops at page " + std::to_string(p));
        ByteView v = file.view(p);
        if (v.u8(0) != kPageTableDef)
            throw Error(where + ": page " + std::to_string(p) + " is not a table definition page (type " +
                        std::to_string(v.u8(0)) + ")");
        def.pages.push_back(p);
        if (def.raw.empty())
            def.raw.assign(v.data(), v.data() + v.size());
        else
            def.raw.insert(def.raw.end(), v.data() + kTdefContinuationHeader, v.data() + v.size());
        p = v.u32(kTdefNextPage);
    }
}

// The column blocks from `off`, then the columns' names.
void readColumnBlocks(ByteView buf, size_t& off, uint16_t numCols, TableDef& def, const std::string& where) {
    for (uint16_t i = 0; i < numCols; ++i) {
        ByteView block = buf.sub(off, kColumnBlockSize);
        ColumnDef c;
        c.blockOffset = off;
        c.typeCode = block.u8(kColType);
        c.number = block.u16(kColNumber);
        c.varIndex = block.u16(kColVarIndex);
        c.precision = block.u8(kColPrecision);
        c.scale = block.u8(kColScale);
        c.flags = block.u8(kColFlags);
        c.extFlags = block.u8(kColExtFlags);
        c.fixedOffset = block.u16(kColFixedOffset);
        c.length = block.u16(kColLength);
        if (c.number >= def.maxCols && def.maxCols != 0)
            throw Error(where + ": column number " + std::to_string(c.number) + " is not below the column count " +
                        std::to_string(def.maxCols));
        def.columns.push_back(c);
        off += kColumnBlockSize;
    }
    for (auto& c : def.columns) {
        c.name = readName(buf, off);
        c.nameUtf8 = toUtf8(c.name);
    }
}

// The real index blocks, the logical index blocks and the logical indexes' names from `off`.
void readIndexBlocks(ByteView buf, size_t& off, uint32_t numRealIdx, uint32_t numIdx, TableDef& def) {
    for (uint32_t i = 0; i < numRealIdx; ++i) {
        ByteView block = buf.sub(off, kRealIndexBlockSize);
        RealIndexDef idx;
        idx.blockOffset = off;
        for (size_t k = 0; k < kRealIndexMaxColumns; ++k) {
            uint16_t col = block.u16(kRealIndexColumns + 3 * k);
            if (col != 0xFFFF) idx.columnNumbers.push_back(col);
        }
        idx.usageMapPointer = block.u32(kRealIndexUsageMap);
        idx.rootPage = block.u32(kRealIndexRootPage);
        idx.flags = block.u8(kRealIndexFlags);
        def.realIndexes.push_back(idx);
        off += kRealIndexBlockSize;
    }
    for (uint32_t i = 0; i < numIdx; ++i) {
        ByteView block = buf.sub(off, kLogicalIndexBlockSize);
        LogicalIndexDef idx;
        idx.blockOffset = off;
        idx.number = block.u32(kLogicalIndexNumber);
        idx.realIndex = block.u32(kLogicalIndexReal);
        idx.type = block.u8(kLogicalIndexType);
        def.logicalIndexes.push_back(idx);
        off += kLogicalIndexBlockSize;
    }
    for (auto& idx : def.logicalIndexes) idx.name = readName(buf, off);
}

// Long-value column maps up to the 0xFFFF terminator. Entries for columns that do not exist
// are ignored (some writers leave such entries).
void readLongValueMapEntries(ByteView buf, size_t off, TableDef& def) {
    while (off + 2 <= buf.size()) {
        uint16_t col = buf.u16(off);
        if (col == kLvMapEnd) break;
        ByteView entry = buf.sub(off, kLvMapEntrySize);
        LongValueMaps m;
        m.columnNumber = col;
        m.ownedMapPointer = entry.u32(2);
        m.freeMapPointer = entry.u32(6);
        m.entryOffset = off;
        if (def.columnByNumber(col)) def.longValueMaps.push_back(m);
        off += kLvMapEntrySize;
    }
}

} // namespace

TableDef readTableDef(const PageFile& file, uint32_t page, const std::string& name) {
    TableDef def;
    def.name = name;
    def.firstPage = page;
    const std::string where = file.name() + ", definition of table " + name;
    joinDefinitionChain(file, def, where);

    ByteView buf(def.raw.data(), def.raw.size(), where);
    def.length = buf.u32(kTdefLength);
    def.rowCount = buf.u32(kTdefRowCount);
    def.autoNumber = buf.u32(kTdefAutoNumber);
    def.tableType = buf.u8(kTdefTableType);
    def.maxCols = buf.u16(kTdefMaxCols);
    def.varCols = buf.u16(kTdefVarCols);
    uint16_t numCols = buf.u16(kTdefNumCols);
    uint32_t numIdx = buf.u32(kTdefNumIdx);
    uint32_t numRealIdx = buf.u32(kTdefNumRealIdx);
    def.ownedMapPointer = buf.u32(kTdefOwnedMap);
    def.freeMapPointer = buf.u32(kTdefFreeMap);
    // Each index needs at least its fixed-size blocks; counts beyond what the buffer can hold
    // are damage (and would otherwise drive long loops).
    if (uint64_t(numRealIdx) * (kTdefRealIdxCountSize + kRealIndexBlockSize) > buf.size() ||
        uint64_t(numIdx) * kLogicalIndexBlockSize > buf.size())
        throw Error(where + ": index counts " + std::to_string(numIdx) + "/" + std::to_string(numRealIdx) +
                    " do not fit the definition");

    size_t off = kTdefRealIdxCounts + size_t(numRealIdx) * kTdefRealIdxCountSize;
    readColumnBlocks(buf, off, numCols, def, where);
    readIndexBlocks(buf, off, numRealIdx, numIdx, def);
    readLongValueMapEntries(buf, off, def);
    return def;
}

} // namespace jet
