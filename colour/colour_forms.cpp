#include "colour/colour_forms.h"

#include <algorithm>
#include <cstdlib>

#include "colour/conversions.h"

namespace {

// numerator / denominator rounded half up, both non-negative, in exact integer arithmetic so
// that a value like 127.5 is never seen as 127.4999.
int RoundedRatio(long long numerator, long long denominator)
{
    return static_cast<int>((2 * numerator + denominator) / (2 * denominator));
}

} // namespace

Hsl HslOf(Rgb rgb)
{
    const int high = std::max({ rgb.red, rgb.green, rgb.blue });
    const int low = std::min({ rgb.red, rgb.green, rgb.blue });
    const int spread = high - low;
    const int sum = high + low;
    Hsl hsl;
    // Lightness (high + low) / 2 / 255 in percent.
    hsl.lightness = RoundedRatio(100LL * sum, 510);
    if (spread == 0)
        return hsl; // a grey: hue and saturation 0
    // Saturation spread / (1 - |2L - 1|) with L = sum / 510, i.e. spread / (255 - |sum - 255|).
    hsl.saturation = RoundedRatio(100LL * spread, 255 - std::abs(sum - 255));
    // Hue in sixths of the circle: each sixth is 60 degrees, measured from the highest channel.
    long long sixths = 0; // in units of 1 / spread
    if (high == rgb.red)
        sixths = (rgb.green - rgb.blue + 6LL * spread) % (6LL * spread);
    else if (high == rgb.green)
        sixths = rgb.blue - rgb.red + 2LL * spread;
    else
        sixths = rgb.red - rgb.green + 4LL * spread;
    hsl.hue = RoundedRatio(60 * sixths, spread) % 360;
    return hsl;
}

std::array<std::string, 5> ColourForms(Rgb rgb)
{
    rgb = RgbOf(ColorOf(rgb)); // each component taken modulo 256, as the code is
    const std::string hex = ColorToHex(ColorOf(rgb));
    const std::string red = std::to_string(rgb.red);
    const std::string green = std::to_string(rgb.green);
    const std::string blue = std::to_string(rgb.blue);
    const Hsl hsl = HslOf(rgb);
    return {
        "#" + hex,
        hex,
        "rgb(" + red + ", " + green + ", " + blue + ")",
        "hsl(" + std::to_string(hsl.hue) + ", " + std::to_string(hsl.saturation) + "%, "
            + std::to_string(hsl.lightness) + "%)",
        red + ", " + green + ", " + blue,
    };
}
