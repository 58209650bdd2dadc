#pragma once

#include "colour/rgb.h"

class QMenu;
class TForm1;

/// Keeps colour at the top of the colours taken last. A history that cannot be written is left
/// as it is: taking a colour never fails for it.
void RememberTakenColour(Rgb colour);

/// Adds the submenu "最近の色" to menu, filled when it is first opened: each colour taken last
/// with its chip and code (choosing one shows it as a paste would), and an entry that empties the
/// list. A history file that cannot be read shows a disabled entry saying so.
void AddRecentColoursMenu(QMenu& menu, TForm1& form);
