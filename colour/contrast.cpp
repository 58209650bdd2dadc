#include "colour/contrast.h"

#include <algorithm>
#include <cmath>

namespace {

// An sRGB component (0-255) as linear light. The threshold 0.03928 is the one the contrast
// definition states; the sRGB standard's 0.04045 gives the same result for every 8-bit value,
// since no k / 255 lies between the two (10 / 255 = 0.0392, 11 / 255 = 0.0431).
double Linear(int component)
{
    const double c = component / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(Rgb rgb)
{
    return 0.2126 * Linear(rgb.red) + 0.7152 * Linear(rgb.green) + 0.0722 * Linear(rgb.blue);
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
