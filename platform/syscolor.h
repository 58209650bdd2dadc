#pragma once

#include <optional>

#include "platform/wintypes.h"

/// Gives the desktop's current colour of a display element by index, as 0x00BBGGRR, or nothing
/// for an element the desktop has no colour for.
using SysColorSource = std::optional<DWORD> (*)(int index);

/// The display-element colours of the platform, by index (COLOR_BTNFACE = 15, ...), as 0x00BBGGRR:
/// the desktop's current ones where a source is installed; the classic Windows scheme for every
/// element the source does not give, and for all of them while none is installed (no desktop).
/// An unknown index gives 0 (black).
DWORD GetSysColor(int index);

/// Installs the source of the desktop's colours; nullptr goes back to the classic scheme.
void SetSysColorSource(SysColorSource source);
