#pragma once

#include "platform/wintypes.h"

// The display-element colours of the platform, by index (COLOR_BTNFACE = 15, ...), as 0x00BBGGRR.
// The values are the classic Windows scheme; an unknown index gives 0 (black).
DWORD GetSysColor(int index);
