#pragma once

#include <optional>
#include <string>
#include <string_view>

/// tintora --print COLOUR: the colour's forms, one a line, in the order of the copy menu; with
/// --vision, the forms of the colour as that vision sees it. Exit 0; 2 with the reason on
/// standard error when the text names no colour or vision, or the output fails.
int RunPrintCommand(std::string_view colour, const std::optional<std::string>& vision = {});
