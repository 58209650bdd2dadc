#include "ui/palette_menu.h"

void InstallPaletteMenu(TForm1&) {}
