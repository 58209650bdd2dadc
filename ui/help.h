#pragma once

#include <cstdint>
#include <string>

#include "platform/wintypes.h"

class QWidget;

// The help viewer: a small stand-in that shows the page it has for a help file in a window of its
// own, opens other existing help files with the desktop's default opener, and shows a notice for a
// help file that it cannot find.

inline constexpr UINT HELP_QUIT = 2;
inline constexpr UINT HELP_CONTENTS = 3;

/// The application's help file (a path: the file system's bytes), set once by the entry.
std::string& ApplicationHelpFile();

/// HELP_CONTENTS shows the viewer's page for helpFile (a path: the file system's bytes) from its
/// top, raising the viewer's window when it is already open; a help file without a page is opened
/// with the desktop's opener, or the viewer's own notice is shown when the file does not exist. HELP_QUIT closes what the
/// viewer opened. Non-zero when the command was taken.
BOOL WinHelpA(QWidget* owner, const char* helpFile, UINT command, std::uintptr_t data);
