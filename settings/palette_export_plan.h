#pragma once

#include <string>
#include <vector>

#include "settings/gimp_palette.h"
#include "settings/palette_problem.h"
#include "settings/string_list.h"

/// The colours an export writes, in stored order, and the entries it leaves out (those whose first
/// six bytes are not six hexadecimal digits). An entry without a name is written with its code as
/// its name, which an import gives back the same.
struct ExportPlan
{
    std::vector<PaletteColour> colours;
    std::vector<PaletteProblem> leftOut;
};
ExportPlan PlanExport(const TStringList& entries);

struct UserColorLoad;

/// Throws PaletteError when load cannot stand for the stored colours, so that an export writes
/// nothing rather than a palette short of colours: the settings file at settingsPath is there but
/// cannot be read, or the code-page conversions cannot be set up.
void RefuseFailedLoad(const std::string& settingsPath, const UserColorLoad& load);
