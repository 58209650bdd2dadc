#pragma once

#include <string>

#include "colour/rgb.h"

class TShape;

/// The swatch's hint for a colour (CP932): the nearest entry of the colour name list and the
/// nearest CSS named colour, each with its code, and the contrast ratio against white and against
/// black with the WCAG 2 levels it passes.
std::string SwatchHintText(Rgb colour);

/// Shows SwatchHintText of the swatch's colour as its hint, worked out each time it is shown.
void InstallSwatchHint(TShape& swatch);
