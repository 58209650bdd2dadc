#include "app/palette_commands.h"

#include <cstdio>

int RunExportPalette(const std::string&)
{
    std::fputs("tintora: --export-palette is not available yet\n", stderr);
    return 2;
}

int RunImportPalette(const std::string&)
{
    std::fputs("tintora: --import-palette is not available yet\n", stderr);
    return 2;
}
