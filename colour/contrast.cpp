#include "colour/contrast.h"

#include <algorithm>
#include <cmath>

#include "colour/colour_spaces.h"

// The components as linear light by the sRGB standard's threshold 0.04045, which the current
// WCAG 2.2 text also gives; WCAG 2.0's 0.03928 gives the same for every 8-bit value, since no
// k / 255 lies between the two (10 / 255 = 0.0392, 11 / 255 = 0.0431).
double RelativeLuminance(Rgb rgb)
{
    return 0.2126 * LinearOf(rgb.red) + 0.7152 * LinearOf(rgb.green) + 0.0722 * LinearOf(rgb.blue);
}

double ContrastRatio(Rgb first, Rgb second)
{
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The ratio is compared as computed, not as shown to two decimals: 4.4999 fails AA although it
// is shown as 4.50.
ContrastLevels LevelsOf(double ratio)
{
    return { ratio >= 4.5, ratio >= 3.0, ratio >= 7.0 };
}
