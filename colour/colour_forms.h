#pragma once

#include <array>
#include <string>

#include "colour/rgb.h"

/// Hue in whole degrees (0-359), saturation and lightness in whole percent, each rounded half up.
struct Hsl
{
    int hue = 0;
    int saturation = 0;
    int lightness = 0;

    friend bool operator==(const Hsl&, const Hsl&) = default;
};

Hsl HslOf(Rgb rgb);

/// The forms a colour is copied in, in menu order: "#FF8000", "FF8000", "rgb(255, 128, 0)",
/// "hsl(30, 100%, 50%)", "255, 128, 0". Each component is taken modulo 256, as in ColorOf.
std::array<std::string, 5> ColourForms(Rgb rgb);
