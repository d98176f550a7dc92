// jet::compact: a compacted copy of a database. Every page stays at its page number (indexes,
// definitions, overflow pointers and maps name pages directly), except the long-value pages:
// every memo/OLE value stored out of line is rewritten densely onto the lowest free pages, its
// row's 12-byte header re-pointed (rows keep their size), the columns' maps rebuilt, the global
// map rebuilt and unused pages at the end cut off. This reclaims what replaced long values
// left behind. The copy is read back in full and compared with the source before success.
#include "jet/catalog.h"
#include "jet/data_page.h"
#include "jet/database.h"
#include "jet/format.h"
#include "jet/header.h"
#include "jet/long_value.h"
#include "jet/long_value_write.h"
#include "jet/page_file.h"
#include "jet/page_writer.h"
#include "jet/row.h"
#include "jet/table_def.h"
#include "jet/usage_map.h"
#include "jet/values.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace jet {

using namespace format;

namespace {

constexpr uint32_t kGlobalMap = makePointer(kGlobalMapPage, 0);

struct StoredValue {
    uint32_t page = 0;        // data row holding the 12-byte header
    size_t headerOffset = 0;  // within that page
    Bytes data;
};

struct ColumnPlan {
    LongValueColumn column;
    std::set<uint32_t> pages; // its LVAL pages now
    std::vector<StoredValue> values;
};

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

// The out-of-line values of every long-value column whose pages can be rewritten safely: all
// of its values' rows lie on its own LVAL pages, and no page is shared with another column.
std::vector<ColumnPlan> planColumns(const PageFile& file, const std::vector<TableDef>& tables) {
    std::vector<ColumnPlan> plans;
    std::map<uint32_t, int> pageUsers;
    for (const TableDef& def : tables) {
        for (size_t i = 0; i < def.columns.size(); ++i) {
            const ColumnDef& col = def.columns[i];
            const LongValueMaps* maps = col.isLongValue() ? def.longValueMapsFor(col.number) : nullptr;
            if (!maps || maps->ownedMapPointer == 0) continue;
            ColumnPlan plan;
            plan.column = {maps->ownedMapPointer, maps->freeMapPointer,
                           "column " + col.nameUtf8 + " of table " + def.name};
            bool ok = true;
            try {
                UsageMap owned = readUsageMap(file, maps->ownedMapPointer, file.pageCount(), "owned map");
                for (uint32_t p : owned.pages) {
                    ByteView v = file.view(p);
                    if (v.u8(0) == kPageData && v.u32(kDataOwner) == kLvalOwner) plan.pages.insert(p);
                }
                if (maps->freeMapPointer) readUsageMap(file, maps->freeMapPointer, file.pageCount(), "free map");
                forEachRow(file, def, [&](const RowLocation& loc, const CrackedRow& row) {
                    const ColumnSlice& s = row.columns[i];
                    if (!ok || s.isNull() || s.length < kLongValueHeaderSize) return;
                    ByteView slot = row.bytes.sub(s.offset, s.length);
                    if (parseLongValueHeader(slot).storage == kLongValueInline) return;
                    for (const LongValueSegment& seg : longValueSegments(file, slot))
                        if (!plan.pages.count(seg.page)) ok = false;
                    plan.values.push_back({loc.data.page, size_t(loc.rowStart) + s.offset, readLongValue(file, slot)});
                });
            } catch (const Error&) {
                ok = false; // leave a column we cannot fully account for exactly as it is
            }
            if (!ok) continue;
            for (uint32_t p : plan.pages) ++pageUsers[p];
            plans.push_back(std::move(plan));
        }
    }
    std::vector<ColumnPlan> safe;
    for (ColumnPlan& plan : plans) {
        bool shared = false;
        for (uint32_t p : plan.pages) shared |= pageUsers[p] > 1;
        if (!shared) safe.push_back(std::move(plan));
    }
    return safe;
}

Bytes readWholeFile(const std::string& path) {
    auto file = openPageFile(path, false);
    readFileHeader(*file);
    Bytes all;
    all.reserve(size_t(file->pageCount()) * kPageSize);
    for (uint32_t p = 0; p < file->pageCount(); ++p) {
        const Bytes& page = file->page(p);
        all.insert(all.end(), page.begin(), page.end());
    }
    return all;
}

// Writes `pages` pages of `file` to a new file `path` (which must not exist) and syncs it.
void writeNewFile(const std::string& path, PageFile& file, uint32_t pages) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST) throw Error(path + ": the destination already exists");
        throw Error(path + ": cannot create the file (" + std::strerror(errno) + ")");
    }
    auto fail = [&](const std::string& action) {
        std::string message = path + ": cannot " + action + " (" + std::strerror(errno) + ")";
        ::close(fd);
        ::unlink(path.c_str());
        throw Error(message);
    };
    for (uint32_t p = 0; p < pages; ++p) {
        const Bytes& page = file.page(p);
        size_t done = 0;
        while (done < page.size()) {
            ssize_t n = ::pwrite(fd, page.data() + done, page.size() - done, off_t(uint64_t(p) * kPageSize + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) fail("write");
            done += size_t(n);
        }
    }
    if (::fsync(fd) != 0) fail("flush");
    if (::close(fd) != 0) {
        ::unlink(path.c_str());
        throw Error(path + ": cannot close the file (" + std::strerror(errno) + ")");
    }
}

bool sameValue(const Value& a, const Value& b) {
    if (a.index() != b.index()) return false;
    if (auto x = std::get_if<double>(&a)) return std::memcmp(x, std::get_if<double>(&b), sizeof(double)) == 0;
    if (auto x = std::get_if<DateTime>(&a)) return std::memcmp(&x->days, &std::get_if<DateTime>(&b)->days, sizeof(double)) == 0;
    return a == b;
}

std::vector<std::vector<Value>> tableContents(const PageFile& file, const TableDef& def) {
    std::vector<std::vector<Value>> rows;
    forEachRow(file, def, [&](const RowLocation&, const CrackedRow& row) {
        std::vector<Value> values;
        for (size_t i = 0; i < def.columns.size(); ++i)
            values.push_back(decodeValue(file, def.columns[i], row, row.columns[i]));
        rows.push_back(std::move(values));
    });
    return rows;
}

// Reads every table of both files through the reader; throws on the first difference.
void verifyCopy(const PageFile& source, const std::string& copyPath) {
    auto copy = openPageFile(copyPath, false);
    readFileHeader(*copy);
    std::vector<TableDef> a = allTables(source), b = allTables(*copy);
    if (a.size() != b.size()) throw Error("the copy lists " + std::to_string(b.size()) + " tables, the source " + std::to_string(a.size()));
    for (size_t t = 0; t < a.size(); ++t) {
        std::vector<std::vector<Value>> x;
        try {
            x = tableContents(source, a[t]);
        } catch (const Error&) {
            // The reader cannot decode this table (some Access system tables); compaction left
            // its pages alone, so they must be identical.
            UsageMap owned = readUsageMap(source, a[t].ownedMapPointer, source.pageCount(), "owned map of " + a[t].name);
            for (uint32_t p : owned.pages)
                if (p >= copy->pageCount() || source.page(p) != copy->page(p))
                    throw Error("table " + a[t].name + ": page " + std::to_string(p) + " differs in the copy");
            continue;
        }
        auto y = tableContents(*copy, b[t]);
        if (x.size() != y.size())
            throw Error("table " + a[t].name + " has " + std::to_string(y.size()) + " rows in the copy, " +
                        std::to_string(x.size()) + " in the source");
        for (size_t r = 0; r < x.size(); ++r)
            for (size_t c = 0; c < x[r].size(); ++c)
                if (!sameValue(x[r][c], y[r][c]))
                    throw Error("table " + a[t].name + ", row " + std::to_string(r) + ", column " +
                                a[t].columns[c].nameUtf8 + " differs in the copy");
    }
}

} // namespace

void compact(const std::string& source, const std::string& destination) {
    if (destination.empty()) throw Error("no destination file was given");
    struct stat st {};
    if (::lstat(destination.c_str(), &st) == 0) throw Error(destination + ": the destination already exists");

    auto original = openPageFile(source, false);
    readFileHeader(*original);
    auto work = memoryPageFile(readWholeFile(source), destination, true);
    PageFile& file = *work;

    std::vector<TableDef> tables = allTables(file);
    std::vector<ColumnPlan> plans = planColumns(file, tables);

    // 1. Release the old LVAL pages: zero them, mark them free, empty the columns' maps.
    std::set<uint32_t> freed;
    for (const ColumnPlan& plan : plans) freed.insert(plan.pages.begin(), plan.pages.end());
    {
        UsageMap global = readUsageMap(file, kGlobalMap, file.pageCount(), "global usage map");
        std::set<uint32_t> free(global.pages.begin(), global.pages.end());
        free.insert(freed.begin(), freed.end());
        PageWriter writer(file);
        for (uint32_t p : freed) writer.write(p, Bytes(kPageSize, 0));
        writer.rewriteMap(kGlobalMap, {free.begin(), free.end()}, MapSemantics::GlobalFree, file.pageCount(), "global usage map");
        for (const ColumnPlan& plan : plans) {
            writer.rewriteMap(plan.column.ownedMap, {}, MapSemantics::Members, file.pageCount(), "owned map of " + plan.column.what);
            if (plan.column.freeMap)
                writer.rewriteMap(plan.column.freeMap, {}, MapSemantics::Members, file.pageCount(), "free map of " + plan.column.what);
        }
    }

    // 2. Write every value densely and re-point its row.
    {
        PageWriter writer(file);
        for (const ColumnPlan& plan : plans) {
            LongValueSpace space;
            std::map<uint32_t, std::vector<std::pair<size_t, Bytes>>> headers; // by data page
            for (const StoredValue& v : plan.values)
                headers[v.page].emplace_back(v.headerOffset, storeLongValue(writer, plan.column, v.data, space));
            for (const auto& [number, patches] : headers) {
                Bytes page = file.page(number);
                for (const auto& [offset, header] : patches)
                    std::copy(header.begin(), header.end(), page.begin() + long(offset));
                writer.write(number, page);
            }
        }
    }

    // 3. Cut off the free pages at the end and rebuild the global map for the new length.
    UsageMap global = readUsageMap(file, kGlobalMap, file.pageCount(), "global usage map");
    std::set<uint32_t> free(global.pages.begin(), global.pages.end());
    uint32_t pages = file.pageCount();
    while (pages > 2 && free.count(pages - 1)) --pages;
    std::vector<uint32_t> freeInside(free.begin(), free.lower_bound(pages));
    {
        PageWriter writer(file);
        writer.rewriteMap(kGlobalMap, freeInside, MapSemantics::GlobalFree, pages, "global usage map");
    }

    writeNewFile(destination, file, pages);
    try {
        verifyCopy(*original, destination);
    } catch (const Error& e) {
        ::unlink(destination.c_str());
        throw Error(destination + ": the compacted copy did not verify and was removed: " + e.what());
    }
}

} // namespace jet
