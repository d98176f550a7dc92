// Jet 4 text values and the UTF-8 conversions used by the tools.
#include "jet/text_codec.h"

#include "jet/format.h"

#include <algorithm>
#include <cstring>

namespace jet {

namespace {

constexpr uint8_t kMark0 = format::kTextCompressedMark0;
constexpr uint8_t kMark1 = format::kTextCompressedMark1;

bool isOneByte(char16_t c) { return c >= 0x0001 && c <= 0x00FF; }

std::string hex4(char16_t c) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (int shift = 12; shift >= 0; shift -= 4) s += digits[(c >> shift) & 0xF];
    return s;
}

void appendUnit(Bytes& out, char16_t c) {
    out.push_back(uint8_t(c & 0xFF));
    out.push_back(uint8_t(c >> 8));
}

// A text whose first unit is U+FEFF would read back as the compression mark if stored plain, so
// it goes out in the mixed form: mark, toggle to two-byte mode, then each unit in whichever mode
// keeps every byte of a two-byte unit non-zero. Readers differ on where they look for the 0x00
// toggle (any byte, or only a character's first byte), so a zero byte inside a two-byte unit
// would be read differently by them; U+0000 and U+xx00 have no safe spelling in this form.
Bytes encodeWithLeadingBom(const std::u16string& text) {
    Bytes out{kMark0, kMark1};
    bool compressed = true;
    for (char16_t c : text) {
        if (isOneByte(c)) {
            if (!compressed) { out.push_back(0x00); compressed = true; }
            out.push_back(uint8_t(c));
        } else {
            if ((c & 0xFF) == 0 || (c >> 8) == 0)
                throw Error("a text that starts with U+FEFF cannot hold the character U+" + hex4(c) +
                            "; remove the leading U+FEFF");
            if (compressed) { out.push_back(0x00); compressed = false; }
            appendUnit(out, c);
        }
    }
    return out;
}

} // namespace

std::u16string decodeText(ByteView bytes) {
    const size_t n = bytes.size();
    const uint8_t* data = bytes.data(); // every index below stays under n
    std::u16string out;
    if (n >= 2 && data[0] == kMark0 && data[1] == kMark1) {
        out.reserve(n);
        bool compressed = true;
        size_t i = 2;
        while (i < n) {
            if (data[i] == 0) {
                // A zero byte at a character boundary switches mode and stands for no character.
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                // A run of one-byte characters up to the next toggle (or the end).
                const void* zero = std::memchr(data + i, 0, n - i);
                const size_t end = zero ? size_t(static_cast<const uint8_t*>(zero) - data) : n;
                out.append(data + i, data + end);
                i = end;
            } else {
                if (i + 1 >= n)
                    throw Error(bytes.what() + ": compressed text ends in the middle of a character");
                out.push_back(char16_t(data[i] | (data[i + 1] << 8)));
                i += 2;
            }
        }
        return out;
    }
    if (n % 2 != 0)
        throw Error(bytes.what() + ": text of " + std::to_string(n) + " bytes is not whole UCS-2 characters");
    out.resize(n / 2);
    for (size_t k = 0; k < n / 2; ++k) out[k] = char16_t(data[2 * k] | (data[2 * k + 1] << 8));
    return out;
}

Bytes encodeText(const std::u16string& text, bool compressionAllowed) {
    if (!text.empty() && text.front() == char16_t(0xFEFF)) return encodeWithLeadingBom(text);
    Bytes out;
    const bool compress = compressionAllowed && text.size() >= format::kTextMinCompressedUnits &&
                          text.size() <= format::kTextMaxCompressedUnits &&
                          std::all_of(text.begin(), text.end(), isOneByte);
    if (compress) {
        out.reserve(text.size() + 2);
        out.push_back(kMark0);
        out.push_back(kMark1);
        for (char16_t c : text) out.push_back(uint8_t(c));
        return out;
    }
    out.reserve(text.size() * 2);
    for (char16_t c : text) appendUnit(out, c);
    return out;
}

std::string toUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3 / 2 + 8);
    auto put = [&out](uint32_t cp) {
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    };
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        // Runs of ASCII, by far the common case, are copied in one go.
        size_t run = i;
        while (run < n && text[run] < 0x80) ++run;
        if (run > i) {
            const size_t at = out.size();
            out.resize(at + (run - i));
            for (size_t k = i; k < run; ++k) out[at + (k - i)] = char(text[k]);
            i = run;
            if (i == n) break;
        }
        const uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            put(0x10000 + ((c - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            put(0xFFFD);
        } else {
            put(c);
        }
    }
    return out;
}

std::u16string fromUtf8(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    auto byteAt = [&text](size_t k) { return uint8_t(text[k]); };
    while (i < n) {
        const uint8_t b = byteAt(i);
        if (b < 0x80) {
            out.push_back(char16_t(b));
            ++i;
            continue;
        }
        int extra = 0;
        uint32_t cp = 0;
        uint32_t minimum = 0;
        if ((b & 0xE0) == 0xC0) { extra = 1; cp = b & 0x1F; minimum = 0x80; }
        else if ((b & 0xF0) == 0xE0) { extra = 2; cp = b & 0x0F; minimum = 0x800; }
        else if ((b & 0xF8) == 0xF0) { extra = 3; cp = b & 0x07; minimum = 0x10000; }
        else { out.push_back(char16_t(0xFFFD)); ++i; continue; }
        int got = 0;
        while (got < extra && i + 1 + got < n && (byteAt(i + 1 + got) & 0xC0) == 0x80) {
            cp = (cp << 6) | (byteAt(i + 1 + got) & 0x3F);
            ++got;
        }
        if (got < extra) {
            // A truncated sequence: one replacement for the bytes seen, then carry on after them.
            out.push_back(char16_t(0xFFFD));
            i += 1 + got;
            continue;
        }
        i += 1 + extra;
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(char16_t(0xFFFD));
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

} // namespace jet
