#pragma once

#include "colour/rgb.h"

/// The colour vision deficiencies that can be simulated: the three kinds of dichromacy (or, at
/// a lesser severity, anomalous trichromacy) and achromatopsia.
enum class VisionKind { Protan, Deutan, Tritan, Achroma };

/// The colour as someone with that vision sees it, on an sRGB display. At severity 1 protan and
/// deutan follow Viénot, Brettel and Mollon (1999), tritan Brettel, Viénot and Mollon (1997);
/// below 1 the three follow Machado, Oliveira and Fernandes (2009), interpolating between the
/// rows of their table (0.1 to 1.0). Achroma is the colour's relative luminance as a grey, mixed
/// in linear light with the colour itself below severity 1. Severity is taken within 0 to 1 (0
/// leaves the colour unchanged, NaN is taken as 1); results are rounded to 8 bits.
Rgb SimulateVision(Rgb rgb, VisionKind kind, double severity = 1.0);
