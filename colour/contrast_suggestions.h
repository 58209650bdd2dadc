#pragma once

#include <vector>

#include "colour/contrast.h"
#include "colour/rgb.h"

/// A colour that passes a contrast level in place of another.
struct ContrastSuggestion
{
    Rgb colour;
    double ratio = 0; // against the colour kept
    double distance = 0; // CIEDE2000 from the colour changed
    bool darker = false; // found below the changed colour's OKLCH lightness
    double lightness = 0; // the OKLCH lightness it was found at, before gamut mapping
};

/// How far apart in OKLCH lightness the colours tried are.
inline constexpr double SuggestionLightnessStep = 0.001;

/// The colours nearest to change in OKLCH lightness (hue and chroma kept, gamut mapped into sRGB
/// and rounded to 8 bits) whose exact contrast ratio against keep passes level: darker first, at
/// most one in each direction, none where no lightness passes. Each is the first that passes,
/// going one lightness step at a time away from change, so the colour one step nearer does not.
/// When change itself passes, it is the one suggestion (distance 0).
std::vector<ContrastSuggestion> SuggestContrast(Rgb change, Rgb keep, ContrastLevel level);
