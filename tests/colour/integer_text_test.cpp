#include "colour/integer_text.h"

#include <cstdint>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "colour/exception.h"
#include "platform/codepage.h"

namespace {

struct ParseRow
{
    std::string text;
    std::optional<std::int32_t> value;
};

TEST(ParseInteger, ReadsTheIntegerTextSyntax)
{
    const ParseRow rows[] = {
        { "0", 0 },
        { "255", 255 },
        { "+128", 128 },
        { "-5", -5 },
        { "-0", 0 },
        { "0000000000255", 255 },
        { "  12", 12 },
        { " -7", -7 },
        { "2147483647", 2147483647 },
        { "-2147483647", -2147483647 },
        { "2147483648", std::nullopt },
        { "-2147483648", std::nullopt },
        { "99999999999999999999", std::nullopt },
        { "$ff", 255 },
        { "$1F", 31 },
        { " $1F", 31 },
        { "$7FFFFFFF", 2147483647 },
        { "$80000000", INT32_MIN },
        { "$FFFFFFFF", -1 },
        { "$0000000000FFFFFFFF", -1 },
        { "$100000000", std::nullopt },
        { "", std::nullopt },
        { "   ", std::nullopt },
        { "+", std::nullopt },
        { "-", std::nullopt },
        { "$", std::nullopt },
        { "12 ", std::nullopt },
        { "- 5", std::nullopt },
        { "+-5", std::nullopt },
        { "$ 1", std::nullopt },
        { "-$1", std::nullopt },
        { "$-1", std::nullopt },
        { "$1G", std::nullopt },
        { "\t1", std::nullopt },
        { "0x1F", std::nullopt },
        { "x1F", std::nullopt },
        { "12.5", std::nullopt },
        { "1,000", std::nullopt },
        { Sjis(u8"１"), std::nullopt },
        { Sjis(u8"　1"), std::nullopt },
        { std::string("1\0", 2), std::nullopt },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("text: [" + row.text + "]");
        EXPECT_EQ(ParseInteger(row.text), row.value);
    }
}

TEST(StrToInt, FailureQuotesTheTextByteForByte)
{
    EXPECT_EQ(StrToInt(" +42"), 42);
    const struct
    {
        std::string text;
        std::string message;
    } rows[] = {
        { "12 ", Sjis(u8"'12 ' は整数ではありません") },
        { "", Sjis(u8"'' は整数ではありません") },
        { "%s%d 1", Sjis(u8"'%s%d 1' は整数ではありません") },
        { Sjis(u8"ソ"), Sjis(u8"'ソ' は整数ではありません") },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        try {
            StrToInt(row.text);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), row.message);
            EXPECT_STREQ(e.what(), row.message.c_str());
        }
    }
}

TEST(StrToIntDef, GivesTheDefaultSilently)
{
    EXPECT_EQ(StrToIntDef("$1F", 7), 31);
    EXPECT_EQ(StrToIntDef("0x1F", 7), 7);
    EXPECT_EQ(StrToIntDef("", -3), -3);
}

TEST(IntToStr, WritesPlainDecimal)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-5), "-5");
    EXPECT_EQ(IntToStr(2147483647), "2147483647");
    EXPECT_EQ(IntToStr(INT32_MIN), "-2147483648");
}

TEST(IntToHex, ZeroFillsToAMinimumWidthAndNeverCuts)
{
    const struct
    {
        std::int32_t value;
        int width;
        const char* text;
    } rows[] = {
        { 255, 2, "FF" },
        { 0, 2, "00" },
        { 15, 6, "00000F" },
        { 0xFF8000, 6, "FF8000" },
        { 256, 2, "100" },
        { 0x1000000, 6, "1000000" },
        { -1, 2, "FFFFFFFF" },
        { INT32_MIN, 6, "80000000" },
        { 0, 0, "0" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(IntToHex(row.value, row.width), row.text);
    }
}

TEST(FormatWithText, ReplacesTheFirstPlaceholderOnly)
{
    EXPECT_EQ(FormatWithText("'%s' x %s", "a%sb"), "'a%sb' x %s");
    EXPECT_EQ(FormatWithText("no placeholder", "a"), "no placeholder");
}

} // namespace
