#include "colour/contrast_suggestions.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "colour/colour_spaces.h"
#include "colour/gamut_map.h"

namespace {

Rgb RgbOfCode(unsigned code)
{
    return { static_cast<int>(code >> 16 & 0xFF), static_cast<int>(code >> 8 & 0xFF),
        static_cast<int>(code & 0xFF) };
}

struct Expected
{
    unsigned colour;
    bool darker;
    double distance; // CIEDE2000
};

struct Row
{
    unsigned change;
    unsigned keep;
    ContrastLevel level;
    std::vector<Expected> suggestions;
};

// Pairs that fail, with the suggestions colorjs.io's conversions, gamut mapping and contrast lead
// to (see make_contrast_suggestions_table.mjs): both directions, one only (nothing is lighter than
// white, or darker than what passes on navy), and none (7:1 against mid grey needs more than
// black or white gives).
const Row Table[] = {
#include "tests/colour/contrast_suggestions_table.inc"
};

TEST(SuggestContrast, MatchesTheTableMadeWithAnIndependentLibrary)
{
    for (const Row& row : Table) {
        SCOPED_TRACE(testing::Message() << std::hex << row.change << " against " << row.keep);
        const std::vector<ContrastSuggestion> found =
            SuggestContrast(RgbOfCode(row.change), RgbOfCode(row.keep), row.level);
        ASSERT_EQ(found.size(), row.suggestions.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].colour, RgbOfCode(row.suggestions[i].colour));
            EXPECT_EQ(found[i].darker, row.suggestions[i].darker);
            EXPECT_NEAR(found[i].distance, row.suggestions[i].distance, 0.02);
        }
    }
}

// What defines a suggestion, checked on each one: it passes on its exact ratio (given rightly),
// the 8-bit colour one lightness step nearer the changed colour does not, its hue stays near the
// changed colour's (gamut mapping's last clip and 8 bits turn it a little), and darker ones are
// darker.
TEST(SuggestContrast, EachPassesAndTheStepNearerDoesNot)
{
    for (const Row& row : Table) {
        SCOPED_TRACE(testing::Message() << std::hex << row.change << " against " << row.keep);
        const Rgb change = RgbOfCode(row.change);
        const Rgb keep = RgbOfCode(row.keep);
        const Oklch start = OklchOf(change);
        for (const ContrastSuggestion& suggestion : SuggestContrast(change, keep, row.level)) {
            EXPECT_EQ(suggestion.ratio, ContrastRatio(suggestion.colour, keep));
            EXPECT_TRUE(Passes(suggestion.ratio, row.level));
            const double nearer = suggestion.lightness
                + (suggestion.darker ? SuggestionLightnessStep : -SuggestionLightnessStep);
            const Rgb neighbour = MapOklchToSrgb({ nearer, start.chroma, start.hue }).rgb;
            EXPECT_FALSE(Passes(ContrastRatio(neighbour, keep), row.level))
                << neighbour.red << "," << neighbour.green << "," << neighbour.blue;
            EXPECT_EQ(suggestion.darker,
                RelativeLuminance(suggestion.colour) < RelativeLuminance(change));
            const Oklch seen = OklchOf(suggestion.colour);
            if (start.chroma > 0.05 && seen.chroma > 0.05) {
                const double turn = std::abs(seen.hue - start.hue);
                EXPECT_LT(std::min(turn, 360 - turn), 15.0);
            }
        }
    }
}

TEST(SuggestContrast, APairThatPassesSuggestsItself)
{
    const Rgb grey { 0x76, 0x76, 0x76 };
    const std::vector<ContrastSuggestion> found =
        SuggestContrast(grey, { 255, 255, 255 }, ContrastLevel::NormalAA);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].colour, grey);
    EXPECT_EQ(found[0].distance, 0);
    EXPECT_NEAR(found[0].ratio, 4.5422, 1e-4);
}

} // namespace
