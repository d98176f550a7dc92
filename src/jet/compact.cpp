// jet::compact: a compacted copy of a database. Every page stays at its page number (indexes,
// definitions, overflow pointers and maps name pages directly). What is reclaimed lies in the
// long-value columns' LVAL pages:
//  * a column whose pages hold at least a tenth of unused room is repacked, and so is every column
//    when that lets the file end clearly earlier: every value stored out of line is rewritten
//    densely onto the lowest free pages, its row's 12-byte header re-pointed (rows keep their
//    size), the column's maps rebuilt;
//  * otherwise its pages stay as they are (rewriting every value to win a little room inside the
//    file is not worth it), except pages that hold no live row any more, which are released;
//  * free pages at the end of the file are cut off and the global map rebuilt for the new length.
// The edits are made in memory over the source (an overlay of changed pages); the destination
// receives the source's pages with the changed ones in their place, streamed in chunks, and is
// then read back in full: every page must equal what was meant to be written (for unchanged pages
// that is the source's page), and the tables whose pages changed must read the same rows and
// values as in the source. A copy that does not verify is removed.
#include "jet/catalog.h"
#include "jet/completeness.h"
#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/format.h"
#include "jet/header.h"
#include "jet/in_use.h"
#include "jet/long_value.h"
#include "jet/long_value_write.h"
#include "jet/page_file.h"
#include "jet/page_writer.h"
#include "jet/row.h"
#include "jet/table_def.h"
#include "jet/usage_map.h"

#include "jet/compact.h"
#include "jet/disk_files.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace jet {

using namespace format;

namespace {

// A compaction refused for `reason`: the copy is not used, the database stays as it is.
Error refused(const std::string& path, const std::string& reason) {
    ErrorFacts facts;
    facts.path = path;
    facts.reason = reason;
    return Error(ErrorKind::CompactionRefused, facts, path + ": " + reason);
}


constexpr uint32_t kChunkPages = 32; // 128 KB per read or write while streaming the file

// The two chunk buffers every pass reuses (fresh memory costs a page fault per 4 KB).
struct Buffers {
    Bytes chunk = Bytes(size_t(kChunkPages) * kPageSize);
    Bytes back = Bytes(size_t(kChunkPages) * kPageSize);
};

// The database as compaction sees it: the source's pages, with the pages compaction changed (or
// added) held in memory. Read-only instances show the source as it is.
class OverlayFile final : public PageFile {
public:
    OverlayFile(const PageFile& source, bool writable)
        : PageFile(source.name()), source_(source), pages_(source.pageCount()), writable_(writable) {}

    bool writable() const override { return writable_; }
    uint64_t sizeBytes() const override { return uint64_t(pages_) * kPageSize; }
    uint32_t pages() const { return pages_; }
    const std::map<uint32_t, Bytes>& changed() const { return changed_; }
    // The page as it goes into the copy: the changed one, else the source's (from `sourceChunk`,
    // the source's pages from `chunkStart` on).
    const uint8_t* outputPage(uint32_t page, const uint8_t* sourceChunk, uint32_t chunkStart) const {
        auto it = changed_.find(page);
        if (it != changed_.end()) return it->second.data();
        if (page >= source_.pageCount()) throw Error("internal: page " + std::to_string(page) + " has no content");
        return sourceChunk + size_t(page - chunkStart) * kPageSize;
    }

protected:
    void readAt(uint64_t offset, uint8_t* dst, size_t length) const override {
        if (offset % kPageSize || length % kPageSize) throw Error("internal: unaligned read");
        uint32_t first = uint32_t(offset / kPageSize), count = uint32_t(length / kPageSize);
        if (uint64_t(first) + count > pages_) throw Error(name() + ": the file ended while reading");
        for (uint32_t i = 0; i < count;) {
            auto it = changed_.find(first + i);
            if (it != changed_.end()) {
                std::memcpy(dst + size_t(i) * kPageSize, it->second.data(), kPageSize);
                ++i;
                continue;
            }
            uint32_t run = 1; // unchanged source pages in one read
            while (i + run < count && !changed_.count(first + i + run)) ++run;
            if (first + i + run > source_.pageCount()) throw Error("internal: page " + std::to_string(first + i) + " has no content");
            source_.readPages(first + i, run, dst + size_t(i) * kPageSize);
            i += run;
        }
    }
    void writeAt(uint64_t offset, const uint8_t* src, size_t length) override {
        if (offset % kPageSize || length != kPageSize) throw Error("internal: unaligned write");
        uint32_t page = uint32_t(offset / kPageSize);
        changed_[page] = Bytes(src, src + kPageSize);
        pages_ = std::max(pages_, page + 1);
    }
    void truncateTo(uint64_t size) override {
        pages_ = uint32_t(size / kPageSize);
        changed_.erase(changed_.lower_bound(pages_), changed_.end());
    }

private:
    const PageFile& source_;
    uint32_t pages_;
    bool writable_;
    std::map<uint32_t, Bytes> changed_;
};

// What one pass over the source learns of each LVAL page.
struct LvalPageInfo {
    bool lval = false;     // a data page owned by "LVAL", its slot table readable
    uint16_t liveRows = 0;
    uint16_t bigRows = 0;  // live rows longer than half a page: no two share a page
    size_t liveBytes = 0;  // live rows plus their slot entries
};

std::vector<LvalPageInfo> scanLvalPages(const PageFile& source, Buffers& buffers) {
    const uint32_t pages = source.pageCount();
    std::vector<LvalPageInfo> info(pages);
    Bytes& chunk = buffers.chunk;
    for (uint32_t first = 0; first < pages; first += kChunkPages) {
        uint32_t count = std::min(kChunkPages, pages - first);
        source.readPages(first, count, chunk.data());
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* bytes = chunk.data() + size_t(i) * kPageSize;
            if (bytes[0] != kPageData) continue;
            ByteView view(bytes, kPageSize, "page");
            if (view.u32(kDataOwner) != kLvalOwner) continue;
            try {
                DataPage page(view, first + i);
                LvalPageInfo& p = info[first + i];
                const size_t tableEnd = kDataSlotTable + 2 * size_t(page.slotCount());
                for (uint16_t s = 0; s < page.slotCount(); ++s) {
                    Slot slot = page.slot(s);
                    if (slot.deleted()) continue;
                    if (slot.start < tableEnd || slot.start > slot.end) throw Error("row bounds");
                    ++p.liveRows;
                    p.liveBytes += slot.length() + 2u;
                    if (slot.length() + 2u > kDataPageRoom / 2) ++p.bigRows;
                }
                p.lval = true;
            } catch (const Error&) {
                // an unreadable slot table: not a page compaction touches
            }
        }
    }
    return info;
}

std::vector<TableDef> allTables(const PageFile& file) {
    std::vector<TableDef> tables;
    std::set<uint32_t> seen;
    for (const CatalogEntry& e : readCatalog(file)) {
        if (e.type != kObjectTypeTable || !seen.insert(e.tdefPage()).second) continue;
        if (e.tdefPage() == 0 || e.tdefPage() >= file.pageCount()) continue;
        if (file.view(e.tdefPage()).u8(0) != kPageTableDef) continue; // linked or damaged entry
        tables.push_back(readTableDef(file, e.tdefPage(), e.name));
    }
    return tables;
}

struct StoredValue {
    uint32_t page = 0;        // data row holding the 12-byte header
    size_t headerOffset = 0;  // within that page
    Bytes data;
};

struct ColumnPlan {
    size_t table = 0;  // index into the tables
    size_t column = 0; // index into that table's columns
    LongValueColumn maps;
    std::vector<uint32_t> pages;    // its LVAL pages now (ascending)
    std::vector<uint32_t> released; // pages given back to the file
    bool repack = false;
    std::vector<StoredValue> values; // when repacking: every value stored out of line
    std::vector<uint32_t> ownedAfter, freeAfter;
};

// The file's length in pages once the free pages at its end are cut off.
uint32_t lengthWithout(uint32_t pages, const std::set<uint32_t>& free) {
    while (pages > 2 && free.count(pages - 1)) --pages;
    return pages;
}

// The long-value columns compaction changes. A column is only touched when its pages can be
// accounted for: none is shared with another column, and (to be repacked) every value of the
// column lies on its own LVAL pages.
std::vector<ColumnPlan> planColumns(const PageFile& file, const std::vector<TableDef>& tables,
                                    const std::vector<LvalPageInfo>& info) {
    struct Candidate {
        ColumnPlan plan;
        std::vector<uint32_t> owned, freeMap; // the column's maps as they are
        size_t needed = 0;                     // pages its live rows take at the least
    };
    std::vector<Candidate> candidates;
    std::map<uint32_t, int> pageUsers;
    std::set<uint32_t> globalFree;
    for (uint32_t p : readUsageMap(file, kGlobalMapPointer, file.pageCount(), "global usage map").pages) globalFree.insert(p);
    for (size_t t = 0; t < tables.size(); ++t) {
        const TableDef& def = tables[t];
        for (size_t i = 0; i < def.columns.size(); ++i) {
            const ColumnDef& col = def.columns[i];
            const LongValueMaps* maps = col.isLongValue() ? def.longValueMapsFor(col.number) : nullptr;
            if (!maps || maps->ownedMapPointer == 0) continue;
            Candidate c;
            c.plan.table = t;
            c.plan.column = i;
            c.plan.maps = {maps->ownedMapPointer, maps->freeMapPointer, "column " + col.nameUtf8 + " of table " + def.name};
            try {
                c.owned = readUsageMap(file, maps->ownedMapPointer, file.pageCount(), "owned map").pages;
                if (maps->freeMapPointer)
                    c.freeMap = readUsageMap(file, maps->freeMapPointer, file.pageCount(), "free map").pages;
            } catch (const Error&) {
                continue; // a column whose maps cannot be read stays exactly as it is
            }
            size_t live = 0, big = 0;
            for (uint32_t p : c.owned) {
                if (p >= info.size() || !info[p].lval) continue;
                c.plan.pages.push_back(p);
                ++pageUsers[p];
                live += info[p].liveBytes;
                big += info[p].bigRows;
                if (info[p].liveRows == 0) c.plan.released.push_back(p);
            }
            if (c.plan.pages.empty()) continue;
            c.needed = std::max(big, (live + kDataPageRoom - 1) / kDataPageRoom);
            candidates.push_back(std::move(c));
        }
    }

    // Repacking every column pays when it lets the file end clearly earlier than releasing the
    // empty pages alone does (values packed onto the lowest free pages, as the writer places them).
    const uint32_t pageCount = file.pageCount();
    std::set<uint32_t> emptiesReleased = globalFree, allReleased = globalFree;
    size_t allNeeded = 0;
    for (const Candidate& c : candidates) {
        emptiesReleased.insert(c.plan.released.begin(), c.plan.released.end());
        allReleased.insert(c.plan.pages.begin(), c.plan.pages.end());
        allNeeded += c.needed;
    }
    bool repackAll = true;
    for (size_t i = 0; i < allNeeded && repackAll; ++i) {
        repackAll = !allReleased.empty() && *allReleased.begin() < pageCount; // else the file would grow
        if (repackAll) allReleased.erase(allReleased.begin());
    }
    repackAll = repackAll && lengthWithout(pageCount, allReleased) + std::max<uint32_t>(1, pageCount / 64) <=
                                 lengthWithout(pageCount, emptiesReleased);

    std::vector<ColumnPlan> plans;
    for (Candidate& c : candidates) {
        ColumnPlan& plan = c.plan;
        // Else a column is repacked when its pages that keep live rows hold at least a tenth of
        // unused room.
        const size_t pages = plan.pages.size() - plan.released.size();
        plan.repack = repackAll || (pages > c.needed && pages - c.needed >= std::max<size_t>(1, pages / 10));
        if (plan.repack) {
            plan.released = plan.pages;
        } else {
            std::set<uint32_t> gone(plan.released.begin(), plan.released.end());
            for (uint32_t p : c.owned)
                if (!gone.count(p)) plan.ownedAfter.push_back(p);
            for (uint32_t p : c.freeMap)
                if (!gone.count(p)) plan.freeAfter.push_back(p);
        }
        if (!plan.released.empty()) plans.push_back(std::move(plan));
    }

    std::vector<ColumnPlan> safe;
    for (ColumnPlan& plan : plans) {
        bool ok = true;
        for (uint32_t p : plan.pages) ok &= pageUsers[p] == 1;
        if (!ok) continue;
        if (!plan.repack) {
            // Only pages without a live row are released: no readable value can lie on them.
            safe.push_back(std::move(plan));
            continue;
        }
        const std::set<uint32_t> own(plan.pages.begin(), plan.pages.end());
        const TableDef& def = tables[plan.table];
        try {
            forEachRow(file, def, [&](const RowLocation& loc, const CrackedRow& row) {
                const ColumnSlice& s = row.columns[plan.column];
                if (!ok || s.isNull() || s.length < kLongValueHeaderSize) return;
                ByteView slot = row.bytes.sub(s.offset, s.length);
                if (parseLongValueHeader(slot).storage == kLongValueInline) return;
                for (const LongValueSegment& seg : longValueSegments(file, slot))
                    if (!own.count(seg.page)) ok = false;
                if (ok)
                    plan.values.push_back({loc.data.page, size_t(loc.rowStart) + s.offset, readLongValue(file, slot)});
            });
        } catch (const Error&) {
            ok = false; // leave a column we cannot fully account for exactly as it is
        }
        if (ok) safe.push_back(std::move(plan));
    }
    return safe;
}

// Applies the plans to `file` (the overlay) and cuts off free pages at the end.
void applyPlans(OverlayFile& file, std::vector<ColumnPlan>& plans) {
    UsageMap global = readUsageMap(file, kGlobalMapPointer, file.pageCount(), "global usage map");
    std::set<uint32_t> free(global.pages.begin(), global.pages.end());
    bool globalChanged = false;

    // 1. Release pages: zero them, mark them free, take them out of the columns' maps.
    if (!plans.empty()) {
        PageWriter writer(file);
        for (const ColumnPlan& plan : plans)
            for (uint32_t p : plan.released) {
                writer.write(p, Bytes(kPageSize, 0));
                free.insert(p);
            }
        writer.rewriteMap(kGlobalMapPointer, {free.begin(), free.end()}, MapSemantics::GlobalFree, file.pageCount(), "global usage map");
        globalChanged = true;
        for (const ColumnPlan& plan : plans) {
            writer.rewriteMap(plan.maps.ownedMap, plan.ownedAfter, MapSemantics::Members, file.pageCount(), "owned map of " + plan.maps.what);
            if (plan.maps.freeMap)
                writer.rewriteMap(plan.maps.freeMap, plan.freeAfter, MapSemantics::Members, file.pageCount(), "free map of " + plan.maps.what);
        }
    }

    // 2. Repacked columns: write every value densely and re-point its row.
    {
        PageWriter writer(file);
        for (ColumnPlan& plan : plans) {
            if (!plan.repack) continue;
            LongValueSpace space;
            std::map<uint32_t, std::vector<std::pair<size_t, Bytes>>> headers; // by data page
            for (const StoredValue& v : plan.values)
                headers[v.page].emplace_back(v.headerOffset, storeLongValue(writer, plan.maps, v.data, space));
            for (const auto& [number, patches] : headers) {
                Bytes page = file.page(number);
                for (const auto& [offset, header] : patches)
                    std::copy(header.begin(), header.end(), page.begin() + long(offset));
                writer.write(number, page);
            }
            plan.ownedAfter = readUsageMap(file, plan.maps.ownedMap, file.pageCount(), "owned map of " + plan.maps.what).pages;
            plan.values.clear();
        }
    }

    // 3. Cut off the free pages at the end and rebuild the global map for the new length.
    if (globalChanged) {
        global = readUsageMap(file, kGlobalMapPointer, file.pageCount(), "global usage map");
        free = std::set<uint32_t>(global.pages.begin(), global.pages.end());
    }
    uint32_t pages = file.pageCount();
    while (pages > 2 && free.count(pages - 1)) --pages;
    if (pages == file.pageCount() && !globalChanged) return; // nothing to reclaim: a plain copy
    std::vector<uint32_t> freeInside(free.begin(), free.lower_bound(pages));
    PageWriter writer(file);
    writer.rewriteMap(kGlobalMapPointer, freeInside, MapSemantics::GlobalFree, pages, "global usage map");
    file.truncatePages(pages);
}

// --- checking the result ---------------------------------------------------------------------

// Every row of a table in storage order, each as its column values' bytes: stored bytes for
// in-row data, the whole value for memo/OLE data stored out of line.
std::vector<Bytes> rowImages(const PageFile& file, const TableDef& def) {
    std::vector<Bytes> rows;
    forEachRow(file, def, [&](const RowLocation&, const CrackedRow& row) {
        Bytes image;
        for (size_t i = 0; i < def.columns.size(); ++i) {
            const ColumnSlice& s = row.columns[i];
            image.push_back(uint8_t(s.present) | uint8_t(s.notNull) << 1);
            if (s.isNull()) continue;
            ByteView slot = row.bytes.sub(s.offset, s.length);
            Bytes data;
            if (def.columns[i].isLongValue() && s.length >= kLongValueHeaderSize &&
                parseLongValueHeader(slot).storage != kLongValueInline) {
                data = readLongValue(file, slot);
                image.push_back(1);
            } else {
                data = slot.copy(0, slot.size());
                image.push_back(0);
            }
            append32(image, uint32_t(data.size()));
            image.insert(image.end(), data.begin(), data.end());
        }
        rows.push_back(std::move(image));
    });
    return rows;
}

// The compacted database read through the reader against the source: the same tables with the
// same data pages; every table with a changed page (or a repacked column) the same rows and
// values; the changed columns' maps as planned.
void checkContent(const PageFile& source, const OverlayFile& output, const std::vector<TableDef>& tables,
                  const std::vector<ColumnPlan>& plans) {
    readFileHeader(output);
    std::vector<TableDef> after = allTables(output);
    if (after.size() != tables.size())
        throw Error("the copy lists " + std::to_string(after.size()) + " tables, the source " + std::to_string(tables.size()));
    std::set<size_t> compare;
    for (const ColumnPlan& plan : plans)
        if (plan.repack) compare.insert(plan.table);
    for (size_t t = 0; t < tables.size(); ++t) {
        const TableDef& def = tables[t];
        if (after[t].name != def.name || after[t].firstPage != def.firstPage)
            throw Error("table " + def.name + " is not where it was in the copy");
        std::vector<uint32_t> was, now;
        try {
            was = readUsageMap(source, def.ownedMapPointer, source.pageCount(), "owned map").pages;
        } catch (const Error&) {
            continue; // a table the reader cannot follow: its pages were not touched
        }
        now = readUsageMap(output, after[t].ownedMapPointer, output.pageCount(), "owned map of " + def.name).pages;
        if (now != was) throw Error("table " + def.name + " lists other data pages in the copy");
        for (uint32_t p : was)
            if (output.changed().count(p)) compare.insert(t);
    }
    for (size_t t : compare) {
        std::vector<Bytes> x = rowImages(source, tables[t]), y = rowImages(output, after[t]);
        if (x.size() != y.size())
            throw Error("table " + tables[t].name + " has " + std::to_string(y.size()) + " rows in the copy, " +
                        std::to_string(x.size()) + " in the source");
        for (size_t r = 0; r < x.size(); ++r)
            if (x[r] != y[r]) throw Error("table " + tables[t].name + ", row " + std::to_string(r) + " differs in the copy");
    }
    for (const ColumnPlan& plan : plans) {
        if (readUsageMap(output, plan.maps.ownedMap, output.pageCount(), "owned map").pages != plan.ownedAfter)
            throw Error("the pages of " + plan.maps.what + " are not as planned in the copy");
    }
}

// Writes the copy (source pages with the changed ones in their place), reads it back in full
// and compares every page with what was meant, then flushes it.
void writeAndVerify(PageFile& destination, const std::string& path, const PageFile& source, const OverlayFile& output,
                    Buffers& buffers) {
    const uint32_t pages = output.pages();
    const uint32_t sourcePages = source.pageCount();
    Bytes &chunk = buffers.chunk, &back = buffers.back;
    auto sourcePart = [&](uint32_t first, uint32_t count) {
        uint32_t fromSource = first < sourcePages ? std::min(count, sourcePages - first) : 0;
        if (fromSource) source.readPages(first, fromSource, chunk.data());
    };
    for (uint32_t first = 0; first < pages; first += kChunkPages) {
        uint32_t count = std::min(kChunkPages, pages - first);
        sourcePart(first, count);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* page = output.outputPage(first + i, chunk.data(), first);
            uint8_t* slot = chunk.data() + size_t(i) * kPageSize;
            if (page != slot) std::memcpy(slot, page, kPageSize);
        }
        destination.writePages(first, count, chunk.data());
    }
    if (destination.sizeBytes() != uint64_t(pages) * kPageSize)
        throw Error(path + ": the copy has " + std::to_string(destination.sizeBytes()) + " bytes, " +
                    std::to_string(uint64_t(pages) * kPageSize) + " were written");
    for (uint32_t first = 0; first < pages; first += kChunkPages) {
        uint32_t count = std::min(kChunkPages, pages - first);
        sourcePart(first, count);
        destination.readPages(first, count, back.data());
        for (uint32_t i = 0; i < count; ++i)
            if (std::memcmp(back.data() + size_t(i) * kPageSize, output.outputPage(first + i, chunk.data(), first), kPageSize) != 0)
                throw refused(path, "the compacted copy did not verify and was removed: page " +
                                        std::to_string(first + i) + " reads back other than it was written");
    }
    destination.flush();
}

} // namespace

void compactFile(const PageFile& source, PageFile& destination, const std::string& copyName) {
    const uint64_t stampBefore = source.diskStamp();
    Buffers buffers;
    OverlayFile original(source, false);
    readFileHeader(original);
    requireAllPagesPresent(original, readCatalog(original));
    std::vector<TableDef> tables = allTables(original);
    std::vector<ColumnPlan> plans = planColumns(original, tables, scanLvalPages(source, buffers));

    OverlayFile output(source, true);
    applyPlans(output, plans);
    try {
        checkContent(original, output, tables, plans);
    } catch (const Error& e) {
        throw refused(copyName, std::string("the compacted copy did not verify and was not written: ") + e.what());
    }
    writeAndVerify(destination, copyName, source, output, buffers);
    if (source.diskStamp() != stampBefore)
        throw refused(source.name(), "the file was changed by another program while it was being compacted");
}

void compact(const std::string& source, const std::string& destination) {
    if (destination.empty()) throw Error("no destination file was given");
    if (pathTaken(destination)) throw Error(destination + ": the destination already exists");
    // Jet compacts only a database that nobody else has open; so does this.
    refuseIfInUse(source, InUseCheck::Thorough);
    auto input = openPageFileForCopy(source);
    // The copy is written under a scratch name and takes its final name only once it is complete,
    // verified and flushed: after a power cut the destination is the whole copy or absent.
    const std::string scratch = destination + ".part";
    removeFileQuietly(scratch); // left by a compaction the power cut short
    try {
        auto output = createPageFile(scratch);
        compactFile(*input, *output, destination);
        output.reset();
        publishFile(scratch, destination);
    } catch (...) {
        removeFileQuietly(scratch);
        throw;
    }
}

} // namespace jet
