#pragma once

#include <cstdint>
#include <string>

/// A colour of a palette that an import cannot store, or a stored entry that an export leaves out.
struct PaletteProblem
{
    std::int32_t line = 0; // the palette's line, or the entry's key
    std::string name; // UTF-8
    std::string reason; // UTF-8
};
