// Long-value placement. Limits Access enforces: inline data <= 64 bytes, one LVAL row <= 4076
// bytes, so chain segments carry <= 4072 bytes after their 4-byte next pointer; the last segment
// holds exactly the bytes that remain.
#include "jet/long_value_write.h"

#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/page_writer.h"
#include "jet/usage_map.h"

#include <algorithm>
#include <optional>

namespace jet {

using namespace format;

namespace {

// Only pages with at least this much room go into the column's free-space map, and only those
// are looked at for new rows.
constexpr int kUsefulFreeSpace = 64;

void noteFreeSpace(LongValueSpace& space, uint32_t page, int free) {
    if (!space.owned.count(page)) return;
    if (free >= kUsefulFreeSpace) space.freeBytes[page] = free;
    else space.freeBytes.erase(page);
}

void loadSpace(PageWriter& writer, const LongValueColumn& column, LongValueSpace& space) {
    if (space.loaded) return;
    PageFile& file = writer.file();
    UsageMap owned = readUsageMap(file, column.ownedMap, file.pageCount(),
                                  "owned-pages map of " + column.what);
    // A pass over all of the column's pages for three fields each: past the cache.
    PageFile::ScanBuffer buffer;
    for (uint32_t p : owned.pages) {
        ByteView v = file.scanView(p, buffer);
        if (v.u8(0) != kPageData || v.u32(kDataOwner) != kLvalOwner) continue;
        space.owned.insert(p);
        noteFreeSpace(space, p, v.u16(kDataFreeSpace));
    }
    space.loaded = true;
}

} // namespace

Bytes inlineLongValue(const Bytes& data) {
    Bytes slot(kLongValueHeaderSize, 0);
    put32(slot, 0, uint32_t(data.size()) | (uint32_t(kLongValueInline) << 24));
    slot.insert(slot.end(), data.begin(), data.end());
    return slot;
}

Bytes writeLvalRows(const Bytes& data, LvalRowPlacer& placer) {
    if (data.size() > kLongValueLengthMask) throw Error("a value of " + std::to_string(data.size()) + " bytes is too long");
    const bool chain = data.size() > kLongValueMaxRow;
    std::vector<size_t> sizes;
    if (!chain) {
        sizes.push_back(data.size());
    } else {
        for (size_t done = 0; done < data.size(); done += kLongValueChainData)
            sizes.push_back(kLongValueChainNext + std::min(kLongValueChainData, data.size() - done));
    }
    // Every row gets its place first (a placeholder of its length), then its bytes: a chain
    // segment holds the address of the next one.
    std::vector<LvalRowPlacer::Place> places;
    for (size_t size : sizes) {
        LvalRowPlacer::Place p = placer.place(size);
        if (!p.page || p.slot < 0) throw Error("internal: no place for a long-value row");
        p.page->putRow(p.slot, Bytes(size, 0), 0);
        places.push_back(p);
    }
    size_t offset = 0;
    for (size_t i = 0; i < places.size(); ++i) {
        Bytes row;
        if (chain) {
            uint32_t next = i + 1 < places.size() ? makePointer(places[i + 1].page->number(), uint16_t(places[i + 1].slot)) : 0;
            append32(row, next);
        }
        size_t take = sizes[i] - row.size();
        row.insert(row.end(), data.begin() + long(offset), data.begin() + long(offset + take));
        offset += take;
        places[i].page->setRow(places[i].slot, std::move(row));
    }
    Bytes header(kLongValueHeaderSize, 0);
    uint32_t kind = chain ? kLongValueChain : kLongValueSingle;
    put32(header, 0, uint32_t(data.size()) | (kind << 24));
    put32(header, 4, makePointer(places.front().page->number(), uint16_t(places.front().slot)));
    return header;
}

namespace {

// Rows of one value in an existing file: pages this value already uses, then first fit in the
// column's pages (lowest page first, so space freed by earlier updates is reused), else a new page.
class FilePlacer final : public LvalRowPlacer {
public:
    FilePlacer(PageWriter& writer, LongValueSpace& space) : writer_(writer), space_(space) {}

    Place place(size_t size) override {
        for (auto& [number, page] : pages) { // pages already used by this value
            int slot = page.slotFor(size, true);
            if (slot >= 0) return {&page, slot};
        }
        std::vector<uint32_t> full;
        Place found;
        for (auto& [number, free] : space_.freeBytes) {
            if (free < int(size) || pages.count(number)) continue;
            // A page whose other change waits to reach the disk (space freed a moment ago) is
            // left alone until it got there: sharing it would send the wait ahead.
            const WriteStage* held = writer_.file().heldStage(number);
            if (held && *held != WriteStage::Data) continue;
            EditablePage page = writer_.load(number);
            int slot = page.owner() == kLvalOwner ? page.slotFor(size, true) : -1;
            free = page.owner() == kLvalOwner ? page.freeSpace() : 0;
            if (free < kUsefulFreeSpace) full.push_back(number);
            if (slot < 0) continue;
            found = {&pages.emplace(number, std::move(page)).first->second, slot};
            break;
        }
        for (uint32_t number : full) space_.freeBytes.erase(number);
        if (found.page) return found;
        uint32_t number = writer_.reservePage();
        fresh.push_back(number);
        EditablePage& page = pages.emplace(number, EditablePage::empty(number, kLvalOwner)).first->second;
        return {&page, page.slotFor(size, true)};
    }

    std::map<uint32_t, EditablePage> pages; // every page the value's rows went to
    std::vector<uint32_t> fresh;            // those that are new

private:
    PageWriter& writer_;
    LongValueSpace& space_;
};

} // namespace

Bytes storeLongValue(PageWriter& writer, const LongValueColumn& column, const Bytes& data,
                     LongValueSpace& space) {
    if (data.size() > kLongValueLengthMask)
        throw Error("a value of " + std::to_string(data.size()) + " bytes is too long for " + column.what);
    loadSpace(writer, column, space);
    FilePlacer placer(writer, space);
    Bytes header = writeLvalRows(data, placer);

    // Data first (ascending page order, so pages past the end are appended in turn), then the
    // global map, then the column's maps. A crash part-way leaves unreferenced rows or pages.
    for (uint32_t number : placer.fresh) space.owned.insert(number);
    for (auto& [number, page] : placer.pages) {
        writer.write(page, WriteStage::Data);
        noteFreeSpace(space, number, page.freeSpace());
    }
    for (uint32_t number : placer.fresh) writer.claim(number);
    for (uint32_t number : placer.fresh) {
        writer.addToMap(column.ownedMap, number, "owned-pages map of " + column.what);
        if (column.freeMap && placer.pages.at(number).freeSpace() >= kUsefulFreeSpace)
            writer.addToMap(column.freeMap, number, "free-space map of " + column.what);
    }
    return header;
}

void freeLongValue(PageWriter& writer, const std::vector<LongValueSegment>& segments,
                   LongValueSpace& space) {
    std::map<uint32_t, std::vector<uint16_t>> byPage;
    for (const LongValueSegment& s : segments) byPage[s.page].push_back(s.slot);
    for (auto& [number, slots] : byPage) {
        EditablePage page = writer.load(number);
        for (uint16_t slot : slots)
            if (slot < page.slotCount()) page.freeRow(slot);
        writer.write(page, WriteStage::Free);
        noteFreeSpace(space, number, page.freeSpace());
    }
}

} // namespace jet
