// A checked view of a data page (type 0x01): header fields, the slot table with its flags, and
// each row's byte range. Rows are packed downwards from the page end in slot order.
#pragma once
#include "jet/bytes.h"
#include "jet/format.h"

#include <cstdint>

namespace jet {

struct Slot {
    uint16_t raw = 0;    // the slot-table entry as stored, flags included
    uint16_t start = 0;  // row start within the page
    uint16_t end = 0;    // one past the row's last byte
    size_t entryOffset = 0; // where the slot-table entry sits in the page
    bool deleted() const { return raw & format::kSlotDeleted; }
    bool overflow() const { return raw & format::kSlotOverflow; }
    uint16_t length() const { return uint16_t(end - start); }
};

class DataPage {
public:
    // Checks the type byte and the slot table's size. `number` only names the page in messages.
    DataPage(ByteView page, uint32_t number);

    uint32_t number() const { return number_; }
    uint16_t freeSpace() const { return page_.u16(format::kDataFreeSpace); }
    uint32_t owner() const { return page_.u32(format::kDataOwner); } // TDEF page or "LVAL"
    uint16_t slotCount() const { return slotCount_; }

    // Slot `index`, its bounds checked (start <= end <= page size, start past the slot table).
    Slot slot(uint16_t index) const;
    // The bytes of a slot's row.
    ByteView row(uint16_t index) const;
    ByteView bytes() const { return page_; }

private:
    ByteView page_;
    uint32_t number_;
    uint16_t slotCount_;
};

} // namespace jet
