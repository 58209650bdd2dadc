#include "colour/colour_text.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "colour/css_named_colors.h"
#include "colour/named_colors.h"
#include "colour/rgb.h"
#include "platform/codepage.h"

namespace {

struct Row
{
    std::string text;
    Rgb rgb;
};

template <std::size_t N> void ExpectReads(const Row (&rows)[N])
{
    for (const Row& row : rows) {
        SCOPED_TRACE("text: [" + row.text + "]");
        const std::optional<Rgb> rgb = ReadColourText(row.text);
        ASSERT_TRUE(rgb.has_value());
        EXPECT_EQ(rgb->red, row.rgb.red);
        EXPECT_EQ(rgb->green, row.rgb.green);
        EXPECT_EQ(rgb->blue, row.rgb.blue);
    }
}

// The pieces one after the other (operator+ on a literal and a temporary string trips a false
// -Wrestrict of GCC 12).
std::string Join(std::initializer_list<std::string_view> pieces)
{
    std::string joined;
    for (std::string_view piece : pieces)
        joined += piece;
    return joined;
}

constexpr Rgb orange { 255, 128, 0 };

TEST(ReadColourText, ReadsEachForm)
{
    const Row rows[] = {
        { "#FF8000", orange },
        { "#ff8000", orange },
        { "FF8000", orange },
        { "ff8000", orange },
        { "#F80", { 255, 136, 0 } },
        { "#FF8000CC", orange },
        { "#F80C", { 255, 136, 0 } },
        { "rgb(255, 128, 0)", orange },
        { "rgb(255,128,0)", orange },
        { "RGB(255, 128, 0)", orange },
        { "rgba(255, 128, 0, 0.5)", orange },
        { "rgb(255, 128, 0, 50%)", orange },
        { "rgb(255 128 0)", orange },
        { "rgba(255 128 0 / 0.5)", orange },
        { "rgb(255 128 0 / 50%)", orange },
        { "rgb(100%, 50%, 0%)", orange }, // 127.5 rounds up
        { "rgb(100% 50% 0)", orange }, // the space syntax may mix numbers and percentages
        { "rgb(254.5, 127.5, 0.4999)", orange },
        { "rgb(2.55e2 1.28E2 0e5)", orange },
        { "rgb(+255 +128 -0)", orange },
        { "rgb(none 128 0)", { 0, 128, 0 } },
        { "hsl(30, 100%, 50%)", orange },
        { "hsla(30, 100%, 50%, 0.5)", orange },
        { "hsl(30 100% 50%)", orange },
        { "hsl(30 100 50)", orange }, // numbers for s and l: space syntax only
        { "hsl(30deg 100% 50% / 0.5)", orange },
        { "HSL(30DEG, 100%, 50%)", orange },
        { "hsl(0.5turn 100% 50%)", { 0, 255, 255 } },
        { "hsl(200grad 100% 50%)", { 0, 255, 255 } },
        { "hsl(3.14159265rad 100% 50%)", { 0, 255, 255 } },
        { "hsl(120, 100%, 25%)", { 0, 128, 0 } },
        // Channels of exactly n.5 that plain doubles compute as n.4999 (checked with exact
        // fractions in python3): rounded up.
        { "hsl(0, 75%, 40%)", { 179, 26, 26 } },
        { "hsl(0 100% 95%)", { 255, 230, 230 } },
        { "hsl(0, 80%, 50%)", { 230, 26, 26 } },
        { "hsl(0, 0%, 50%)", { 128, 128, 128 } },
        { "hsl(none 0% 100%)", { 255, 255, 255 } },
        { "255, 128, 0", orange },
        { "255,128,0", orange },
        { "255 , 128 , 0", orange },
        { "255 128 0", orange },
        { "255\t128\t0", orange },
        { "000255 0128 0", orange },
        { "0,0,0", { 0, 0, 0 } },
    };
    ExpectReads(rows);
}

// The list's names exactly as shown win over CSS; CSS names are read in any case.
TEST(ReadColourText, ReadsNamesListFirstThenCss)
{
    const Row rows[] = {
        { "gold", { 0xCC, 0x7F, 0x32 } }, // the list's gold, CSS gold is FFD700
        { "grey", { 0xC0, 0xC0, 0xC0 } }, // the list's grey, CSS grey is 808080
        { "orange", { 0xFF, 0xA5, 0x00 } },
        { "dark slate grey", { 0x2F, 0x4F, 0x4F } },
        { "madium aquamarine", { 0x32, 0xCC, 0x99 } }, // listed spelling
        { "Gold", { 0xFF, 0xD7, 0x00 } }, // not the list's spelling: the CSS name
        { "GREY", { 0x80, 0x80, 0x80 } },
        { "rebeccapurple", { 0x66, 0x33, 0x99 } },
        { "RebeccaPurple", { 0x66, 0x33, 0x99 } },
        { "aliceblue", { 0xF0, 0xF8, 0xFF } },
        { "yellowgreen", { 0x9A, 0xCD, 0x32 } },
        { "DarkSlateGray", { 0x2F, 0x4F, 0x4F } },
    };
    ExpectReads(rows);
}

TEST(ReadColourText, ReadsEveryNameOfBothLists)
{
    for (const NamedColor& entry : NamedColorTable) {
        SCOPED_TRACE(std::string(entry.name));
        const auto rgb = ReadColourText(entry.name);
        ASSERT_TRUE(rgb.has_value());
        EXPECT_EQ(*rgb, ReadColourText(entry.hex));
    }
    for (const CssNamedColor& entry : CssNamedColors) {
        SCOPED_TRACE(std::string(entry.name));
        const auto rgb = ReadColourText(entry.name);
        ASSERT_TRUE(rgb.has_value());
        bool listed = false;
        for (const NamedColor& named : NamedColorTable)
            listed = listed || named.name == entry.name;
        if (!listed) {
            EXPECT_EQ(*rgb, ReadColourText(entry.hex));
        }
        std::string upper(entry.name);
        for (char& c : upper)
            c = static_cast<char>(c - 'a' + 'A');
        EXPECT_EQ(ReadColourText(upper), ReadColourText(entry.hex));
    }
}

TEST(ReadColourText, IgnoresSurroundingBlanksAndLineEnds)
{
    const Row rows[] = {
        { " #FF8000", orange },
        { "#FF8000 ", orange },
        { "#FF8000\n", orange },
        { "#FF8000\r\n", orange },
        { "\t\r\n  rgb(255, 128, 0)  \r\n", orange },
        { Sjis(u8"\u3000#FF8000\u3000"), orange },
        { "\n255 128 0\n", orange },
        { "  gold\n", { 0xCC, 0x7F, 0x32 } },
        { "rgb( 255 , 128 , 0 )", orange },
        { "rgb(\n255\n128\n0\n)", orange },
    };
    ExpectReads(rows);
}

// As a Japanese input method types them, in CP932.
TEST(ReadColourText, ReadsFullWidthForms)
{
    const Row rows[] = {
        { Sjis(u8"＃ＦＦ８０００"), orange },
        { Sjis(u8"＃ｆｆ８０００"), orange },
        { Sjis(u8"ＦＦ８０００"), orange },
        { Sjis(u8"＃ＦＦ8000"), orange },
        { Sjis(u8"ｒｇｂ（２５５，１２８，０）"), orange },
        { Sjis(u8"ｒｇｂ（２５５　１２８　０　／　５０％）"), orange },
        { Sjis(u8"ｈｓｌ（３０，１００％，５０％）"), orange },
        { Sjis(u8"ｈｓｌ（０．５ｔｕｒｎ　１００％　５０％）"), { 0, 255, 255 } },
        { Sjis(u8"rgb(＋２５５ －１ 0)"), { 255, 0, 0 } },
        { Sjis(u8"２５５，１２８，０"), orange },
        { Sjis(u8"２５５　１２８　０"), orange },
        { Sjis(u8"ｇｏｌｄ"), { 0xCC, 0x7F, 0x32 } },
        { Sjis(u8"ＲｅｂｅｃｃａＰｕｒｐｌｅ"), { 0x66, 0x33, 0x99 } },
    };
    ExpectReads(rows);
}

// Values outside their range are clamped as CSS clamps them; a hue goes round the circle.
TEST(ReadColourText, ClampsOutOfRangeValues)
{
    const Row rows[] = {
        { "rgb(300, -5, 0)", { 255, 0, 0 } },
        { "rgb(255.4, 127.6, -0.4)", orange },
        { "rgb(150%, 50%, -10%)", orange },
        { "rgb(1e400 -1e400 1e-400)", { 255, 0, 0 } },
        { "rgb(255 128 0 / 2)", orange },
        { "hsl(390, 100%, 50%)", orange },
        { "hsl(-330, 100%, 50%)", orange },
        { "hsl(750deg 100% 50%)", orange },
        { "hsl(30, 200%, 50%)", orange },
        { "hsl(30, -50%, 50%)", { 128, 128, 128 } },
        { "hsl(30, 100%, 150%)", { 255, 255, 255 } },
        { "hsl(30 100 -20)", { 0, 0, 0 } },
        { "hsl(1e400, 100%, 50%)", { 255, 0, 0 } },
    };
    ExpectReads(rows);
}

TEST(ReadColourText, RefusesWhatNamesNoColour)
{
    const std::string refused[] = {
        "", " ", "\r\n", Sjis(u8"\u3000"),
        "#FF80", // six digits cut short; as #RGBA it would be fully transparent
        "#FF8000FF00", "#FF800", "#GG8000", "# FF8000", "##FF8000", "#", "FF80", "F80", "FF8000AB",
        "0xFF8000", "$FF8000",
        "#FF800000", // alpha 0: fully transparent
        "rgba(255, 128, 0, 0)", "rgb(255 128 0 / 0%)", "hsla(30, 100%, 50%, 0)", "transparent",
        "currentcolor", "rgb(1,2)", "rgb(1, 2, 3, 4, 5)", "rgb(1 2)", "rgb(1 2 3 4)",
        "rgb(1 2 3 / )", "rgb()",
        "rgb(255, 128 0)", // mixed comma and space syntax
        "rgb(255 128, 0)", "rgb(255, 128, 0 / 0.5)", "rgb(255 128 0, 0.5)", "rgb(255, 128, 0,)",
        "rgb(,255, 128, 0)",
        "rgb(255, 50%, 0)", // the comma syntax does not mix numbers and percentages
        "rgb(none, 128, 0)", "rgb(255 128 0deg)", "rgb(255 128 0", "rgb 255 128 0)",
        "rgb (255, 128, 0)", "rgb((255, 128, 0))", "rgb(255, 128, 0))", "rgb(255, 128, 0) x",
        "rgb(255., 128, 0)", "rgb(255 128 0px)", "rgb(1-2-3)", "rgb(0x10 0 0)", "rgb(12 3e 0)",
        "argb(255, 128, 0)",
        "hsl(30,100,50)", // the comma syntax requires percentages for s and l
        "hsl(30, 100%, 50)", "hsl(30%, 100%, 50%)", "hsl(30 100% 50deg)", "hsl(30 100% 50% 1)",
        "hsl(30px, 100%, 50%)",
        "256, 0, 0", // a bare triple out of range is refused, not clamped
        "255, 128, -1", "255, 128", "255, 128, 0, 0", "255 128", "255 128 0 0", "255, 128 0",
        "255,,128,0", "255, 128, 0,", "25.5, 128, 0", "+255, 128, 0", "255\n128\n0",
        "#FF8000\n#000000", "red blue",
        "Dark slate grey", // neither the list's spelling nor a CSS name
        "darkslate grey", "goldd", "#FF8000;", "color: #FF8000", std::string("#FF8000\0", 8),
        std::string("#FF80\0"
                    "00",
            8),
        Sjis(u8"＃ＦＦ８０"), Sjis(u8"オレンジ"), Sjis(u8"#FF8000。"),
        "\x82", // a lead byte cut off
        "#FF8000\x82",
        "\xB1", // a half-width katakana
    };
    for (const std::string& text : refused) {
        SCOPED_TRACE("text: [" + text + "]");
        EXPECT_FALSE(ReadColourText(text).has_value());
    }
}

// A mebibyte of text, as a careless copy can put on the clipboard: read at once, nothing kept.
TEST(ReadColourText, HandlesAMebibyteOfText)
{
    const std::size_t mebibyte = 1 << 20;
    const std::string blanks(mebibyte, ' ');
    EXPECT_EQ(ReadColourText(Join({ blanks, "#FF8000", blanks })), orange);
    const std::string refused[] = {
        std::string(mebibyte, 'a'),
        std::string(mebibyte, '('),
        std::string(mebibyte, ')'),
        Join({ "#", std::string(mebibyte, 'F') }),
        Join({ "rgb(", std::string(mebibyte, '1'), ", 0, 0" }),
        Join({ "rgb(", std::string(mebibyte, ','), ")" }),
        Join({ "rgb(1 ", std::string(mebibyte, '/'), ")" }),
        std::string(mebibyte, '1'),
        Join({ "1, ", std::string(mebibyte, '2') }),
        [&] {
            std::string commas;
            for (std::size_t i = 0; i < mebibyte / 2; ++i)
                commas += "1,";
            return commas;
        }(),
        Join({ Sjis(u8"０"), std::string(mebibyte, '0') }),
    };
    for (const std::string& text : refused)
        EXPECT_FALSE(ReadColourText(text).has_value());
    // A number of a mebibyte of digits is a number: clamped like any other.
    EXPECT_EQ(ReadColourText(Join({ "rgb(", std::string(mebibyte, '9'), " 128 0)" })), orange);
    EXPECT_EQ(ReadColourText(Join({ "rgb(0.", std::string(mebibyte, '0'), "1 0 0)" })),
        (Rgb { 0, 0, 0 }));
}

} // namespace
