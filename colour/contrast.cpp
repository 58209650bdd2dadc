#include "colour/contrast.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/codepage.h"

#include "colour/colour_spaces.h"

// The components as linear light by the sRGB standard's threshold 0.04045, which the current
// WCAG 2.2 text also gives; WCAG 2.0's 0.03928 gives the same for every 8-bit value, since no
// k / 255 lies between the two (10 / 255 = 0.0392, 11 / 255 = 0.0431).
double RelativeLuminance(Rgb rgb)
{
    return 0.2126 * LinearOf(rgb.red) + 0.7152 * LinearOf(rgb.green) + 0.0722 * LinearOf(rgb.blue);
}

double ContrastRatio(Rgb first, Rgb second)
{
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The ratio is compared as computed, not as rounded: 4.4999 fails AA.
ContrastLevels LevelsOf(double ratio)
{
    return { Passes(ratio, ContrastLevel::NormalAA), Passes(ratio, ContrastLevel::LargeAA),
        Passes(ratio, ContrastLevel::NormalAAA) };
}

double ThresholdOf(ContrastLevel level)
{
    switch (level) {
    case ContrastLevel::NormalAA:
    case ContrastLevel::LargeAAA:
        return 4.5;
    case ContrastLevel::NormalAAA:
        return 7.0;
    case ContrastLevel::LargeAA:
    case ContrastLevel::NonText:
        return 3.0;
    }
    return 7.0;
}

bool Passes(double ratio, ContrastLevel level)
{
    return ratio >= ThresholdOf(level);
}

// The 1e-9 keeps a ratio whose hundredths come out a hair below a whole number (4.5 computed as
// 4.4999999999999) from losing a hundredth; no ratio of two 8-bit colours lies that close below
// a hundredth without being on it.
std::string RatioText(double ratio)
{
    const long hundredths = static_cast<long>(std::floor(ratio * 100 + 1e-9));
    char text[32];
    std::snprintf(text, sizeof text, "%ld.%02ld:1", hundredths / 100, hundredths % 100);
    return text;
}

std::string ThresholdText(double threshold)
{
    // The thresholds have at most one decimal: "%g" writes them without trailing zeros.
    char text[16];
    std::snprintf(text, sizeof text, "%g:1", threshold);
    return text;
}

std::string ContrastLevelName(ContrastLevel level)
{
    switch (level) {
    case ContrastLevel::NormalAA:
        return Sjis(u8"通常の文字の AA");
    case ContrastLevel::NormalAAA:
        return Sjis(u8"通常の文字の AAA");
    case ContrastLevel::LargeAA:
        return Sjis(u8"大きな文字の AA");
    case ContrastLevel::LargeAAA:
        return Sjis(u8"大きな文字の AAA");
    case ContrastLevel::NonText:
        return Sjis(u8"UI 部品・図形");
    }
    return {};
}
