#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// GIMP palette files (.gpl): UTF-8 text, the header line "GIMP Palette", optional "Name:" and
// "Columns:" lines, then one colour a line as three decimal components and an optional name.

/// One colour of a palette: the line it stands on (from 1), its components and its name in UTF-8,
/// without the blanks around it (empty when the line names none).
struct PaletteColour
{
    std::int32_t line = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::string name;
};

struct GimpPalette
{
    std::string name; // the "Name:" line's text, empty when there is none
    std::vector<PaletteColour> colours;
};

/// The largest palette file read: 16 MiB.
inline constexpr std::size_t MaxPaletteBytes = std::size_t { 16 } << 20;

/// Reads a GIMP palette as GIMP does, leniently: a UTF-8 byte-order mark, CR LF, LF or CR line
/// ends, blank and comment ("#") lines anywhere, "Name:" and "Columns:" optional, blanks or tabs
/// between the numbers. Throws PaletteError, with the line where one is to blame, for text that is
/// larger than MaxPaletteBytes, is not UTF-8, does not begin with the header, has a colour line
/// whose three numbers are not all there or not all from 0 to 255, or holds more than maxColours
/// colours (found while reading, so a huge palette never takes memory for all of its colours).
GimpPalette ReadGimpPalette(std::string_view text, std::size_t maxColours = SIZE_MAX);

/// The palette as GIMP writes it: the header, "Name:" name, "Columns:", a "#" line, then each
/// colour as "R G B" right-aligned in three columns, a tab and its name. name and the colours'
/// names are UTF-8; a line end in them becomes a blank.
std::string GimpPaletteText(std::string_view name, const std::vector<PaletteColour>& colours);

/// The position of the first byte of text that is not part of a valid UTF-8 sequence (overlong
/// forms, surrogates and code points above U+10FFFF included); npos when all of it is valid.
std::size_t FirstInvalidUtf8(std::string_view text);
