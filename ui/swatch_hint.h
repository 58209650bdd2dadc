#pragma once

#include <string>

#include "colour/rgb.h"

class TShape;

/// The swatch's hint for a colour (CP932): the nearest entry of the colour name list and the
/// nearest CSS named colour, each with its code, and the contrast ratio against white and against
/// black with the WCAG 2 levels it passes.
/// With outOfGamut, a last line says that the colour given lay outside sRGB and the nearest colour
/// sRGB can show is shown.
std::string SwatchHintText(Rgb colour, bool outOfGamut = false);

/// Marks the swatch's present colour as brought in from outside sRGB: its hint says so for as long
/// as the swatch shows that colour.
void MarkOutOfGamut(TShape& swatch);

/// Shows SwatchHintText of the swatch's colour as its hint, worked out each time it is shown.
void InstallSwatchHint(TShape& swatch);
