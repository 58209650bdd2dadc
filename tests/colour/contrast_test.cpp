#include "colour/contrast.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr Rgb white { 255, 255, 255 };
constexpr Rgb black { 0, 0, 0 };

// References computed separately with python3 from WCAG 2's definitions of relative luminance
// (threshold 0.03928) and contrast ratio. The greys sit on either side of the 3, 4.5 and 7 marks.
TEST(ContrastRatio, MatchesTheDefinitions)
{
    const struct
    {
        Rgb rgb;
        double luminance;
        double onWhite;
        double onBlack;
    } rows[] = {
        { white, 1.0, 1.0, 21.0 },
        { black, 0.0, 21.0, 1.0 },
        { { 255, 128, 0 }, 0.36698343, 2.518086, 8.339669 },
        { { 255, 0, 0 }, 0.2126, 3.998477, 5.252000 },
        { { 0, 0, 255 }, 0.0722, 8.592471, 2.444000 },
        { { 0, 128, 0 }, 0.15438343, 5.137403, 4.087669 },
        { { 0x77, 0x77, 0x77 }, 0.18447499, 4.478089, 4.689500 },
        { { 0x76, 0x76, 0x76 }, 0.18116424, 4.542225, 4.623285 },
        { { 0x59, 0x59, 0x59 }, 0.09989873, 7.004729, 2.997975 },
        { { 0x5A, 0x5A, 0x5A }, 0.10224173, 6.896926, 3.044835 },
        { { 0x94, 0x94, 0x94 }, 0.29613827, 3.033470, 6.922765 },
        { { 0x95, 0x95, 0x95 }, 0.30054379, 2.995346, 7.010876 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(
            testing::Message() << row.rgb.red << ", " << row.rgb.green << ", " << row.rgb.blue);
        EXPECT_NEAR(RelativeLuminance(row.rgb), row.luminance, 1e-8);
        EXPECT_NEAR(ContrastRatio(row.rgb, white), row.onWhite, 1e-6);
        EXPECT_NEAR(ContrastRatio(white, row.rgb), row.onWhite, 1e-6);
        EXPECT_NEAR(ContrastRatio(row.rgb, black), row.onBlack, 1e-6);
    }
}

TEST(LevelsOf, ComparesTheUnroundedRatio)
{
    const struct
    {
        double ratio;
        bool aa, aaLarge, aaa;
    } rows[] = {
        { 1.0, false, false, false },
        { 2.9999, false, false, false },
        { 3.0, false, true, false },
        { 4.4999, false, true, false }, // shown as 4.50, still not AA
        { 4.5, true, true, false },
        { 6.9999, true, true, false },
        { 7.0, true, true, true },
        { 21.0, true, true, true },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ratio);
        const ContrastLevels levels = LevelsOf(row.ratio);
        EXPECT_EQ(levels.aa, row.aa);
        EXPECT_EQ(levels.aaLarge, row.aaLarge);
        EXPECT_EQ(levels.aaa, row.aaa);
    }
    // Grey 777777 on white is 4.478: fails AA although it is close.
    EXPECT_FALSE(LevelsOf(ContrastRatio({ 0x77, 0x77, 0x77 }, white)).aa);
    EXPECT_TRUE(LevelsOf(ContrastRatio({ 0x76, 0x76, 0x76 }, white)).aa);
}

} // namespace

// Pairs on each side of every threshold, judged on the exact ratio and shown cut to two
// decimals: 777777 on white is 4.478, shown 4.47 (rounding would give 4.48), and fails AA.
TEST(ContrastLevel, PairsOnEachSideOfEveryThreshold)
{
    using L = ContrastLevel;
    const struct
    {
        Rgb first;
        Rgb second;
        const char* shown;
        std::vector<ContrastLevel> passed;
    } rows[] = {
        { { 0x76, 0x76, 0x76 }, white, "4.54:1",
            { L::NormalAA, L::LargeAA, L::LargeAAA, L::NonText } },
        { { 0x77, 0x77, 0x77 }, white, "4.47:1", { L::LargeAA, L::NonText } },
        { { 0x59, 0x59, 0x59 }, white, "7.00:1",
            { L::NormalAA, L::NormalAAA, L::LargeAA, L::LargeAAA, L::NonText } },
        { { 0x5A, 0x5A, 0x5A }, white, "6.89:1",
            { L::NormalAA, L::LargeAA, L::LargeAAA, L::NonText } },
        { { 0x95, 0x95, 0x95 }, black, "7.01:1",
            { L::NormalAA, L::NormalAAA, L::LargeAA, L::LargeAAA, L::NonText } },
        { { 0x94, 0x94, 0x94 }, white, "3.03:1", { L::LargeAA, L::NonText } },
        { { 0x95, 0x95, 0x95 }, white, "2.99:1", {} },
        { { 0x5A, 0x5A, 0x5A }, black, "3.04:1", { L::LargeAA, L::NonText } },
        { { 0x59, 0x59, 0x59 }, black, "2.99:1", {} },
        { black, white, "21.00:1",
            { L::NormalAA, L::NormalAAA, L::LargeAA, L::LargeAAA, L::NonText } },
        { white, white, "1.00:1", {} },
    };
    for (const auto& row : rows) {
        const double ratio = ContrastRatio(row.first, row.second);
        SCOPED_TRACE(row.shown);
        EXPECT_EQ(RatioText(ratio), row.shown);
        for (const ContrastLevel level : AllContrastLevels) {
            const bool expected =
                std::find(row.passed.begin(), row.passed.end(), level) != row.passed.end();
            EXPECT_EQ(Passes(ratio, level), expected) << ContrastLevelName(level);
        }
    }
}

TEST(ContrastLevel, ThresholdsAndTheirEdges)
{
    using L = ContrastLevel;
    const struct
    {
        ContrastLevel level;
        double threshold;
    } rows[] = {
        { L::NormalAA, 4.5 },
        { L::NormalAAA, 7.0 },
        { L::LargeAA, 3.0 },
        { L::LargeAAA, 4.5 },
        { L::NonText, 3.0 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.threshold);
        EXPECT_EQ(ThresholdOf(row.level), row.threshold);
        EXPECT_TRUE(Passes(row.threshold, row.level));
        EXPECT_FALSE(Passes(std::nextafter(row.threshold, 0.0), row.level));
    }
}

TEST(RatioText, CutsToTwoDecimals)
{
    const struct
    {
        double ratio;
        const char* text;
    } rows[] = {
        { 4.4999, "4.49:1" }, // never shown as the 4.50 it does not reach
        { 4.5, "4.50:1" },
        { 4.5 - 1e-12, "4.50:1" }, // the ratio's own rounding error is not a hundredth
        { 2.999999, "2.99:1" },
        { 6.9999999, "6.99:1" },
        { 1.0, "1.00:1" },
        { 10.05, "10.05:1" },
        { 21.0, "21.00:1" },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RatioText(row.ratio), row.text) << row.ratio;
    }
}
