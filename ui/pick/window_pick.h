#pragma once

class QMenu;
class TForm1;

/// Adds the entry "画面から色を取得" to menu: it picks one colour from the screen into form. Where
/// this platform offers no pick, the entry is disabled and its hint says why.
void AddScreenPickEntry(QMenu& menu, TForm1& form);

/// Picks one colour from the screen and shows it in form as the colour dialog's OK would (the HEX
/// box, the R, G and B boxes, the swatch and CurrentHex). A cancelled or failed pick changes
/// nothing. Returns at once; the pick ends later.
void PickScreenColourInto(TForm1& form);
