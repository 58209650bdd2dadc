#pragma once

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
