#pragma once

class TForm1;

/// The user colour list's context menu: export the stored colours to a palette file, import the
/// colours of a palette file.
void InstallPaletteMenu(TForm1& form);
