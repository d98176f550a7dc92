// Fault injection over another page file; power cuts are played by undoing, newest first, what
// every write since the last flush replaced.
#include "support/fault_page_file.h"

#include "jet/format.h"

#include <algorithm>

namespace jet {

namespace {
constexpr size_t kSector = 512;
} // namespace

FaultPageFile::FaultPageFile(std::unique_ptr<PageFile> inner)
    : PageFile(inner->name()), inner_(std::move(inner)), durableSize_(inner_->sizeBytes()) {}

FaultPageFile::~FaultPageFile() = default;

void FaultPageFile::checkAlive() const {
    if (dead_) throw PowerCut{};
}

uint64_t FaultPageFile::sizeBytes() const {
    checkAlive();
    return inner_->sizeBytes();
}

Bytes FaultPageFile::contents() const {
    Bytes bytes(inner_->sizeBytes());
    if (!bytes.empty()) inner_->readAt(0, bytes.data(), bytes.size());
    return bytes;
}

void FaultPageFile::readAt(uint64_t offset, uint8_t* dst, size_t length) const {
    checkAlive();
    if (++reads_ == changeRead_) ++changes_;
    inner_->readAt(offset, dst, length);
}

void FaultPageFile::writeAt(uint64_t offset, const uint8_t* src, size_t length) {
    checkAlive();
    ++writes_;
    if (writes_ == cutWrite_) powerFails(offset, src, length);
    if (writes_ == failWrite_) throw Error(name() + ": cannot write (injected fault)");
    uint64_t size = inner_->sizeBytes();
    if (offset < size) {
        Bytes before(size_t(std::min<uint64_t>(length, size - offset)));
        inner_->readAt(offset, before.data(), before.size());
        undo_.push_back({offset, std::move(before)});
    }
    if (writes_ == damageWrite_) {
        Bytes damaged(src, src + length);
        damaged[length / 2] ^= 0x5A;
        inner_->writeAt(offset, damaged.data(), length);
    } else {
        inner_->writeAt(offset, src, length);
    }
    ++changes_;
}

void FaultPageFile::powerFails(uint64_t offset, const uint8_t* src, size_t length) {
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) inner_->writeAt(it->offset, it->before.data(), it->before.size());
    undo_.clear();
    if (inner_->sizeBytes() > durableSize_) inner_->truncateTo(durableSize_);
    size_t landed = std::min(length, cutSectors_ * kSector);
    if (landed > 0 && offset <= inner_->sizeBytes()) inner_->writeAt(offset, src, landed);
    dead_ = true;
    throw PowerCut{};
}

void FaultPageFile::truncateTo(uint64_t size) {
    checkAlive();
    ++writes_;
    if (writes_ == cutWrite_) powerFails(size, nullptr, 0);
    if (writes_ == failWrite_) throw Error(name() + ": cannot shorten the file (injected fault)");
    uint64_t old = inner_->sizeBytes();
    if (size < old) {
        Bytes before(size_t(old - size));
        inner_->readAt(size, before.data(), before.size());
        undo_.push_back({size, std::move(before)});
    }
    inner_->truncateTo(size);
    ++changes_;
}

void FaultPageFile::sync() {
    checkAlive();
    ++flushes_;
    if (flushes_ == failFlush_) throw Error(name() + ": cannot flush the file (injected fault)");
    inner_->sync();
    undo_.clear();
    durableSize_ = inner_->sizeBytes();
}

uint64_t FaultPageFile::stamp() const {
    return inner_->stamp() ^ (changes_ * 0x9E3779B97F4A7C15ull);
}

} // namespace jet
