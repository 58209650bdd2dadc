#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "colour/rgb.h"

/// What reading a colour text gave: the colour, or (rgb empty) a sentence in CP932 that says what
/// a colour text was expected to look like.
struct ColourReading
{
    std::optional<Rgb> rgb;
    bool outOfGamut = false; // the colour lies outside sRGB; rgb is the nearest colour it can show
    std::string expected;
};

/// Reads one colour from a text (CP932 bytes) as a user pastes or types it.
///
/// - "#RGB", "#RGBA", "#RRGGBB", "#RRGGBBAA", "RRGGBB", "RRGGBBAA" and "0xRRGGBB", digits in any
///   case.
/// - CSS Color 4's functions, names in any case: rgb()/rgba() and hsl()/hsla() in the comma or
///   the space syntax, hwb(), lab(), lch(), oklab(), oklch(), and color() with srgb, srgb-linear,
///   display-p3, a98-rgb, prophoto-rgb, rec2020, xyz, xyz-d50 and xyz-d65; numbers and
///   percentages with each component's reference range, hues in deg, grad, rad or turn, none in
///   any component of the space syntax. rgb(), hsl() and hwb() clamp each channel to sRGB; the
///   other notations bring a colour outside sRGB in by gamut mapping (outOfGamut is then set).
/// - "R,G,B" and "R G B", decimal digits only, 0 to 255 each.
/// - A CSS named colour in any case; otherwise a name of the named colour list exactly as listed.
/// - Around it: blanks and line ends, quotes, a trailing ";", and a declaration of one colour
///   ("color: #1E90FF;", "--brand: oklch(62% 0.19 255)", "... !important").
///
/// Alpha is ignored, except that a fully transparent colour (alpha 0 or less, or none, and the
/// keyword "transparent") names nothing that can be shown and is refused. The full-width forms a
/// Japanese input method types read as their ASCII forms. The work is linear in the text's length.
ColourReading ReadColour(std::string_view cp932);

/// ReadColour's colour alone.
std::optional<Rgb> ReadColourText(std::string_view cp932);

/// A text copied as UTF-8 as the CP932 text ReadColour reads: no-break spaces, zero-width spaces
/// and joiners and byte-order marks (which the code page lacks) become plain spaces first.
std::string ColourTextOfUtf8(std::string_view utf8);

/// A colour text as a refusal quotes it (CP932): without its surrounding blanks, between 「 and 」,
/// control characters as "?", cut after 40 characters with "…".
std::string QuotedColourText(std::string_view cp932);
