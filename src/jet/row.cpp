// Row cracking, overflow-pointer resolution and the table scan over the owned-pages map.
#include "jet/row.h"

#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/usage_map.h"

#include <set>

namespace jet {

using namespace format;

namespace {

// Access never moves a row more than once before compaction; Jackcess follows chains. A short
// bound keeps a damaged pointer loop from hanging a scan.
constexpr int kMaxOverflowHops = 16;

// Fixed storage size of each fixed-length type (the TDEF length may be damaged; the type is what
// the decoder relies on).
size_t fixedSize(const ColumnDef& c) {
    switch (ColumnType(c.typeCode)) {
    case ColumnType::Bool: return 0;
    case ColumnType::Byte: return 1;
    case ColumnType::Int: return 2;
    case ColumnType::Long: return 4;
    case ColumnType::Money: return 8;
    case ColumnType::Float: return 4;
    case ColumnType::Double: return 8;
    case ColumnType::DateTime: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Numeric: return 17;
    default: return c.length;
    }
}

} // namespace

CrackedRow crackRow(const TableDef& def, ByteView row) {
    CrackedRow r;
    r.bytes = row;
    r.columnCount = row.u16(0);
    r.nullMaskLength = (size_t(r.columnCount) + 7) / 8;
    if (row.size() < 2 + r.nullMaskLength)
        throw Error(row.what() + ": row of " + std::to_string(row.size()) + " bytes is too short for " +
                    std::to_string(r.columnCount) + " columns");
    r.nullMaskOffset = row.size() - r.nullMaskLength;

    if (def.varCols > 0) {
        r.hasVarSection = true;
        if (r.nullMaskOffset < 4)
            throw Error(row.what() + ": row is too short for its variable-length column table");
        r.varCountOffset = r.nullMaskOffset - 2;
        r.varCount = row.u16(r.varCountOffset);
        size_t tableBytes = 2 * size_t(r.varCount) + 2; // offsets plus eod
        if (r.varCountOffset < 2 + tableBytes)
            throw Error(row.what() + ": variable-length column count " + std::to_string(r.varCount) +
                        " does not fit the row");
        r.eodOffset = r.varCountOffset - tableBytes;
        r.eod = row.u16(r.eodOffset);
        if (r.eod > r.eodOffset)
            throw Error(row.what() + ": end of variable data " + std::to_string(r.eod) + " lies past its table");
    }

    r.columns.resize(def.columns.size());
    for (size_t i = 0; i < def.columns.size(); ++i) {
        const ColumnDef& c = def.columns[i];
        ColumnSlice& s = r.columns[i];
        s.present = c.number < r.columnCount;
        if (!s.present) continue;
        s.notNull = row.u8(r.nullMaskOffset + c.number / 8) & (1u << (c.number % 8));
        if (c.typeCode == uint8_t(ColumnType::Bool)) continue;
        if (c.fixed()) {
            s.offset = kRowFixedStart + c.fixedOffset;
            s.length = fixedSize(c);
            if (s.notNull && s.offset + s.length > (r.hasVarSection ? r.eodOffset : r.nullMaskOffset))
                throw Error(row.what() + ": column " + c.nameUtf8 + " lies outside the row's fixed area");
            continue;
        }
        if (!r.hasVarSection || c.varIndex >= r.varCount) {
            // A column added after the row was written.
            s.present = false;
            s.notNull = false;
            continue;
        }
        size_t start = row.u16(r.varCountOffset - 2 * (size_t(c.varIndex) + 1));
        size_t end = size_t(c.varIndex) + 1 < r.varCount ? row.u16(r.varCountOffset - 2 * (size_t(c.varIndex) + 2))
                                                          : r.eod;
        if (s.notNull && (start > end || end > r.eodOffset || start < kRowFixedStart))
            throw Error(row.what() + ": column " + c.nameUtf8 + " has invalid data bounds " +
                        std::to_string(start) + ".." + std::to_string(end));
        if (start > end) end = start;
        s.offset = start;
        s.length = end - start;
    }
    return r;
}

std::optional<RowLocation> locateRow(const PageFile& file, RowId header) {
    RowLocation loc;
    loc.header = header;
    RowId at = header;
    for (int hop = 0;; ++hop) {
        if (at.page >= file.pageCount()) throw PageMissingError(file.name(), at.page, file.pageCount());
        if (at.page == 0)
            throw Error(file.name() + ": row pointer to page " + std::to_string(at.page) +
                        ", which is not a page of the file");
        DataPage page(file.view(at.page), at.page);
        Slot slot = page.slot(at.slot);
        if (hop == 0 && slot.deleted()) return std::nullopt;
        ByteView bytes = page.row(at.slot);
        if (!slot.overflow()) {
            loc.data = at;
            loc.rowStart = slot.start;
            loc.rowLength = slot.length();
            return loc;
        }
        if (hop >= kMaxOverflowHops)
            throw Error(bytes.what() + ": overflow pointers form a chain too long (a loop?)");
        uint32_t pointer = bytes.u32(0);
        at = RowId{pointerPage(pointer), pointerSlot(pointer)};
    }
}

namespace {

// Calls `visit` for every data page of the table, in owned-map order.
void forEachDataPage(const PageFile& file, const TableDef& def,
                     const std::function<void(uint32_t, const DataPage&)>& visit) {
    UsageMap owned = readUsageMap(file, def.ownedMapPointer, file.pageCount(),
                                  "owned-pages map of table " + def.name);
    // The table's pages are read once each, past the cache: a scan of a whole bible would
    // otherwise keep all of its pages until the next refresh.
    PageFile::ScanBuffer buffer;
    for (uint32_t pageNumber : owned.pages) {
        ByteView view = file.scanView(pageNumber, buffer);
        // Only this table's data pages count; a map bit on anything else is ignored.
        if (view.u8(0) != kPageData || view.u32(kDataOwner) != def.firstPage) continue;
        visit(pageNumber, DataPage(view, pageNumber));
    }
}

} // namespace

void forEachRow(const PageFile& file, const TableDef& def,
                const std::function<void(const RowLocation&, const CrackedRow&)>& visit) {
    forEachDataPage(file, def, [&](uint32_t pageNumber, const DataPage& page) {
        for (uint16_t slot = 0; slot < page.slotCount(); ++slot) {
            Slot s = page.slot(slot);
            if (s.deleted()) continue;
            RowLocation loc;
            ByteView bytes;
            if (!s.overflow()) {
                loc.header = loc.data = RowId{pageNumber, slot};
                loc.rowStart = s.start;
                loc.rowLength = s.length();
                bytes = page.row(slot);
            } else {
                auto found = locateRow(file, RowId{pageNumber, slot});
                if (!found) continue;
                loc = *found;
                bytes = DataPage(file.view(loc.data.page), loc.data.page).row(loc.data.slot);
            }
            visit(loc, crackRow(def, bytes));
        }
    });
}

std::vector<RowId> abandonedMoveTargets(const PageFile& file, const TableDef& def) {
    std::set<std::pair<uint32_t, uint16_t>> flagged, reached;
    forEachDataPage(file, def, [&](uint32_t pageNumber, const DataPage& page) {
        for (uint16_t slot = 0; slot < page.slotCount(); ++slot) {
            Slot s = page.slot(slot);
            if (s.deleted() && !s.overflow() && s.length() > 0) flagged.emplace(pageNumber, slot);
            if (s.deleted() || !s.overflow()) continue;
            // A live header that was moved: the row its pointers lead to is in use (the hops
            // between carry the overflow flag, so they are never counted as abandoned).
            try {
                if (auto loc = locateRow(file, RowId{pageNumber, slot})) reached.emplace(loc->data.page, loc->data.slot);
            } catch (const Error&) {
                // A pointer that leads nowhere reaches no row.
            }
        }
    });
    std::vector<RowId> abandoned;
    for (const auto& [page, slot] : flagged)
        if (!reached.count({page, slot})) abandoned.push_back(RowId{page, slot});
    return abandoned;
}

} // namespace jet
