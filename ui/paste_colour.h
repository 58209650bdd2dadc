#pragma once

#include <string>

#include "colour/rgb.h"

class TForm1;

/// The paste command: shows the colour that the clipboard's text names. When it names none (an
/// empty clipboard too), the information box lists the forms understood and nothing changes.
void PasteColour(TForm1& form);

/// The information box's text of a refused paste (CP932).
std::string PasteRefusalText();
