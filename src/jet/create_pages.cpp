// Data pages, usage maps and page 0 for newly created databases.
#include "jet/create_pages.h"

#include "jet/header.h"
#include "jet/page_edit.h"

#include <cmath>
#include <cstring>
#include <map>

namespace jet::create {

using namespace jet::format;

uint32_t PageSet::allocate() {
    pages_.emplace_back(kPageSize, 0);
    return uint32_t(pages_.size() - 1);
}

Bytes encodeOwnedMap(const std::vector<uint32_t>& pages, PageSet& file) {
    Bytes row(kMapRowSize, 0);
    const uint32_t start = pages.empty() ? 0 : pages.front() & ~uint32_t(7);
    if (pages.empty() || pages.back() - start < kInlineMapPages) {
        row[0] = kMapInline;
        put32(row, 1, start);
        for (uint32_t p : pages) {
            const uint32_t bit = p - start;
            row[kMapInlineBitmap + bit / 8] |= uint8_t(1u << (bit % 8));
        }
        return row;
    }
    // Reference map: pointer j names the bitmap page for pages j*32736 .. (j+1)*32736 - 1.
    row[0] = kMapReference;
    const size_t maxWindows = (kMapRowSize - 1) / 4;
    std::map<uint32_t, uint32_t> bitmapPageOfWindow;
    for (uint32_t p : pages) {
        const uint32_t window = p / kPagesPerBitmapPage;
        if (window >= maxWindows) throw Error("the database would be too large for its usage maps");
        auto it = bitmapPageOfWindow.find(window);
        if (it == bitmapPageOfWindow.end()) {
            const uint32_t bitmapPage = file.allocate();
            Bytes& b = file[bitmapPage];
            b[0] = kPageUsageBitmap;
            b[1] = 0x01;
            it = bitmapPageOfWindow.emplace(window, bitmapPage).first;
            put32(row, 1 + 4 * window, bitmapPage);
        }
        const uint32_t bit = p - window * kPagesPerBitmapPage;
        file[it->second][kMapBitmapPageHeader + bit / 8] |= uint8_t(1u << (bit % 8));
    }
    return row;
}

Bytes buildGlobalMapPage(uint32_t pageCount) {
    // Access covers the file rounded up to a multiple of 32 pages, and at least 512 pages.
    const size_t bitmapBytes = std::max<size_t>(kMapRowSize - kMapInlineBitmap, (pageCount + 31) / 32 * 4);
    const size_t limit = kPageSize - kDataSlotTable - 2 * 2 - kMapRowSize - kMapInlineBitmap;
    if (bitmapBytes > limit)
        throw Error("the database would have " + std::to_string(pageCount) +
                    " pages, more than a new database's page map covers");
    Bytes global(kMapInlineBitmap + bitmapBytes, 0);
    global[0] = kMapInline;
    for (size_t p = pageCount; p < bitmapBytes * 8; ++p)
        global[kMapInlineBitmap + p / 8] |= uint8_t(1u << (p % 8)); // past the end: free
    EditablePage page1 = EditablePage::empty(kGlobalMapPage, kGlobalMapPage); // Access writes 1 as page 1's owner
    page1.addRow(std::move(global));
    page1.addRow(Bytes(kMapRowSize, 0));
    return page1.serialize();
}

Bytes buildHeaderPage(double creationDate) {
    Bytes page(kPageSize, 0);
    page[0] = kPageHeader;
    page[1] = 0x01;
    std::memcpy(page.data() + kHeaderEngineName, kEngineJet, kHeaderEngineNameSize);
    page[kHeaderVersion] = kVersionJet4;
    // The start of the masked region holds the same bytes in every Jet 4 file seen, fresh or old.
    static const uint8_t kRegionStart[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                           0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                           0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
    std::memcpy(page.data() + kHeaderRc4Start, kRegionStart, sizeof kRegionStart);
    put16(page, kHeaderCodePage, 1252);
    put32(page, kHeaderDatabaseKey, 0); // no page encryption
    // No password: the field holds only the mask, the LE bytes of the truncated creation date.
    const uint32_t mask = uint32_t(int32_t(std::trunc(creationDate)));
    for (size_t i = 0; i < kHeaderPasswordSize; i += 4) put32(page, kHeaderPassword + i, mask);
    put16(page, kHeaderSortOrder, 0x0409); // "General", legacy sort version 0
    uint64_t dateBits = 0;
    std::memcpy(&dateBits, &creationDate, sizeof dateBits);
    put32(page, kHeaderCreationDate, uint32_t(dateBits));
    put32(page, kHeaderCreationDate + 4, uint32_t(dateBits >> 32));
    applyHeaderMask(page);
    // Unmasked tail fields as a freshly created Jet 4 file has them.
    static const uint8_t kVersionTag[] = {0x54, 0x06, 0x00, 0x00, '4', '.', '0', 0x00};
    std::memcpy(page.data() + 0x98, kVersionTag, sizeof kVersionTag);
    const size_t tail = 0xE00;
    page[tail] = 0x01;
    page[tail + 1] = 0x01;
    page[tail + 2] = 0x00;
    page[tail + 3] = 0x01;
    for (size_t i = tail + 4; i < kPageSize; i += 2) page[i + 1] = 0x01;
    return page;
}

} // namespace jet::create
