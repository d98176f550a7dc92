// A data page (type 0x01) opened for editing or built from nothing: its rows as byte strings with
// their slot flags, written packed downwards from the page end in slot order, free space exact.
#pragma once
#include "jet/bytes.h"

#include <cstdint>
#include <vector>

namespace jet {

class EditablePage {
public:
    // Parses a whole page; throws jet::Error when the slot table or a row bound is damaged.
    // `number` only names the page in messages.
    EditablePage(const Bytes& page, uint32_t number);
    // A fresh data page with no rows: owner = the TDEF page, or format::kLvalOwner.
    static EditablePage empty(uint32_t number, uint32_t owner);

    uint32_t number() const { return number_; }
    uint32_t owner() const;
    int slotCount() const { return int(rows_.size()); }
    uint16_t flags(int slot) const;
    const Bytes& row(int slot) const;
    // Free bytes once written (the page's free_space field).
    int freeSpace() const;

    // Replaces a row's bytes, keeping its slot number and flags.
    void setRow(int slot, Bytes bytes);
    void setFlags(int slot, uint16_t flags);
    // Marks a slot deleted the way Access does (0xC000) and gives its space back.
    void freeRow(int slot);

    // A slot for a new row of `length` bytes: a deleted, empty slot when `reuseDeleted` allows
    // one, else a new slot at the end of the table; -1 when the page has no room for it.
    int slotFor(size_t length, bool reuseDeleted) const;
    // Stores a new row in the slot slotFor() returned (which must have room).
    void putRow(int slot, Bytes bytes, uint16_t flags);
    // Whether a new row of `length` bytes fits in a new slot at the end of the table.
    bool fits(size_t length) const { return slotFor(length, false) >= 0; }
    // Appends a row in a new slot and returns the slot; throws when it does not fit.
    int addRow(Bytes bytes);

    // The page's bytes: header bytes kept (apart from free_space and the slot count), rows packed
    // from the page end in slot order, the gap between slot table and rows zeroed.
    Bytes serialize() const;

private:
    EditablePage() = default;
    uint32_t number_ = 0;
    Bytes header_;                 // bytes 0..13
    std::vector<uint16_t> flags_;  // per slot, 0x8000 / 0x4000 bits only
    std::vector<Bytes> rows_;
    size_t used_ = 0;              // sum of row lengths
};

} // namespace jet
