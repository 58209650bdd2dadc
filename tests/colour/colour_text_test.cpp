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

// CSS names win in any case, as CSS text pasted in means them (this reverses the earlier rule
// that the list's spelling won); the list's names CSS lacks still read, as listed.
TEST(ReadColourText, ReadsCssNamesFirstThenTheList)
{
    const Row rows[] = {
        { "gold", { 0xFF, 0xD7, 0x00 } }, // CSS gold; the list's gold is CC7F32
        { "grey", { 0x80, 0x80, 0x80 } }, // the list's grey is C0C0C0
        { "green", { 0x00, 0x80, 0x00 } }, // the list's green is 00FF00
        { "orange", { 0xFF, 0xA5, 0x00 } },
        { "dark slate grey", { 0x2F, 0x4F, 0x4F } }, // not a CSS name (CSS writes it in one word)
        { "madium aquamarine", { 0x32, 0xCC, 0x99 } }, // listed spelling
        { "mediumgoldenrod", { 0xEA, 0xEA, 0xAD } }, // the list's, CSS has no such name
        { "Gold", { 0xFF, 0xD7, 0x00 } },
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
        bool css = false;
        for (const CssNamedColor& named : CssNamedColors)
            css = css || named.name == entry.name;
        if (!css) {
            EXPECT_EQ(*rgb, ReadColourText(entry.hex));
        }
    }
    for (const CssNamedColor& entry : CssNamedColors) {
        SCOPED_TRACE(std::string(entry.name));
        const auto rgb = ReadColourText(entry.name);
        ASSERT_TRUE(rgb.has_value());
        EXPECT_EQ(*rgb, ReadColourText(entry.hex));
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
        { "  gold\n", { 0xFF, 0xD7, 0x00 } },
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
        { Sjis(u8"ｇｏｌｄ"), { 0xFF, 0xD7, 0x00 } },
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
        "#FF8000FF00", "#FF800", "#GG8000", "# FF8000", "##FF8000", "#", "FF80", "F80", "$FF8000",
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
        "rgb(255., 128, 0)", "rgb(255 128 0px)", "rgb(0x10 0 0)", "rgb(12 3e 0)",
        "argb(255, 128, 0)",
        "hsl(30,100,50)", // the comma syntax requires percentages for s and l
        "hsl(30, 100%, 50)", "hsl(30%, 100%, 50%)", "hsl(30 100% 50deg)", "hsl(30 100% 50% 1)",
        "hsl(30px, 100%, 50%)",
        "256, 0, 0", // a bare triple out of range is refused, not clamped
        "255, 128, -1", "255, 128", "255, 128, 0, 0", "255 128", "255 128 0 0", "255, 128 0",
        "255,,128,0", "255, 128, 0,", "25.5, 128, 0", "+255, 128, 0", "255\n128\n0",
        "#FF8000\n#000000", "red blue",
        "Dark slate grey", // neither the list's spelling nor a CSS name
        "darkslate grey", "goldd", std::string("#FF8000\0", 8),
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

namespace {

// What people copy from style sheets, design tools and code.
TEST(ReadColour, ReadsWhatIsCopiedAroundAColour)
{
    const Row rows[] = {
        { "1e90ffff", { 0x1E, 0x90, 0xFF } }, // eight digits without "#"
        { "0x1E90FF", { 0x1E, 0x90, 0xFF } },
        { "0X1e90ff", { 0x1E, 0x90, 0xFF } },
        { "\"#1E90FF\"", { 0x1E, 0x90, 0xFF } },
        { "'rgb(30 144 255)'", { 0x1E, 0x90, 0xFF } },
        { "#1E90FF;", { 0x1E, 0x90, 0xFF } },
        { "color: #1E90FF;", { 0x1E, 0x90, 0xFF } },
        { "  color:#1E90FF ; ", { 0x1E, 0x90, 0xFF } },
        { "--brand: oklch(62% 0.19 255)", { 29, 132, 245 } }, // as colorjs.io maps it
        { "background-color: rgb(30, 144, 255) !important;", { 0x1E, 0x90, 0xFF } },
        { "border-color: dodgerblue ! IMPORTANT", { 0x1E, 0x90, 0xFF } },
        { "fill: \"green\";", { 0x00, 0x80, 0x00 } },
        { Sjis(u8"ｃｏｌｏｒ：＃１Ｅ９０ＦＦ；"), { 0x1E, 0x90, 0xFF } },
    };
    ExpectReads(rows);
}

// No-break spaces, zero-width spaces and byte-order marks are blanks wherever they stand.
TEST(ReadColour, TakesInvisibleSpacesForBlanks)
{
    const Row rows[] = {
        { ColourTextOfUtf8("\xEF\xBB\xBF#1E90FF"), { 0x1E, 0x90, 0xFF } },
        { ColourTextOfUtf8("\xC2\xA0rgb(30\xC2\xA0"
                           "144\xE2\x80\x8B 255)\xC2\xA0"),
            { 0x1E, 0x90, 0xFF } },
        { ColourTextOfUtf8("color:\xE2\x80\xAF#1E90FF\xE2\x81\xA0;"), { 0x1E, 0x90, 0xFF } },
        { ColourTextOfUtf8(
              "\xE3\x80\x80\xEF\xBD\x87\xEF\xBD\x8F\xEF\xBD\x8C\xEF\xBD\x84\xE2\x80\x8D"),
            { 0xFF, 0xD7, 0x00 } },
    };
    ExpectReads(rows);
    // Between the digits of one value a blank splits it.
    EXPECT_FALSE(ReadColourText(ColourTextOfUtf8("#1E90\xE2\x80\x8B"
                                                 "FF"))
                     .has_value());
}

// Where the earlier reading departed from CSS Color 4.
TEST(ReadColour, FollowsCssColor4WhereTheEarlierReadingDid)
{
    const Row rows[] = {
        { "rgb(49.99999999% 0 0)", { 127, 0, 0 } }, // no nudge across the rounding boundary
        { "rgb(50% 0 0)", { 128, 0, 0 } },
        { "hsl(0 0% 30%)", { 77, 77, 77 } }, // 76.5 exactly, rounded up
        { "hsl(0 200% 25%)", { 191, 0, 0 } }, // saturation above 100% is not clamped
        { "hwb(320deg 30% 40%)", { 153, 77, 128 } }, // blue 127.5 exactly
        { "hsl(1e400, 100%, 50%)", { 255, 0, 0 } }, // an infinite hue is 0
        { "rgb(1-2-3)", { 1, 0, 0 } }, // three numbers, as CSS cuts the text
    };
    ExpectReads(rows);
    for (const char* text : { "rgb(1,2,3,none)", "rgb(none,2,3)", "hsl(none, 50%, 50%)" })
        EXPECT_FALSE(ReadColourText(text).has_value()) << text;
}

TEST(ReadColour, SaysWhenAColourLiesOutsideSrgb)
{
    const struct
    {
        const char* text;
        Rgb rgb;
        bool outOfGamut;
    } rows[] = {
        { "color(display-p3 1 0 0)", { 255, 11, 12 }, true },
        { "oklch(70% 0.4 150)", { 0, 194, 72 }, true },
        { "lab(50% 100 -100)", { 189, 45, 255 }, true },
        { "color(srgb 1 0.5 0)", { 255, 128, 0 }, false },
        { "oklch(62.8% 0.2577 29.23)", { 255, 0, 0 }, false }, // sRGB red written short
        { "rgb(300 0 0)", { 255, 0, 0 }, false }, // rgb() clamps, as CSS does
    };
    for (const auto& row : rows) {
        const ColourReading reading = ReadColour(row.text);
        ASSERT_TRUE(reading.rgb.has_value()) << row.text;
        EXPECT_EQ(*reading.rgb, row.rgb) << row.text;
        EXPECT_EQ(reading.outOfGamut, row.outOfGamut) << row.text;
    }
}

// A refusal says what was expected, by what the text looked like.
TEST(ReadColour, SaysWhatWasExpected)
{
    const struct
    {
        std::string text;
        const char8_t* expected;
    } rows[] = {
        { "", u8"色が書かれていません。" },
        { "#12", u8"16進数の色は #FF8000 のように3、4、6、8桁で書いてください。" },
        { "transparent",
            u8"完全に透明な色（透明度100%）は表示できません。" },
        { "rgb(0 0 0 / none)",
            u8"完全に透明な色（透明度100%）は表示できません。" },
        { "border: 1px solid red", u8"色を一つだけ書いてください（例: color: #1E90FF;）。" },
        { "#FF8000 #000000", u8"色を一つだけ書いてください（例: color: #1E90FF;）。" },
        { "256, 0, 0",
            u8"数を三つ並べるときは、それぞれ0〜255で書いてください（例: 255, 128, 0）。" },
        { "var(--brand)",
            u8"calc() や var() など、スタイルシートの中でしか決まらない値は読み取れません。" },
        { "oklch(70% 0.1)",
            u8"oklch() には明度・彩度・色相を書いてください（例: oklch(70% 0.1 200)）。" },
        { "color(cmyk 1 0 0)",
            u8"color() には色空間の名前（srgb、display-p3 など）と値を三つ書いてください"
            u8"（例: color(display-p3 1 0.5 0)）。" },
        { Sjis(u8"オレンジ"), u8"色の書き方に使えない文字が含まれています。" },
    };
    for (const auto& row : rows) {
        const ColourReading reading = ReadColour(row.text);
        EXPECT_FALSE(reading.rgb.has_value()) << row.text;
        EXPECT_EQ(reading.expected, Sjis(row.expected)) << row.text;
    }
}

TEST(QuotedColourText, QuotesTrimmedAndCut)
{
    EXPECT_EQ(QuotedColourText("  #12\n"), Sjis(u8"「#12」"));
    EXPECT_EQ(QuotedColourText("a\x01"
                               "b"),
        Sjis(u8"「a?b」"));
    EXPECT_EQ(QuotedColourText(std::string(41, 'x')),
        Sjis(u8"「") + std::string(40, 'x') + Sjis(u8"…」"));
    // A double-byte character counts as one and is never split.
    EXPECT_EQ(QuotedColourText(std::string(39, 'x') + Sjis(u8"色色")),
        Sjis(u8"「") + std::string(39, 'x') + Sjis(u8"色…」"));
}

} // namespace
