#pragma once

#include <array>

#include "colour/rgb.h"

// The colour spaces of CSS Color 4 and the conversions between them, in double precision, with
// the matrices and transfer functions of CSS Color 4's sample code (Bradford adaptation between
// the D65 and D50 whites, OKLab through its LMS matrices).

/// Three components in the order their space names them. RGB components are 0 to 1 inside their
/// gamut (gamma-encoded unless the space is linear); XYZ is relative to a white of Y = 1.
using Components = std::array<double, 3>;

/// OKLab: lightness 0 to 1, a and b around 0 (about -0.4 to 0.4 for visible colours).
struct Oklab
{
    double lightness = 0;
    double a = 0;
    double b = 0;
};

/// OKLCH: lightness 0 to 1, chroma from 0, hue in degrees 0 to 360 (0 for a neutral colour).
struct Oklch
{
    double lightness = 0;
    double chroma = 0;
    double hue = 0;
};

/// CIELAB relative to the D50 white, as CSS's lab() has it: lightness 0 to 100.
struct LabD50
{
    double lightness = 0;
    double a = 0;
    double b = 0;
};

/// CIE LCH relative to the D50 white: lightness 0 to 100, chroma from 0, hue in degrees.
struct LchD50
{
    double lightness = 0;
    double chroma = 0;
    double hue = 0;
};

/// The RGB spaces of CSS's color() function.
enum class RgbSpace { Srgb, SrgbLinear, DisplayP3, A98Rgb, ProphotoRgb, Rec2020 };

/// The sRGB transfer function and its inverse, extended to negative values by symmetry. The
/// threshold is the sRGB standard's 0.04045.
double SrgbToLinear(double encoded);
double SrgbFromLinear(double linear);

/// An 8-bit sRGB component (0-255, taken modulo 256) as linear light.
double LinearOf(int component);

/// RGB components of a space to CIE XYZ relative to D65 (ProPhoto's D50 white adapted by
/// Bradford), and back.
Components XyzD65OfRgb(RgbSpace space, const Components& rgb);
Components RgbOfXyzD65(RgbSpace space, const Components& xyz);

/// Bradford chromatic adaptation between the D65 and D50 whites.
Components XyzD50OfXyzD65(const Components& xyz);
Components XyzD65OfXyzD50(const Components& xyz);

LabD50 LabOfXyzD50(const Components& xyz);
Components XyzD50OfLab(const LabD50& lab);
LchD50 LchOfLab(const LabD50& lab);
LabD50 LabOfLch(const LchD50& lch);

Oklab OklabOfXyzD65(const Components& xyz);
Components XyzD65OfOklab(const Oklab& oklab);
Oklch OklchOfOklab(const Oklab& oklab);
Oklab OklabOfOklch(const Oklch& oklch);

/// Gamma-encoded sRGB (0 to 1 inside the gamut, unclipped outside it) of an OKLab colour.
Components SrgbOfOklab(const Oklab& oklab);

/// OKLab and OKLCH of an 8-bit sRGB colour.
Oklab OklabOf(Rgb rgb);
Oklch OklchOf(Rgb rgb);
