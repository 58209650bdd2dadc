#include "colour/colour_vision.h"

#include <algorithm>
#include <cmath>

#include "colour/colour_spaces.h"
#include "colour/colour_vision_p.h"

namespace {

using Vector = std::array<double, 3>;

Vector Times(const VisionMatrix& m, const Vector& v)
{
    return {
        m[0] * v[0] + m[1] * v[1] + m[2] * v[2],
        m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
        m[6] * v[0] + m[7] * v[1] + m[8] * v[2],
    };
}

VisionMatrix Times(const VisionMatrix& a, const VisionMatrix& b)
{
    VisionMatrix product {};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            for (int k = 0; k < 3; ++k) {
                product[row * 3 + column] += a[row * 3 + k] * b[k * 3 + column];
            }
        }
    }
    return product;
}

VisionMatrix Inverse(const VisionMatrix& m)
{
    const double determinant = m[0] * (m[4] * m[8] - m[5] * m[7])
        - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
    return {
        (m[4] * m[8] - m[5] * m[7]) / determinant,
        (m[2] * m[7] - m[1] * m[8]) / determinant,
        (m[1] * m[5] - m[2] * m[4]) / determinant,
        (m[5] * m[6] - m[3] * m[8]) / determinant,
        (m[0] * m[8] - m[2] * m[6]) / determinant,
        (m[2] * m[3] - m[0] * m[5]) / determinant,
        (m[3] * m[7] - m[4] * m[6]) / determinant,
        (m[1] * m[6] - m[0] * m[7]) / determinant,
        (m[0] * m[4] - m[1] * m[3]) / determinant,
    };
}

Vector Cross(const Vector& a, const Vector& b)
{
    return { a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0] };
}

double Dot(const Vector& a, const Vector& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The cone space of Smith and Pokorny (1975) on the Judd-Vos corrected XYZ, as Viénot, Brettel
// and Mollon use it, reached from linear sRGB through their approximation of the Judd-Vos XYZ
// (the sRGB primaries and white transformed, not the spectra).
// clang-format off
constexpr VisionMatrix LmsFromXyz = {
     0.15514, 0.54312, -0.03286,
    -0.15514, 0.45684,  0.03286,
     0,       0,        0.01608,
};
constexpr VisionMatrix XyzFromLinearRgb = {
    0.409568,  0.355041, 0.179167,
    0.213389,  0.706743, 0.0798680,
    0.0186297, 0.114620, 0.912367,
};
// clang-format on

const VisionMatrix& LmsFromLinearRgb()
{
    static const VisionMatrix matrix = Times(LmsFromXyz, XyzFromLinearRgb);
    return matrix;
}

// The cone a dichromat lacks: 0 long (protan), 1 medium (deutan), 2 short (tritan).
int MissingCone(VisionKind kind)
{
    return kind == VisionKind::Protan ? 0 : kind == VisionKind::Deutan ? 1 : 2;
}

// The projection along the missing cone's axis onto the plane through black with that normal.
VisionMatrix ProjectionOnto(const Vector& normal, int cone)
{
    VisionMatrix projection = { 1, 0, 0, 0, 1, 0, 0, 0, 1 };
    for (int column = 0; column < 3; ++column) {
        projection[cone * 3 + column] = column == cone ? 0 : -normal[column] / normal[cone];
    }
    return projection;
}

// The projection in cone space as a matrix on linear RGB.
VisionMatrix OnLinearRgb(const VisionMatrix& projection)
{
    return Times(Inverse(LmsFromLinearRgb()), Times(projection, LmsFromLinearRgb()));
}

Vector LmsOfRgb(const Vector& rgb)
{
    return Times(LmsFromLinearRgb(), rgb);
}

// Monochromatic lights in the Judd-Vos corrected XYZ: the anchors of the tritan half-planes.
constexpr Vector Xyz485 = { 0.05699, 0.16987, 0.5864 };
constexpr Vector Xyz660 = { 0.16161, 0.061, 0.00001 };

// The matrices of Machado, Oliveira and Fernandes (2009) on linear RGB, row by row, for
// severities 0.0, 0.1, ... 1.0.
using MachadoRows = std::array<VisionMatrix, 11>;
// clang-format off
constexpr std::array<MachadoRows, 3> MachadoTable = { {
    // protanomaly
    { {
        {  1.000000,  0.000000,  0.000000,   // 0.0
           0.000000,  1.000000,  0.000000,
           0.000000,  0.000000,  1.000000 },
        {  0.856167,  0.182038, -0.038205,   // 0.1
           0.029342,  0.955115,  0.015544,
          -0.002880, -0.001563,  1.004443 },
        {  0.734766,  0.334872, -0.069637,   // 0.2
           0.051840,  0.919198,  0.028963,
          -0.004928, -0.004209,  1.009137 },
        {  0.630323,  0.465641, -0.095964,   // 0.3
           0.069181,  0.890046,  0.040773,
          -0.006308, -0.007724,  1.014032 },
        {  0.539009,  0.579343, -0.118352,   // 0.4
           0.082546,  0.866121,  0.051332,
          -0.007136, -0.011959,  1.019095 },
        {  0.458064,  0.679578, -0.137642,   // 0.5
           0.092785,  0.846313,  0.060902,
          -0.007494, -0.016807,  1.024301 },
        {  0.385450,  0.769005, -0.154455,   // 0.6
           0.100526,  0.829802,  0.069673,
          -0.007442, -0.022190,  1.029632 },
        {  0.319627,  0.849633, -0.169261,   // 0.7
           0.106241,  0.815969,  0.077790,
          -0.007025, -0.028051,  1.035076 },
        {  0.259411,  0.923008, -0.182420,   // 0.8
           0.110296,  0.804340,  0.085364,
          -0.006276, -0.034346,  1.040622 },
        {  0.203876,  0.990338, -0.194214,   // 0.9
           0.112975,  0.794542,  0.092483,
          -0.005222, -0.041043,  1.046265 },
        {  0.152286,  1.052583, -0.204868,   // 1.0
           0.114503,  0.786281,  0.099216,
          -0.003882, -0.048116,  1.051998 },
    } },
    // deuteranomaly
    { {
        {  1.000000,  0.000000,  0.000000,   // 0.0
           0.000000,  1.000000,  0.000000,
           0.000000,  0.000000,  1.000000 },
        {  0.866435,  0.177704, -0.044139,   // 0.1
           0.049567,  0.939063,  0.011370,
          -0.003453,  0.007233,  0.996220 },
        {  0.760729,  0.319078, -0.079807,   // 0.2
           0.090568,  0.889315,  0.020117,
          -0.006027,  0.013325,  0.992702 },
        {  0.675425,  0.433850, -0.109275,   // 0.3
           0.125303,  0.847755,  0.026942,
          -0.007950,  0.018572,  0.989378 },
        {  0.605511,  0.528560, -0.134071,   // 0.4
           0.155318,  0.812366,  0.032316,
          -0.009376,  0.023176,  0.986200 },
        {  0.547494,  0.607765, -0.155259,   // 0.5
           0.181692,  0.781742,  0.036566,
          -0.010410,  0.027275,  0.983136 },
        {  0.498864,  0.674741, -0.173604,   // 0.6
           0.205199,  0.754872,  0.039929,
          -0.011131,  0.030969,  0.980162 },
        {  0.457771,  0.731899, -0.189670,   // 0.7
           0.226409,  0.731012,  0.042579,
          -0.011595,  0.034333,  0.977261 },
        {  0.422823,  0.781057, -0.203881,   // 0.8
           0.245752,  0.709602,  0.044646,
          -0.011843,  0.037423,  0.974421 },
        {  0.392952,  0.823610, -0.216562,   // 0.9
           0.263559,  0.690210,  0.046232,
          -0.011910,  0.040281,  0.971630 },
        {  0.367322,  0.860646, -0.227968,   // 1.0
           0.280085,  0.672501,  0.047413,
          -0.011820,  0.042940,  0.968881 },
    } },
    // tritanomaly
    { {
        {  1.000000,  0.000000,  0.000000,   // 0.0
           0.000000,  1.000000,  0.000000,
           0.000000,  0.000000,  1.000000 },
        {  0.926670,  0.092514, -0.019184,   // 0.1
           0.021191,  0.964503,  0.014306,
           0.008437,  0.054813,  0.936750 },
        {  0.895720,  0.133330, -0.029050,   // 0.2
           0.029997,  0.945400,  0.024603,
           0.013027,  0.104707,  0.882266 },
        {  0.905871,  0.127791, -0.033662,   // 0.3
           0.026856,  0.941251,  0.031893,
           0.013410,  0.148296,  0.838294 },
        {  0.948035,  0.089490, -0.037526,   // 0.4
           0.014364,  0.946792,  0.038844,
           0.010853,  0.193991,  0.795156 },
        {  1.017277,  0.027029, -0.044306,   // 0.5
          -0.006113,  0.958479,  0.047634,
           0.006379,  0.248708,  0.744913 },
        {  1.104996, -0.046633, -0.058363,   // 0.6
          -0.032137,  0.971635,  0.060503,
           0.001336,  0.317922,  0.680742 },
        {  1.193214, -0.109812, -0.083402,   // 0.7
          -0.058496,  0.979410,  0.079086,
          -0.002346,  0.403492,  0.598854 },
        {  1.257728, -0.139648, -0.118081,   // 0.8
          -0.078003,  0.975409,  0.102594,
          -0.003316,  0.501214,  0.502102 },
        {  1.278864, -0.125333, -0.153531,   // 0.9
          -0.084748,  0.957674,  0.127074,
          -0.000989,  0.601151,  0.399838 },
        {  1.255528, -0.076749, -0.178779,   // 1.0
          -0.078411,  0.930809,  0.147602,
           0.004733,  0.691367,  0.303900 },
    } },
} };
// clang-format on

// A linear component as an sRGB component 0 to 255, clipped to the display's range.
double Encoded(double linear)
{
    return 255 * SrgbFromLinear(std::clamp(linear, 0.0, 1.0));
}

Vector Mixed(const Vector& from, const Vector& to, double amount)
{
    return {
        from[0] + (to[0] - from[0]) * amount,
        from[1] + (to[1] - from[1]) * amount,
        from[2] + (to[2] - from[2]) * amount,
    };
}

Vector Dichromat(const Vector& rgb, VisionKind kind)
{
    if (kind != VisionKind::Tritan) {
        return Times(VienotMatrix(kind), rgb);
    }
    static const BrettelProjection tritan = BrettelTritanProjection();
    return Times(Dot(rgb, tritan.separation) >= 0 ? tritan.first : tritan.second, rgb);
}

Vector AnomalousTrichromat(const Vector& rgb, VisionKind kind, double severity)
{
    const MachadoRows& rows = MachadoTable[MissingCone(kind)];
    // The small allowance keeps a severity such as 0.3 (0.29999... * 10) on its own row.
    const int below = std::min(9, static_cast<int>(std::floor(severity * 10 + 1e-9)));
    const double amount = std::clamp(severity * 10 - below, 0.0, 1.0);
    VisionMatrix m {};
    for (std::size_t i = 0; i < m.size(); ++i) {
        m[i] = rows[below][i] + (rows[below + 1][i] - rows[below][i]) * amount;
    }
    return Times(m, rgb);
}

} // namespace

VisionMatrix VienotMatrix(VisionKind kind)
{
    // One plane for both: through black, sRGB blue and sRGB yellow, which lie close to the
    // 475 nm and 575 nm lights that dichromats of these two kinds see as the unchanged hues.
    const Vector blue = LmsOfRgb({ 0, 0, 1 });
    const Vector yellow = LmsOfRgb({ 1, 1, 0 });
    return OnLinearRgb(ProjectionOnto(Cross(yellow, blue), MissingCone(kind)));
}

BrettelProjection BrettelTritanProjection()
{
    // Two half-planes meeting on the neutral axis (sRGB white), one through the 485 nm light and
    // one through the 660 nm light; the plane through the neutral axis and the short-cone axis
    // separates the colours that project onto each.
    const int cone = MissingCone(VisionKind::Tritan);
    const Vector neutral = LmsOfRgb({ 1, 1, 1 });
    Vector wing1 = Times(LmsFromXyz, Xyz485);
    Vector wing2 = Times(LmsFromXyz, Xyz660);
    Vector axis {};
    axis[cone] = 1;
    const Vector separation = Cross(neutral, axis);
    if (Dot(separation, wing1) < 0) {
        std::swap(wing1, wing2);
    }
    BrettelProjection projection;
    projection.first = OnLinearRgb(ProjectionOnto(Cross(neutral, wing1), cone));
    projection.second = OnLinearRgb(ProjectionOnto(Cross(neutral, wing2), cone));
    const VisionMatrix& lms = LmsFromLinearRgb();
    for (int column = 0; column < 3; ++column) {
        projection.separation[column] = separation[0] * lms[column]
            + separation[1] * lms[3 + column] + separation[2] * lms[6 + column];
    }
    return projection;
}

std::array<double, 3> SimulateVisionUnrounded(Rgb rgb, VisionKind kind, double severity)
{
    severity = std::isnan(severity) ? 1.0 : std::clamp(severity, 0.0, 1.0);
    const Vector linear = { LinearOf(rgb.red), LinearOf(rgb.green), LinearOf(rgb.blue) };
    Vector seen = linear;
    if (kind == VisionKind::Achroma) {
        const double luminance = 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2];
        seen = Mixed(linear, { luminance, luminance, luminance }, severity);
    } else if (severity >= 1) {
        seen = Dichromat(linear, kind);
    } else if (severity > 0) {
        seen = AnomalousTrichromat(linear, kind, severity);
    }
    return { Encoded(seen[0]), Encoded(seen[1]), Encoded(seen[2]) };
}

Rgb SimulateVision(Rgb rgb, VisionKind kind, double severity)
{
    const std::array<double, 3> seen = SimulateVisionUnrounded(rgb, kind, severity);
    return {
        static_cast<int>(std::lround(seen[0])),
        static_cast<int>(std::lround(seen[1])),
        static_cast<int>(std::lround(seen[2])),
    };
}
