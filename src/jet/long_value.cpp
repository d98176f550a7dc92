// Long values: inline data, one LVAL row, or a chain of LVAL rows.
#include "jet/long_value.h"

#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/page_file.h"

#include <algorithm>
#include <set>

namespace jet {

using namespace format;

LongValueHeader parseLongValueHeader(ByteView slot) {
    if (slot.size() < kLongValueHeaderSize)
        throw Error(slot.what() + ": a memo/OLE value needs a 12-byte header, found " +
                    std::to_string(slot.size()) + " bytes");
    LongValueHeader h;
    uint32_t word = slot.u32(0);
    h.length = word & kLongValueLengthMask;
    h.storage = uint8_t((word >> 24) & 0xC0);
    h.firstRow = slot.u32(4);
    h.tag = slot.u32(8);
    if (h.storage != kLongValueInline && h.storage != kLongValueSingle && h.storage != kLongValueChain)
        throw Error(slot.what() + ": unknown memo/OLE storage kind " + std::to_string(h.storage));
    return h;
}

namespace {

struct LvalRow {
    LongValueSegment segment;
    ByteView bytes;
};

LvalRow lvalRow(const PageFile& file, uint32_t pointer, const char* what) {
    uint32_t pageNumber = pointerPage(pointer);
    if (pageNumber >= file.pageCount()) throw PageMissingError(file.name(), pageNumber, file.pageCount());
    if (pageNumber == 0)
        throw Error(std::string(what) + ": points at page " + std::to_string(pageNumber) + ", which is not a page of the file");
    DataPage page(file.view(pageNumber), pageNumber);
    uint16_t slot = pointerSlot(pointer);
    Slot s = page.slot(slot);
    if (s.deleted())
        throw Error(std::string(what) + ": points at a deleted row (page " + std::to_string(pageNumber) + ", row " +
                    std::to_string(slot) + ")");
    LvalRow r;
    r.bytes = page.row(slot);
    r.segment.page = pageNumber;
    r.segment.slot = slot;
    r.segment.rowStart = s.start;
    r.segment.rowLength = s.length();
    return r;
}

// Walks the value's storage; `take` receives each piece of data in order.
template <typename Take>
void walk(const PageFile& file, ByteView slot, std::vector<LongValueSegment>* segments, Take take) {
    LongValueHeader h = parseLongValueHeader(slot);
    const char* what = "memo/OLE value";
    if (h.storage == kLongValueInline) {
        if (h.length > slot.size() - kLongValueHeaderSize)
            throw Error(std::string(what) + ": inline length " + std::to_string(h.length) + " exceeds its " +
                        std::to_string(slot.size() - kLongValueHeaderSize) + " stored bytes");
        take(slot.sub(kLongValueHeaderSize, h.length));
        return;
    }
    if (h.storage == kLongValueSingle) {
        LvalRow r = lvalRow(file, h.firstRow, what);
        if (r.bytes.size() < h.length)
            throw Error(std::string(what) + ": its row holds " + std::to_string(r.bytes.size()) + " bytes, the header says " +
                        std::to_string(h.length));
        r.segment.dataLength = h.length;
        if (segments) segments->push_back(r.segment);
        take(r.bytes.sub(0, h.length));
        return;
    }
    size_t remaining = h.length;
    uint32_t pointer = h.firstRow;
    std::set<uint32_t> seen;
    while (remaining > 0) {
        if (pointer == 0)
            throw Error(std::string(what) + ": the chain ends " + std::to_string(remaining) + " bytes short of its length");
        if (!seen.insert(pointer).second) throw Error(std::string(what) + ": the chain loops");
        LvalRow r = lvalRow(file, pointer, what);
        if (r.bytes.size() < 4) throw Error(std::string(what) + ": a chain row is shorter than its pointer");
        size_t n = std::min(remaining, r.bytes.size() - 4);
        r.segment.dataLength = n;
        if (segments) segments->push_back(r.segment);
        take(r.bytes.sub(4, n));
        remaining -= n;
        pointer = r.bytes.u32(0);
        // Each row is visited once, so the loop ends after at most pages x 256 rows.
    }
}

} // namespace

Bytes readLongValue(const PageFile& file, ByteView slot) {
    Bytes out;
    walk(file, slot, nullptr, [&](ByteView piece) { out.insert(out.end(), piece.data(), piece.data() + piece.size()); });
    return out;
}

std::vector<LongValueSegment> longValueSegments(const PageFile& file, ByteView slot) {
    std::vector<LongValueSegment> segments;
    walk(file, slot, &segments, [](ByteView) {});
    return segments;
}

} // namespace jet
