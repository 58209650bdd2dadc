#include "colour/contrast_suggestions.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "colour/nearest_colour.h"

// STUB-BEGIN: stands in for the colour space and gamut mapping modules until they are merged.
namespace {

struct Oklch
{
    double lightness = 0;
    double chroma = 0;
    double hue = 0;
};

struct MappedColour
{
    Rgb rgb;
    bool outOfGamut = false;
};

constexpr double pi = 3.14159265358979323846;

struct Oklab
{
    double l, a, b;
};

double StubLinear(int component)
{
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double StubEncode(double v)
{
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

Oklab OklabOfLinear(double r, double g, double b)
{
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return { 0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
        1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
        0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s };
}

void LinearOfOklab(const Oklab& lab, double rgb[3])
{
    const double l = std::pow(lab.l + 0.3963377774 * lab.a + 0.2158037573 * lab.b, 3);
    const double m = std::pow(lab.l - 0.1055613458 * lab.a - 0.0638541728 * lab.b, 3);
    const double s = std::pow(lab.l - 0.0894841775 * lab.a - 1.2914855480 * lab.b, 3);
    rgb[0] = 4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s;
    rgb[1] = -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s;
    rgb[2] = -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s;
}

Oklch OklchOf(Rgb rgb)
{
    const Oklab lab =
        OklabOfLinear(StubLinear(rgb.red), StubLinear(rgb.green), StubLinear(rgb.blue));
    double hue = std::atan2(lab.b, lab.a) * 180 / pi;
    if (hue < 0) {
        hue += 360;
    }
    return { lab.l, std::hypot(lab.a, lab.b), hue };
}

Oklab LabOfLch(const Oklch& c)
{
    return { c.lightness, c.chroma * std::cos(c.hue * pi / 180),
        c.chroma * std::sin(c.hue * pi / 180) };
}

MappedColour MapOklchToSrgb(const Oklch& colour)
{
    auto toRgb = [](const double linear[3]) {
        auto component = [](double v) {
            return static_cast<int>(std::lround(255 * StubEncode(std::clamp(v, 0.0, 1.0))));
        };
        return Rgb { component(linear[0]), component(linear[1]), component(linear[2]) };
    };
    auto inGamut = [](const double linear[3]) {
        return std::all_of(
            linear, linear + 3, [](double v) { return v >= -1e-6 && v <= 1 + 1e-6; });
    };
    auto clipDelta = [](const Oklab& lab, double linear[3]) {
        double clipped[3];
        for (int i = 0; i < 3; ++i) {
            clipped[i] = std::clamp(linear[i], 0.0, 1.0);
        }
        const Oklab back = OklabOfLinear(clipped[0], clipped[1], clipped[2]);
        for (int i = 0; i < 3; ++i) {
            linear[i] = clipped[i];
        }
        return std::sqrt((back.l - lab.l) * (back.l - lab.l) + (back.a - lab.a) * (back.a - lab.a)
            + (back.b - lab.b) * (back.b - lab.b));
    };
    if (colour.lightness >= 1) {
        return { { 255, 255, 255 }, false };
    }
    if (colour.lightness <= 0) {
        return { { 0, 0, 0 }, false };
    }
    double linear[3];
    LinearOfOklab(LabOfLch(colour), linear);
    if (inGamut(linear)) {
        return { toRgb(linear), false };
    }
    constexpr double jnd = 0.02;
    constexpr double epsilon = 0.0001;
    Oklch current = colour;
    double clipped[3];
    LinearOfOklab(LabOfLch(current), clipped);
    if (clipDelta(LabOfLch(current), clipped) < jnd) {
        return { toRgb(clipped), true };
    }
    double low = 0;
    double high = colour.chroma;
    bool lowInGamut = true;
    while (high - low > epsilon) {
        current.chroma = (low + high) / 2;
        LinearOfOklab(LabOfLch(current), clipped);
        if (lowInGamut && inGamut(clipped)) {
            low = current.chroma;
            continue;
        }
        const double delta = clipDelta(LabOfLch(current), clipped);
        if (delta < jnd) {
            if (jnd - delta < epsilon) {
                return { toRgb(clipped), true };
            }
            lowInGamut = false;
            low = current.chroma;
        } else {
            high = current.chroma;
        }
    }
    return { toRgb(clipped), true };
}

} // namespace
// STUB-END

namespace {

// The first colour that passes, going from the changed colour's lightness one step at a time in
// one direction (-1 darker, +1 lighter) as far as black or white.
std::optional<ContrastSuggestion> FirstPassing(
    const Oklch& start, Rgb change, Rgb keep, ContrastLevel level, int direction)
{
    const Lab original = LabOf(change);
    Oklch tried = start;
    Rgb previous = change;
    for (int step = 1;; ++step) {
        tried.lightness =
            std::clamp(start.lightness + direction * step * SuggestionLightnessStep, 0.0, 1.0);
        const Rgb colour = MapOklchToSrgb(tried).rgb;
        if (!(colour == previous)) {
            const double ratio = ContrastRatio(colour, keep);
            if (Passes(ratio, level)) {
                return ContrastSuggestion { colour, ratio, Ciede2000(original, LabOf(colour)),
                    direction < 0, tried.lightness };
            }
            previous = colour;
        }
        if (tried.lightness <= 0 || tried.lightness >= 1) {
            return std::nullopt;
        }
    }
}

} // namespace

std::vector<ContrastSuggestion> SuggestContrast(Rgb change, Rgb keep, ContrastLevel level)
{
    const Oklch start = OklchOf(change);
    const double ratio = ContrastRatio(change, keep);
    if (Passes(ratio, level)) {
        return { ContrastSuggestion { change, ratio, 0, false, start.lightness } };
    }
    std::vector<ContrastSuggestion> suggestions;
    for (const int direction : { -1, 1 }) {
        if (const auto found = FirstPassing(start, change, keep, level, direction)) {
            suggestions.push_back(*found);
        }
    }
    return suggestions;
}
