// Long-value placement. Limits Access enforces (learned by trial in other implementations):
// inline data <= 64 bytes, one LVAL row <= 4076 bytes, so chain segments carry <= 4072 bytes
// after their 4-byte next pointer; the last segment holds exactly the bytes that remain.
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
    for (uint32_t p : owned.pages) {
        ByteView v = file.view(p);
        if (v.u8(0) != kPageData || v.u32(kDataOwner) != kLvalOwner) continue;
        space.owned.insert(p);
        noteFreeSpace(space, p, v.u16(kDataFreeSpace));
    }
    space.loaded = true;
}

struct Segment {
    uint32_t page = 0;
    int slot = 0;
    size_t size = 0; // row length
};

} // namespace

Bytes inlineLongValue(const Bytes& data) {
    Bytes slot(kLongValueHeaderSize, 0);
    put32(slot, 0, uint32_t(data.size()) | (uint32_t(kLongValueInline) << 24));
    slot.insert(slot.end(), data.begin(), data.end());
    return slot;
}

Bytes storeLongValue(PageWriter& writer, const LongValueColumn& column, const Bytes& data,
                     LongValueSpace& space) {
    if (data.size() > kLongValueLengthMask)
        throw Error("a value of " + std::to_string(data.size()) + " bytes is too long for " + column.what);
    loadSpace(writer, column, space);

    // Row sizes: one row, or a chain of [next pointer][<= 4072 bytes].
    std::vector<size_t> sizes;
    const bool chain = data.size() > kLongValueMaxRow;
    if (!chain) {
        sizes.push_back(data.size());
    } else {
        for (size_t done = 0; done < data.size(); done += kLongValueChainData)
            sizes.push_back(4 + std::min(kLongValueChainData, data.size() - done));
    }

    // Place every row: first fit in the column's pages (lowest page first, so space freed by
    // earlier updates is reused), else a new page.
    std::map<uint32_t, EditablePage> pages;
    std::vector<uint32_t> fresh;
    std::vector<Segment> segments;
    for (size_t size : sizes) {
        std::optional<Segment> placed;
        for (auto& [number, page] : pages) { // pages already used by this value
            int slot = page.slotFor(size, true);
            if (slot >= 0) { placed = Segment{number, slot, size}; break; }
        }
        if (!placed) {
            std::vector<uint32_t> full;
            for (auto& [number, free] : space.freeBytes) {
                if (free < int(size) || pages.count(number)) continue;
                // A page whose other change waits to reach the disk (space freed a moment ago)
                // is left alone until it got there: sharing it would send the wait ahead.
                const WriteStage* held = writer.file().heldStage(number);
                if (held && *held != WriteStage::Data) continue;
                EditablePage page = writer.load(number);
                int slot = page.owner() == kLvalOwner ? page.slotFor(size, true) : -1;
                free = page.owner() == kLvalOwner ? page.freeSpace() : 0;
                if (free < kUsefulFreeSpace) full.push_back(number);
                if (slot < 0) continue;
                pages.emplace(number, std::move(page));
                placed = Segment{number, slot, size};
                break;
            }
            for (uint32_t number : full) space.freeBytes.erase(number);
        }
        if (!placed) {
            uint32_t number = writer.reservePage();
            pages.emplace(number, EditablePage::empty(number, kLvalOwner));
            fresh.push_back(number);
            placed = Segment{number, 0, size};
        }
        EditablePage& page = pages.at(placed->page);
        page.putRow(placed->slot, Bytes(size, 0), 0);
        segments.push_back(*placed);
    }

    // Fill in the bytes now that every row's address is known.
    size_t offset = 0;
    for (size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        Bytes row;
        if (chain) {
            uint32_t next = i + 1 < segments.size() ? makePointer(segments[i + 1].page, uint16_t(segments[i + 1].slot)) : 0;
            append32(row, next);
        }
        size_t take = s.size - row.size();
        row.insert(row.end(), data.begin() + long(offset), data.begin() + long(offset + take));
        offset += take;
        pages.at(s.page).setRow(s.slot, std::move(row));
    }

    // Data first (ascending page order, so pages past the end are appended in turn), then the
    // global map, then the column's maps. A crash part-way leaves unreferenced rows or pages.
    for (uint32_t number : fresh) space.owned.insert(number);
    for (auto& [number, page] : pages) {
        writer.write(page);
        noteFreeSpace(space, number, page.freeSpace());
    }
    for (uint32_t number : fresh) writer.claim(number);
    for (uint32_t number : fresh) {
        writer.addToMap(column.ownedMap, number, "owned-pages map of " + column.what);
        if (column.freeMap && pages.at(number).freeSpace() >= kUsefulFreeSpace)
            writer.addToMap(column.freeMap, number, "free-space map of " + column.what);
    }

    Bytes header(kLongValueHeaderSize, 0);
    uint32_t kind = chain ? kLongValueChain : kLongValueSingle;
    put32(header, 0, uint32_t(data.size()) | (kind << 24));
    put32(header, 4, makePointer(segments.front().page, uint16_t(segments.front().slot)));
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
