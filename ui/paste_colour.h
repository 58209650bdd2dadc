#pragma once

#include <string>
#include <string_view>

#include "colour/rgb.h"

class TForm1;

/// Shows a colour given as a whole as the RGB-to-colour command shows the colour it composed: the
/// HEX box gets its six upper-case digits and CurrentHex that text (so that registering stores
/// it), then the swatch is painted and the R, G and B boxes are written from the HEX box.
void ShowEnteredColour(TForm1& form, Rgb colour);

/// The paste command: shows the colour that the clipboard's text names. When it names none (an
/// empty clipboard too), the information box quotes the text, says what was expected and lists
/// the forms understood, and nothing changes. A colour outside sRGB is shown as the nearest colour
/// sRGB can show, and a box says so.
void PasteColour(TForm1& form);

/// The forms a paste understands, for the box of a refused paste (CP932).
std::string PasteRefusalText();

/// The whole box of a refused paste: the text read (CP932), what was expected, the forms.
std::string PasteRefusalText(std::string_view clipboard, const std::string& expected);
