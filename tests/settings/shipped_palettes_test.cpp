// The palettes that GIMP and Inkscape ship are real input that no one here wrote: each is read and
// imported into a store of its own, and what it gave is printed (colours stored, colours left out
// and why). GIMP's come with its package; Inkscape's are taken from its package by the set-up
// without installing it.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "colour/exception.h"
#include "platform/codepage.h"
#include "settings/inibrel.h"
#include "settings/css_palette.h"
#include "settings/palette_export_plan.h"
#include "settings/palette_file.h"
#include "settings/palette_import_plan.h"
#include "settings/palette_kind.h"
#include "settings/usercolor_store.h"
#include "tests/support/ini_on_file.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

/// The .gpl files in each folder that is there, sorted.
std::vector<fs::path> Palettes(const std::vector<fs::path>& folders)
{
    std::vector<fs::path> found;
    for (const fs::path& folder : folders) {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(folder, ignored)) {
            if (entry.path().extension() == ".gpl")
                found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

void ImportEach(const std::string& who, const std::vector<fs::path>& palettes)
{
    ASSERT_FALSE(palettes.empty())
        << "no palettes of " << who << " (scripts/setup.sh puts them in place)";
    for (const fs::path& file : palettes) {
        SCOPED_TRACE(file.string());
        ScratchDir scratch("shipped-");
        TIniBrel ini(nullptr);
        IniOn(ini, scratch.File("Tintora.ini"));
        try {
            const GimpPalette palette = ReadGimpPalette(ReadPaletteFile(file.string()));
            const ImportPlan plan = PlanImport(palette);
            RegisterUserColors(ini, plan.entries);
            const UserColorLoad load = LoadUserColors(ini);
            EXPECT_EQ(load.entries.size(), plan.entries.size());
            EXPECT_EQ(plan.entries.size() + plan.problems.size(), palette.colours.size());
            for (std::size_t i = 0; i < plan.entries.size() && i < load.entries.size(); ++i)
                EXPECT_EQ(load.entries[i], plan.entries[i]);
            std::cout << who << " " << file.filename().string() << ": " << plan.entries.size()
                      << " of " << palette.colours.size() << " colours stored\n";
            for (const PaletteProblem& p : plan.problems) {
                std::cout << "  left out, line " << p.line << " \"" << p.name << "\": " << p.reason
                          << "\n";
            }
        } catch (const Exception& e) {
            ADD_FAILURE() << "refused: " << Cp932ToUtf8(e.Message());
        }
    }
}

TEST(ShippedPalettes, GimpsImportWhole)
{
    ImportEach(
        "GIMP", Palettes({ "/usr/share/gimp/2.0/palettes", "/usr/share/gimp/3.0/palettes" }));
}

TEST(ShippedPalettes, InkscapesImportWhole)
{
    ImportEach(
        "Inkscape", Palettes({ fs::path(TINTORA_SOURCE_DIR) / "build/shipped-palettes/inkscape" }));
}

} // namespace
