// Database::updateText: replacing a Text or Memo value of one existing row in place.
//
// States a file goes through during one update, each a stage of its writes (page_file.h):
//   1. Data:   new LVAL rows written on free space of the column's pages or on new pages
//   2. Claim:  new pages marked used in the global map
//   3. Maps:   new pages added to the column's maps
//   4. Switch: the data row rewritten with the new 12-byte header (or inline data)
//   5. Free:   the old LVAL rows marked deleted (0xC000, zero length), page by page
// Between any two states the file is readable: before 4 the old value is intact and the new rows
// are unreferenced; after 4 the old rows are merely unreferenced. A killed process keeps every
// write it made, so the order alone protects it. A power cut may also lose writes that were made
// but not flushed, so the page file holds the writes and sends them stage by stage with a flush
// after each stage: no write lands before the writes it depends on are on the disk. Unless the
// caller batches updates, every update ends with its writes on the disk; in a batch the held
// writes of many updates share the flushes of each stage.
// A Text value lives in the row itself: the row is rewritten on its page when the page can
// absorb the growth, else it moves (Jet's way: the new row, flagged 0x8000, goes on another page
// of the table; the original slot becomes a 4-byte pointer flagged 0x4000, so index entries,
// which name the original slot, stay valid). That move takes two page writes: a process killed
// or a power cut between them leaves the old row in force for Jet and for our reader, while
// mdb-export (which lists 0x8000 rows as ordinary rows) shows the unreferenced new row as an
// extra row until the next session's first change to the table deletes it.
// Memo updates never move rows: inline storage is chosen only when the row still fits its page.
#include "jet/database_impl.h"
#include "jet/in_use.h"
#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/long_value.h"
#include "jet/long_value_write.h"
#include "jet/page_writer.h"
#include "jet/row.h"
#include "jet/text_codec.h"
#include "jet/usage_map.h"

#include <algorithm>
#include <map>
#include <set>

namespace jet {

using namespace format;

// Writer state kept across updates of one open database; dropped when the file changes under us.
struct WriteCache {
    uint64_t generation = 0;
    std::map<uint32_t, LongValueSpace> longValues; // by owned-map pointer
    // Replaced LVAL rows on pages that hold writes of an earlier stage (new rows of this group):
    // they are freed once those writes are on the disk. By owned-map pointer (0: none).
    std::vector<std::pair<uint32_t, LongValueSegment>> deferredFrees;
    // Tables (by TDEF page) whose abandoned move targets were deleted in this session.
    std::set<uint32_t> settledTables;
};

namespace {



std::string describe(const RowId& row) {
    return "page " + std::to_string(row.page) + ", slot " + std::to_string(row.slot);
}

// A row written before columns were added to the table, rewritten in the current layout: the
// column count of the definition, room in the fixed area for every fixed column, a var-offset
// table with an entry per var column; added columns are NULL. The stored values are kept.
Bytes widenRow(const TableDef& def, const CrackedRow& cracked) {
    const ByteView& row = cracked.bytes;
    auto entry = [&](size_t k) { return row.u16(cracked.varCountOffset - 2 * (k + 1)); };
    size_t oldVars = cracked.hasVarSection ? cracked.varCount : 0;
    size_t fixedEnd = !cracked.hasVarSection ? cracked.nullMaskOffset : oldVars > 0 ? entry(0) : cracked.eod;
    Bytes fixed(row.data() + kRowFixedStart, row.data() + fixedEnd);
    size_t fixedNeed = 0;
    for (const ColumnDef& c : def.columns)
        if (c.fixed() && c.typeCode != uint8_t(ColumnType::Bool)) fixedNeed = std::max(fixedNeed, size_t(c.fixedOffset) + c.length);
    if (fixed.size() < fixedNeed) fixed.resize(fixedNeed, 0);

    uint16_t count = std::max(def.maxCols, cracked.columnCount);
    size_t vars = std::max<size_t>(def.varCols, oldVars);
    Bytes out;
    append16(out, count);
    out.insert(out.end(), fixed.begin(), fixed.end());
    std::vector<uint16_t> offsets;
    for (size_t k = 0; k < vars; ++k) {
        offsets.push_back(uint16_t(out.size()));
        if (k < oldVars) {
            size_t start = entry(k), end = k + 1 < oldVars ? entry(k + 1) : cracked.eod;
            if (start > end || end > cracked.eodOffset) throw Error(row.what() + ": damaged variable-length column table");
            out.insert(out.end(), row.data() + start, row.data() + end);
        }
    }
    append16(out, uint16_t(out.size())); // eod
    for (size_t k = vars; k-- > 0;) append16(out, offsets[k]);
    append16(out, uint16_t(vars));
    Bytes mask((size_t(count) + 7) / 8, 0);
    for (size_t i = 0; i < cracked.nullMaskLength && i < mask.size(); ++i) mask[i] = row.u8(cracked.nullMaskOffset + i);
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

// The row with var slot `varIndex` replaced by `value` and the column's null bit set: later var
// offsets and eod shift by the size difference; everything else is kept byte for byte.
Bytes spliceVarColumn(const TableDef& def, const CrackedRow& original, const ColumnDef& column, const Bytes& value,
                      const std::string& what) {
    Bytes widened;
    CrackedRow cracked = original;
    if (column.number >= cracked.columnCount || !cracked.hasVarSection || column.varIndex >= cracked.varCount) {
        widened = widenRow(def, original);
        cracked = crackRow(def, ByteView(widened.data(), widened.size(), what));
        if (column.number >= cracked.columnCount || column.varIndex >= cracked.varCount)
            throw Error(what + ": the table definition has no room for the column in its rows");
    }
    const ByteView& row = cracked.bytes;
    auto entry = [&](size_t k) { return cracked.varCountOffset - 2 * (k + 1); };
    size_t k = column.varIndex;
    size_t start = row.u16(entry(k));
    size_t end = k + 1 < cracked.varCount ? row.u16(entry(k + 1)) : cracked.eod;
    if (start > end || end > cracked.eodOffset)
        throw Error(what + ": column " + column.nameUtf8 + " has invalid bounds in the row");
    long delta = long(value.size()) - long(end - start);

    Bytes out(row.data(), row.data() + start);
    out.insert(out.end(), value.begin(), value.end());
    out.insert(out.end(), row.data() + end, row.data() + row.size());
    auto shifted = [&](size_t pos) { return size_t(long(pos) + delta); };
    for (size_t m = k + 1; m < cracked.varCount; ++m) {
        size_t pos = shifted(entry(m));
        put16(out, pos, uint16_t(ByteView(out.data(), out.size()).u16(pos) + delta));
    }
    size_t eodPos = shifted(cracked.eodOffset);
    put16(out, eodPos, uint16_t(ByteView(out.data(), out.size()).u16(eodPos) + delta));
    size_t maskPos = shifted(cracked.nullMaskOffset);
    out[maskPos + column.number / 8] |= uint8_t(1u << (column.number % 8));
    if (out.size() > kMaxRowSize)
        throw Error(what + ": the new value makes the row " + std::to_string(out.size()) +
                    " bytes long; Jet allows " + std::to_string(kMaxRowSize));
    return out;
}

// A page of the table with room for a new row of `length` bytes, other than `avoid`: the pages
// of the free-space map first, then the other owned pages; nullopt when none has room.
std::optional<EditablePage> pageWithRoom(PageWriter& writer, const TableDef& def, size_t length,
                                         uint32_t avoid) {
    PageFile& file = writer.file();
    std::vector<uint32_t> candidates;
    if (def.freeMapPointer) {
        UsageMap free = readUsageMap(file, def.freeMapPointer, file.pageCount(), "free-space map of table " + def.name);
        candidates.assign(free.pages.rbegin(), free.pages.rend());
    }
    UsageMap owned = readUsageMap(file, def.ownedMapPointer, file.pageCount(), "owned-pages map of table " + def.name);
    candidates.insert(candidates.end(), owned.pages.rbegin(), owned.pages.rend());
    for (uint32_t p : candidates) {
        if (p == avoid || !owned.contains(p)) continue;
        ByteView v = file.view(p);
        if (v.u8(0) != kPageData || v.u32(kDataOwner) != def.firstPage) continue;
        if (v.u16(kDataFreeSpace) < length + 2) continue;
        EditablePage page = writer.load(p);
        if (page.slotFor(length, false) >= 0) return page;
    }
    return std::nullopt;
}

// Stores a row that no longer fits its page on another page of the table and points the header
// slot at it. Order: the new row (flagged 0x8000, so scans skip it), then the header pointer,
// then the previous target, if any, marked deleted. Returns true when it took a new page.
// A power cut between the first two writes strands the new row; see deleteAbandonedMoveTargets.
bool moveRow(PageWriter& writer, const TableDef& def, const RowLocation& loc,
             Bytes row) {
    std::optional<EditablePage> target = pageWithRoom(writer, def, row.size(), loc.data.page);
    bool fresh = !target;
    if (fresh) target = EditablePage::empty(writer.reservePage(), def.firstPage);
    int slot = target->slotFor(row.size(), false);
    target->putRow(slot, std::move(row), kSlotDeleted);
    writer.write(*target, WriteStage::Data);
    if (fresh) {
        writer.claim(target->number());
        writer.addToMap(def.ownedMapPointer, target->number(), "owned-pages map of table " + def.name);
        if (def.freeMapPointer)
            writer.addToMap(def.freeMapPointer, target->number(), "free-space map of table " + def.name);
    }

    Bytes pointer;
    append32(pointer, makePointer(target->number(), uint16_t(slot)));
    EditablePage header = writer.load(loc.header.page);
    header.setRow(loc.header.slot, pointer);
    header.setFlags(loc.header.slot, kSlotOverflow);
    writer.write(header, WriteStage::Switch);

    if (!(loc.data == loc.header)) {
        EditablePage old = writer.load(loc.data.page);
        old.freeRow(loc.data.slot);
        writer.write(old, WriteStage::Free);
    }
    return fresh;
}

// Before the first change of a session to a table: rows a move wrote but never pointed to (the
// power failed in between) are deleted (0xC000, zero length), as Jet expects of abandoned targets;
// mdb-export would list them as extra rows. Nothing depends on them, so they go in the last stage.
// Returns whether anything was deleted.
bool deleteAbandonedMoveTargets(PageWriter& writer, const TableDef& def) {
    std::vector<RowId> abandoned = abandonedMoveTargets(writer.file(), def);
    std::map<uint32_t, std::vector<uint16_t>> byPage;
    for (const RowId& r : abandoned) byPage[r.page].push_back(r.slot);
    for (const auto& [number, slots] : byPage) {
        EditablePage page = writer.load(number);
        for (uint16_t slot : slots) page.freeRow(slot);
        writer.write(page, WriteStage::Free);
    }
    return !abandoned.empty();
}

} // namespace

namespace {

// The column an update may change, with the checks that refuse it before anything is written.
const ColumnDef& textColumnToUpdate(const Database::Impl& db, const TableDef& def, const std::string& column,
                                    const std::u16string& text, std::string& what) {
    int index = def.columnIndex(column);
    if (index < 0) throw Error(db.path + ": table " + def.name + " has no column " + column);
    const ColumnDef& col = def.columns[size_t(index)];
    what = db.path + ": column " + col.nameUtf8 + " of table " + def.name;
    const bool isMemo = col.typeCode == uint8_t(ColumnType::Memo);
    if (!isMemo && col.typeCode != uint8_t(ColumnType::Text))
        throw Error(what + " is of type " + columnTypeName(ColumnType(col.typeCode)) +
                    "; only Text and Memo values can be changed");
    if (def.isIndexed(col.number))
        throw Error(what + " is part of an index; changing it would leave the index out of date");
    if (!isMemo && text.size() * 2 > col.length)
        throw Error(what + " holds at most " + std::to_string(col.length / 2) + " characters; the new text has " +
                    std::to_string(text.size()));
    return col;
}

// Where the row lives: its header slot must be a live row of this table.
RowLocation liveRow(const Database::Impl& db, const TableDef& def, RowId row) {
    PageFile& file = *db.file;
    std::optional<RowLocation> loc;
    try {
        if (row.page == 0 || row.page >= file.pageCount()) throw Error("no such page");
        ByteView page = file.view(row.page);
        if (page.u8(0) != kPageData || page.u32(kDataOwner) != def.firstPage) throw Error("not a data page of the table");
        if (row.slot >= page.u16(kDataSlotCount)) throw Error("no such slot");
        loc = locateRow(file, row);
    } catch (const Error&) {
        loc.reset();
    }
    if (!loc)
        throw Error(db.path + ": the row at " + describe(row) + " of table " + def.name + " no longer exists");
    return *loc;
}

// The new value's bytes in the row: a Text value itself; a Memo value inline when the row still
// fits its page, else stored in LVAL rows (stage Data) and referenced by its 12-byte header.
struct NewValue {
    Bytes bytes;
    std::vector<LongValueSegment> oldSegments; // the Memo's LVAL rows until now
    LongValueSpace* space = nullptr;
};

NewValue storeNewValue(PageWriter& writer, WriteCache& cache, const TableDef& def, const ColumnDef& col,
                       const EditablePage& dataPage, const Bytes& oldRow, const ColumnSlice& slice,
                       const CrackedRow& cracked, const std::u16string& text, const std::string& what) {
    NewValue value;
    Bytes encoded = encodeText(text, col.compressionAllowed());
    if (col.typeCode != uint8_t(ColumnType::Memo)) {
        value.bytes = std::move(encoded);
        return value;
    }
    if (!slice.isNull() && slice.length >= kLongValueHeaderSize)
        value.oldSegments = longValueSegments(writer.file(), cracked.bytes.sub(slice.offset, slice.length));
    const LongValueMaps* maps = def.longValueMapsFor(col.number);
    if (maps && maps->ownedMapPointer) value.space = &cache.longValues[maps->ownedMapPointer];
    if (longValueStorageFor(encoded.size()) == kLongValueInline) {
        Bytes candidate = inlineLongValue(encoded);
        long growth = long(candidate.size()) - long(slice.isNull() ? 0 : slice.length);
        if (growth <= dataPage.freeSpace() && oldRow.size() + growth <= kMaxRowSize) {
            value.bytes = std::move(candidate);
            return value;
        }
    }
    if (!maps || maps->ownedMapPointer == 0)
        throw Error(what + " has no long-value page map; the value cannot be stored");
    LongValueColumn lv{maps->ownedMapPointer, maps->freeMapPointer, "column " + col.nameUtf8 + " of table " + def.name};
    value.bytes = storeLongValue(writer, lv, encoded, *value.space);
    return value;
}

// The old LVAL rows marked deleted. Freeing a row on a page whose new rows still wait for the
// disk would make the page wait for the switch as well: such rows are freed after the held
// writes went out.
void freeOldValue(PageWriter& writer, WriteCache& cache, const TableDef& def, const ColumnDef& col,
                  const NewValue& value) {
    if (value.oldSegments.empty()) return;
    std::vector<LongValueSegment> now;
    const uint32_t mapPointer = value.space ? def.longValueMapsFor(col.number)->ownedMapPointer : 0;
    for (const LongValueSegment& s : value.oldSegments) {
        const WriteStage* held = writer.file().heldStage(s.page);
        if (held && *held != WriteStage::Free) cache.deferredFrees.emplace_back(mapPointer, s);
        else now.push_back(s);
    }
    LongValueSpace none;
    if (!now.empty()) freeLongValue(writer, now, value.space ? *value.space : none);
}

} // namespace

void Database::updateText(const std::string& table, RowId row, const std::string& column,
                          const std::u16string& text) {
    Impl& db = *impl_;
    if (db.mode != OpenMode::ReadWrite)
        throw Error(db.path + ": the database is open read-only; it cannot be changed");
    if (db.onDisk) refuseIfInUse(db.path, InUseCheck::Locks);
    db.refresh();
    const TableDef& def = db.table(table);
    PageFile& file = *db.file;
    if (!file.writable()) throw Error(db.path + ": the file cannot be written");
    std::string what;
    const ColumnDef& col = textColumnToUpdate(db, def, column, text, what);
    const RowLocation loc = liveRow(db, def, row);

    auto& cache = db.writeCache;
    if (!cache || cache->generation != file.generation()) cache = std::make_shared<WriteCache>();

    file.holdWrites(true);
    // A failed update changes nothing: what it held is taken back, so that neither a later flush
    // nor closing the database writes it (what already reached the file is unreferenced).
    file.beginHeldChange();
    const size_t deferredBefore = cache->deferredFrees.size();
    const bool settles = cache->settledTables.insert(def.firstPage).second;
    try {
        PageWriter writer(file);
        if (settles && deleteAbandonedMoveTargets(writer, def))
            db.acceptOwnWrite(def.firstPage, true, false); // rows on those pages may have shifted
        EditablePage dataPage = writer.load(loc.data.page);
        const Bytes& oldRow = dataPage.row(loc.data.slot);
        CrackedRow cracked = crackRow(def, ByteView(oldRow.data(), oldRow.size(), what));
        const ColumnSlice& slice = cracked.columns[size_t(def.columnIndex(column))];
        const NewValue value = storeNewValue(writer, *cache, def, col, dataPage, oldRow, slice, cracked, text, what);

        Bytes newRow = spliceVarColumn(def, cracked, col, value.bytes, what);
        bool tookPage = false;
        if (long(newRow.size()) - long(oldRow.size()) <= dataPage.freeSpace()) {
            dataPage.setRow(loc.data.slot, std::move(newRow));
            writer.write(dataPage, WriteStage::Switch);
        } else {
            tookPage = moveRow(writer, def, loc, std::move(newRow));
        }
        freeOldValue(writer, *cache, def, col, value);
        if (db.flushEachUpdate) db.sendHeldWrites(true);
        else if (file.heldPages() >= db.heldPagesLimit) db.sendHeldWrites(false);
        file.endHeldChange();
        cache->generation = file.generation();
        db.acceptOwnWrite(def.firstPage, col.typeCode != uint8_t(ColumnType::Memo) || tookPage, tookPage);
    } catch (...) {
        file.discardHeldChange();
        if (cache->deferredFrees.size() > deferredBefore)
            cache->deferredFrees.erase(cache->deferredFrees.begin() + long(deferredBefore), cache->deferredFrees.end());
        if (settles) cache->settledTables.erase(def.firstPage);
        // The free space the update counted on may lie on pages taken back: it is read anew.
        cache->longValues.clear();
        db.invalidate();
        throw;
    }
}

void setHeldPagesLimit(Database& db, size_t pages) { db.impl_->heldPagesLimit = pages; }

void Database::setFlushEachUpdate(bool on) {
    impl_->flushEachUpdate = on;
    if (on) flush();
}

void Database::flush() {
    if (impl_->mode == OpenMode::ReadWrite && impl_->file->writable()) impl_->sendHeldWrites(true);
}

void Database::Impl::sendHeldWrites(bool flushAll) {
    file->writeHeld();
    if (writeCache && !writeCache->deferredFrees.empty()) {
        std::map<uint32_t, std::vector<LongValueSegment>> byMap;
        for (const auto& [map, segment] : writeCache->deferredFrees) byMap[map].push_back(segment);
        writeCache->deferredFrees.clear();
        PageWriter writer(*file);
        for (const auto& [map, segments] : byMap) {
            LongValueSpace none;
            freeLongValue(writer, segments, map ? writeCache->longValues[map] : none);
        }
    }
    if (flushAll) file->flush();
    if (writeCache) writeCache->generation = file->generation();
    seenGeneration_ = file->generation();
}

void Database::Impl::acceptOwnWrite(uint32_t tablePage, bool rowValuesChanged, bool pageMapsChanged) {
    if (pageMapsChanged) invalidate();
    else if (rowValuesChanged) snapshots_.erase(tablePage);
    seenGeneration_ = file->generation();
}

} // namespace jet
