// Usage-map rows: inline bitmaps and reference maps over bitmap pages.
#include "jet/usage_map.h"

#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/page_file.h"

#include <algorithm>

namespace jet {

using namespace format;

bool UsageMap::contains(uint32_t page) const {
    return std::binary_search(pages.begin(), pages.end(), page);
}

std::optional<MapBit> UsageMap::bitFor(uint32_t page) const {
    if (kind == Kind::Inline) {
        if (page < startPage || uint64_t(page - startPage) >= uint64_t(bitmapBytes) * 8) return std::nullopt;
        uint32_t bit = page - startPage;
        return MapBit{hostPage, rowStart + kMapInlineBitmap + bit / 8, uint8_t(1u << (bit % 8))};
    }
    uint32_t window = page / kPagesPerBitmapPage;
    if (window >= bitmapPages.size() || bitmapPages[window] == 0) return std::nullopt;
    uint32_t bit = page % kPagesPerBitmapPage;
    return MapBit{bitmapPages[window], kMapBitmapPageHeader + bit / 8, uint8_t(1u << (bit % 8))};
}

namespace {

void collectBits(ByteView bitmap, uint64_t firstPage, uint32_t pageLimit, std::vector<uint32_t>& out) {
    for (size_t i = 0; i < bitmap.size(); ++i) {
        uint8_t b = bitmap.u8(i);
        if (!b) continue;
        for (int bit = 0; bit < 8; ++bit) {
            if (!(b & (1u << bit))) continue;
            uint64_t page = firstPage + i * 8 + bit;
            if (page < pageLimit) out.push_back(uint32_t(page));
        }
    }
}

} // namespace

UsageMap readUsageMap(const PageFile& file, uint32_t rowPointer, uint32_t pageLimit,
                      const std::string& what) {
    UsageMap map;
    map.hostPage = pointerPage(rowPointer);
    map.hostSlot = pointerSlot(rowPointer);
    if (map.hostPage >= file.pageCount()) throw PageMissingError(file.name(), map.hostPage, file.pageCount());
    if (map.hostPage == 0)
        throw Error(file.name() + ": the " + what + " points at page " + std::to_string(map.hostPage) +
                    ", which is not a page of the file");
    DataPage host(file.view(map.hostPage), map.hostPage);
    Slot slot = host.slot(map.hostSlot);
    if (slot.deleted())
        throw Error(file.name() + ": the " + what + " is a deleted row (page " +
                    std::to_string(map.hostPage) + ")");
    ByteView row = host.row(map.hostSlot);
    map.rowStart = slot.start;
    map.rowLength = row.size();
    if (row.size() < 1) throw Error(file.name() + ": the " + what + " is empty");
    uint8_t type = row.u8(0);
    if (type == kMapInline) {
        map.kind = UsageMap::Kind::Inline;
        map.startPage = row.u32(1);
        map.bitmapBytes = row.size() - kMapInlineBitmap;
        collectBits(row.sub(kMapInlineBitmap, map.bitmapBytes), map.startPage, pageLimit, map.pages);
    } else if (type == kMapReference) {
        map.kind = UsageMap::Kind::Reference;
        size_t count = (row.size() - 1) / 4;
        for (size_t j = 0; j < count; ++j) {
            uint32_t bitmapPage = row.u32(1 + 4 * j);
            // A negative entry means "none" (Jackcess reads these as signed and skips them; the
            // global map of testRefGlobalV2000 ends in 0xFFFFFF80).
            if (bitmapPage & 0x80000000u) bitmapPage = 0;
            map.bitmapPages.push_back(bitmapPage);
            if (bitmapPage == 0) continue;
            if (bitmapPage >= file.pageCount()) throw PageMissingError(file.name(), bitmapPage, file.pageCount());
            ByteView bitmap = file.view(bitmapPage);
            if (bitmap.u8(0) != kPageUsageBitmap)
                throw Error(bitmap.what() + ": expected a usage bitmap page for the " + what);
            collectBits(bitmap.sub(kMapBitmapPageHeader, kPageSize - kMapBitmapPageHeader),
                        uint64_t(j) * kPagesPerBitmapPage, pageLimit, map.pages);
        }
    } else {
        throw Error(file.name() + ": the " + what + " has unknown map type " + std::to_string(type));
    }
    // A damaged reference map can name one bitmap page twice; list each page once.
    std::sort(map.pages.begin(), map.pages.end());
    map.pages.erase(std::unique(map.pages.begin(), map.pages.end()), map.pages.end());
    return map;
}

} // namespace jet
