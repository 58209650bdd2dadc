#pragma once

#include <string>

// The palette options, run without the window on the settings file the window would use. file
// is a path as the file system's bytes. Exit 0 when done, 1 when some colours were left out
// (listed on standard error), 2 on a refused file or a write error (nothing written).

/// tintora --export-palette FILE: the stored user colours as a GIMP palette (.gpl) or CSS (.css).
int RunExportPalette(const std::string& file);

/// tintora --import-palette FILE: appends the colours of a GIMP palette to the user colours.
int RunImportPalette(const std::string& file);
