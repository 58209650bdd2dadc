#include "colour/nearest_colour.h"

#include <cmath>
#include <string>
#include <vector>

#include "colour/colour_spaces.h"
#include "colour/conversions.h"
#include "colour/css_named_colors.h"
#include "colour/named_colors.h"

namespace {

constexpr double pi = 3.14159265358979323846;

double LabCurve(double t)
{
    constexpr double epsilon = 216.0 / 24389.0; // (6/29)^3
    constexpr double kappa = 24389.0 / 27.0;
    return t > epsilon ? std::cbrt(t) : (kappa * t + 16) / 116;
}

double Degrees(double radians)
{
    return radians * 180 / pi;
}

double Radians(double degrees)
{
    return degrees * pi / 180;
}

// Hue angle in degrees, 0 to 360; 0 for a neutral colour.
double HueAngle(double b, double a)
{
    if (a == 0 && b == 0)
        return 0;
    const double h = Degrees(std::atan2(b, a));
    return h < 0 ? h + 360 : h;
}

// The entry nearest to lab among labs, the first on a tie.
std::size_t Nearest(const std::vector<Lab>& labs, const Lab& lab)
{
    std::size_t best = 0;
    double bestDistance = HUGE_VAL;
    for (std::size_t i = 0; i < labs.size(); ++i) {
        const double distance = Ciede2000(lab, labs[i]);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

template <typename Table> std::vector<Lab> LabsOf(const Table& table)
{
    std::vector<Lab> labs;
    labs.reserve(table.size());
    for (const auto& entry : table)
        labs.push_back(LabOf(RgbOf(HexToColor(std::string(entry.hex)))));
    return labs;
}

} // namespace

// sRGB to CIE XYZ with the sRGB matrix, then to CIELAB. The reference white is the XYZ of sRGB
// white under this matrix (0.9505, 1.0000, 1.0890, the row sums), so that every grey has
// a = b = 0 and white has L = 100; the rounded D65 white 0.95047, 1.0, 1.08883 would leave greys
// a small tint.
Lab LabOf(Rgb rgb)
{
    const double r = LinearOf(rgb.red);
    const double g = LinearOf(rgb.green);
    const double b = LinearOf(rgb.blue);
    constexpr double m[3][3] = {
        { 0.4124, 0.3576, 0.1805 },
        { 0.2126, 0.7152, 0.0722 },
        { 0.0193, 0.1192, 0.9505 },
    };
    const double x = m[0][0] * r + m[0][1] * g + m[0][2] * b;
    const double y = m[1][0] * r + m[1][1] * g + m[1][2] * b;
    const double z = m[2][0] * r + m[2][1] * g + m[2][2] * b;
    const double fx = LabCurve(x / (m[0][0] + m[0][1] + m[0][2]));
    const double fy = LabCurve(y / (m[1][0] + m[1][1] + m[1][2]));
    const double fz = LabCurve(z / (m[2][0] + m[2][1] + m[2][2]));
    return { 116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz) };
}

// CIEDE2000 as published by the CIE (2001), kL = kC = kH = 1, with the hue conventions of
// Sharma, Wu and Dalal (2005): the hue of a neutral colour is 0, and the mean hue of two colours
// whose hues lie more than 180 degrees apart is taken across 0.
double Ciede2000(const Lab& first, const Lab& second)
{
    const double c1 = std::hypot(first.a, first.b);
    const double c2 = std::hypot(second.a, second.b);
    const double meanC = (c1 + c2) / 2;
    const double meanC7 = std::pow(meanC, 7);
    const double g = 0.5 * (1 - std::sqrt(meanC7 / (meanC7 + std::pow(25.0, 7))));
    const double a1 = (1 + g) * first.a;
    const double a2 = (1 + g) * second.a;
    const double cp1 = std::hypot(a1, first.b);
    const double cp2 = std::hypot(a2, second.b);
    const double hp1 = HueAngle(first.b, a1);
    const double hp2 = HueAngle(second.b, a2);

    const double deltaL = second.lightness - first.lightness;
    const double deltaC = cp2 - cp1;
    double deltaH = 0;
    if (cp1 * cp2 != 0) {
        deltaH = hp2 - hp1;
        if (deltaH > 180)
            deltaH -= 360;
        else if (deltaH < -180)
            deltaH += 360;
    }
    const double deltaBigH = 2 * std::sqrt(cp1 * cp2) * std::sin(Radians(deltaH / 2));

    const double meanL = (first.lightness + second.lightness) / 2;
    const double meanCp = (cp1 + cp2) / 2;
    double meanH = hp1 + hp2;
    if (cp1 * cp2 != 0) {
        if (std::abs(hp1 - hp2) <= 180)
            meanH /= 2;
        else
            meanH = meanH < 360 ? (meanH + 360) / 2 : (meanH - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos(Radians(meanH - 30)) + 0.24 * std::cos(Radians(2 * meanH))
        + 0.32 * std::cos(Radians(3 * meanH + 6)) - 0.20 * std::cos(Radians(4 * meanH - 63));
    const double deltaTheta = 30 * std::exp(-std::pow((meanH - 275) / 25, 2));
    const double meanCp7 = std::pow(meanCp, 7);
    const double rc = 2 * std::sqrt(meanCp7 / (meanCp7 + std::pow(25.0, 7)));
    const double l50 = (meanL - 50) * (meanL - 50);
    const double sl = 1 + 0.015 * l50 / std::sqrt(20 + l50);
    const double sc = 1 + 0.045 * meanCp;
    const double sh = 1 + 0.015 * meanCp * t;
    const double rt = -std::sin(Radians(2 * deltaTheta)) * rc;

    const double l = deltaL / sl;
    const double c = deltaC / sc;
    const double h = deltaBigH / sh;
    return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

// The tables' Lab values are worked out on the first search, not at start-up.
std::size_t NearestNamedColor(Rgb rgb)
{
    static const std::vector<Lab> labs = LabsOf(NamedColorTable);
    return Nearest(labs, LabOf(rgb));
}

std::size_t NearestCssColor(Rgb rgb)
{
    static const std::vector<Lab> labs = LabsOf(CssNamedColors);
    return Nearest(labs, LabOf(rgb));
}
