#pragma once

#include "colour/colour_spaces.h"
#include "colour/rgb.h"

/// An 8-bit sRGB colour made from a colour of a wider space, and whether that colour lay outside
/// sRGB (so that what is shown is the nearest colour sRGB can show, not the colour itself).
struct MappedColour
{
    Rgb rgb;
    bool outOfGamut = false;

    friend bool operator==(const MappedColour&, const MappedColour&) = default;
};

/// Brings a colour into sRGB by CSS Color 4's gamut mapping: lightness and hue are kept and the
/// OKLCH chroma is reduced (by bisection) until clipping each channel moves the colour by less
/// than deltaEOK's just-noticeable difference of 0.02; lightness of 1 or more gives white, 0 or
/// less black. The result is rounded to 8 bits, halves up. outOfGamut is set where a channel
/// lies outside sRGB by more than rounding to 8 bits absorbs (half a step), so that a colour
/// written with a few digits too many or too few is not reported.
MappedColour MapOklchToSrgb(const Oklch& colour);

/// The same for gamma-encoded sRGB components (0 to 1 inside the gamut, any finite value
/// outside it).
MappedColour MapSrgbToGamut(const Components& srgb);

/// An sRGB channel (0 to 1) as 8 bits: clamped, then rounded half up (0.5 / 255 gives 1).
int EightBitsOf(double channel);
