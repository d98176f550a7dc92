// Editing data pages: rows are addressed only by (page, slot), so a page may be repacked freely as
// long as slot numbers and flags stay. free_space always equals the gap between the end of the
// slot table and the lowest row start; every write keeps that exact.
#include "jet/page_edit.h"

#include "jet/format.h"

#include <algorithm>

namespace jet {

using namespace format;

EditablePage::EditablePage(const Bytes& page, uint32_t number) : number_(number) {
    ByteView view(page.data(), page.size(), "page " + std::to_string(number));
    if (page.size() != kPageSize || view.u8(0) != kPageData)
        throw Error("page " + std::to_string(number) + " is not a data page");
    header_.assign(page.begin(), page.begin() + kDataSlotTable);
    uint16_t count = view.u16(kDataSlotCount);
    if (count > kMaxSlotsPerPage || kDataSlotTable + 2 * size_t(count) > kPageSize)
        throw Error("page " + std::to_string(number) + " has a damaged slot table (" +
                    std::to_string(count) + " slots)");
    size_t end = kPageSize;
    size_t tableEnd = kDataSlotTable + 2 * size_t(count);
    for (uint16_t i = 0; i < count; ++i) {
        uint16_t raw = view.u16(kDataSlotTable + 2 * i);
        size_t start = raw & kSlotOffsetMask;
        if (start < tableEnd || start > end)
            throw Error("page " + std::to_string(number) + ", slot " + std::to_string(i) +
                        ": row bounds " + std::to_string(start) + ".." + std::to_string(end) +
                        " are damaged");
        flags_.push_back(raw & kSlotFlags);
        rows_.emplace_back(page.begin() + long(start), page.begin() + long(end));
        used_ += end - start;
        end = start;
    }
}

EditablePage EditablePage::empty(uint32_t number, uint32_t owner) {
    EditablePage p;
    p.number_ = number;
    p.header_.assign(kDataSlotTable, 0);
    p.header_[0] = kPageData;
    p.header_[1] = 0x01;
    put32(p.header_, kDataOwner, owner);
    return p;
}

uint32_t EditablePage::owner() const {
    return ByteView(header_.data(), header_.size()).u32(kDataOwner);
}

uint16_t EditablePage::flags(int slot) const { return flags_.at(size_t(slot)); }
const Bytes& EditablePage::row(int slot) const { return rows_.at(size_t(slot)); }

int EditablePage::freeSpace() const {
    return int(kDataPageRoom) - int(kSlotEntrySize * rows_.size()) - int(used_);
}

void EditablePage::setRow(int slot, Bytes bytes) {
    Bytes& r = rows_.at(size_t(slot));
    if (int(bytes.size()) - int(r.size()) > freeSpace())
        throw Error("internal: row of " + std::to_string(bytes.size()) + " bytes does not fit page " +
                    std::to_string(number_));
    used_ = used_ - r.size() + bytes.size();
    r = std::move(bytes);
}

void EditablePage::setFlags(int slot, uint16_t flags) { flags_.at(size_t(slot)) = flags & kSlotFlags; }

void EditablePage::freeRow(int slot) {
    setRow(slot, {});
    setFlags(slot, kSlotDeleted | kSlotOverflow);
}

int EditablePage::slotFor(size_t length, bool reuseDeleted) const {
    if (reuseDeleted) {
        for (size_t i = 0; i < rows_.size(); ++i)
            if (flags_[i] == (kSlotDeleted | kSlotOverflow) && rows_[i].empty())
                return int(length) <= freeSpace() ? int(i) : -1;
    }
    if (rows_.size() >= kMaxSlotsPerPage) return -1;
    return int(length) + 2 <= freeSpace() ? int(rows_.size()) : -1;
}

void EditablePage::putRow(int slot, Bytes bytes, uint16_t flags) {
    if (slot == int(rows_.size())) {
        if (rows_.size() >= kMaxSlotsPerPage || int(bytes.size()) + 2 > freeSpace())
            throw Error("internal: no room for a new row on page " + std::to_string(number_));
        used_ += bytes.size();
        rows_.push_back(std::move(bytes));
        flags_.push_back(flags & kSlotFlags);
        return;
    }
    setRow(slot, std::move(bytes));
    setFlags(slot, flags);
}

int EditablePage::addRow(Bytes bytes) {
    int slot = int(rows_.size());
    putRow(slot, std::move(bytes), 0);
    return slot;
}

Bytes EditablePage::serialize() const {
    Bytes page(kPageSize, 0);
    std::copy(header_.begin(), header_.end(), page.begin());
    put16(page, kDataFreeSpace, uint16_t(freeSpace()));
    put16(page, kDataSlotCount, uint16_t(rows_.size()));
    size_t end = kPageSize;
    for (size_t i = 0; i < rows_.size(); ++i) {
        size_t start = end - rows_[i].size();
        std::copy(rows_[i].begin(), rows_[i].end(), page.begin() + long(start));
        put16(page, kDataSlotTable + 2 * i, uint16_t(start | flags_[i]));
        end = start;
    }
    return page;
}

} // namespace jet
