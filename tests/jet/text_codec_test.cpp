// Text values: the stored forms Access writes and reads, and the UTF-8 conversions.
#include "jet/text_codec.h"

#include <gtest/gtest.h>

using jet::Bytes;
using jet::ByteView;

namespace {

std::u16string decode(const Bytes& b) { return jet::decodeText(ByteView(b.data(), b.size(), "test text")); }

Bytes utf16le(const std::u16string& s) {
    Bytes b;
    for (char16_t c : s) { b.push_back(uint8_t(c)); b.push_back(uint8_t(c >> 8)); }
    return b;
}

bool isCompressedForm(const Bytes& b) { return b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE; }

struct RoundTrip {
    const char* name;
    std::u16string text;
    bool allowed;
    bool expectCompressed;
};

class TextRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(TextRoundTrip, ReadsBackExactlyInTheExpectedForm) {
    const RoundTrip& c = GetParam();
    const Bytes stored = jet::encodeText(c.text, c.allowed);
    EXPECT_EQ(isCompressedForm(stored), c.expectCompressed);
    EXPECT_EQ(decode(stored), c.text);
    if (c.expectCompressed && c.text.front() != u'\uFEFF') {
        EXPECT_EQ(stored.size(), c.text.size() + 2); // one byte per character, no toggles
    } else if (!c.expectCompressed) {
        EXPECT_EQ(stored, utf16le(c.text));
    }
}

const std::u16string k1024(1024, u'a');
const std::u16string k1025(1025, u'a');

INSTANTIATE_TEST_SUITE_P(
    Cases, TextRoundTrip,
    ::testing::Values(
        RoundTrip{"Empty", u"", true, false},
        RoundTrip{"TwoCharsStayPlain", u"ab", true, false},
        RoundTrip{"ThreeCharsCompress", u"abc", true, true},
        RoundTrip{"ColumnWithoutCompression", u"In the beginning", false, false},
        RoundTrip{"CrLfAndTab", u"line one\r\nline two\tend", true, true},
        RoundTrip{"Latin1Top", u"caf\u00E9 \u00FF\u00A0", true, true},
        RoundTrip{"U0100IsNotOneByte", u"a\u0100b", true, false},
        RoundTrip{"Greek", u"\u0388\u03BD \u03B1\u03C1\u03C7\u1FC7", true, false},
        RoundTrip{"Hebrew", u"\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA", true, false},
        RoundTrip{"EmojiSurrogatePair", u"ok \U0001F600 ok", true, false},
        RoundTrip{"NulCharacterStaysPlain", std::u16string(u"a\0b", 3), true, false},
        RoundTrip{"Exactly1024Compress", k1024, true, true},
        RoundTrip{"Over1024StayPlain", k1025, true, false},
        RoundTrip{"BomFirstThenLatin", u"\uFEFFabc", true, true},
        RoundTrip{"BomFirstWithoutCompression", u"\uFEFFab\u05D0c", false, true},
        RoundTrip{"BomAlone", u"\uFEFF", true, true},
        RoundTrip{"BomLaterIsPlain", u"a\uFEFF", true, false}),
    [](const ::testing::TestParamInfo<RoundTrip>& info) { return std::string(info.param.name); });

TEST(TextCodec, BomFirstEncodingHasNoZeroByteInsideTwoByteCharacters) {
    // Both common readers must agree: a 0x00 only ever appears as a mode toggle.
    const std::u16string text = u"\uFEFFa\u05D0\u05D1b\u00E9\u4E8C";
    const Bytes stored = jet::encodeText(text, true);
    EXPECT_EQ(decode(stored), text);
    // Decode the way a reader that treats every zero byte as a toggle does.
    std::u16string anyZero;
    bool compressed = true;
    size_t start = 2;
    for (size_t i = 2; i <= stored.size(); ++i) {
        if (i == stored.size() || stored[i] == 0) {
            if (compressed) {
                for (size_t k = start; k < i; ++k) anyZero.push_back(char16_t(stored[k]));
            } else {
                ASSERT_EQ((i - start) % 2, 0u);
                for (size_t k = start; k < i; k += 2) anyZero.push_back(char16_t(stored[k] | (stored[k + 1] << 8)));
            }
            compressed = !compressed;
            start = i + 1;
        }
    }
    EXPECT_EQ(anyZero, text);
}

TEST(TextCodec, BomFirstWithUnspellableCharacterIsRefused) {
    EXPECT_THROW(jet::encodeText(u"\uFEFFa\u4E00", true), jet::Error);
    EXPECT_THROW(jet::encodeText(std::u16string(u"\uFEFF\0", 2), true), jet::Error);
}

TEST(TextCodec, DecodesMixedModeAndEdgeForms) {
    struct Case { Bytes stored; std::u16string text; };
    const Case cases[] = {
        {{0xFF, 0xFE}, u""},
        {{0xFF, 0xFE, 'a', 'b'}, u"ab"},
        // compressed, toggle to two bytes (alpha, beta), toggle back
        {{0xFF, 0xFE, 'x', 0x00, 0xB1, 0x03, 0xB2, 0x03, 0x00, 'y'}, u"x\u03B1\u03B2y"},
        // ends in two-byte mode; a trailing toggle with nothing after it
        {{0xFF, 0xFE, 0x00, 0xD0, 0x05, 0x00}, u"\u05D0"},
        {{'h', 0x00, 'i', 0x00}, u"hi"},
        {{}, u""},
    };
    for (const Case& c : cases) EXPECT_EQ(decode(c.stored), c.text);
}

TEST(TextCodec, TruncatedTextIsAnError) {
    EXPECT_THROW(decode(Bytes{'a', 0x00, 'b'}), jet::Error);
    EXPECT_THROW(decode(Bytes{0xFF, 0xFE, 0x00, 0xD0}), jet::Error);
}

TEST(TextCodec, Utf8RoundTripIsLossless) {
    const std::string utf8 = "A\xC3\xA9\xCE\xB1\xD7\x90\xE4\xB8\x80\xF0\x9F\x98\x80\r\n\t";
    const std::u16string utf16 = jet::fromUtf8(utf8);
    EXPECT_EQ(utf16, u"A\u00E9\u03B1\u05D0\u4E00\U0001F600\r\n\t");
    EXPECT_EQ(jet::toUtf8(utf16), utf8);
    EXPECT_EQ(jet::toUtf8(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextCodec, InvalidInputBecomesReplacementCharacters) {
    struct Case { std::string utf8; std::u16string text; };
    const Case cases[] = {
        {"a\xFF" "b", u"a\uFFFDb"},
        {"\xC3", u"\uFFFD"},                // truncated at the end
        {"\xE4\xB8" "x", u"\uFFFDx"},       // truncated before an ASCII byte
        {"\xC0\xAF", u"\uFFFD"},            // overlong '/'
        {"\xED\xA0\x80", u"\uFFFD"},        // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"},    // beyond U+10FFFF
        {"\x80z", u"\uFFFDz"},              // stray continuation byte
    };
    for (const Case& c : cases) EXPECT_EQ(jet::fromUtf8(c.utf8), c.text) << c.utf8;
    EXPECT_EQ(jet::toUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(jet::toUtf8(u"\xDC00"), "\xEF\xBF\xBD");
}

} // namespace
