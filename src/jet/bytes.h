// Bounds-checked little-endian access to byte buffers. Every offset or length taken from a file
// goes through these, so a damaged file becomes a jet::Error instead of undefined behaviour.
#pragma once
#include "jet/error.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace jet {

using Bytes = std::vector<uint8_t>;

// A read-only view with checked reads. `what` names the structure in error messages.
class ByteView {
public:
    ByteView() = default;
    ByteView(const uint8_t* data, size_t size, std::string what = "data")
        : data_(data), size_(size), what_(std::move(what)) {}
    ByteView(std::span<const uint8_t> s, std::string what = "data")
        : data_(s.data()), size_(s.size()), what_(std::move(what)) {}

    size_t size() const { return size_; }
    const uint8_t* data() const { return data_; }
    const std::string& what() const { return what_; }

    void require(size_t offset, size_t length) const {
        if (offset > size_ || length > size_ - offset) [[unlikely]]
            outOfRange(offset, length);
    }
    // Kept out of line so that the check above inlines into every read.
    [[noreturn]] __attribute__((noinline)) void outOfRange(size_t offset, size_t length) const {
        throw Error(what_ + ": read of " + std::to_string(length) + " bytes at offset " +
                    std::to_string(offset) + " is outside its " + std::to_string(size_) + " bytes");
    }
    uint8_t u8(size_t off) const { require(off, 1); return data_[off]; }
    uint16_t u16(size_t off) const {
        require(off, 2);
        return static_cast<uint16_t>(data_[off] | (data_[off + 1] << 8));
    }
    uint32_t u24(size_t off) const {
        require(off, 3);
        return uint32_t(data_[off]) | (uint32_t(data_[off + 1]) << 8) | (uint32_t(data_[off + 2]) << 16);
    }
    uint32_t u32(size_t off) const {
        require(off, 4);
        return uint32_t(data_[off]) | (uint32_t(data_[off + 1]) << 8) |
               (uint32_t(data_[off + 2]) << 16) | (uint32_t(data_[off + 3]) << 24);
    }
    int16_t i16(size_t off) const { return static_cast<int16_t>(u16(off)); }
    int32_t i32(size_t off) const { return static_cast<int32_t>(u32(off)); }
    uint64_t u64(size_t off) const { return uint64_t(u32(off)) | (uint64_t(u32(off + 4)) << 32); }
    int64_t i64(size_t off) const { return static_cast<int64_t>(u64(off)); }
    double f64(size_t off) const { uint64_t v = u64(off); double d; std::memcpy(&d, &v, 8); return d; }
    float f32(size_t off) const { uint32_t v = u32(off); float f; std::memcpy(&f, &v, 4); return f; }

    // A checked sub-view [off, off + length).
    ByteView sub(size_t off, size_t length, std::string what = {}) const {
        require(off, length);
        return ByteView(data_ + off, length, what.empty() ? what_ : std::move(what));
    }
    Bytes copy(size_t off, size_t length) const {
        require(off, length);
        return Bytes(data_ + off, data_ + off + length);
    }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    std::string what_ = "data";
};

// Little-endian writers into a mutable buffer; they check bounds too (a writer bug must not
// scribble past a page).
inline void requireSpace(const Bytes& b, size_t off, size_t len) {
    if (off > b.size() || len > b.size() - off)
        throw Error("internal: write of " + std::to_string(len) + " bytes at offset " +
                    std::to_string(off) + " outside a buffer of " + std::to_string(b.size()));
}
inline void put8(Bytes& b, size_t off, uint8_t v) { requireSpace(b, off, 1); b[off] = v; }
inline void put16(Bytes& b, size_t off, uint16_t v) {
    requireSpace(b, off, 2); b[off] = uint8_t(v); b[off + 1] = uint8_t(v >> 8);
}
inline void put32(Bytes& b, size_t off, uint32_t v) {
    requireSpace(b, off, 4);
    for (int i = 0; i < 4; ++i) b[off + i] = uint8_t(v >> (8 * i));
}
inline void append8(Bytes& b, uint8_t v) { b.push_back(v); }
inline void append16(Bytes& b, uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
inline void append32(Bytes& b, uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); }

} // namespace jet
