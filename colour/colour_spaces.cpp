#include "colour/colour_spaces.h"

#include <cmath>

namespace {

using Matrix = std::array<Components, 3>;

constexpr double pi = 3.14159265358979323846;

// The white points by their four-figure CIE x, y chromaticities.
constexpr Components d50 = { 0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585 };

// Each row times the vector, summed left to right.
Components Multiply(const Matrix& m, const Components& v)
{
    Components result {};
    for (std::size_t row = 0; row < 3; ++row)
        result[row] = m[row][0] * v[0] + m[row][1] * v[1] + m[row][2] * v[2];
    return result;
}

// Linear-light RGB to XYZ of each RGB space (relative to its own white) and back. The rational
// forms are computed from the spaces' chromaticities; ProPhoto's has no short rational form.
constexpr Matrix linearSrgbToXyz = { {
    { 506752.0 / 1228815, 87881.0 / 245763, 12673.0 / 70218 },
    { 87098.0 / 409605, 175762.0 / 245763, 12673.0 / 175545 },
    { 7918.0 / 409605, 87881.0 / 737289, 1001167.0 / 1053270 },
} };
constexpr Matrix xyzToLinearSrgb = { {
    { 12831.0 / 3959, -329.0 / 214, -1974.0 / 3959 },
    { -851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810 },
    { 705.0 / 12673, -2585.0 / 12673, 705.0 / 667 },
} };
constexpr Matrix linearP3ToXyz = { {
    { 608311.0 / 1250200, 189793.0 / 714400, 198249.0 / 1000160 },
    { 35783.0 / 156275, 247089.0 / 357200, 198249.0 / 2500400 },
    { 0.0, 32229.0 / 714400, 5220557.0 / 5000800 },
} };
constexpr Matrix xyzToLinearP3 = { {
    { 446124.0 / 178915, -333277.0 / 357830, -72051.0 / 178915 },
    { -14852.0 / 17905, 63121.0 / 35810, 423.0 / 17905 },
    { 11844.0 / 330415, -50337.0 / 660830, 316169.0 / 330415 },
} };
constexpr Matrix linearProphotoToXyzD50 = { {
    { 0.79776664490064230, 0.13518129740053308, 0.03134773412839220 },
    { 0.28807482881940130, 0.71183523424187300, 0.00008993693872564 },
    { 0.0, 0.0, 0.82510460251046020 },
} };
constexpr Matrix xyzD50ToLinearProphoto = { {
    { 1.34578688164715830, -0.25557208737979464, -0.05110186497554526 },
    { -0.54463070512490190, 1.50824774284514680, 0.02052744743642139 },
    { 0.0, 0.0, 1.21196754563894520 },
} };
constexpr Matrix linearA98ToXyz = { {
    { 573536.0 / 994567, 263643.0 / 1420810, 187206.0 / 994567 },
    { 591459.0 / 1989134, 6239551.0 / 9945670, 374412.0 / 4972835 },
    { 53769.0 / 1989134, 351524.0 / 4972835, 4929758.0 / 4972835 },
} };
constexpr Matrix xyzToLinearA98 = { {
    { 1829569.0 / 896150, -506331.0 / 896150, -308931.0 / 896150 },
    { -851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810 },
    { 16779.0 / 1248040, -147721.0 / 1248040, 1266979.0 / 1248040 },
} };
constexpr Matrix linearRec2020ToXyz = { {
    { 63426534.0 / 99577255, 20160776.0 / 139408157, 47086771.0 / 278816314 },
    { 26158966.0 / 99577255, 472592308.0 / 697040785, 8267143.0 / 139408157 },
    { 0.0, 19567812.0 / 697040785, 295819943.0 / 278816314 },
} };
constexpr Matrix xyzToLinearRec2020 = { {
    { 30757411.0 / 17917100, -6372589.0 / 17917100, -4539589.0 / 17917100 },
    { -19765991.0 / 29648200, 47925759.0 / 29648200, 467509.0 / 29648200 },
    { 792561.0 / 44930125, -1921689.0 / 44930125, 42328811.0 / 44930125 },
} };

// Bradford adaptation, worked out to double precision.
constexpr Matrix d65ToD50 = { {
    { 1.0479297925449969, 0.022946870601609652, -0.05019226628920524 },
    { 0.02962780877005599, 0.9904344267538799, -0.017073799063418826 },
    { -0.009243040646204504, 0.015055191490298152, 0.7518742814281371 },
} };
constexpr Matrix d50ToD65 = { {
    { 0.955473421488075, -0.02309845494876471, 0.06325924320057072 },
    { -0.0283697093338637, 1.0099953980813041, 0.021041441191917323 },
    { 0.012314014864481998, -0.020507649298898964, 1.330365926242124 },
} };

// OKLab's matrices, recalculated for the D65 white above in double precision.
constexpr Matrix xyzToLms = { {
    { 0.8190224379967030, 0.3619062600528904, -0.1288737815209879 },
    { 0.0329836539323885, 0.9292868615863434, 0.0361446663506424 },
    { 0.0481771893596242, 0.2642395317527308, 0.6335478284694309 },
} };
constexpr Matrix lmsToOklab = { {
    { 0.2104542683093140, 0.7936177747023054, -0.0040720430116193 },
    { 1.9779985324311684, -2.4285922420485799, 0.4505937096174110 },
    { 0.0259040424655478, 0.7827717124575296, -0.8086757549230774 },
} };
constexpr Matrix lmsToXyz = { {
    { 1.2268798758459243, -0.5578149944602171, 0.2813910456659647 },
    { -0.0405757452148008, 1.1122868032803170, -0.0717110580655164 },
    { -0.0763729366746601, -0.4214933324022432, 1.5869240198367816 },
} };
constexpr Matrix oklabToLms = { {
    { 1.0, 0.3963377773761749, 0.2158037573099136 },
    { 1.0, -0.1055613458156586, -0.0638541728258133 },
    { 1.0, -0.0894841775298119, -1.2914855480194092 },
} };

// Transfer functions, each extended to negative values by reflection through the origin.
double Signed(double value, double magnitude)
{
    return value < 0 ? -magnitude : magnitude;
}

double ProphotoToLinear(double v)
{
    const double a = std::abs(v);
    return a <= 16.0 / 512 ? v / 16 : Signed(v, std::pow(a, 1.8));
}

double ProphotoFromLinear(double v)
{
    const double a = std::abs(v);
    return a >= 1.0 / 512 ? Signed(v, std::pow(a, 1 / 1.8)) : 16 * v;
}

double A98ToLinear(double v)
{
    return Signed(v, std::pow(std::abs(v), 563.0 / 256));
}

double A98FromLinear(double v)
{
    return Signed(v, std::pow(std::abs(v), 256.0 / 563));
}

// Rec. 2020 as CSS Color 4 now defines it: the reference display's transfer function of
// ITU-R BT.1886 (a pure 2.4 power, no black lift), not the camera's BT.2020 curve.
double Rec2020ToLinear(double v)
{
    return Signed(v, std::pow(std::abs(v), 2.4));
}

double Rec2020FromLinear(double v)
{
    return Signed(v, std::pow(std::abs(v), 1 / 2.4));
}

Components Map(const Components& v, double (*f)(double))
{
    return { f(v[0]), f(v[1]), f(v[2]) };
}

double Identity(double v)
{
    return v;
}

struct SpaceDefinition
{
    double (*toLinear)(double);
    double (*fromLinear)(double);
    const Matrix* toXyz;
    const Matrix* fromXyz;
    bool d50White;
};

SpaceDefinition DefinitionOf(RgbSpace space)
{
    switch (space) {
    case RgbSpace::Srgb:
        break;
    case RgbSpace::SrgbLinear:
        return { Identity, Identity, &linearSrgbToXyz, &xyzToLinearSrgb, false };
    case RgbSpace::DisplayP3:
        return { SrgbToLinear, SrgbFromLinear, &linearP3ToXyz, &xyzToLinearP3, false };
    case RgbSpace::A98Rgb:
        return { A98ToLinear, A98FromLinear, &linearA98ToXyz, &xyzToLinearA98, false };
    case RgbSpace::ProphotoRgb:
        return { ProphotoToLinear, ProphotoFromLinear, &linearProphotoToXyzD50,
            &xyzD50ToLinearProphoto, true };
    case RgbSpace::Rec2020:
        return { Rec2020ToLinear, Rec2020FromLinear, &linearRec2020ToXyz, &xyzToLinearRec2020,
            false };
    }
    return { SrgbToLinear, SrgbFromLinear, &linearSrgbToXyz, &xyzToLinearSrgb, false };
}

// The hue of a, b in degrees, 0 to 360; 0 where the chroma is too small for a hue to mean
// anything.
double HueOf(double a, double b, double chroma, double powerless)
{
    if (chroma <= powerless)
        return 0;
    const double hue = std::atan2(b, a) * 180 / pi;
    return hue < 0 ? hue + 360 : hue;
}

} // namespace

double SrgbToLinear(double encoded)
{
    const double a = std::abs(encoded);
    return a <= 0.04045 ? encoded / 12.92 : Signed(encoded, std::pow((a + 0.055) / 1.055, 2.4));
}

double SrgbFromLinear(double linear)
{
    const double a = std::abs(linear);
    return a > 0.0031308 ? Signed(linear, 1.055 * std::pow(a, 1 / 2.4) - 0.055) : 12.92 * linear;
}

double LinearOf(int component)
{
    // Worked out once, on first use.
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> table {};
        for (int v = 0; v < 256; ++v)
            table[v] = SrgbToLinear(v / 255.0);
        return table;
    }();
    return linear[static_cast<std::size_t>(component & 0xFF)];
}

Components XyzD65OfRgb(RgbSpace space, const Components& rgb)
{
    const SpaceDefinition definition = DefinitionOf(space);
    const Components xyz = Multiply(*definition.toXyz, Map(rgb, definition.toLinear));
    return definition.d50White ? XyzD65OfXyzD50(xyz) : xyz;
}

Components RgbOfXyzD65(RgbSpace space, const Components& xyz)
{
    const SpaceDefinition definition = DefinitionOf(space);
    const Components own = definition.d50White ? XyzD50OfXyzD65(xyz) : xyz;
    return Map(Multiply(*definition.fromXyz, own), definition.fromLinear);
}

Components XyzD50OfXyzD65(const Components& xyz)
{
    return Multiply(d65ToD50, xyz);
}

Components XyzD65OfXyzD50(const Components& xyz)
{
    return Multiply(d50ToD65, xyz);
}

namespace {

constexpr double labEpsilon = 216.0 / 24389; // 6^3 / 29^3
constexpr double labKappa = 24389.0 / 27; // 29^3 / 3^3

} // namespace

LabD50 LabOfXyzD50(const Components& xyz)
{
    Components f {};
    for (std::size_t i = 0; i < 3; ++i) {
        const double scaled = xyz[i] / d50[i];
        f[i] = scaled > labEpsilon ? std::cbrt(scaled) : (labKappa * scaled + 16) / 116;
    }
    return { 116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2]) };
}

Components XyzD50OfLab(const LabD50& lab)
{
    const double f1 = (lab.lightness + 16) / 116;
    const double f0 = lab.a / 500 + f1;
    const double f2 = f1 - lab.b / 200;
    const Components scaled = {
        std::pow(f0, 3) > labEpsilon ? std::pow(f0, 3) : (116 * f0 - 16) / labKappa,
        lab.lightness > labKappa * labEpsilon ? std::pow(f1, 3) : lab.lightness / labKappa,
        std::pow(f2, 3) > labEpsilon ? std::pow(f2, 3) : (116 * f2 - 16) / labKappa,
    };
    return { scaled[0] * d50[0], scaled[1] * d50[1], scaled[2] * d50[2] };
}

LchD50 LchOfLab(const LabD50& lab)
{
    const double chroma = std::sqrt(lab.a * lab.a + lab.b * lab.b);
    return { lab.lightness, chroma, HueOf(lab.a, lab.b, chroma, 0.0015) };
}

LabD50 LabOfLch(const LchD50& lch)
{
    const double radians = lch.hue * pi / 180;
    return { lch.lightness, lch.chroma * std::cos(radians), lch.chroma * std::sin(radians) };
}

Oklab OklabOfXyzD65(const Components& xyz)
{
    // The cube root keeps the sign, as std::cbrt does (a general power function would not).
    const Components lms = Map(Multiply(xyzToLms, xyz), [](double v) { return std::cbrt(v); });
    const Components lab = Multiply(lmsToOklab, lms);
    return { lab[0], lab[1], lab[2] };
}

Components XyzD65OfOklab(const Oklab& oklab)
{
    const Components lms = Map(Multiply(oklabToLms, { oklab.lightness, oklab.a, oklab.b }),
        [](double v) { return v * v * v; });
    return Multiply(lmsToXyz, lms);
}

Oklch OklchOfOklab(const Oklab& oklab)
{
    const double chroma = std::sqrt(oklab.a * oklab.a + oklab.b * oklab.b);
    return { oklab.lightness, chroma, HueOf(oklab.a, oklab.b, chroma, 0.000004) };
}

Oklab OklabOfOklch(const Oklch& oklch)
{
    const double radians = oklch.hue * pi / 180;
    return { oklch.lightness, oklch.chroma * std::cos(radians), oklch.chroma * std::sin(radians) };
}

Components SrgbOfOklab(const Oklab& oklab)
{
    return RgbOfXyzD65(RgbSpace::Srgb, XyzD65OfOklab(oklab));
}

Oklab OklabOf(Rgb rgb)
{
    const Components linear = { LinearOf(rgb.red), LinearOf(rgb.green), LinearOf(rgb.blue) };
    return OklabOfXyzD65(Multiply(linearSrgbToXyz, linear));
}

Oklch OklchOf(Rgb rgb)
{
    return OklchOfOklab(OklabOf(rgb));
}
