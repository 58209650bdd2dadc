#include "colour/nearest_colour.h"

#include <string>

#include <gtest/gtest.h>

#include "colour/conversions.h"
#include "colour/css_named_colors.h"
#include "colour/named_colors.h"

namespace {

// The 34 test pairs published with the implementation notes of Sharma, Wu and Dalal (2005),
// with their CIEDE2000 difference to four decimals. They cover the hue rotation term, the mean
// hue and hue difference across 0 and 180 degrees, neutral colours and the lightness weighting.
TEST(Ciede2000, MatchesThePublishedTestPairs)
{
    const struct
    {
        Lab first;
        Lab second;
        double difference;
    } pairs[] = {
        { { 50.0000, 2.6772, -79.7751 }, { 50.0000, 0.0000, -82.7485 }, 2.0425 },
        { { 50.0000, 3.1571, -77.2803 }, { 50.0000, 0.0000, -82.7485 }, 2.8615 },
        { { 50.0000, 2.8361, -74.0200 }, { 50.0000, 0.0000, -82.7485 }, 3.4412 },
        { { 50.0000, -1.3802, -84.2814 }, { 50.0000, 0.0000, -82.7485 }, 1.0000 },
        { { 50.0000, -1.1848, -84.8006 }, { 50.0000, 0.0000, -82.7485 }, 1.0000 },
        { { 50.0000, -0.9009, -85.5211 }, { 50.0000, 0.0000, -82.7485 }, 1.0000 },
        { { 50.0000, 0.0000, 0.0000 }, { 50.0000, -1.0000, 2.0000 }, 2.3669 },
        { { 50.0000, -1.0000, 2.0000 }, { 50.0000, 0.0000, 0.0000 }, 2.3669 },
        { { 50.0000, 2.4900, -0.0010 }, { 50.0000, -2.4900, 0.0009 }, 7.1792 },
        { { 50.0000, 2.4900, -0.0010 }, { 50.0000, -2.4900, 0.0010 }, 7.1792 },
        { { 50.0000, 2.4900, -0.0010 }, { 50.0000, -2.4900, 0.0011 }, 7.2195 },
        { { 50.0000, 2.4900, -0.0010 }, { 50.0000, -2.4900, 0.0012 }, 7.2195 },
        { { 50.0000, -0.0010, 2.4900 }, { 50.0000, 0.0009, -2.4900 }, 4.8045 },
        { { 50.0000, -0.0010, 2.4900 }, { 50.0000, 0.0010, -2.4900 }, 4.8045 },
        { { 50.0000, -0.0010, 2.4900 }, { 50.0000, 0.0011, -2.4900 }, 4.7461 },
        { { 50.0000, 2.5000, 0.0000 }, { 50.0000, 0.0000, -2.5000 }, 4.3065 },
        { { 50.0000, 2.5000, 0.0000 }, { 73.0000, 25.0000, -18.0000 }, 27.1492 },
        { { 50.0000, 2.5000, 0.0000 }, { 61.0000, -5.0000, 29.0000 }, 22.8977 },
        { { 50.0000, 2.5000, 0.0000 }, { 56.0000, -27.0000, -3.0000 }, 31.9030 },
        { { 50.0000, 2.5000, 0.0000 }, { 58.0000, 24.0000, 15.0000 }, 19.4535 },
        { { 50.0000, 2.5000, 0.0000 }, { 50.0000, 3.1736, 0.5854 }, 1.0000 },
        { { 50.0000, 2.5000, 0.0000 }, { 50.0000, 3.2972, 0.0000 }, 1.0000 },
        { { 50.0000, 2.5000, 0.0000 }, { 50.0000, 1.8634, 0.5757 }, 1.0000 },
        { { 50.0000, 2.5000, 0.0000 }, { 50.0000, 3.2592, 0.3350 }, 1.0000 },
        { { 60.2574, -34.0099, 36.2677 }, { 60.4626, -34.1751, 39.4387 }, 1.2644 },
        { { 63.0109, -31.0961, -5.8663 }, { 62.8187, -29.7946, -4.0864 }, 1.2630 },
        { { 61.2901, 3.7196, -5.3901 }, { 61.4292, 2.2480, -4.9620 }, 1.8731 },
        { { 35.0831, -44.1164, 3.7933 }, { 35.0232, -40.0716, 1.5901 }, 1.8645 },
        { { 22.7233, 20.0904, -46.6940 }, { 23.0331, 14.9730, -42.5619 }, 2.0373 },
        { { 36.4612, 47.8580, 18.3852 }, { 36.2715, 50.5065, 21.2231 }, 1.4146 },
        { { 90.8027, -2.0831, 1.4410 }, { 91.1528, -1.6435, 0.0447 }, 1.4441 },
        { { 90.9257, -0.5406, -0.9208 }, { 88.6381, -0.8985, -0.7239 }, 1.5381 },
        { { 6.7747, -0.2908, -2.4247 }, { 5.8714, -0.0985, -2.2286 }, 0.6377 },
        { { 2.0776, 0.0795, -1.1350 }, { 0.9033, -0.0636, -0.5514 }, 0.9082 },
    };
    int number = 0;
    for (const auto& pair : pairs) {
        SCOPED_TRACE(++number);
        EXPECT_NEAR(Ciede2000(pair.first, pair.second), pair.difference, 0.00005);
        EXPECT_NEAR(Ciede2000(pair.second, pair.first), pair.difference, 0.00005);
    }
    EXPECT_EQ(Ciede2000({ 50, 2.5, 0 }, { 50, 2.5, 0 }), 0.0);
}

// References computed separately with python3 from the same definitions (sRGB curve, sRGB
// matrix, white as the matrix's row sums).
TEST(LabOf, ConvertsSrgbUnderD65)
{
    const struct
    {
        Rgb rgb;
        Lab lab;
    } rows[] = {
        { { 255, 255, 255 }, { 100, 0, 0 } },
        { { 0, 0, 0 }, { 0, 0, 0 } },
        { { 128, 128, 128 }, { 53.5850, 0, 0 } },
        { { 1, 1, 1 }, { 0.2742, 0, 0 } }, // on the linear part of both curves
        { { 255, 0, 0 }, { 53.2329, 80.1053, 67.2228 } },
        { { 0, 255, 0 }, { 87.7370, -86.1884, 83.1861 } },
        { { 0, 0, 255 }, { 32.3026, 79.1936, -107.8537 } },
        { { 255, 128, 0 }, { 67.0501, 42.8282, 74.0296 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(ColorToHex(ColorOf(row.rgb)));
        const Lab lab = LabOf(row.rgb);
        EXPECT_NEAR(lab.lightness, row.lab.lightness, 0.0001);
        EXPECT_NEAR(lab.a, row.lab.a, 0.0001);
        EXPECT_NEAR(lab.b, row.lab.b, 0.0001);
    }
}

Rgb RgbOfCode(std::string_view hex)
{
    return RgbOf(HexToColor(std::string(hex)));
}

// Every entry is nearest to itself, or to the first entry of the same code.
TEST(NearestColour, FindsEachTableColourItself)
{
    for (std::size_t i = 0; i < NamedColorTable.size(); ++i) {
        SCOPED_TRACE(std::string(NamedColorTable[i].name));
        const std::size_t found = NearestNamedColor(RgbOfCode(NamedColorTable[i].hex));
        EXPECT_EQ(NamedColorTable[found].hex, NamedColorTable[i].hex);
        EXPECT_LE(found, i);
    }
    for (std::size_t i = 0; i < CssNamedColors.size(); ++i) {
        SCOPED_TRACE(std::string(CssNamedColors[i].name));
        const std::size_t found = NearestCssColor(RgbOfCode(CssNamedColors[i].hex));
        EXPECT_EQ(CssNamedColors[found].hex, CssNamedColors[i].hex);
        EXPECT_LE(found, i);
    }
}

// Expected names from a separate python3 implementation of the same definitions run over both
// tables.
TEST(NearestColour, FindsTheClosestAndTheFirstOnATie)
{
    const struct
    {
        Rgb rgb;
        std::string_view listName;
        std::string_view cssName;
    } rows[] = {
        { { 0, 255, 255 }, "medium turquise", "aqua" }, // CSS: aqua and cyan tie, aqua is first
        { { 128, 128, 128 }, "light grey", "gray" }, // gray before grey
        { { 254, 1, 0 }, "red", "red" },
        { { 255, 255, 255 }, "white", "white" }, // the list's white is FCFCFC
        { { 250, 250, 250 }, "white", "white" },
        { { 255, 128, 0 }, "gold", "darkorange" },
        { { 255, 140, 0 }, "orange", "darkorange" },
        { { 0x66, 0x33, 0x99 }, "dark slate blue", "rebeccapurple" },
        { { 0, 128, 128 }, "cadet blue", "teal" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(ColorToHex(ColorOf(row.rgb)));
        EXPECT_EQ(NamedColorTable[NearestNamedColor(row.rgb)].name, row.listName);
        EXPECT_EQ(CssNamedColors[NearestCssColor(row.rgb)].name, row.cssName);
    }
}

} // namespace
