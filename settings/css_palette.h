#pragma once

#include <string>
#include <vector>

#include "settings/gimp_palette.h"

/// The colours as a CSS file: a ":root" block with one custom property per colour, in order,
/// valued "#RRGGBB" and followed by the colour's name in a comment. A property's name is "--" and
/// the colour's name made into an identifier (letters, digits, "-", "_" and the non-ASCII
/// characters identifiers allow; every other run of characters becomes one "-"), "color" when
/// nothing is left; a name taken before gets "-2", "-3", ... The names are UTF-8.
std::string CssPaletteText(const std::vector<PaletteColour>& colours);

/// The custom property name (without "--") that a colour's name gives before it is made unique.
std::string CssIdentifier(const std::string& name);
