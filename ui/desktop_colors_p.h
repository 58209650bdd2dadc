#pragma once

// Testing seam: installs the desktop palette as the source of the system colours on any platform,
// Qt's offscreen one included (FollowDesktopColors does the same where a desktop is present).
void InstallDesktopColorSource();
