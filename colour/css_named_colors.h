#pragma once

#include <array>
#include <string_view>

/// One colour keyword of CSS: its name in lower case and its code as six upper-case digits.
struct CssNamedColor
{
    std::string_view name;
    std::string_view hex;
};

/// Every named colour of CSS Color (level 4), in alphabetical order.
extern const std::array<CssNamedColor, 148> CssNamedColors;
