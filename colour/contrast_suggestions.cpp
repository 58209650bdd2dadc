#include "colour/contrast_suggestions.h"

#include <algorithm>
#include <optional>

#include "colour/colour_spaces.h"
#include "colour/gamut_map.h"
#include "colour/nearest_colour.h"

namespace {

// The first colour that passes, going from the changed colour's lightness one step at a time in
// one direction (-1 darker, +1 lighter) as far as black or white.
std::optional<ContrastSuggestion> FirstPassing(
    const Oklch& start, Rgb change, Rgb keep, ContrastLevel level, int direction)
{
    const Lab original = LabOf(change);
    Oklch tried = start;
    Rgb previous = change;
    for (int step = 1;; ++step) {
        tried.lightness =
            std::clamp(start.lightness + direction * step * SuggestionLightnessStep, 0.0, 1.0);
        const Rgb colour = MapOklchToSrgb(tried).rgb;
        if (!(colour == previous)) {
            const double ratio = ContrastRatio(colour, keep);
            if (Passes(ratio, level)) {
                return ContrastSuggestion { colour, ratio, Ciede2000(original, LabOf(colour)),
                    direction < 0, tried.lightness };
            }
            previous = colour;
        }
        if (tried.lightness <= 0 || tried.lightness >= 1) {
            return std::nullopt;
        }
    }
}

} // namespace

std::vector<ContrastSuggestion> SuggestContrast(Rgb change, Rgb keep, ContrastLevel level)
{
    const Oklch start = OklchOf(change);
    const double ratio = ContrastRatio(change, keep);
    if (Passes(ratio, level)) {
        return { ContrastSuggestion { change, ratio, 0, false, start.lightness } };
    }
    std::vector<ContrastSuggestion> suggestions;
    for (const int direction : { -1, 1 }) {
        if (const auto found = FirstPassing(start, change, keep, level, direction)) {
            suggestions.push_back(*found);
        }
    }
    return suggestions;
}
