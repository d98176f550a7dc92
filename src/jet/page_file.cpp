// Page I/O: the page cache, held writes and their stages over a file on disk (one implementation
// per platform: page_file_posix.cpp, page_file_windows.cpp) or a memory buffer.
#include "jet/page_file.h"

#include "jet/format.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace jet {

using format::kPageSize;

uint32_t PageFile::pageCount() const {
    if (size_ == kUnknownSize) size_ = sizeBytes();
    uint64_t pages = std::max<uint64_t>(size_ / kPageSize, heldEnd_);
    return pages > 0xFFFFFF ? 0xFFFFFF : uint32_t(pages); // row pointers hold 24-bit page numbers
}

uint32_t PageFile::uncachedRun(uint32_t number) const {
    if (number >= pageCount())
        throw PageMissingError(name_, number, pageCount());
    // Table scans read pages mostly in ascending order: fetch the following uncached pages in
    // the same call (one system call instead of dozens).
    uint32_t count = 1;
    auto next = cache_.upper_bound(number);
    uint32_t limit = next == cache_.end() ? pageCount() : next->first;
    while (count < kReadAhead && number + count < limit) ++count;
    return count;
}

const Bytes& PageFile::page(uint32_t number) const {
    auto it = cache_.find(number);
    if (it != cache_.end()) {
        it->second.lastUse = ++useClock_;
        return it->second.bytes;
    }
    const uint32_t count = uncachedRun(number);
    readBuffer_.resize(size_t(count) * kPageSize);
    readAt(uint64_t(number) * kPageSize, readBuffer_.data(), readBuffer_.size());
    auto hint = cache_.end();
    // The pages read ahead count as used before the one asked for: they are the first to go.
    for (uint32_t i = count; i-- > 0;)
        hint = cache_.emplace_hint(hint, number + i,
                                   CachedPage{Bytes(readBuffer_.begin() + i * kPageSize,
                                                    readBuffer_.begin() + (i + 1) * kPageSize),
                                              ++useClock_});
    return hint->second.bytes;
}

void PageFile::keep(uint32_t number, const Bytes& bytes) {
    CachedPage& cached = cache_[number];
    cached.bytes = bytes; // a page cached already keeps its buffer: views into it stay valid
    cached.lastUse = ++useClock_;
}

void PageFile::trimCache() {
    const size_t clean = cache_.size() - held_.size();
    if (clean <= cacheBudget_) return;
    // The least recently used pages that are not held, oldest first, as many as are too many.
    std::vector<std::pair<uint64_t, uint32_t>> candidates;
    candidates.reserve(clean);
    for (const auto& [number, cached] : cache_)
        if (!held_.count(number)) candidates.emplace_back(cached.lastUse, number);
    const size_t drop = clean - cacheBudget_;
    std::nth_element(candidates.begin(), candidates.begin() + std::ptrdiff_t(drop - 1), candidates.end());
    for (size_t i = 0; i < drop; ++i) cache_.erase(candidates[i].second);
}

ByteView PageFile::scanView(uint32_t number, ScanBuffer& buffer) const {
    if (cache_.count(number)) return view(number);
    if (number < buffer.first || number - buffer.first >= buffer.count) {
        buffer.count = 0; // nothing valid while the read may fail
        const uint32_t count = uncachedRun(number);
        buffer.bytes.resize(size_t(count) * kPageSize);
        readAt(uint64_t(number) * kPageSize, buffer.bytes.data(), buffer.bytes.size());
        buffer.first = number;
        buffer.count = count;
    }
    return ByteView(buffer.bytes.data() + size_t(number - buffer.first) * kPageSize, kPageSize,
                    "page " + std::to_string(number));
}

ByteView PageFile::view(uint32_t number) const {
    const Bytes& bytes = page(number);
    // Short enough to stay in the string's inline buffer: views are made for every row read.
    // The facade adds the file name to messages.
    return ByteView(bytes.data(), bytes.size(), "page " + std::to_string(number));
}

void PageFile::noteOwnWrite() {
    unsynced_ = true;
    size_ = kUnknownSize;
    lastOwnWrite_ = std::chrono::steady_clock::now();
    stamp_ = stamp();
    ++generation_;
}

void PageFile::writePage(uint32_t number, const Bytes& bytes, WriteStage stage) {
    if (!writable()) throw Error(name_ + ": the file is open read-only");
    if (bytes.size() != kPageSize)
        throw Error("internal: page " + std::to_string(number) + " written with " +
                    std::to_string(bytes.size()) + " bytes");
    if (number > pageCount())
        throw Error(name_ + ": page " + std::to_string(number) + " written past the end of the file");
    if (holding_) {
        auto it = held_.find(number);
        if (it != held_.end() && it->second != stage) {
            writeHeld();
            it = held_.end();
        }
        if (changeOpen_ && !changeUndo_.count(number)) {
            std::optional<HeldBefore> before;
            if (it != held_.end()) before = HeldBefore{cache_.at(number).bytes, it->second};
            changeUndo_.emplace(number, std::move(before));
        }
        held_[number] = stage;
        heldEnd_ = std::max(heldEnd_, number + 1);
        keep(number, bytes);
        ++generation_;
        return;
    }
    writeAt(uint64_t(number) * kPageSize, bytes.data(), kPageSize);
    keep(number, bytes);
    noteOwnWrite();
}

const WriteStage* PageFile::heldStage(uint32_t number) const {
    auto it = held_.find(number);
    return it == held_.end() ? nullptr : &it->second;
}

void PageFile::holdWrites(bool on) {
    if (!on) writeHeld();
    holding_ = on;
}

void PageFile::beginHeldChange() {
    changeOpen_ = true;
    changeUndo_.clear();
}

void PageFile::endHeldChange() {
    changeOpen_ = false;
    changeUndo_.clear();
}

void PageFile::discardHeldChange() {
    for (auto& [number, before] : changeUndo_) {
        const auto held = held_.find(number);
        if (held == held_.end()) continue; // it reached the file: the cache holds what the file does
        if (before) {
            cache_[number].bytes = std::move(before->bytes);
            held->second = before->stage;
        } else {
            held_.erase(held);
            cache_.erase(number);
        }
    }
    heldEnd_ = held_.empty() ? 0 : held_.rbegin()->first + 1;
    ++generation_;
    endHeldChange();
}

void PageFile::writeHeld() {
    if (held_.empty()) return;
    // Stage by stage, pages in ascending order (pages past the end are appended in turn), each
    // stage flushed before the next one starts.
    for (auto stage : {WriteStage::Data, WriteStage::Claim, WriteStage::Maps, WriteStage::Switch, WriteStage::Free}) {
        bool any = false;
        for (auto it = held_.begin(); it != held_.end();) {
            if (it->second != stage) {
                ++it;
                continue;
            }
            writeAt(uint64_t(it->first) * kPageSize, cache_.at(it->first).bytes.data(), kPageSize);
            any = true;
            it = held_.erase(it);
            if (held_.empty()) heldEnd_ = 0;
            noteOwnWrite();
        }
        // Freed data is needed by nothing that follows: its writes wait for the next flush.
        if (any && stage != WriteStage::Free) {
            sync();
            unsynced_ = false;
        }
    }
    heldEnd_ = 0;
    // All of it is in the file now: an open change has nothing held left to take back.
    changeUndo_.clear();
}

void PageFile::flush() {
    writeHeld();
    if (!unsynced_) return;
    sync();
    unsynced_ = false;
}

void PageFile::readPages(uint32_t first, uint32_t count, uint8_t* dst) const {
    if (uint64_t(first) + count > pageCount())
        throw Error(name_ + ": pages " + std::to_string(first) + ".." + std::to_string(uint64_t(first) + count - 1) +
                    " lie past the end of the file (" + std::to_string(pageCount()) + " pages)");
    readAt(uint64_t(first) * kPageSize, dst, size_t(count) * kPageSize);
}

void PageFile::writePages(uint32_t first, uint32_t count, const uint8_t* src) {
    if (!writable()) throw Error(name_ + ": the file is open read-only");
    if (holding_) writeHeld();
    if (first > pageCount())
        throw Error(name_ + ": page " + std::to_string(first) + " written past the end of the file");
    writeAt(uint64_t(first) * kPageSize, src, size_t(count) * kPageSize);
    cache_.erase(cache_.lower_bound(first), cache_.lower_bound(first + count));
    noteOwnWrite();
}

void PageFile::truncatePages(uint32_t pages) {
    if (!writable()) throw Error(name_ + ": the file is open read-only");
    writeHeld();
    truncateTo(uint64_t(pages) * kPageSize);
    cache_.erase(cache_.lower_bound(pages), cache_.end());
    noteOwnWrite();
}

bool PageFile::refresh() {
    uint64_t now = stamp();
    // An unchanged stamp proves nothing while the file's modification time is this recent and
    // the last change was not ours: another process may have written within the same tick.
    bool ownRecentWrite = std::chrono::steady_clock::now() - lastOwnWrite_ < std::chrono::seconds(2);
    bool unsure = modifiedJustNow() && !ownRecentWrite;
    if (stampKnown_ && now == stamp_ && !unsure) {
        trimCache();
        return false;
    }
    // Held pages are this object's own writes: they reach the file before the cache is dropped.
    if (!held_.empty()) {
        writeHeld();
        now = stamp();
    }
    bool changed = stampKnown_;
    stampKnown_ = true;
    stamp_ = now;
    size_ = kUnknownSize;
    if (changed) {
        cache_.clear();
        ++generation_;
    }
    trimCache();
    return changed;
}

namespace {

class MemoryPageFile final : public PageFile {
public:
    MemoryPageFile(Bytes contents, std::string name, bool writable)
        : PageFile(std::move(name)), data_(std::move(contents)), writable_(writable) {}
    bool writable() const override { return writable_; }
    uint64_t sizeBytes() const override { return data_.size(); }

protected:
    void readAt(uint64_t offset, uint8_t* dst, size_t length) const override {
        if (offset > data_.size() || length > data_.size() - offset)
            throw Error(name() + ": the file ended while reading");
        std::memcpy(dst, data_.data() + offset, length);
    }
    void writeAt(uint64_t offset, const uint8_t* src, size_t length) override {
        if (offset + length > data_.size()) data_.resize(offset + length);
        std::memcpy(data_.data() + offset, src, length);
    }
    void truncateTo(uint64_t size) override { data_.resize(size); }

private:
    Bytes data_;
    bool writable_;
};

PageFileOpener& opener() {
    static PageFileOpener current;
    return current;
}

} // namespace

Error notWritableError(const std::string& path) {
    return Error(ErrorKind::ReadOnly, {path}, path + ": cannot be opened for writing (read-only or no permission)");
}

std::unique_ptr<PageFile> openPageFile(const std::string& path, bool writable) {
    if (!opener()) return openDiskPageFile(path, writable);
    std::unique_ptr<PageFile> file = opener()(path, writable);
    if (writable && !file->writable()) throw notWritableError(path);
    return file;
}

PageFileOpener setPageFileOpener(PageFileOpener replacement) {
    PageFileOpener previous = std::move(opener());
    opener() = std::move(replacement);
    return previous;
}

std::unique_ptr<PageFile> memoryPageFile(Bytes contents, std::string name, bool writable) {
    return std::make_unique<MemoryPageFile>(std::move(contents), std::move(name), writable);
}

} // namespace jet
