#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/gimp_palette.h"

enum class PaletteKind : std::uint8_t { Gimp, Css };

/// The kind that path's extension names (".gpl" or ".css", any case); nullopt for another one.
std::optional<PaletteKind> PaletteKindOf(const std::string& path);

/// The export's text for the file at path: a GIMP palette named after the file (its name without
/// folder and extension) or CSS.
std::string PaletteFileText(
    PaletteKind kind, const std::string& path, const std::vector<PaletteColour>& colours);
