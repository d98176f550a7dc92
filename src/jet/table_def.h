// A parsed table definition (TDEF): header counters, columns, physical and logical indexes and
// long-value column maps, each with its byte offset in the joined definition buffer so a writer
// can patch fields in place (locate() turns such an offset into a page and page offset).
#pragma once
#include "jet/bytes.h"
#include "jet/database.h"

#include <cstdint>
#include <string>
#include <vector>

namespace jet {

class PageFile;

struct ColumnDef {
    std::u16string name;
    std::string nameUtf8;
    uint8_t typeCode = 0;       // raw type code (ColumnType for known ones)
    uint16_t number = 0;        // column number: null-mask bit
    uint16_t varIndex = 0;      // slot in the var-offset table (variable-length columns)
    uint16_t fixedOffset = 0;   // offset in the fixed area (fixed-length columns)
    uint16_t length = 0;        // length in bytes
    uint8_t flags = 0;
    uint8_t extFlags = 0;
    uint8_t precision = 0;      // Numeric
    uint8_t scale = 0;          // Numeric
    size_t blockOffset = 0;     // the 25-byte column block in the joined buffer
    bool fixed() const;         // stored in the fixed area (Yes/No: in the null mask)
    bool isLongValue() const;   // Memo or OLE
    bool compressionAllowed() const;
};

struct RealIndexDef {
    std::vector<uint16_t> columnNumbers; // key columns in order (unused entries dropped)
    uint32_t usageMapPointer = 0;
    uint32_t rootPage = 0;
    uint8_t flags = 0;
    size_t blockOffset = 0;
};

struct LogicalIndexDef {
    std::u16string name;
    uint32_t number = 0;
    uint32_t realIndex = 0;
    uint8_t type = 0; // 1 primary key, 2 foreign key
    size_t blockOffset = 0;
};

struct LongValueMaps {
    uint16_t columnNumber = 0;
    uint32_t ownedMapPointer = 0; // row pointer (0 = none)
    uint32_t freeMapPointer = 0;
    size_t entryOffset = 0;       // the 10-byte entry in the joined buffer
};

struct TableDef {
    std::string name;              // catalog name (UTF-8), for messages
    uint32_t firstPage = 0;
    std::vector<uint32_t> pages;   // the TDEF page chain, first page first
    Bytes raw;                     // joined definition buffer
    uint32_t length = 0;           // tdef_len
    uint32_t rowCount = 0;
    uint32_t autoNumber = 0;
    uint8_t tableType = 0;
    uint16_t maxCols = 0;
    uint16_t varCols = 0;
    uint32_t ownedMapPointer = 0;
    uint32_t freeMapPointer = 0;
    std::vector<ColumnDef> columns; // definition (display) order
    std::vector<RealIndexDef> realIndexes;
    std::vector<LogicalIndexDef> logicalIndexes;
    std::vector<LongValueMaps> longValueMaps;

    // Page and offset within that page of a byte of the joined buffer.
    struct Location {
        uint32_t page;
        size_t offset;
    };
    Location locate(size_t rawOffset) const;

    const ColumnDef* columnByNumber(uint16_t number) const;
    int columnIndex(const std::string& utf8Name) const; // without regard to case; -1 if none
    bool isIndexed(uint16_t columnNumber) const;
    const LongValueMaps* longValueMapsFor(uint16_t columnNumber) const;
    ColumnInfo info(const ColumnDef& column) const; // the facade's view of a column
    std::vector<ColumnInfo> infos() const;          // of every column, in definition order
    TableSchema schema() const;
};

// Reads and checks the definition starting at `page` (type 0x02; continuation chain bounded by
// the file's page count). `name` is used in messages.
TableDef readTableDef(const PageFile& file, uint32_t page, const std::string& name);

} // namespace jet
