#pragma once

#include <array>
#include <string_view>

struct NamedColor
{
    std::string_view name;
    std::string_view hex;
};

/// The 63 named colours of the colour name list, in list order. Names and codes are the
/// program's fixed texts, misspellings included.
extern const std::array<NamedColor, 63> NamedColorTable;
