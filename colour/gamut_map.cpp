#include "colour/gamut_map.h"

#include <cmath>

namespace {

constexpr double justNoticeable = 0.02;
constexpr double epsilon = 0.0001;

bool InGamut(const Components& srgb)
{
    for (double channel : srgb) {
        if (!(channel >= 0 && channel <= 1))
            return false;
    }
    return true;
}

// Outside sRGB by more than half an 8-bit step in some channel.
bool NoticeablyOutside(const Components& srgb)
{
    constexpr double halfStep = 0.5 / 255;
    for (double channel : srgb) {
        if (!(channel >= -halfStep && channel <= 1 + halfStep))
            return true;
    }
    return false;
}

Components Clipped(const Components& srgb)
{
    Components clipped {};
    for (std::size_t i = 0; i < 3; ++i)
        clipped[i] = std::isnan(srgb[i]) ? 0.0 : std::min(std::max(srgb[i], 0.0), 1.0);
    return clipped;
}

Rgb EightBits(const Components& srgb)
{
    return { EightBitsOf(srgb[0]), EightBitsOf(srgb[1]), EightBitsOf(srgb[2]) };
}

double DeltaEok(const Oklab& first, const Oklab& second)
{
    const double l = first.lightness - second.lightness;
    const double a = first.a - second.a;
    const double b = first.b - second.b;
    return std::sqrt(l * l + a * a + b * b);
}

Oklab OklabOfSrgb(const Components& srgb)
{
    return OklabOfXyzD65(XyzD65OfRgb(RgbSpace::Srgb, srgb));
}

// The chroma reduction itself, for a colour already known to lie outside sRGB.
Components ReduceChroma(const Oklch& origin)
{
    if (origin.lightness >= 1)
        return { 1, 1, 1 };
    if (origin.lightness <= 0)
        return { 0, 0, 0 };
    Oklch current = origin;
    Components clipped = Clipped(SrgbOfOklab(OklabOfOklch(current)));
    if (DeltaEok(OklabOfSrgb(clipped), OklabOfOklch(current)) < justNoticeable)
        return clipped;
    double low = 0;
    double high = origin.chroma;
    bool lowInGamut = true;
    while (high - low > epsilon) {
        current.chroma = (low + high) / 2;
        const Oklab oklab = OklabOfOklch(current);
        const Components srgb = SrgbOfOklab(oklab);
        if (lowInGamut && InGamut(srgb)) {
            low = current.chroma;
            continue;
        }
        clipped = Clipped(srgb);
        const double difference = DeltaEok(OklabOfSrgb(clipped), oklab);
        if (difference < justNoticeable) {
            if (justNoticeable - difference < epsilon)
                break;
            lowInGamut = false;
            low = current.chroma;
        } else {
            high = current.chroma;
        }
    }
    return clipped;
}

} // namespace

int EightBitsOf(double channel)
{
    if (!(channel > 0))
        return 0;
    if (channel >= 1)
        return 255;
    return static_cast<int>(std::floor(channel * 255 + 0.5));
}

MappedColour MapOklchToSrgb(const Oklch& colour)
{
    const Components srgb = SrgbOfOklab(OklabOfOklch(colour));
    if (InGamut(srgb))
        return { EightBits(srgb), false };
    return { EightBits(ReduceChroma(colour)), NoticeablyOutside(srgb) };
}

MappedColour MapSrgbToGamut(const Components& srgb)
{
    if (InGamut(srgb))
        return { EightBits(srgb), false };
    return { EightBits(ReduceChroma(OklchOfOklab(OklabOfSrgb(srgb)))), NoticeablyOutside(srgb) };
}
