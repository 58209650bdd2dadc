#pragma once

#include <cstdio>
#include <string_view>

// What the command line prints: the program's texts are CP932, the terminal's are UTF-8.

/// Writes a text (CP932) to stream as UTF-8 and flushes it. False when the text could not be
/// written whole (a closed pipe, a full disk).
bool PrintText(std::FILE* stream, std::string_view cp932);

/// Prints "tintora: " and the reason (CP932) as one line on standard error. Returns 2, the exit
/// status of a command that could not be done.
int ReportFailure(std::string_view reason);

/// Prints text on standard output; a failed write is reported as a failure. Returns 0 or 2.
int PrintResult(std::string_view cp932);
