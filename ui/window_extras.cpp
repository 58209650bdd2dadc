#include "ui/window_extras.h"

#include "ui/palette_menu.h"
#include "ui/unit1.h"

void InstallWindowExtras(TForm1& form)
{
    InstallPaletteMenu(form);
}
