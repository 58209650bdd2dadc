#pragma once

#include "app/command_line.h"

/// tintora --contrast FG BG: the contrast ratio cut to two decimals on the first line, then each
/// level with its threshold, passed or not. With --suggest, the suggested foreground colours
/// instead (#RRGGBB one a line, darker first; FG itself when it passes). With --vision, both
/// colours as that vision sees them. Exit 0 when the pair passes --level (AA by default) or a
/// suggestion is printed, 1 when it fails or none exists, 2 for an argument that cannot be read or
/// output that cannot be written (the reason on standard error).
int RunContrastCommand(const CommandLine& command);
