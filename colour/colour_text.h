#pragma once

#include <optional>
#include <string_view>

#include "colour/rgb.h"

/// Reads one colour from a text (CP932 bytes) as a user pastes or types it. Nothing when the text
/// names no colour (an empty text among them).
///
/// - "#RRGGBB", "#RGB", "#RRGGBBAA", "#RGBA" and "RRGGBB", digits in any case. Alpha is ignored,
///   but a code with alpha 0 is fully transparent and names nothing that can be shown, like the
///   keyword "transparent"; it is refused (so is "#FF80", a six-digit code cut short).
/// - rgb()/rgba() and hsl()/hsla(), names in any case, in the comma syntax "rgb(255, 128, 0)"
///   with an optional fourth alpha, or the space syntax "rgb(255 128 0 / 50%)"; never both in
///   one text. rgb() takes numbers or percentages (the comma syntax one kind for all three, the
///   space syntax any mix, and none for 0); hsl() takes a hue as a number or in deg, grad, rad or
///   turn, then saturation and lightness as percentages, or also as plain numbers in the space
///   syntax ("hsl(30 100 50)", but not "hsl(30,100,50)"). Out-of-range values are clamped (rgb
///   channels to 0-255, percentages to 0-100%), hues go round the circle; channels are rounded
///   half up at the end. Alpha is ignored, except that alpha 0 (or less) is refused as above.
/// - "R,G,B" (blanks allowed around the commas) and "R G B" (spaces or tabs): decimal digits
///   only, 0 to 255 each; a value out of range is refused, not clamped.
/// - A name of the named colour list exactly as listed, with its own value ("gold" is CC7F32);
///   otherwise a CSS named colour in any case ("Gold" is the CSS FFD700). "transparent" and
///   "currentcolor" are not colours.
///
/// Blanks (space, tab, ideographic space) and line ends around the colour are ignored. The
/// full-width digits, letters and the signs # , ( ) % . + - / and the ideographic space, as a
/// Japanese input method types them, read as their half-width forms; any other double-byte or
/// half-width katakana character, or a control character other than the blanks, refuses the
/// text. The work is linear in the text's length, so a large clipboard is read at once.
std::optional<Rgb> ReadColourText(std::string_view cp932);
