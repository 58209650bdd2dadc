#include "colour/conversions.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "colour/exception.h"
#include "platform/codepage.h"

namespace {

TEST(HexToColor, LastSixDigitsCountRightAligned)
{
    const struct
    {
        const char* text;
        std::uint32_t color;
    } rows[] = {
        { "FF8000", 0x000080FF },
        { "ff8000", 0x000080FF },
        { "8000", 0x00008000 },
        { "FF", 0x00FF0000 },
        { "FF80F", 0x000FF80F },
        { "1FF8000", 0x000080FF },
        { "12345678", 0x00785634 },
        { "000000000FF8000", 0x000080FF },
        { "FFFFFFFF", 0x00FFFFFF },
        { "123456789", 0 },
        { "GG0000", 0 },
        { " FF8000", 0 },
        { "FF8000 ", 0 },
        { "-1", 0 },
        { "$FF", 0 },
        { "", 0 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(static_cast<std::uint32_t>(HexToColor(row.text)), row.color);
    }
}

TEST(ColorToHex, WritesRedGreenBlueAtLeastSixDigits)
{
    const struct
    {
        std::uint32_t color;
        const char* text;
    } rows[] = {
        { 0x000080FF, "FF8000" },
        { 0x00000000, "000000" },
        { 0x00FFFFFF, "FFFFFF" },
        { 0x00030201, "010203" },
        { 0x02FF0000, "20000FF" }, // a top byte that is not a system colour stays in front
        { 0x7F000000, "7F000000" },
        // System colours are resolved first: button face, window text, tool-tip background.
        { 0x8000000F, "C0C0C0" },
        { 0x80000008, "000000" },
        { 0x80000018, "FFFFE1" },
        { 0x800000FF, "000000" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ColorToHex(static_cast<TColor>(row.color)), row.text);
    }
}

// What the receiver got, in order, then "!" and the error message if the split failed.
std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> got;
    try {
        SplitHexToRgb(text, [&](RgbComponent component, const std::string& value) {
            const char* names[] = { "R", "G", "B" };
            got.push_back(names[static_cast<int>(component)] + value);
        });
    } catch (const EConvertError& e) {
        got.push_back("!" + e.Message());
    }
    return got;
}

std::string NotAnInteger(const std::string& text)
{
    static const std::string tail = Sjis(u8"' は整数ではありません");
    return "!'" + text + tail;
}

TEST(SplitHexToRgb, CutsLeftAlignedPiecesAndStopsAtTheFirstBadOne)
{
    const struct
    {
        std::string text;
        std::vector<std::string> got;
    } rows[] = {
        { "FF8000", { "R255", "G128", "B0" } },
        { "ff8000", { "R255", "G128", "B0" } },
        { "FF8000AB", { "R255", "G128", "B0" } },
        { "FF80F", { "R255", "G128", "B15" } },
        { "1FF8000", { "R31", "G248", "B0" } },
        { "FF80", { "R255", "G128", NotAnInteger("$") } },
        { "8000", { "R128", "G0", NotAnInteger("$") } },
        { "FF 000", { "R255", NotAnInteger("$ 0") } },
        { "G10000", { NotAnInteger("$G1") } },
        { "", { NotAnInteger("$") } },
        { "F", { "R15", NotAnInteger("$") } },
        // A double-byte character may be cut in half; the piece is named with its raw bytes.
        { "FF" + Sjis(u8"ソ"), { "R255", NotAnInteger("$\x83\x5C") } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("text: [" + row.text + "]");
        EXPECT_EQ(Split(row.text), row.got);
    }
}

TEST(RgbToHex, JoinsStrictReadingsWithoutClamping)
{
    const struct
    {
        const char* red;
        const char* green;
        const char* blue;
        const char* hex;
    } rows[] = {
        { "255", "128", "0", "FF8000" },
        { "  255", "+128", "$0", "FF8000" },
        { "0255", "00128", "0", "FF8000" },
        { "4095", "15", "$ff", "FFF0FFF" },
        { "256", "0", "0", "1000000" },
        { "-1", "0", "0", "FFFFFFFF0000" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hex);
        EXPECT_EQ(RgbToHex(row.red, row.green, row.blue), row.hex);
    }
}

TEST(RgbToHex, FailsOnTheFirstTextThatDoesNotRead)
{
    const struct
    {
        const char* red;
        const char* green;
        const char* blue;
        const char* quoted;
    } rows[] = {
        { "255 ", "128", "0", "255 " },
        { "12.5", "x", "0", "12.5" },
        { "1", "x", "y", "x" },
        { "1", "2", "", "" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.quoted);
        try {
            RgbToHex(row.red, row.green, row.blue);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ("!" + e.Message(), NotAnInteger(row.quoted));
        }
    }
}

} // namespace
