#pragma once

#include "colour/rgb.h"

class QMenu;

/// Adds one entry for each form the colour is copied in (#FF8000, FF8000, rgb(...), hsl(...),
/// "255, 128, 0", in that order), each showing the text it puts on the clipboard.
void AddCopyFormEntries(QMenu& menu, Rgb colour);
