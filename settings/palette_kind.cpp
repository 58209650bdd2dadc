#include "settings/palette_kind.h"

#include <strings.h>

#include "platform/codepage.h"
#include "settings/css_palette.h"

std::optional<PaletteKind> PaletteKindOf(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t separator = path.rfind('/');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return std::nullopt;
    const char* extension = path.c_str() + dot;
    if (strcasecmp(extension, ".gpl") == 0)
        return PaletteKind::Gimp;
    if (strcasecmp(extension, ".css") == 0)
        return PaletteKind::Css;
    return std::nullopt;
}

std::string PaletteFileText(
    PaletteKind kind, const std::string& path, const std::vector<PaletteColour>& colours)
{
    if (kind == PaletteKind::Css)
        return CssPaletteText(colours);
    const std::size_t separator = path.rfind('/');
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    // A file name need not be UTF-8; the palette's text must be.
    if (FirstInvalidUtf8(name) != std::string::npos)
        name = Cp932ToUtf8(Utf8ToCp932(name));
    return GimpPaletteText(name, colours);
}
