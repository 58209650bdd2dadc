#pragma once

#include <optional>
#include <string>
#include <string_view>

/// tintora --print COLOUR: the colour's forms, one a line, in the order of the copy menu; with
/// --format=FORM only that form (hex, bare, rgb, hsl, triple, oklch); with --vision, the forms of
/// the colour as that vision sees it. A colour outside sRGB is printed as the nearest colour sRGB
/// can show, with a note on standard error. Exit 0; 2 with the reason on standard error when the
/// text names no colour, the form or the vision is unknown or the output fails.
int RunPrintCommand(std::string_view colour, std::optional<std::string_view> format = std::nullopt,
    const std::optional<std::string>& vision = std::nullopt);
