#include "colour/colour_vision.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include <gtest/gtest.h>

#include "colour/colour_vision_p.h"
#include "colour/contrast.h"

namespace {

void ExpectMatrix(const VisionMatrix& actual, const VisionMatrix& expected)
{
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-5) << "element " << i;
    }
}

// The matrices the DaltonLens reference (libDaltonLens.c) ships precomputed, to five decimals:
// the same method and cone model must lead to them.
TEST(ColourVision, ProjectionsMatchTheReferencesPrecomputedMatrices)
{
    {
        SCOPED_TRACE("protan, Vienot 1999");
        ExpectMatrix(VienotMatrix(VisionKind::Protan),
            { 0.11238, 0.88762, 0.00000, 0.11238, 0.88762, 0.00000, 0.00401, -0.00401, 1.00000 });
    }
    {
        SCOPED_TRACE("deutan, Vienot 1999");
        ExpectMatrix(VienotMatrix(VisionKind::Deutan),
            { 0.29275, 0.70725, 0.00000, 0.29275, 0.70725, 0.00000, -0.02234, 0.02234, 1.00000 });
    }
    SCOPED_TRACE("tritan, Brettel 1997");
    const BrettelProjection tritan = BrettelTritanProjection();
    ExpectMatrix(tritan.first,
        { 1.01277, 0.13548, -0.14826, -0.01243, 0.86812, 0.14431, 0.07589, 0.80500, 0.11911 });
    ExpectMatrix(tritan.second,
        { 0.93678, 0.18979, -0.12657, 0.06154, 0.81526, 0.12320, -0.37562, 1.12767, 0.24796 });
    EXPECT_NEAR(tritan.separation[0], 0.03901, 1e-5);
    EXPECT_NEAR(tritan.separation[1], -0.02788, 1e-5);
    EXPECT_NEAR(tritan.separation[2], -0.01113, 1e-5);
}

double Linear(double component)
{
    const double c = component / 255;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

struct ReferenceRow
{
    TColor colour; // 0xRRGGBB
    VisionKind kind;
    double severity; // 10: Machado's row 1.0
    std::array<double, 3> seen;
};

const ReferenceRow ReferenceRows[] = {
#include "tests/colour/colour_vision_reference.inc"
};

Rgb RgbOfCode(TColor code)
{
    return { static_cast<int>(code >> 16 & 0xFF), static_cast<int>(code >> 8 & 0xFF),
        static_cast<int>(code & 0xFF) };
}

// The reference's own results for a set of colours (see make_colour_vision_reference.py): the
// dichromacies at severity 1, Machado 2009's table at each of its rows 0.1 to 0.9, and its row
// 1.0 through severity 0.95, halfway (in linear light) between the rows 0.9 and 1.0.
TEST(ColourVision, MatchesTheReferenceImplementation)
{
    for (const ReferenceRow& row : ReferenceRows) {
        const Rgb rgb = RgbOfCode(row.colour);
        SCOPED_TRACE(testing::Message() << std::hex << row.colour << std::dec << " kind "
                                        << static_cast<int>(row.kind) << " at " << row.severity);
        if (row.severity > 1) {
            const auto nine = std::find_if(std::begin(ReferenceRows), std::end(ReferenceRows),
                [&row](const ReferenceRow& other) {
                    return other.colour == row.colour && other.kind == row.kind
                        && other.severity == 0.9;
                });
            ASSERT_NE(nine, std::end(ReferenceRows));
            const std::array<double, 3> seen = SimulateVisionUnrounded(rgb, row.kind, 0.95);
            for (int i = 0; i < 3; ++i) {
                const bool clipped = std::min(row.seen[i], nine->seen[i]) <= 0
                    || std::max(row.seen[i], nine->seen[i]) >= 255;
                if (!clipped) {
                    EXPECT_NEAR(
                        Linear(seen[i]), (Linear(row.seen[i]) + Linear(nine->seen[i])) / 2, 2e-5)
                        << "component " << i;
                }
            }
            continue;
        }
        const std::array<double, 3> seen = SimulateVisionUnrounded(rgb, row.kind, row.severity);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(seen[i], row.seen[i], 0.005) << "component " << i;
        }
        const Rgb rounded = SimulateVision(rgb, row.kind, row.severity);
        EXPECT_EQ(rounded.red, std::lround(seen[0]));
        EXPECT_EQ(rounded.blue, std::lround(seen[2]));
    }
}

// Between two rows of the table the matrix is their linear interpolation, so in linear light
// the colour seen at 0.25 lies halfway between those seen at 0.2 and 0.3 (for colours that stay
// within the display's range), and at 0.97 seven tenths of the way from 0.9 to 1.0 of Machado's
// table (not the dichromacy simulation, which only severity 1 uses).
TEST(ColourVision, SeveritiesBetweenRowsInterpolateTheTable)
{
    const Rgb colours[] = { { 51, 102, 153 }, { 153, 204, 51 }, { 200, 120, 90 } };
    for (const VisionKind kind : { VisionKind::Protan, VisionKind::Deutan, VisionKind::Tritan }) {
        for (const Rgb& colour : colours) {
            SCOPED_TRACE(testing::Message()
                << "kind " << static_cast<int>(kind) << " colour " << colour.red << ","
                << colour.green << "," << colour.blue);
            const auto low = SimulateVisionUnrounded(colour, kind, 0.2);
            const auto mid = SimulateVisionUnrounded(colour, kind, 0.25);
            const auto high = SimulateVisionUnrounded(colour, kind, 0.3);
            const auto nine = SimulateVisionUnrounded(colour, kind, 0.9);
            const auto near = SimulateVisionUnrounded(colour, kind, 0.97);
            const auto almost = SimulateVisionUnrounded(colour, kind, 0.999999);
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(Linear(mid[i]), (Linear(low[i]) + Linear(high[i])) / 2, 1e-9);
                // 0.999999 is Machado's row 1.0 to within a millionth.
                EXPECT_NEAR(Linear(near[i]),
                    Linear(nine[i]) + (Linear(almost[i]) - Linear(nine[i])) * 0.7, 1e-5);
            }
        }
    }
}

TEST(ColourVision, AchromaIsTheRelativeLuminanceAsGrey)
{
    const Rgb colours[] = { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 }, { 255, 128, 0 },
        { 0x77, 0x77, 0x77 }, { 224, 176, 255 }, { 1, 2, 3 } };
    for (const Rgb& colour : colours) {
        SCOPED_TRACE(testing::Message() << colour.red << "," << colour.green << "," << colour.blue);
        const Rgb grey = SimulateVision(colour, VisionKind::Achroma);
        EXPECT_EQ(grey.red, grey.green);
        EXPECT_EQ(grey.green, grey.blue);
        // Rounding to 8 bits moves the luminance by at most half a step of the grey.
        EXPECT_LT(ContrastRatio(grey, colour), 1.02);
    }
    // WCAG's luminance of pure red, 0.2126, is sRGB 127.1 as a grey.
    EXPECT_EQ(SimulateVision({ 255, 0, 0 }, VisionKind::Achroma), (Rgb { 127, 127, 127 }));
    EXPECT_EQ(SimulateVision({ 0, 0, 255 }, VisionKind::Achroma), (Rgb { 76, 76, 76 }));
}

TEST(ColourVision, SeverityZeroAndOutOfRange)
{
    const Rgb orange { 255, 128, 0 };
    for (const VisionKind kind :
        { VisionKind::Protan, VisionKind::Deutan, VisionKind::Tritan, VisionKind::Achroma }) {
        SCOPED_TRACE(static_cast<int>(kind));
        EXPECT_EQ(SimulateVision(orange, kind, 0), orange);
        EXPECT_EQ(SimulateVision(orange, kind, -3), orange);
        EXPECT_EQ(SimulateVision(orange, kind, 7), SimulateVision(orange, kind, 1));
        EXPECT_EQ(SimulateVision(orange, kind, NAN), SimulateVision(orange, kind, 1));
    }
}

} // namespace
