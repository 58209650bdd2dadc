#pragma once

#include <cstdint>

#include "colour/conversions.h"

/// A plain colour as three 8-bit components, each 0 to 255.
struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

/// The components of a plain colour (the top byte is ignored).
inline Rgb RgbOf(TColor color)
{
    return { color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF };
}

/// The plain colour of the components (each taken modulo 256).
inline TColor ColorOf(Rgb rgb)
{
    return (rgb.red & 0xFF) | (rgb.green & 0xFF) << 8 | (rgb.blue & 0xFF) << 16;
}
