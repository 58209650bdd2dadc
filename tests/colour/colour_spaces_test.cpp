#include "colour/colour_spaces.h"

#include <cmath>

#include <gtest/gtest.h>

#include "colour/gamut_map.h"

namespace {

// Reference values from colorjs.io 0.7.1, the CSS Color 4 editors' library.
TEST(ColourSpaces, ConvertSrgbRedAsPublished)
{
    const Oklch oklch = OklchOf({ 255, 0, 0 });
    EXPECT_NEAR(oklch.lightness, 0.6279553639214311, 1e-12);
    EXPECT_NEAR(oklch.chroma, 0.2576833038053608, 1e-12);
    EXPECT_NEAR(oklch.hue, 29.23388027962784, 1e-9);
    const LabD50 lab = LabOfXyzD50(XyzD50OfXyzD65(XyzD65OfRgb(RgbSpace::Srgb, { 1, 0, 0 })));
    EXPECT_NEAR(lab.lightness, 54.29054140467191, 1e-9);
    EXPECT_NEAR(lab.a, 80.80492817043522, 1e-9);
    EXPECT_NEAR(lab.b, 69.89096476862429, 1e-9);
}

TEST(ColourSpaces, RoundTripEverySpace)
{
    const Components colour = { 0.25, 0.5, 0.75 };
    for (RgbSpace space : { RgbSpace::Srgb, RgbSpace::SrgbLinear, RgbSpace::DisplayP3,
             RgbSpace::A98Rgb, RgbSpace::ProphotoRgb, RgbSpace::Rec2020 }) {
        SCOPED_TRACE(static_cast<int>(space));
        const Components xyz = XyzD65OfRgb(space, colour);
        const Components lab = XyzD65OfXyzD50(XyzD50OfLab(LabOfLch(LchOfLab(LabOfXyzD50(
            XyzD50OfXyzD65(XyzD65OfOklab(OklabOfOklch(OklchOfOklab(OklabOfXyzD65(xyz))))))))));
        const Components back = RgbOfXyzD65(space, lab);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(back[i], colour[i], 1e-9);
    }
}

TEST(ColourSpaces, GreysHaveNoChromaOrHue)
{
    for (int v : { 0, 1, 128, 255 }) {
        const Oklch oklch = OklchOf({ v, v, v });
        EXPECT_NEAR(oklch.chroma, 0, 1e-6) << v;
        EXPECT_EQ(oklch.hue, 0) << v;
    }
    EXPECT_NEAR(OklchOf({ 255, 255, 255 }).lightness, 1, 1e-12);
}

TEST(GamutMap, ReducesChromaAsCssColor4Does)
{
    const struct
    {
        Oklch colour;
        MappedColour mapped;
    } rows[] = {
        // Inside sRGB: rounded, no note.
        { { 0.6279553639214311, 0.2576833038053608, 29.23388027962784 }, { { 255, 0, 0 }, false } },
        // Far outside: colorjs.io maps oklch(70% 0.4 150) to 0 194 72.
        { { 0.7, 0.4, 150 }, { { 0, 194, 72 }, true } },
        // Lightness at the ends gives white and black whatever the chroma.
        { { 1.0, 0.3, 120 }, { { 255, 255, 255 }, true } },
        { { 0.0, 0.3, 120 }, { { 0, 0, 0 }, true } },
        // A few digits short of sRGB red: within half a step, so no note.
        { { 0.628, 0.2577, 29.23 }, { { 255, 0, 0 }, false } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.colour.chroma);
        EXPECT_EQ(MapOklchToSrgb(row.colour), row.mapped);
    }
}

TEST(GamutMap, MapsWideSpacesLikeTheReference)
{
    const struct
    {
        RgbSpace space;
        Components colour;
        Rgb rgb;
    } rows[] = {
        { RgbSpace::DisplayP3, { 1, 0, 0 }, { 255, 11, 12 } },
        { RgbSpace::Rec2020, { 0, 1, 0 }, { 0, 242, 114 } },
    };
    for (const auto& row : rows) {
        const MappedColour mapped =
            MapSrgbToGamut(RgbOfXyzD65(RgbSpace::Srgb, XyzD65OfRgb(row.space, row.colour)));
        EXPECT_EQ(mapped.rgb, row.rgb);
        EXPECT_TRUE(mapped.outOfGamut);
    }
}

TEST(GamutMap, RoundsHalvesUp)
{
    EXPECT_EQ(EightBitsOf(127.5 / 255), 128);
    EXPECT_EQ(EightBitsOf(127.4999 / 255), 127);
    EXPECT_EQ(EightBitsOf(-0.1), 0);
    EXPECT_EQ(EightBitsOf(1.1), 255);
}

} // namespace

namespace {

// Contrast and nearest names share this linearisation: the threshold 0.04045 (sRGB, WCAG 2.2)
// against WCAG 2.0's 0.03928 changes no 8-bit value, so no contrast ratio changes.
TEST(LinearOf, AgreesWithBothThresholdsAtEightBits)
{
    for (int k = 0; k < 256; ++k) {
        const double c = k / 255.0;
        const double wcag20 = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        EXPECT_DOUBLE_EQ(LinearOf(k), wcag20) << k;
    }
}

} // namespace
