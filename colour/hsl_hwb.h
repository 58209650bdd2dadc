#pragma once

#include <array>

/// The channels (0-255, unclamped) of CSS's hsl() colour: hue in degrees (0 to 360), saturation
/// and lightness in percent. The arithmetic runs on percent and degrees, so that for whole
/// numbers an exact half (hsl(0 0% 30%) is 76.5) stays one.
std::array<double, 3> ChannelsOfHsl(double hue, double saturation, double lightness);

/// The channels (0-255) of CSS's hwb() colour: hue in degrees (0 to 360), whiteness and blackness
/// in percent (0 to 100); where they add up to 100 or more, the grey of their ratio.
std::array<double, 3> ChannelsOfHwb(double hue, double whiteness, double blackness);

/// Hue (degrees, 0 to 360), saturation and lightness (percent) of an 8-bit sRGB colour, unrounded.
std::array<double, 3> HslOfChannels(int red, int green, int blue);
