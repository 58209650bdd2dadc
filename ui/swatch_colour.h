#pragma once

#include "colour/rgb.h"

class TShape;

/// The colour the swatch shows (a system colour resolved to its current value).
Rgb SwatchColour(const TShape& swatch);
