#include "platform/codepage.h"

#include <string>

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
