#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

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

/// The forms a colour is copied in, in menu order.
enum class ColourForm { Hex, Bare, Rgb, Hsl, Triple, Oklch };

/// The form a --format word names: hex, bare, rgb, hsl, triple, oklch (lower case).
std::optional<ColourForm> ColourFormNamed(std::string_view name);

/// The colour in each form, in menu order: "#FF8000", "FF8000", "rgb(255, 128, 0)",
/// "hsl(30, 100%, 50%)", "255, 128, 0", "oklch(73.5% 0.178 49.2)". hsl() and oklch() take the
/// fewest decimals with which they read back as exactly this colour, here and in a browser (each
/// channel within 0.499 of its value before rounding). Each component is taken modulo 256, as in
/// ColorOf.
std::array<std::string, 6> ColourForms(Rgb rgb);

/// One of the forms.
std::string ColourFormOf(Rgb rgb, ColourForm form);
