#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "colour/colour_text.h"
#include "tests/colour/css_color_reference_tables.h"

namespace {

// Where the reader departs from a web-platform-tests case on purpose.
struct Departure
{
    std::string_view input;
    const char* why;
};

constexpr Departure departures[] = {
    // A colour whose text lies 2.55e-6 below an exact half: the stored test expects the
    // single-precision rounding of browsers; the reader rounds the exact value, as
    // rgb(49.99999999% 0 0) must give 127.
    { "hsl(0 0% 49.999999%)", "exact rounding" },
    // Stored test older than CSS Color 4's current text, which allows percentages in the XYZ
    // spaces (100% is 1).
    { "color(xyz 0% 0 0)", "percentages in xyz" },
    { "color(xyz-d50 0% 0 0)", "percentages in xyz" },
    { "color(xyz-d65 0% 0 0)", "percentages in xyz" },
};

const char* DepartureOf(std::string_view input)
{
    for (const Departure& departure : departures) {
        if (departure.input == input)
            return departure.why;
    }
    return nullptr;
}

// The web platform's own cases: each valid one gives the 8-bit colour its expected value gives
// after gamut mapping (colorjs.io worked that out), a fully transparent one is refused like
// "transparent", an invalid one is refused.
TEST(CssColorReference, ReadsTheWebPlatformCases)
{
    int read = 0, transparent = 0, refused = 0, departed = 0;
    for (const WptCase& row : wptCases) {
        SCOPED_TRACE(row.input);
        const ColourReading reading = ReadColour(row.input);
        if (DepartureOf(row.input)) {
            ++departed;
            continue;
        }
        if (row.refused || row.transparent) {
            EXPECT_FALSE(reading.rgb.has_value());
            ++(row.refused ? refused : transparent);
            continue;
        }
        ASSERT_TRUE(reading.rgb.has_value()) << reading.expected;
        EXPECT_EQ(*reading.rgb, (Rgb { row.red, row.green, row.blue }));
        ++read;
    }
    // The counts a change to the table or the reader should be seen to move.
    EXPECT_EQ(read + transparent + refused + departed, static_cast<int>(std::size(wptCases)));
    EXPECT_EQ(departed, 4);
}

TEST(CssColorReference, DepartsOnlyWhereMeant)
{
    EXPECT_EQ(ReadColourText("hsl(0 0% 49.999999%)"), (Rgb { 127, 127, 127 }));
    EXPECT_EQ(ReadColourText("color(xyz 0% 0 0)"), (Rgb { 0, 0, 0 }));
    EXPECT_EQ(ReadColourText("color(xyz 95.05% 100% 108.9%)"), (Rgb { 255, 255, 255 }));
}

// Random colours in every notation, within and outside sRGB, as colorjs.io maps them. A channel
// may differ by one where the two computations fall on either side of a half.
TEST(CssColorReference, MapsLikeTheEditorsLibrary)
{
    int exact = 0;
    for (const ColorjsCase& row : colorjsCases) {
        SCOPED_TRACE(row.input);
        const ColourReading reading = ReadColour(row.input);
        ASSERT_TRUE(reading.rgb.has_value()) << reading.expected;
        EXPECT_NEAR(reading.rgb->red, row.red, 1);
        EXPECT_NEAR(reading.rgb->green, row.green, 1);
        EXPECT_NEAR(reading.rgb->blue, row.blue, 1);
        EXPECT_EQ(reading.outOfGamut, row.outOfGamut);
        exact += *reading.rgb == Rgb { row.red, row.green, row.blue };
    }
    // Off-by-one channels are rare, not the rule.
    EXPECT_GE(exact, static_cast<int>(std::size(colorjsCases)) * 99 / 100);
}

} // namespace
