#pragma once

#include <array>
#include <string>

#include "colour/rgb.h"

/// Relative luminance as WCAG 2 defines it (sRGB, 0 for black to 1 for white).
double RelativeLuminance(Rgb rgb);

/// The WCAG 2 contrast ratio of two colours, 1 to 21, whichever is lighter.
double ContrastRatio(Rgb first, Rgb second);

/// The WCAG 2 levels a contrast ratio passes for text.
struct ContrastLevels
{
    bool aa = false; // 4.5:1, normal text
    bool aaLarge = false; // 3:1, large text
    bool aaa = false; // 7:1, normal text
};

ContrastLevels LevelsOf(double ratio);

/// The WCAG 2 contrast levels: text at the normal and the large size (18 pt, or 14 pt bold) at
/// AA and AAA, and non-text user interface components and graphics.
enum class ContrastLevel { NormalAA, NormalAAA, LargeAA, LargeAAA, NonText };

/// Every level, in the order they are listed to the user.
inline constexpr std::array<ContrastLevel, 5> AllContrastLevels = {
    ContrastLevel::NormalAA,
    ContrastLevel::NormalAAA,
    ContrastLevel::LargeAA,
    ContrastLevel::LargeAAA,
    ContrastLevel::NonText,
};

/// The least ratio that passes the level: 4.5, 7, 3, 4.5, 3.
double ThresholdOf(ContrastLevel level);

/// Whether the ratio, as computed and not as shown, reaches the level's threshold.
bool Passes(double ratio, ContrastLevel level);

/// The ratio as "4.54:1": two decimals, cut rather than rounded, so a ratio just short of a
/// threshold (4.497) never shows as the threshold's figure (4.50).
std::string RatioText(double ratio);

/// A level's threshold as WCAG writes it: "3:1", "4.5:1", "7:1".
std::string ThresholdText(double threshold);

/// The level's name as the user reads it (CP932), e.g. 「大きな文字の AA」.
std::string ContrastLevelName(ContrastLevel level);
