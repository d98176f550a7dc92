// Page allocation and usage-map edits. Facts used (Jet 4 files written by Access):
//  * global map = page 1, row 0; bit set = page free; Access sizes its inline row to cover the
//    file and sets the bits of pages past the end of the file;
//  * inline maps keep their start page a multiple of 8;
//  * a reference map row holds bitmap-page numbers, bitmap page j covering pages j * 32736 ..;
//    a type-0x05 bitmap page is 05 01 00 00 followed by the bits.
#include "jet/page_writer.h"

#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/usage_map.h"

#include <algorithm>
#include <map>

namespace jet {

using namespace format;

namespace {

constexpr uint32_t kNoLimit = 0xFFFFFFFFu;
// Longest inline bitmap we grow a map to before promoting it (owned and free maps), and the
// longest for the global map (page 1 holds little else).
constexpr size_t kMaxMemberBitmap = 256;
constexpr size_t kMaxGlobalBitmap = 3600;

size_t roundUp4(size_t n) { return (n + 3) / 4 * 4; }

void setBit(Bytes& bytes, size_t base, uint64_t bit) { bytes[base + bit / 8] |= uint8_t(1u << (bit % 8)); }

} // namespace

PageWriter::PageWriter(PageFile& file) : file_(file) {}

EditablePage PageWriter::load(uint32_t page) const { return EditablePage(file_.page(page), page); }

void PageWriter::write(const EditablePage& page, WriteStage stage) { write(page.number(), page.serialize(), stage); }

void PageWriter::write(uint32_t page, const Bytes& bytes, WriteStage stage) {
    file_.writePage(page, bytes, stage);
    written_.push_back(page);
}

void PageWriter::loadFreePages() {
    if (freePages_) return;
    freePages_.emplace();
    UsageMap global = readUsageMap(file_, kGlobalMapPointer, file_.pageCount(), "global usage map");
    for (uint32_t p : global.pages)
        if (p > kGlobalMapPage) freePages_->insert(p);
}

uint32_t PageWriter::reservePage() {
    loadFreePages();
    for (auto it = freePages_->begin(); it != freePages_->end(); it = freePages_->erase(it)) {
        if (*it >= file_.pageCount()) break;
        if (reserved_.count(*it)) continue;
        uint32_t page = *it;
        freePages_->erase(it);
        reserved_.insert(page);
        return page;
    }
    nextAppend_ = std::max(nextAppend_, file_.pageCount());
    while (reserved_.count(nextAppend_)) ++nextAppend_;
    if (nextAppend_ >= 0xFFFFFF) throw Error(file_.name() + ": the file has no room for more pages");
    reserved_.insert(nextAppend_);
    return nextAppend_++;
}

void PageWriter::claim(uint32_t page) {
    if (freePages_) freePages_->erase(page);
    UsageMap global = readUsageMap(file_, kGlobalMapPointer, kNoLimit, "global usage map");
    if (auto bit = global.bitFor(page)) {
        Bytes bytes = file_.page(bit->page);
        if (!(bytes[bit->byteOffset] & bit->mask)) return;
        bytes[bit->byteOffset] &= uint8_t(~bit->mask);
        write(bit->page, bytes, WriteStage::Claim);
        return;
    }
    if (global.kind != UsageMap::Kind::Inline || page < global.startPage) return; // never handed out
    // Access keeps the inline global map as long as the file: lengthen it over the new page.
    EditablePage host = load(global.hostPage);
    Bytes row = host.row(global.hostSlot);
    uint32_t pages = std::max(file_.pageCount(), page + 1);
    size_t bytes = roundUp4((size_t(page - global.startPage) + 1 + 7) / 8);
    if (bytes > kMaxGlobalBitmap || int(bytes - global.bitmapBytes) > host.freeSpace()) return;
    size_t oldBits = global.bitmapBytes * 8;
    row.resize(kMapInlineBitmap + bytes, 0);
    for (uint64_t bit = oldBits; bit < bytes * 8; ++bit)
        if (global.startPage + bit >= pages) setBit(row, kMapInlineBitmap, bit);
    host.setRow(global.hostSlot, std::move(row));
    write(host, WriteStage::Claim);
}

void PageWriter::addToMap(uint32_t mapPointer, uint32_t page, const std::string& what) {
    UsageMap map = readUsageMap(file_, mapPointer, kNoLimit, what);
    if (auto bit = map.bitFor(page)) {
        Bytes bytes = file_.page(bit->page);
        if (bytes[bit->byteOffset] & bit->mask) return;
        bytes[bit->byteOffset] |= bit->mask;
        write(bit->page, bytes, WriteStage::Maps);
        return;
    }
    std::vector<uint32_t> pages = map.pages;
    pages.insert(std::upper_bound(pages.begin(), pages.end(), page), page);
    rewriteMap(mapPointer, pages, MapSemantics::Members, file_.pageCount(), what);
}

void PageWriter::rewriteMap(uint32_t mapPointer, const std::vector<uint32_t>& pages,
                            MapSemantics semantics, uint32_t pageCount, const std::string& what) {
    const bool global = semantics == MapSemantics::GlobalFree;
    UsageMap map = readUsageMap(file_, mapPointer, kNoLimit, what);
    EditablePage host = load(map.hostPage);
    if (map.kind == UsageMap::Kind::Inline) {
        if (rewriteInlineMap(map, host, pages, global, pageCount)) return;
        map.bitmapPages.clear(); // promote to a reference map
    }
    rewriteReferenceMap(map, host, pages, global, pageCount, what);
}

// An inline map rewritten in its row, its window re-based or lengthened where the host page has
// room; false when the pages do not fit an inline map (a members map then becomes a reference one).
bool PageWriter::rewriteInlineMap(const UsageMap& map, EditablePage& host, const std::vector<uint32_t>& pages,
                                  bool global, uint32_t pageCount) {
    const size_t oldLength = map.rowLength;
    auto fits = [&](uint64_t start, size_t bytes) {
        return pages.empty() || (pages.front() >= start && pages.back() < start + bytes * 8);
    };
    uint64_t start = map.startPage;
    size_t bytes = map.bitmapBytes;
    bool inlineOk = true;
    if (!fits(start, bytes)) {
        uint64_t lo = global ? map.startPage : (pages.front() & ~7u);
        if (!global && fits(lo, bytes)) {
            start = lo;
        } else {
            size_t want = roundUp4((size_t(pages.back() - lo) + 1 + 7) / 8);
            size_t limit = global ? kMaxGlobalBitmap : kMaxMemberBitmap;
            if (want <= limit && int(kMapInlineBitmap + want) - int(oldLength) <= host.freeSpace()) {
                start = lo;
                bytes = want;
            } else if (global) {
                bytes = std::max(bytes, std::min(want, limit)); // pages left uncovered stay in use
                if (int(kMapInlineBitmap + bytes) - int(oldLength) > host.freeSpace()) bytes = map.bitmapBytes;
            } else {
                inlineOk = false;
            }
        }
    }
    if (!inlineOk) return false;
    Bytes row(kMapInlineBitmap + bytes, 0);
    row[0] = kMapInline;
    put32(row, 1, uint32_t(start));
    for (uint32_t p : pages)
        if (p >= start && p < start + bytes * 8) setBit(row, kMapInlineBitmap, p - start);
    if (global)
        for (uint64_t bit = 0; bit < bytes * 8; ++bit)
            if (start + bit >= pageCount) setBit(row, kMapInlineBitmap, bit);
    host.setRow(map.hostSlot, std::move(row));
    write(host, WriteStage::Maps);
    return true;
}

// Reference map (or an inline map being promoted to one): a bitmap page per window of pages, new
// ones taken and claimed, and the row of pointers.
void PageWriter::rewriteReferenceMap(const UsageMap& map, EditablePage& host, const std::vector<uint32_t>& pages,
                                     bool global, uint32_t pageCount, const std::string& what) {
    const size_t oldLength = map.rowLength;
    std::map<uint32_t, std::vector<uint32_t>> windows;
    for (uint32_t p : pages) windows[p / kPagesPerBitmapPage].push_back(p);
    std::vector<uint32_t> pointers = map.bitmapPages;
    if (!windows.empty() && windows.rbegin()->first >= pointers.size())
        pointers.resize(windows.rbegin()->first + 1, 0);
    auto bitmapFor = [&](uint32_t window) {
        Bytes page(kPageSize, 0);
        page[0] = kPageUsageBitmap;
        page[1] = 0x01;
        uint64_t first = uint64_t(window) * kPagesPerBitmapPage;
        auto it = windows.find(window);
        if (it != windows.end())
            for (uint32_t p : it->second) setBit(page, kMapBitmapPageHeader, p - first);
        if (global)
            for (uint64_t bit = 0; bit < kPagesPerBitmapPage; ++bit)
                if (first + bit >= pageCount) setBit(page, kMapBitmapPageHeader, bit);
        return page;
    };
    std::vector<uint32_t> fresh;
    for (uint32_t j = 0; j < pointers.size(); ++j)
        if (pointers[j] == 0 && windows.count(j)) fresh.push_back(pointers[j] = reservePage());
    for (uint32_t j = 0; j < pointers.size(); ++j) {
        if (pointers[j] == 0) continue;
        Bytes page = bitmapFor(j);
        if (global) // the global map's own bitmap pages are in use
            for (uint32_t b : pointers)
                if (b / kPagesPerBitmapPage == j) {
                    uint32_t bit = b % kPagesPerBitmapPage;
                    page[kMapBitmapPageHeader + bit / 8] &= uint8_t(~(1u << (bit % 8)));
                }
        bool isNew = std::find(fresh.begin(), fresh.end(), pointers[j]) != fresh.end();
        if (isNew || page != file_.page(pointers[j])) write(pointers[j], page, isNew ? WriteStage::Data : WriteStage::Maps);
    }
    for (uint32_t b : fresh) claim(b);
    size_t length = std::max(oldLength, 1 + 4 * pointers.size());
    Bytes row(length, 0);
    row[0] = kMapReference;
    for (size_t j = 0; j < pointers.size(); ++j) put32(row, 1 + 4 * j, pointers[j]);
    if (row != host.row(map.hostSlot)) {
        if (int(length) - int(oldLength) > host.freeSpace())
            throw Error(file_.name() + ": no room on page " + std::to_string(map.hostPage) +
                        " to extend the " + what);
        host.setRow(map.hostSlot, std::move(row));
        write(host, WriteStage::Maps);
    }
}

} // namespace jet
