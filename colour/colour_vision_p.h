#pragma once

// What the vision simulation is built from, for tests that check it against published values.

#include <array>

#include "colour/colour_vision.h"

using VisionMatrix = std::array<double, 9>; // row by row, applied to linear RGB columns

/// The single projection of Viénot, Brettel and Mollon (1999) for Protan or Deutan, as one
/// matrix on linear RGB.
VisionMatrix VienotMatrix(VisionKind kind);

/// The two half-plane projections of Brettel, Viénot and Mollon (1997) for Tritan, as matrices
/// on linear RGB, and the normal (in linear RGB) of the plane that chooses between them: a
/// colour on its positive side (or on it) takes first.
struct BrettelProjection
{
    VisionMatrix first {};
    VisionMatrix second {};
    std::array<double, 3> separation {};
};

BrettelProjection BrettelTritanProjection();

/// SimulateVision before rounding: the sRGB components, each 0 to 255.
std::array<double, 3> SimulateVisionUnrounded(Rgb rgb, VisionKind kind, double severity);
