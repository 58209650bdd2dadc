#pragma once

#include <cstddef>

#include "colour/rgb.h"

/// CIELAB under D65 (the 2 degree observer), from sRGB. The reference white is sRGB white's XYZ
/// under the sRGB matrix (0.9505, 1, 1.089), so that greys have a = b = 0.
struct Lab
{
    double lightness = 0;
    double a = 0;
    double b = 0;
};

Lab LabOf(Rgb rgb);

/// The CIEDE2000 colour difference (kL = kC = kH = 1).
double Ciede2000(const Lab& first, const Lab& second);

/// Index into NamedColorTable of the entry nearest to rgb by CIEDE2000 (the first on a tie).
std::size_t NearestNamedColor(Rgb rgb);

/// Index into CssNamedColors of the colour nearest to rgb by CIEDE2000 (the first on a tie).
std::size_t NearestCssColor(Rgb rgb);
