// The GIMP palette reader on arbitrary bytes, as an import reads any file: nothing crashes, a
// refusal is always the palette error, a palette read keeps within the colour limit, what it reads
// is written and read back the same, and the import's plan stores every colour it does not refuse
// as an entry the settings file can hold.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/codepage.h"
#include "settings/gimp_palette.h"
#include "settings/palette_error.h"
#include "settings/palette_import_plan.h"
#include "settings/palette_messages.h"

namespace {

/// A small limit, so that inputs reach it.
constexpr std::size_t Limit = 64;

bool IsUpperHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    GimpPalette palette;
    try {
        palette = ReadGimpPalette(text, Limit);
    } catch (const PaletteError& e) {
        FUZZ_CHECK(!e.Reason().empty());
        FUZZ_CHECK(FirstInvalidUtf8(e.Reason()) == std::string::npos);
        return 0;
    }
    FUZZ_CHECK(palette.colours.size() <= Limit);
    std::int32_t line = 1;
    for (const PaletteColour& colour : palette.colours) {
        FUZZ_CHECK(colour.line > line);
        line = colour.line;
        FUZZ_CHECK(colour.name.find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(FirstInvalidUtf8(colour.name) == std::string::npos);
    }

    const GimpPalette back = ReadGimpPalette(GimpPaletteText(palette.name, palette.colours), Limit);
    FUZZ_CHECK(back.colours.size() == palette.colours.size());
    for (std::size_t i = 0; i < back.colours.size(); ++i) {
        const PaletteColour& a = palette.colours[i];
        const PaletteColour& b = back.colours[i];
        FUZZ_CHECK(a.red == b.red && a.green == b.green && a.blue == b.blue);
        FUZZ_CHECK(a.name == b.name);
    }

    const ImportPlan plan = PlanImport(palette);
    FUZZ_CHECK(plan.entries.size() + plan.problems.size() == palette.colours.size());
    for (const std::string& entry : plan.entries) {
        FUZZ_CHECK(entry.size() > 6 && entry.size() <= 1023);
        for (std::size_t k = 0; k < 6; ++k)
            FUZZ_CHECK(IsUpperHex(entry[k]));
        for (const char c : entry)
            FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 || c == '\t');
    }
    for (const PaletteRename& r : plan.renamed) {
        FUZZ_CHECK(r.entry < plan.entries.size());
        FUZZ_CHECK(plan.entries[r.entry].substr(6) == r.after);
    }
    for (const PaletteProblem& p : plan.problems) {
        const std::string shown = ShownName(p.name);
        FUZZ_CHECK(shown.find_first_of("\r\n\x1B") == std::string::npos);
    }
    return 0;
}
