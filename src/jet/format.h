// Jet 4 on-disk format constants: page size, page types, and the offsets of every field the
// engine reads or writes, each table laid out as OFFSET / SIZE / MEANING. All integers are
// little-endian; "row pointer" = u32 (page << 8) | slot.
#pragma once
#include <cstddef>
#include <cstdint>

namespace jet::format {

inline constexpr size_t kPageSize = 4096;

// ---- Page types (byte 0 of a page) -------------------------------------------------------------
inline constexpr uint8_t kPageHeader = 0x00;     // page 0 (also seen on all-zero free pages)
inline constexpr uint8_t kPageData = 0x01;       // table rows, LVAL rows, usage-map rows
inline constexpr uint8_t kPageTableDef = 0x02;   // TDEF and its continuation pages
inline constexpr uint8_t kPageIndexNode = 0x03;
inline constexpr uint8_t kPageIndexLeaf = 0x04;
inline constexpr uint8_t kPageUsageBitmap = 0x05; // bitmap page of a reference usage map

// ---- Page 0: the file header ---------------------------------------------------------------------
//  OFFSET  SIZE  MEANING
//  0x00    1     page type 0x00
//  0x04    15    engine name: "Standard Jet DB" (Jet 3/4), "Standard ACE DB" (ACE), "MSISAM Database"
//  0x14    1     format version: 0 Jet 3, 1 Jet 4, 2.. ACE
//  0x18    128   region XORed with an RC4 key stream (key C7 DA 39 6B); fields below are inside it
//  0x3C    2     default code page
//  0x3E    4     database key; non-zero means every other page is RC4-encrypted
//  0x42    40    password, UCS-2, additionally XORed with the LE bytes of (int32)creation date
//  0x6E    4     default sort order (LCID, version)
//  0x72    8     creation date (double, days since 1899-12-30)
inline constexpr size_t kHeaderEngineName = 0x04;
inline constexpr size_t kHeaderEngineNameSize = 15;
inline constexpr size_t kHeaderVersion = 0x14;
inline constexpr size_t kHeaderRc4Start = 0x18;
inline constexpr size_t kHeaderRc4Size = 128;
inline constexpr uint8_t kHeaderRc4Key[4] = {0xC7, 0xDA, 0x39, 0x6B};
inline constexpr size_t kHeaderCodePage = 0x3C;
inline constexpr size_t kHeaderDatabaseKey = 0x3E;
inline constexpr size_t kHeaderPassword = 0x42;
inline constexpr size_t kHeaderPasswordSize = 40;
inline constexpr size_t kHeaderSortOrder = 0x6E;
inline constexpr size_t kHeaderCreationDate = 0x72;
inline constexpr uint8_t kVersionJet3 = 0x00;
inline constexpr uint8_t kVersionJet4 = 0x01;
inline constexpr char kEngineJet[] = "Standard Jet DB";
inline constexpr char kEngineAce[] = "Standard ACE DB";

// ---- Data page (type 0x01) --------------------------------------------------------------------------
//  OFFSET  SIZE  MEANING
//  0       1     0x01
//  1       1     0x01
//  2       2     free space in bytes = lowest row start - (14 + 2 * slot count)
//  4       4     owning TDEF page; ASCII "LVAL" on long-value pages; 0 on usage-map hosts
//  8       4     0, or the multi-page long-value tag on LVAL pages Access allocated
//  12      2     slot count (deleted slots included)
//  14      2*n   slot table: bits 0..12 row start; 0x8000 deleted; 0x4000 overflow pointer
// Row i spans [start(i), start(i-1)) with start(-1) = page size.
inline constexpr size_t kDataFreeSpace = 2;
inline constexpr size_t kDataOwner = 4;
inline constexpr size_t kDataTag = 8;
inline constexpr size_t kDataSlotCount = 12;
inline constexpr size_t kDataSlotTable = 14;
inline constexpr uint16_t kSlotOffsetMask = 0x1FFF;
inline constexpr uint16_t kSlotDeleted = 0x8000;
inline constexpr uint16_t kSlotOverflow = 0x4000;
inline constexpr uint16_t kSlotFlags = kSlotDeleted | kSlotOverflow;
inline constexpr uint32_t kLvalOwner = 0x4C41564C; // "LVAL" read as a LE u32
inline constexpr size_t kSlotEntrySize = 2;
inline constexpr size_t kDataPageRoom = kPageSize - kDataSlotTable; // rows plus their slot entries
inline constexpr size_t kMaxSlotsPerPage = 255;
inline constexpr size_t kMaxRowSize = 4060;       // largest row Access accepts

// ---- TDEF (type 0x02) ------------------------------------------------------------------------------
// Page header: 0 type 0x02, 1 0x01, 2..3 free bytes (ignored), 4..7 next TDEF page (0 = last).
// A multi-page definition is the first page whole plus bytes 8.. of each continuation page;
// every offset below is into that joined buffer.
//  OFFSET  SIZE  MEANING
//  4       4     next TDEF page
//  8       4     tdef_len: definition length (joined buffer, counting from 0)
//  16      4     live row count
//  20      4     last autonumber handed out
//  40      1     table type: 'N' user, 'S' system
//  41      2     max_cols: columns in every row, deleted ones included
//  43      2     num_var_cols: entries of the row's var-offset table, deleted ones included
//  45      2     num_cols: column definitions that follow
//  47      4     num_idx: logical indexes
//  51      4     num_real_idx: physical indexes
//  55      4     row pointer to the owned-pages usage map
//  59      4     row pointer to the free-space-pages usage map
//  63      12*k  per physical index: 4 bytes, u32 unique entries, 4 zero bytes
// then num_cols column blocks, num_cols names, num_real_idx physical index blocks, num_idx
// logical index blocks, num_idx logical index names, and long-value column maps.
inline constexpr size_t kTdefFreeBytes = 2;             // u16: room left on the page minus 8
inline constexpr size_t kTdefNextPage = 4;
inline constexpr size_t kTdefContinuationHeader = 8;
inline constexpr size_t kTdefLength = 8;
inline constexpr size_t kTdefRowCount = 16;
inline constexpr size_t kTdefAutoNumber = 20;
inline constexpr size_t kTdefTableType = 40;
inline constexpr size_t kTdefMaxCols = 41;
inline constexpr size_t kTdefVarCols = 43;
inline constexpr size_t kTdefNumCols = 45;
inline constexpr size_t kTdefNumIdx = 47;
inline constexpr size_t kTdefNumRealIdx = 51;
inline constexpr size_t kTdefOwnedMap = 55;
inline constexpr size_t kTdefFreeMap = 59;
inline constexpr size_t kTdefRealIdxCounts = 63;
inline constexpr size_t kTdefRealIdxCountSize = 12;
inline constexpr size_t kTdefHeaderSize = 63;            // the fixed part before the index counts
inline constexpr size_t kTdefMagic = 12;                 // u32 kColumnMagic
inline constexpr size_t kTdefUnknown24 = 24;             // 0x01 in every Jet 4 definition seen
inline constexpr uint32_t kColumnMagic = 0x00000659;      // in every TDEF header and column block

// Column block, 25 bytes:
//  OFFSET  SIZE  MEANING
//  0       1     type code
//  5       2     column number (indexes the null mask; deleted columns keep their numbers)
//  7       2     var index (slot in the var-offset table)
//  11      2     text: sort LCID; numeric: precision (11), scale (12)
//  15      1     flags: 0x01 fixed length, 0x04 autonumber, 0x40 GUID autonumber, 0x80 hyperlink
//  16      1     extended flags: 0x01 Unicode compression allowed
//  21      2     offset in the row's fixed area (fixed columns)
//  23      2     length in bytes
inline constexpr size_t kColumnBlockSize = 25;
inline constexpr size_t kColType = 0;
inline constexpr size_t kColNumber = 5;
inline constexpr size_t kColVarIndex = 7;
inline constexpr size_t kColPrecision = 11;
inline constexpr size_t kColScale = 12;
inline constexpr size_t kColFlags = 15;
inline constexpr size_t kColExtFlags = 16;
inline constexpr size_t kColFixedOffset = 21;
inline constexpr size_t kColLength = 23;
inline constexpr uint8_t kColFlagFixed = 0x01;
inline constexpr uint8_t kColFlagAutoNumber = 0x04;
inline constexpr uint8_t kColFlagAutoGuid = 0x40;
inline constexpr uint8_t kColFlagHyperlink = 0x80;
inline constexpr uint8_t kColExtCompressed = 0x01;
// Column flags as Access sets them: 0x02 on every ordinary column, 0x10 on system columns.
inline constexpr uint8_t kColFlagUpdatable = 0x02;
inline constexpr uint8_t kColFlagSystem = 0x10;
inline constexpr size_t kColMagic = 1;                    // u32 kColumnMagic
inline constexpr size_t kColNumberAgain = 9;              // the column number once more
inline constexpr uint16_t kSortGeneral = 0x0409;          // "General" sort order (LCID en-US)
// Limits Access enforces on a table's columns.
inline constexpr size_t kMaxColumns = 255;
inline constexpr size_t kMaxNameChars = 64;
inline constexpr size_t kMaxBinaryBytes = 255;

// Physical index block, 52 bytes:
//  OFFSET  SIZE  MEANING
//  0       4     0x00000783
//  4       30    10 x {u16 column number (0xFFFF unused), u8 flags (0x01 ascending)}
//  34      4     row pointer to the index's usage map
//  38      4     root index page
//  42      4     unknown
//  46      1     flags: 0x01 unique, 0x02 ignore nulls, 0x08 required
//  47      5     unknown
inline constexpr size_t kRealIndexBlockSize = 52;
inline constexpr size_t kRealIndexColumns = 4;
inline constexpr size_t kRealIndexMaxColumns = 10;
inline constexpr size_t kRealIndexUsageMap = 34;
inline constexpr size_t kRealIndexRootPage = 38;
inline constexpr size_t kRealIndexFlags = 46;

// Logical index block, 28 bytes:
//  OFFSET  SIZE  MEANING
//  4       4     index number
//  8       4     physical index used
//  23      1     index type: 1 primary key, 2 foreign key
inline constexpr size_t kLogicalIndexBlockSize = 28;
inline constexpr size_t kLogicalIndexNumber = 4;
inline constexpr size_t kLogicalIndexReal = 8;
inline constexpr size_t kLogicalIndexType = 23;

// Long-value column map entry, 10 bytes, repeated until a column number of 0xFFFF:
//  0 u16 column number, 2 row pointer to the owned map, 6 row pointer to the free map.
inline constexpr size_t kLvMapEntrySize = 10;
inline constexpr uint16_t kLvMapEnd = 0xFFFF;

// ---- Usage maps (a row on a data page) -------------------------------------------------------------
//  inline (type 0):    [00][u32 start page][bitmap: bit i = page start + i]
//  reference (type 1): [01][u32 bitmap page]...; bitmap page j covers pages j*32736 ..
// A reference bitmap page: 05 01 00 00, then (4096 - 4) bytes of bits.
inline constexpr uint8_t kMapInline = 0x00;
inline constexpr uint8_t kMapReference = 0x01;
inline constexpr size_t kMapInlineBitmap = 5;
inline constexpr size_t kMapBitmapPageHeader = 4;
inline constexpr uint32_t kPagesPerBitmapPage = (kPageSize - kMapBitmapPageHeader) * 8; // 32736
inline constexpr uint32_t kGlobalMapPage = 1; // row 0: bit set = page free
inline constexpr uint32_t kGlobalMapPointer = (kGlobalMapPage << 8) | 0;

// ---- Rows -------------------------------------------------------------------------------------------
// [u16 col_count][fixed area][var data][padding][u16 eod][u16 var_off[nv-1]..var_off[0]][u16 nv]
// [null mask: (col_count + 7) / 8 bytes, bit set = not null; Yes/No columns keep their value here]
inline constexpr size_t kRowFixedStart = 2;

// ---- Long values (12-byte header in the row's var slot) --------------------------------------------
//  OFFSET  SIZE  MEANING
//  0       4     bits 0..29 length in bytes; bits 30..31 storage: 0x80 inline, 0x40 one LVAL row,
//                0x00 chain of LVAL rows, each [u32 next row pointer][data]
//  4       4     row pointer to the first LVAL row (0 when inline)
//  8       4     0, or a tag repeated on the LVAL pages of a multi-page value
inline constexpr size_t kLongValueHeaderSize = 12;
inline constexpr uint32_t kLongValueLengthMask = 0x3FFFFFFF;
inline constexpr uint8_t kLongValueInline = 0x80;
inline constexpr uint8_t kLongValueSingle = 0x40;
inline constexpr uint8_t kLongValueChain = 0x00;
inline constexpr size_t kLongValueMaxInline = 64;   // Access rejects longer inline values
inline constexpr size_t kLongValueMaxRow = 4076;    // Access rejects longer LVAL rows
inline constexpr size_t kLongValueChainData = 4072; // data bytes per chain segment
inline constexpr size_t kLongValueChainNext = 4;    // the next-row pointer before each segment's data

// Where this program stores a long value of `bytes` bytes (Access keeps values of up to 34 bytes
// in the row): inline, in one LVAL row up to the longest row, else in a chain of LVAL rows. A
// value the policy puts inline goes into one LVAL row instead when its row cannot grow.
inline constexpr size_t kLongValueInlineLimit = 34;
inline constexpr uint8_t longValueStorageFor(size_t bytes) {
    return bytes <= kLongValueInlineLimit ? kLongValueInline : bytes <= kLongValueMaxRow ? kLongValueSingle : kLongValueChain;
}

// ---- Text values (Text and Memo columns) ----------------------------------------------------------
// Stored as UCS-2 LE, or "compressed": FF FE, then one byte per character while a 0x00 byte
// toggles to two-byte units and back. Access compresses texts of 3 to 1024 units only.
inline constexpr uint8_t kTextCompressedMark0 = 0xFF;
inline constexpr uint8_t kTextCompressedMark1 = 0xFE;
inline constexpr size_t kTextMinCompressedUnits = 3;
inline constexpr size_t kTextMaxCompressedUnits = 1024;

// ---- Catalog (MSysObjects) -------------------------------------------------------------------------
inline constexpr uint32_t kCatalogTdefPage = 2;
inline constexpr int kObjectTypeTable = 1;
inline constexpr int kObjectTypeDatabase = 2;
inline constexpr int kObjectTypeContainer = 3;
inline constexpr uint32_t kObjectFlagSystem = 0x80000000u;
inline constexpr uint32_t kObjectFlagHidden = 0x00000002u;
inline constexpr uint32_t kObjectIdPageMask = 0x00FFFFFF;
// Ids of the objects every database has (a table's id is its TDEF page).
inline constexpr int64_t kObjectIdRootContainer = 0x0F000000;
inline constexpr int64_t kObjectIdTables = 0x0F000001;
inline constexpr int64_t kObjectIdDatabases = 0x0F000002;
inline constexpr int64_t kObjectIdRelationships = 0x0F000003;
inline constexpr int64_t kObjectIdMSysDb = 0x10000000;

// ---- The lock file (NAME.ldb beside the database) -------------------------------------------------
// One 64-byte entry per user: computer name, then account name, 32 bytes each, NUL-padded ANSI.
// While user n has the database open, its Jet holds a one-byte lock at kLdbFirstUserLock + n - 1
// (the Jet 3 layout; Jet 4's offsets are undocumented and may differ: this only names users).
inline constexpr uint64_t kLdbFirstUserLock = 0x10000001;
inline constexpr uint64_t kLdbUserLocks = 0xFF; // users 1..255
inline constexpr size_t kLdbNameBytes = 32;

// Row pointer helpers.
inline constexpr uint32_t pointerPage(uint32_t rowPointer) { return rowPointer >> 8; }
inline constexpr uint16_t pointerSlot(uint32_t rowPointer) { return uint16_t(rowPointer & 0xFF); }
inline constexpr uint32_t makePointer(uint32_t page, uint16_t slot) { return (page << 8) | (slot & 0xFF); }

} // namespace jet::format
