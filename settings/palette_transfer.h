#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/css_palette.h"
#include "settings/gimp_palette.h"
#include "settings/string_list.h"

// Between palette files and the user colours: which colours of a palette can be stored and which
// stored entries a palette can hold, and the files' reading and writing.

/// A colour of a palette that cannot be stored, or a stored entry that cannot be exported.
struct PaletteProblem
{
    std::int32_t line = 0; // the palette's line, or the entry's key
    std::string name; // UTF-8
    std::string reason; // CP932
};

/// The entries an import would store, in the palette's order, and the colours it cannot store.
struct ImportPlan
{
    std::vector<std::string> entries; // CP932: code and name, as the register command stores
    std::vector<PaletteProblem> problems;
};

/// Each colour as an entry: its code in upper case, then its name in CP932, or its code when it
/// has none. A name that CP932 cannot hold, or that is too long to be read back whole, is a
/// problem instead.
ImportPlan PlanImport(const GimpPalette& palette);

/// The colours an export writes, in stored order, and the entries it leaves out (those whose first
/// six bytes are not six hexadecimal digits). An entry without a name is written with its code as
/// its name, which an import gives back the same.
struct ExportPlan
{
    std::vector<PaletteColour> colours;
    std::vector<PaletteProblem> leftOut;
};
ExportPlan PlanExport(const TStringList& entries);

enum class PaletteKind : std::uint8_t { Gimp, Css };

/// The kind that path's extension names (".gpl" or ".css", any case); nullopt for another one.
std::optional<PaletteKind> PaletteKindOf(const std::string& path);

/// The file's bytes; Exception for a file that cannot be read or is larger than MaxPaletteBytes.
std::string ReadPaletteFile(const std::string& path);

/// The export's text for the file at path: a GIMP palette named after the file (its name without
/// folder and extension) or CSS.
std::string PaletteFileText(
    PaletteKind kind, const std::string& path, const std::vector<PaletteColour>& colours);

/// Puts text in place of the file at path in one step (a link is followed); the write error for
/// path when it cannot.
void WritePaletteFile(const std::string& path, const std::string& text);

/// A palette's colour name (UTF-8) as the program's texts can show it (CP932): each character
/// that CP932 lacks written as "<U+XXXX>".
std::string NameForDisplay(const std::string& utf8);
