// The file consistency checker (see invariants.h for the list).
#include "support/invariants.h"

#include "jet/catalog.h"
#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/header.h"
#include "jet/long_value.h"
#include "jet/page_file.h"
#include "jet/row.h"
#include "jet/table_def.h"
#include "jet/usage_map.h"

#include <map>
#include <set>

namespace jet {

using namespace format;

namespace {

class Checker {
public:
    explicit Checker(const PageFile& file) : file_(file) {}

    std::vector<std::string> run() {
        if (file_.sizeBytes() % kPageSize != 0)
            problem("the file is " + std::to_string(file_.sizeBytes()) + " bytes, not a whole number of pages");
        pages_ = file_.pageCount();
        UsageMap global = readUsageMap(file_, makePointer(kGlobalMapPage, 0), pages_, "global usage map");
        free_.insert(global.pages.begin(), global.pages.end());
        noteMapPages(global, "global usage map");

        for (uint32_t p = 0; p < pages_; ++p)
            if (!free_.count(p) && file_.view(p).u8(0) == kPageData) checkDataPage(p);

        std::set<uint32_t> seenTables;
        for (const CatalogEntry& e : readCatalog(file_)) {
            if (e.type != kObjectTypeTable || !seenTables.insert(e.tdefPage()).second) continue;
            if (e.tdefPage() == 0 || e.tdefPage() >= pages_ || file_.view(e.tdefPage()).u8(0) != kPageTableDef) continue;
            checkTable(e);
        }
        for (const auto& [target, count] : targets_)
            if (count != 1)
                problem("page " + std::to_string(target >> 8) + ", slot " + std::to_string(target & 0xFF) +
                        ": an overflow row is the target of " + std::to_string(count) + " pointers");
        for (uint32_t p : inUse_)
            if (free_.count(p)) problem("page " + std::to_string(p) + " is in use (" + users_[p] + ") but marked free in the global map");
        return problems_;
    }

private:
    void problem(const std::string& text) { problems_.push_back(file_.name() + ": " + text); }
    void use(uint32_t page, const std::string& who) {
        inUse_.insert(page);
        users_.emplace(page, who);
    }
    void noteMapPages(const UsageMap& map, const std::string& who) {
        use(map.hostPage, "host of the " + who);
        for (uint32_t b : map.bitmapPages)
            if (b) use(b, "bitmap page of the " + who);
    }
    std::optional<UsageMap> map(uint32_t pointer, const std::string& who) {
        try {
            UsageMap m = readUsageMap(file_, pointer, pages_, who);
            noteMapPages(m, who);
            for (uint32_t p : m.pages) use(p, "owned by the " + who);
            return m;
        } catch (const Error& e) {
            problem(std::string("cannot read the ") + who + ": " + e.what());
            return std::nullopt;
        }
    }

    void checkDataPage(uint32_t p) {
        ByteView v = file_.view(p);
        uint16_t n = v.u16(kDataSlotCount);
        std::string at = "page " + std::to_string(p);
        if (n > kMaxSlotsPerPage || kDataSlotTable + 2 * size_t(n) > kPageSize) {
            problem(at + " has " + std::to_string(n) + " slots");
            return;
        }
        size_t tableEnd = kDataSlotTable + 2 * size_t(n);
        size_t end = kPageSize;
        for (uint16_t i = 0; i < n; ++i) {
            size_t start = v.u16(kDataSlotTable + 2 * i) & kSlotOffsetMask;
            if (start > end || start < tableEnd) {
                problem(at + ", slot " + std::to_string(i) + ": row start " + std::to_string(start) + " is out of order");
                return;
            }
            end = start;
        }
        size_t expected = end - tableEnd;
        if (v.u16(kDataFreeSpace) != expected)
            problem(at + ": free_space is " + std::to_string(v.u16(kDataFreeSpace)) + ", the rows leave " + std::to_string(expected));
    }

    void checkTable(const CatalogEntry& e) {
        TableDef def;
        try {
            def = readTableDef(file_, e.tdefPage(), e.name);
        } catch (const Error& err) {
            problem("table " + e.name + ": " + err.what());
            return;
        }
        const std::string table = "table " + def.name;
        for (uint32_t p : def.pages) use(p, "definition of " + table);
        auto owned = map(def.ownedMapPointer, "owned-pages map of " + table);
        if (!owned) return;
        if (def.freeMapPointer) checkSubset(*owned, def.freeMapPointer, "free-space map of " + table);
        for (const RealIndexDef& idx : def.realIndexes)
            if (idx.usageMapPointer) map(idx.usageMapPointer, "map of an index of " + table);

        std::set<uint32_t> ownedPages(owned->pages.begin(), owned->pages.end());
        checkRowsAndPointers(def, ownedPages);

        std::map<uint16_t, std::set<uint32_t>> lvPages;
        for (const LongValueMaps& m : def.longValueMaps) {
            if (!m.ownedMapPointer) continue;
            std::string who = "long-value map of column " + std::to_string(m.columnNumber) + " of " + table;
            auto lv = map(m.ownedMapPointer, who);
            if (!lv) continue;
            if (m.freeMapPointer) checkSubset(*lv, m.freeMapPointer, "long-value free map of column " + std::to_string(m.columnNumber) + " of " + table);
            lvPages[m.columnNumber].insert(lv->pages.begin(), lv->pages.end());
        }
        try {
            forEachRow(file_, def, [&](const RowLocation& loc, const CrackedRow& row) {
                for (size_t i = 0; i < def.columns.size(); ++i) {
                    const ColumnDef& c = def.columns[i];
                    const ColumnSlice& s = row.columns[i];
                    if (!c.isLongValue() || s.isNull()) continue;
                    checkLongValue(def, c, row.bytes.sub(s.offset, s.length), lvPages[c.number], loc);
                }
            });
        } catch (const Error& err) {
            if (e.isUserTable()) problem(table + ": " + err.what());
        }
    }

    void checkSubset(const UsageMap& owned, uint32_t pointer, const std::string& who) {
        auto m = map(pointer, who);
        if (!m) return;
        for (uint32_t p : m->pages)
            if (!owned.contains(p)) problem("page " + std::to_string(p) + " is in the " + who + " but not owned");
    }

    void checkRowsAndPointers(const TableDef& def, const std::set<uint32_t>& owned) {
        for (uint32_t p : owned) {
            ByteView v = file_.view(p);
            if (v.u8(0) != kPageData || v.u32(kDataOwner) != def.firstPage) continue;
            DataPage page(v, p);
            for (uint16_t i = 0; i < page.slotCount(); ++i) {
                Slot s = page.slot(i);
                std::string at = "page " + std::to_string(p) + ", slot " + std::to_string(i) + " of table " + def.name;
                if (s.deleted() && !s.overflow()) {
                    targets_.emplace(makePointer(p, i), 0);
                } else if (s.overflow() && !s.deleted()) {
                    if (s.length() < 4) { problem(at + ": overflow pointer row shorter than 4 bytes"); continue; }
                    uint32_t ptr = page.row(i).u32(0);
                    uint32_t tp = pointerPage(ptr);
                    uint16_t ts = pointerSlot(ptr);
                    if (!owned.count(tp) || tp >= pages_) { problem(at + ": overflow pointer to page " + std::to_string(tp) + ", not a page of the table"); continue; }
                    ByteView tv = file_.view(tp);
                    if (tv.u8(0) != kPageData || tv.u32(kDataOwner) != def.firstPage) { problem(at + ": overflow target page " + std::to_string(tp) + " is not a data page of the table"); continue; }
                    DataPage target(tv, tp);
                    if (ts >= target.slotCount()) { problem(at + ": overflow target slot " + std::to_string(ts) + " does not exist"); continue; }
                    Slot t = target.slot(ts);
                    if (!t.deleted() || t.overflow()) { problem(at + ": overflow target is not flagged 0x8000"); continue; }
                    ++targets_[makePointer(tp, ts)];
                }
            }
        }
    }

    void checkLongValue(const TableDef& def, const ColumnDef& c, ByteView slot, const std::set<uint32_t>& owned,
                        const RowLocation& loc) {
        std::string at = "row at page " + std::to_string(loc.header.page) + ", slot " + std::to_string(loc.header.slot) +
                         " of table " + def.name + ", column " + c.nameUtf8;
        if (slot.size() < kLongValueHeaderSize) { problem(at + ": long-value slot of " + std::to_string(slot.size()) + " bytes"); return; }
        LongValueHeader h;
        std::vector<LongValueSegment> segments;
        try {
            h = parseLongValueHeader(slot);
            segments = longValueSegments(file_, slot);
        } catch (const Error& err) {
            problem(at + ": " + err.what());
            return;
        }
        if (h.storage == kLongValueInline) {
            if (h.length > kLongValueMaxInline || slot.size() != kLongValueHeaderSize + h.length)
                problem(at + ": inline value of " + std::to_string(h.length) + " bytes in a slot of " + std::to_string(slot.size()));
            return;
        }
        size_t payload = 0;
        for (const LongValueSegment& s : segments) {
            std::string seg = at + ": LVAL row at page " + std::to_string(s.page) + ", slot " + std::to_string(s.slot);
            if (!owned.count(s.page)) problem(seg + " is on a page the column does not own");
            if (file_.view(s.page).u32(kDataOwner) != kLvalOwner) problem(seg + " is not on an LVAL page");
            if (s.rowLength > kLongValueMaxRow) problem(seg + " is " + std::to_string(s.rowLength) + " bytes long");
            if (!lvalRows_.insert(makePointer(s.page, s.slot)).second) problem(seg + " is used by two values");
            payload += h.storage == kLongValueChain ? s.rowLength - 4 : s.rowLength;
        }
        if (payload != h.length)
            problem(at + ": its LVAL rows hold " + std::to_string(payload) + " bytes, the header says " + std::to_string(h.length));
    }

    const PageFile& file_;
    uint32_t pages_ = 0;
    std::set<uint32_t> free_;
    std::set<uint32_t> inUse_;
    std::map<uint32_t, std::string> users_;
    std::map<uint32_t, int> targets_;   // 0x8000 rows and how many pointers lead to each
    std::set<uint32_t> lvalRows_;
    std::vector<std::string> problems_;
};

} // namespace

std::vector<std::string> checkInvariants(const PageFile& file) { return Checker(file).run(); }

std::vector<std::string> checkInvariants(const std::string& path) {
    auto file = openPageFile(path, false);
    readFileHeader(*file);
    return checkInvariants(*file);
}

} // namespace jet
