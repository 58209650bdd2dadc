#pragma once

#include <optional>
#include <string_view>

#include "colour/rgb.h"

/// Reads one colour from a text (CP932 bytes) as a user pastes or types it: #RRGGBB, RRGGBB,
/// #RGB, #RRGGBBAA and #RGBA (alpha ignored), rgb()/rgba() and hsl()/hsla() in the comma and the
/// space syntax, "R,G,B" and "R G B", a CSS named colour (any case) or a name of the named colour
/// list exactly as listed (its own value wins over a CSS name of the same letters). Blanks and
/// line ends around it are ignored; the full-width forms a Japanese input method types read as
/// their half-width ones. Nothing when the text names no colour.
std::optional<Rgb> ReadColourText(std::string_view cp932);
