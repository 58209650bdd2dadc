#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/gimp_palette.h"
#include "settings/palette_problem.h"

/// A colour whose name the settings file's code page cannot hold, stored under that name brought
/// into the code page (see NameInCodePage).
struct PaletteRename
{
    std::int32_t line = 0;
    std::string before; // UTF-8, as the palette names it
    std::string after; // CP932, as it is stored
    std::size_t entry = 0; // its place in ImportPlan::entries
};

/// The entries an import would store, in the palette's order, the colours among them that are
/// stored under another name, and the colours it cannot store.
struct ImportPlan
{
    std::vector<std::string> entries; // CP932: code and name, as the register command stores
    std::vector<PaletteRename> renamed;
    std::vector<PaletteProblem> problems;
};

/// Each colour as an entry: its code in upper case, then its name brought into CP932, or its code
/// when it has none. A name holding a control character (a tab aside), or too long to be read back
/// whole, is a problem instead.
ImportPlan PlanImport(const GimpPalette& palette);
