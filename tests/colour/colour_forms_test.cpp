#include "colour/colour_forms.h"

#include <string>

#include <gtest/gtest.h>

#include "colour/colour_text.h"

namespace {

TEST(ColourForms, GivesTheFiveFormsInMenuOrder)
{
    const struct
    {
        Rgb rgb;
        std::array<std::string, 5> forms;
    } rows[] = {
        { { 255, 128, 0 },
            { "#FF8000", "FF8000", "rgb(255, 128, 0)", "hsl(30, 100%, 50%)", "255, 128, 0" } },
        { { 0, 0, 0 }, { "#000000", "000000", "rgb(0, 0, 0)", "hsl(0, 0%, 0%)", "0, 0, 0" } },
        { { 255, 255, 255 },
            { "#FFFFFF", "FFFFFF", "rgb(255, 255, 255)", "hsl(0, 0%, 100%)", "255, 255, 255" } },
        { { 10, 11, 12 },
            { "#0A0B0C", "0A0B0C", "rgb(10, 11, 12)", "hsl(210, 9%, 4%)", "10, 11, 12" } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.forms[0]);
        EXPECT_EQ(ColourForms(row.rgb), row.forms);
    }
}

// Reference values from exact fractions (Python's fractions module) of the usual formulas, rounded
// half up; the halves are where floating point or round-half-even goes wrong.
TEST(HslOf, RoundsHalfUpInWholeDegreesAndPercent)
{
    const struct
    {
        Rgb rgb;
        Hsl hsl;
    } rows[] = {
        { { 255, 128, 0 }, { 30, 100, 50 } }, // hue 30.12
        { { 128, 128, 128 }, { 0, 0, 50 } }, // a grey has hue 0
        { { 1, 0, 0 }, { 0, 100, 0 } }, // lightness 0.196
        { { 254, 255, 255 }, { 180, 100, 100 } }, // lightness 99.8
        { { 0, 200, 5 }, { 122, 100, 39 } }, // hue exactly 121.5
        { { 3, 51, 5 }, { 123, 89, 11 } }, // hue exactly 122.5
        { { 4, 64, 100 }, { 203, 92, 20 } }, // hue exactly 202.5
        { { 3, 3, 77 }, { 240, 93, 16 } }, // saturation exactly 92.5
        { { 3, 64, 77 }, { 191, 93, 16 } },
        { { 121, 1, 2 }, { 0, 98, 24 } }, // hue exactly 359.5: 360 is 0
        { { 255, 0, 1 }, { 0, 100, 50 } }, // hue 359.76
        { { 0, 255, 0 }, { 120, 100, 50 } },
        { { 0, 0, 255 }, { 240, 100, 50 } },
        { { 255, 0, 255 }, { 300, 100, 50 } },
        { { 0x66, 0x33, 0x99 }, { 270, 50, 40 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(ColourForms(row.rgb)[0]);
        EXPECT_EQ(HslOf(row.rgb), row.hsl);
    }
}

// Every form but hsl() holds the colour exactly, so reading a copied form gives the colour back.
TEST(ColourForms, ReadBackAsTheSameColour)
{
    for (int red = 0; red < 256; red += 3) {
        for (int green = 1; green < 256; green += 7) {
            for (int blue = 2; blue < 256; blue += 11) {
                const Rgb rgb { red, green, blue };
                const auto forms = ColourForms(rgb);
                for (int i : { 0, 1, 2, 4 })
                    ASSERT_EQ(ReadColourText(forms[i]), rgb) << forms[i];
                // hsl() in whole numbers is off by at most a few units per component.
                const auto back = ReadColourText(forms[3]);
                ASSERT_TRUE(back.has_value()) << forms[3];
                ASSERT_LE(std::abs(back->red - red) + std::abs(back->green - green)
                        + std::abs(back->blue - blue),
                    12)
                    << forms[3];
            }
        }
    }
}

} // namespace
