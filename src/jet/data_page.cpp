// Data page slot table and row bounds.
#include "jet/data_page.h"

namespace jet {

using namespace format;

DataPage::DataPage(ByteView page, uint32_t number) : page_(page), number_(number) {
    if (page_.size() != kPageSize || page_.u8(0) != kPageData)
        throw Error(page_.what() + ": expected a data page, found page type " +
                    std::to_string(page_.size() ? page_.u8(0) : 0));
    slotCount_ = page_.u16(kDataSlotCount);
    if (kDataSlotTable + 2 * size_t(slotCount_) > kPageSize)
        throw Error(page_.what() + ": slot count " + std::to_string(slotCount_) +
                    " does not fit the page");
}

Slot DataPage::slot(uint16_t index) const {
    if (index >= slotCount_)
        throw Error(page_.what() + ": row " + std::to_string(index) + " does not exist (" +
                    std::to_string(slotCount_) + " rows)");
    Slot s;
    s.entryOffset = kDataSlotTable + 2 * size_t(index);
    s.raw = page_.u16(s.entryOffset);
    s.start = s.raw & kSlotOffsetMask;
    s.end = index == 0 ? uint16_t(kPageSize) : uint16_t(page_.u16(s.entryOffset - 2) & kSlotOffsetMask);
    return s;
}

ByteView DataPage::row(uint16_t index) const {
    Slot s = slot(index);
    size_t tableEnd = kDataSlotTable + 2 * size_t(slotCount_);
    if (s.start < tableEnd || s.end > kPageSize || s.start > s.end)
        throw Error(page_.what() + ": row " + std::to_string(index) + " has invalid bounds " +
                    std::to_string(s.start) + ".." + std::to_string(s.end));
    return page_.sub(s.start, s.length());
}

} // namespace jet
