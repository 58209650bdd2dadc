#pragma once

// The system colours taken from the desktop's palette as Qt reports it (light, dark and
// high-contrast schemes alike, read from the desktop's settings by Qt's platform theme).

/// Makes GetSysColor give the desktop's current colours wherever the platform shows windows on a
/// desktop. Qt's offscreen and minimal platforms have none: there the classic scheme stays.
/// GetSysColor reads the palette at each call, so it follows a change of scheme at once.
void FollowDesktopColors();
