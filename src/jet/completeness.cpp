// Every page named by the table definitions and their maps must lie inside the file.
#include "jet/completeness.h"

#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/usage_map.h"

#include <limits>
#include <set>

namespace jet {

using namespace format;

namespace {

class PageCheck {
public:
    explicit PageCheck(const PageFile& file) : file_(file), pages_(file.pageCount()) {}

    void need(uint32_t page) const {
        if (page >= pages_) throw PageMissingError(file_.name(), page, pages_);
    }

    // The definition's page chain; false at a page that is no definition page (other damage).
    bool definitionChain(uint32_t first) const {
        std::set<uint32_t> seen;
        for (uint32_t p = first; p != 0 && seen.insert(p).second;) {
            need(p);
            const ByteView page = file_.view(p);
            if (page.u8(0) != kPageTableDef) return false;
            p = page.u32(kTdefNextPage);
        }
        return true;
    }

    // A map's host row, its bitmap pages and every page it marks (no limit: bits past the end
    // are what this check is for).
    void map(uint32_t rowPointer, const std::string& what) const {
        if (rowPointer == 0) return;
        need(pointerPage(rowPointer));
        const UsageMap usage = readUsageMap(file_, rowPointer, std::numeric_limits<uint32_t>::max(), what);
        if (!usage.pages.empty()) need(usage.pages.back());
    }

    void table(uint32_t definitionPage, const std::string& name) const {
        if (!definitionChain(definitionPage)) return;
        const TableDef def = readTableDef(file_, definitionPage, name);
        map(def.ownedMapPointer, "owned-pages map of table " + name);
        map(def.freeMapPointer, "free-space map of table " + name);
        for (const LongValueMaps& lv : def.longValueMaps) {
            map(lv.ownedMapPointer, "long-value map of table " + name);
            map(lv.freeMapPointer, "long-value free-space map of table " + name);
        }
    }

private:
    const PageFile& file_;
    uint32_t pages_;
};

} // namespace

void requireAllPagesPresent(const PageFile& file, const std::vector<CatalogEntry>& catalog) {
    const PageCheck check(file);
    std::set<uint32_t> done;
    auto table = [&](uint32_t page, const std::string& name) {
        if (page == 0 || !done.insert(page).second) return;
        try {
            check.table(page, name);
        } catch (const PageMissingError&) {
            throw;
        } catch (const Error&) {
            // Damage of another kind: the read of that table reports it.
        }
    };
    table(kCatalogTdefPage, "MSysObjects");
    for (const CatalogEntry& entry : catalog)
        if (entry.type == kObjectTypeTable) table(entry.tdefPage(), entry.name);
}

} // namespace jet
