#include "platform/codepage.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct RoundTrip
{
    const char* utf8;
    const char* cp932;
};

// Texts the program uses, with the characters where code pages disagree most often.
constexpr RoundTrip RoundTrips[] = {
    { "abc 09", "abc 09" },
    { "\\~", "\x5C\x7E" }, // backslash and tilde keep their ASCII bytes both ways
    { "ソ", "\x83\x5C" }, // second byte is the backslash byte
    { "表", "\x95\x5C" },
    { "空色", "\x8B\xF3\x90\x46" },
    { "ﾘｽﾄ", "\xD8\xBD\xC4" },
    { "ｷｬﾝｾﾙ", "\xB7\xAC\xDD\xBE\xD9" },
    { "｢ｶﾗｰ｣", "\xA2\xB6\xD7\xB0\xA3" },
    { "　Ｒ", "\x81\x40\x82\x71" },
    { "～", "\x81\x60" },
    { "ぅ", "\x82\xA3" },
    { "", "" },
};

TEST(Codepage, RoundTripsProgramTexts)
{
    for (const auto& row : RoundTrips) {
        SCOPED_TRACE(row.utf8);
        EXPECT_EQ(Utf8ToCp932(row.utf8), row.cp932);
        EXPECT_EQ(Cp932ToUtf8(row.cp932), row.utf8);
    }
}

TEST(Codepage, SjisTakesUtf8Literals)
{
    EXPECT_EQ(Sjis(u8"空色"), "\x8B\xF3\x90\x46");
    EXPECT_EQ(Sjis("ﾘｽﾄ"), "\xD8\xBD\xC4");
}

TEST(Codepage, InvalidCp932BecomesReplacementAndGoesOn)
{
    const struct
    {
        const char* cp932;
        const char* utf8;
    } rows[] = {
        { "a\xFF\x62", "a\uFFFDb" },
        { "\x81 x", "\uFFFD x" }, // stray lead byte: the ASCII byte after it survives
        { "x\x83", "x\uFFFD" }, // lead byte cut off at the end
        { "\xFF\xFF", "\uFFFD\uFFFD" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cp932);
        EXPECT_EQ(Cp932ToUtf8(row.cp932), row.utf8);
    }

    // Many refusals in a long text, each followed by characters of one and two bytes.
    std::string cp932, utf8, utf16;
    for (int i = 0; i < 300; ++i) {
        cp932 += i % 2 ? "\xFF\x8B\xF3\x90\x46\xD8" : "\x81\xD8\x8B\xF3\x90\x46";
        utf8 += i % 2 ? "\uFFFD空色ﾘ" : "\uFFFDﾘ空色";
        utf16 += std::string(
            i % 2 ? "\xFD\xFF\x7A\x7A\x72\x82\x98\xFF" : "\xFD\xFF\x98\xFF\x7A\x7A\x72\x82", 8);
    }
    EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
    EXPECT_EQ(Cp932ToUtf16Le(cp932), utf16);
}

// The position of the first replaced character in the result tells a caller whether, and where,
// the text lost something; a "?" of the text's own is no loss.
TEST(Codepage, UnmappableOrInvalidUtf8BecomesQuestionMark)
{
    constexpr std::size_t none = std::string::npos;
    const struct
    {
        const char* utf8;
        const char* cp932;
        std::size_t lost;
    } rows[] = {
        { "a\U0001F600b", "a?b", 1 }, // emoji: one "?" for the whole character
        { "\u00E9", "?", 0 }, // no CP932 form
        { "Caf\u00E9", "Caf?", 3 },
        { "x\xC3", "x?", 1 }, // cut-off sequence
        { "\xFF\x61", "?a", 0 },
        { "\xED\xA0\x80", "???", 0 }, // encoded surrogate is malformed byte by byte
        { "?\u7A7A\u00E9\u00E9", "?\x8B\xF3??", 3 }, // counted in result bytes
        { "?\u7A7A", "?\x8B\xF3", none },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.utf8);
        std::size_t lost = 0;
        EXPECT_EQ(Utf8ToCp932(row.utf8, &lost), row.cp932);
        EXPECT_EQ(lost, row.lost);
    }
}

TEST(Codepage, LongTextConvertsWhole)
{
    std::string utf8;
    std::string cp932;
    for (int i = 0; i < 2000; ++i) {
        utf8 += "空";
        cp932 += "\x8B\xF3";
    }
    EXPECT_EQ(Utf8ToCp932(utf8), cp932);
    EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
}

// UTF-16LE as in a "Unicode" settings file: what CP932 lacks and what is not UTF-16 becomes "?",
// and the offsets tie every CP932 byte to the UTF-16 character it came from.
TEST(Codepage, Utf16LeToCp932ReplacesAndTellsWhereEachByteCameFrom)
{
    using namespace std::string_literals;
    using Offsets = std::vector<std::uint32_t>;
    const struct
    {
        const char* what;
        std::string utf16;
        std::string cp932;
        Offsets offsets;
    } rows[] = {
        { "ASCII, NUL and half-width", "a\0\0\0\x98\xFF"s, "a\0\xD8"s, { 0, 2, 4, 6 } },
        { "double-byte",
            "\x7A\x7A"
            "b\0"s,
            "\x8B\xF3"s
            "b",
            { 0, 0, 2, 4 } },
        { "no CP932 form", "\xE9\0x\0"s, "?x", { 0, 2, 4 } },
        { "byte-order mark inside", "\xFF\xFEx\0"s, "?x", { 0, 2, 4 } },
        { "pair CP932 lacks", "\x3D\xD8\x00\xDEx\0"s, "?x", { 0, 4, 6 } },
        { "lone high", "\x3D\xD8x\0"s, "?x", { 0, 2, 4 } },
        { "lone low", "\x00\xDEx\0"s, "?x", { 0, 2, 4 } },
        { "high at the end", "x\0\x3D\xD8"s, "x?", { 0, 2, 4 } },
        { "high before a pair", "\x3D\xD8\x3D\xD8\x00\xDE"s, "??", { 0, 2, 6 } },
        { "tag character", "\x40\xDB\x01\xDCx\0"s, "x", { 4, 6 } },
        { "odd last byte", "x\0\x7A"s, "x", { 0, 2 } },
        { "empty", ""s, "", { 0 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Offsets offsets;
        EXPECT_EQ(Utf16LeToCp932(row.utf16, &offsets), row.cp932);
        EXPECT_EQ(offsets, row.offsets);
        EXPECT_EQ(Utf16LeToCp932(row.utf16), row.cp932);
    }
}

TEST(Codepage, Cp932ToUtf16LeReplacesInvalidBytesAndGoesOn)
{
    using namespace std::string_literals;
    EXPECT_EQ(Cp932ToUtf16Le("\x8B\xF3\\~\xD8"), "\x7A\x7A\\\0~\0\x98\xFF"s);
    EXPECT_EQ(Cp932ToUtf16Le("a\xFF\x81 x\x83"), "a\0\xFD\xFF\xFD\xFF \0x\0\xFD\xFF"s);
    EXPECT_EQ(Cp932ToUtf16Le(""), "");
}

// The whole text in one conversion gives what each character converted alone gives, for every
// character there is: each becomes one CP932 character (a lead byte and its second byte, or one
// byte) or one "?", which is what the offsets rely on; only the tag characters become nothing.
TEST(Codepage, EveryCharacterConvertsAloneAsInAText)
{
    std::string utf16;
    std::string alone;
    std::vector<std::uint32_t> expected;
    const auto put = [&](char16_t unit) {
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    };
    for (char32_t c = 0; c < 0x110000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        const std::size_t begin = utf16.size();
        if (c < 0x10000) {
            put(static_cast<char16_t>(c));
        } else {
            put(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
        const std::string one = Utf16LeToCp932(std::string_view(utf16).substr(begin));
        const bool tag = c >= 0xE0000 && c <= 0xE007F;
        ASSERT_TRUE(tag ? one.empty()
                        : one.size() == 1
                    || (one.size() == 2 && IsCp932LeadByte(static_cast<unsigned char>(one[0]))))
            << static_cast<std::uint32_t>(c);
        alone += one;
        expected.insert(expected.end(), one.size(), static_cast<std::uint32_t>(begin));
    }
    expected.push_back(static_cast<std::uint32_t>(utf16.size()));
    std::vector<std::uint32_t> offsets;
    EXPECT_EQ(Utf16LeToCp932(utf16, &offsets), alone);
    EXPECT_EQ(offsets, expected);
    // What came from CP932 goes back to the same bytes.
    const std::string kept = Cp932ToUtf16Le(alone);
    EXPECT_EQ(Utf16LeToCp932(kept), alone);
}

TEST(Codepage, LeadBytes)
{
    for (unsigned b : { 0x81u, 0x9Fu, 0xE0u, 0xFCu, 0x83u }) {
        EXPECT_TRUE(IsCp932LeadByte(static_cast<unsigned char>(b))) << b;
    }
    for (unsigned b : { 0x00u, 0x5Cu, 0x80u, 0xA0u, 0xA2u, 0xDFu, 0xFDu, 0xFFu }) {
        EXPECT_FALSE(IsCp932LeadByte(static_cast<unsigned char>(b))) << b;
    }
}

} // namespace
