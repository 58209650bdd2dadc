#pragma once

#include <string_view>

/// tintora --print COLOUR: the colour's forms, one a line, in the order of the copy menu. Exit 0;
/// 2 with the reason on standard error when the text names no colour or the output fails.
int RunPrintCommand(std::string_view colour);
