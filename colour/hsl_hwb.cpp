#include "colour/hsl_hwb.h"

#include <algorithm>
#include <cmath>

namespace {

// The hue's share in channel n (0 red, 8 green, 4 blue) as CSS's conversion has it: the factor
// of the chroma, times 30, which is a whole number for a whole number of degrees.
double HueFactorTimes30(double hue, int n)
{
    double k = n * 30 + hue; // hue lies in 0 to 360, so k below 600
    if (k >= 360)
        k -= 360;
    return std::max(-30.0, std::min({ k - 90, 270 - k, 30.0 }));
}

} // namespace

std::array<double, 3> ChannelsOfHsl(double hue, double saturation, double lightness)
{
    // lightness - saturation * min(lightness, 1 - lightness) * factor, in percent, times 255.
    const double spread = saturation * std::min(lightness, 100 - lightness);
    auto channel = [&](int n) {
        return (lightness * 3000 - spread * HueFactorTimes30(hue, n)) * 255 / 300000;
    };
    return { channel(0), channel(8), channel(4) };
}

std::array<double, 3> ChannelsOfHwb(double hue, double whiteness, double blackness)
{
    if (whiteness + blackness >= 100) {
        const double grey = whiteness * 255 / (whiteness + blackness);
        return { grey, grey, grey };
    }
    // The pure hue's channel is (30 - factor) / 60; it is scaled by 1 - w - b and w is added.
    auto channel = [&](int n) {
        return ((100 - whiteness - blackness) * (30 - HueFactorTimes30(hue, n)) + whiteness * 60)
            * 255 / 6000;
    };
    return { channel(0), channel(8), channel(4) };
}

std::array<double, 3> HslOfChannels(int red, int green, int blue)
{
    const int high = std::max({ red, green, blue });
    const int low = std::min({ red, green, blue });
    const double spread = high - low;
    const double lightness = (high + low) * 100.0 / 510;
    if (spread == 0)
        return { 0, 0, lightness };
    const double saturation = spread * 100 / (255 - std::abs(high + low - 255));
    double hue = 0;
    if (high == red)
        hue = std::fmod((green - blue) / spread + 6, 6.0);
    else if (high == green)
        hue = (blue - red) / spread + 2;
    else
        hue = (red - green) / spread + 4;
    return { hue * 60, saturation, lightness };
}
