#include "colour/colour_forms.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "colour/colour_spaces.h"
#include "colour/conversions.h"
#include "colour/hsl_hwb.h"

namespace {

// numerator / denominator rounded half up, both non-negative, in exact integer arithmetic so
// that a value like 127.5 is never seen as 127.4999.
int RoundedRatio(long long numerator, long long denominator)
{
    return static_cast<int>((2 * numerator + denominator) / (2 * denominator));
}

// value with the given decimals, trailing zeros and a trailing point left out, never "-0"; the
// same text whatever the C locale says.
std::string Decimal(double value, int decimals)
{
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string_view written(text, static_cast<std::size_t>(result.ptr - text));
    if (written.find('.') != std::string_view::npos) {
        while (written.back() == '0')
            written.remove_suffix(1);
        if (written.back() == '.')
            written.remove_suffix(1);
    }
    if (written == "-0")
        return "0";
    return std::string(written);
}

// The pieces one after the other (operator+ on a literal and a temporary string trips a false
// -Wrestrict of GCC 12).
std::string Join(std::initializer_list<std::string_view> pieces)
{
    std::string joined;
    for (std::string_view piece : pieces)
        joined += piece;
    return joined;
}

// value rounded to the given decimals (halves away from zero).
double Rounded(double value, int decimals)
{
    constexpr double powers[] = { 1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11 };
    const double scale = powers[decimals];
    return std::round(value * scale) / scale;
}

// True when channels computed from a written form round to rgb with room to spare: each lies
// within 0.499 of its value, so that a reader computing in single precision reads it too, or
// exactly half below it (whole numbers compute exact halves exactly; halves round up).
bool ReadsBackAs(const std::array<double, 3>& channels, Rgb rgb)
{
    const int targets[3] = { rgb.red, rgb.green, rgb.blue };
    for (std::size_t i = 0; i < 3; ++i) {
        if (!(std::abs(channels[i] - targets[i]) <= 0.499 || channels[i] == targets[i] - 0.5))
            return false;
    }
    return true;
}

std::string HslForm(Rgb rgb)
{
    const std::array<double, 3> exact = HslOfChannels(rgb.red, rgb.green, rgb.blue);
    // The fewest decimals, all three components alike; at each count the nearest values first,
    // then their neighbours one last digit away. Two decimals always do (each channel then lies
    // within 0.1 of its value); four are there for safety.
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const double step = std::pow(10.0, -decimals);
        const double nearest[3] = { Rounded(exact[0], decimals), Rounded(exact[1], decimals),
            Rounded(exact[2], decimals) };
        for (int k = 0; k < 27; ++k) {
            const int order[3] = { 0, 1, -1 };
            const double hue = nearest[0] + order[k % 3] * step;
            const double saturation = nearest[1] + order[k / 3 % 3] * step;
            const double lightness = nearest[2] + order[k / 9] * step;
            // The mean of the highest and lowest channel is lightness * 2.55, and each channel
            // may be off by half a unit at most: a lightness further than 1 / 5.1 from the exact
            // one cannot read back, so most tries need no conversion.
            if (saturation < 0 || lightness < 0 || saturation > 100 || lightness > 100
                || std::abs(lightness - exact[2]) > 0.2)
                continue;
            const double shownHue = hue >= 360 || hue < 0 ? std::fmod(hue + 360, 360.0) : hue;
            if (ReadsBackAs(ChannelsOfHsl(shownHue, saturation, lightness), rgb)) {
                return Join({ "hsl(", Decimal(shownHue, decimals), ", ",
                    Decimal(saturation, decimals), "%, ", Decimal(lightness, decimals), "%)" });
            }
        }
    }
    const Hsl whole = HslOf(rgb);
    return Join({ "hsl(", std::to_string(whole.hue), ", ", std::to_string(whole.saturation), "%, ",
        std::to_string(whole.lightness), "%)" });
}

// An oklch() form's components: lightness in percent, chroma, hue, each with its decimals.
struct OklchDigits
{
    int decimals[3];
};

Oklch RoundedOklch(const Oklch& exact, const OklchDigits& digits)
{
    Oklch rounded { Rounded(exact.lightness * 100, digits.decimals[0]) / 100,
        Rounded(exact.chroma, digits.decimals[1]), Rounded(exact.hue, digits.decimals[2]) };
    if (rounded.chroma == 0)
        rounded.hue = 0; // a grey's hue means nothing
    if (rounded.hue >= 360)
        rounded.hue -= 360;
    return rounded;
}

// For each 8-bit value, the linear-light range of the encoded values within 0.499 of it: a
// colour whose linear channels lie inside reads back as that value with room to spare. Checking
// in linear light spares the transfer function's powers on every try.
struct LinearBounds
{
    std::array<double, 256> low;
    std::array<double, 256> high;
};

const LinearBounds& LinearBoundsOf8Bits()
{
    static const LinearBounds bounds = [] {
        LinearBounds b {};
        for (int v = 0; v < 256; ++v) {
            b.low[v] = SrgbToLinear((v - 0.499) / 255);
            b.high[v] = SrgbToLinear((v + 0.499) / 255);
        }
        return b;
    }();
    return bounds;
}

// True when the reader gives rgb for this OKLCH colour with room to spare. Lightness of 100% or
// more reads as white and 0 or less as black, as the gamut mapping has it; a colour just outside
// sRGB (within the bounds) is clipped by it, which gives the same 8 bits.
bool OklchReadsBackAs(const Oklch& oklch, Rgb rgb)
{
    if (oklch.lightness >= 1)
        return rgb == Rgb { 255, 255, 255 };
    if (oklch.lightness <= 0)
        return rgb == Rgb { 0, 0, 0 };
    const Components linear = RgbOfXyzD65(RgbSpace::SrgbLinear, XyzD65OfOklab(OklabOfOklch(oklch)));
    const LinearBounds& bounds = LinearBoundsOf8Bits();
    const int targets[3] = { rgb.red, rgb.green, rgb.blue };
    for (std::size_t i = 0; i < 3; ++i) {
        if (!(linear[i] >= bounds.low[targets[i]] && linear[i] <= bounds.high[targets[i]]))
            return false;
    }
    return true;
}

std::string OklchForm(Rgb rgb)
{
    const Oklch exact = OklchOf(rgb);
    // The fewest decimals at one level for all three (chroma, being small, two more), then each
    // component cut further on its own where the colour still reads back.
    OklchDigits digits { { 0, 2, 0 } };
    for (int level = 0; level <= 8; ++level) {
        digits = { { level, level + 2, level } };
        if (OklchReadsBackAs(RoundedOklch(exact, digits), rgb))
            break;
    }
    for (int component = 0; component < 3; ++component) {
        while (digits.decimals[component] > 0) {
            OklchDigits fewer = digits;
            --fewer.decimals[component];
            if (!OklchReadsBackAs(RoundedOklch(exact, fewer), rgb))
                break;
            digits = fewer;
        }
    }
    const Oklch shown = RoundedOklch(exact, digits);
    return Join({ "oklch(", Decimal(shown.lightness * 100, digits.decimals[0]), "% ",
        Decimal(shown.chroma, digits.decimals[1]), " ",
        Decimal(shown.chroma == 0 ? 0 : shown.hue, digits.decimals[2]), ")" });
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

std::optional<ColourForm> ColourFormNamed(std::string_view name)
{
    static constexpr std::pair<std::string_view, ColourForm> names[] = {
        { "hex", ColourForm::Hex },
        { "bare", ColourForm::Bare },
        { "rgb", ColourForm::Rgb },
        { "hsl", ColourForm::Hsl },
        { "triple", ColourForm::Triple },
        { "oklch", ColourForm::Oklch },
    };
    for (const auto& [text, form] : names) {
        if (name == text)
            return form;
    }
    return std::nullopt;
}

std::string ColourFormOf(Rgb rgb, ColourForm form)
{
    rgb = RgbOf(ColorOf(rgb)); // each component taken modulo 256, as the code is
    const std::string red = std::to_string(rgb.red);
    const std::string green = std::to_string(rgb.green);
    const std::string blue = std::to_string(rgb.blue);
    switch (form) {
    case ColourForm::Hex:
        return Join({ "#", ColorToHex(ColorOf(rgb)) });
    case ColourForm::Bare:
        return ColorToHex(ColorOf(rgb));
    case ColourForm::Rgb:
        return Join({ "rgb(", red, ", ", green, ", ", blue, ")" });
    case ColourForm::Hsl:
        return HslForm(rgb);
    case ColourForm::Triple:
        return Join({ red, ", ", green, ", ", blue });
    case ColourForm::Oklch:
        return OklchForm(rgb);
    }
    return {};
}

std::array<std::string, 6> ColourForms(Rgb rgb)
{
    return { ColourFormOf(rgb, ColourForm::Hex), ColourFormOf(rgb, ColourForm::Bare),
        ColourFormOf(rgb, ColourForm::Rgb), ColourFormOf(rgb, ColourForm::Hsl),
        ColourFormOf(rgb, ColourForm::Triple), ColourFormOf(rgb, ColourForm::Oklch) };
}
