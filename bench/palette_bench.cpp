// Palettes in and out with many colours.
// Import/N: reading a GIMP palette of N colours, planning and storing them all in one write into
// an empty settings file.
// ImportInto/kind/N: the same through the import's append, into a settings file that holds
// another section and no colours yet: 0 a CP932 file whose last line ends with CR LF, 1 one whose
// last line has no line end (as Notepad saves it), 2 a UTF-16LE file.
// Export/N and ExportCss/N: loading N stored colours and writing them as a GIMP palette or CSS.
// ExportCssOneName/N: N colours that all share one name, so each property needs a free name.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "settings/inibrel.h"
#include "settings/css_palette.h"
#include "settings/palette_export_plan.h"
#include "settings/palette_file.h"
#include "settings/palette_import_plan.h"
#include "settings/palette_kind.h"
#include "settings/usercolor_store.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder()
{
    static const fs::path folder = [] {
        fs::path made =
            fs::temp_directory_path() / ("tintora-palette-bench-" + std::to_string(::getpid()));
        fs::create_directories(made);
        return made;
    }();
    return folder;
}

void Settings(TIniBrel& ini, const fs::path& path)
{
    ini.SetDefaultDir(ddNone);
    ini.SetFence(fnNone);
    ini.SetFileName(path.string());
}

std::string PaletteOf(int count)
{
    std::string text = "GIMP Palette\nName: bench\nColumns: 16\n#\n";
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(
            line, sizeof line, "%3d %3d %3d\tcolour %d\n", i % 256, i / 256 % 256, i * 7 % 256, i);
        text += line;
    }
    return text;
}

void Import(benchmark::State& state)
{
    const fs::path palette = Folder() / "in.gpl";
    const fs::path ini = Folder() / "Import.ini";
    const std::string text = PaletteOf(static_cast<int>(state.range(0)));
    WritePaletteFile(palette.string(), text);
    TIniBrel settings(nullptr);
    Settings(settings, ini);
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(ini);
        state.ResumeTiming();
        const ImportPlan plan = PlanImport(ReadGimpPalette(ReadPaletteFile(palette.string())));
        benchmark::DoNotOptimize(RegisterUserColors(settings, plan.entries));
    }
}
BENCHMARK(Import)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

/// The settings file an import starts from, of the kind ImportInto's first argument names.
std::string StartingFile(std::int64_t kind)
{
    // No colours yet, so that 100,000 fit; the count is the last line.
    const std::string text = "[Other]\r\nk=v\r\n[Usercolor]\r\nUsercolcnt=0";
    if (kind == 1)
        return text;
    if (kind == 0)
        return text + "\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : text + "\r\n")
        utf16.append({ c, '\0' });
    return utf16;
}

void ImportInto(benchmark::State& state)
{
    const fs::path palette = Folder() / "into.gpl";
    const fs::path ini = Folder() / "ImportInto.ini";
    WritePaletteFile(palette.string(), PaletteOf(static_cast<int>(state.range(1))));
    const std::string start = StartingFile(state.range(0));
    TIniBrel settings(nullptr);
    Settings(settings, ini);
    for (auto _ : state) {
        state.PauseTiming();
        WritePaletteFile(ini.string(), start);
        state.ResumeTiming();
        const ImportPlan plan =
            PlanImport(ReadGimpPalette(ReadPaletteFile(palette.string()), MaxUserColors));
        benchmark::DoNotOptimize(AppendUserColors(settings, plan.entries));
    }
}
BENCHMARK(ImportInto)
    ->ArgsProduct({ { 0, 1, 2 }, { 10000, 20000, 100000 } })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void ExportCssOneName(benchmark::State& state)
{
    std::vector<PaletteColour> colours(static_cast<std::size_t>(state.range(0)));
    for (PaletteColour& colour : colours)
        colour.name = "Untitled";
    for (auto _ : state)
        benchmark::DoNotOptimize(CssPaletteText(colours));
}
BENCHMARK(ExportCssOneName)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void ExportAs(benchmark::State& state, PaletteKind kind, const char* name)
{
    const fs::path ini = Folder() / "Export.ini";
    fs::remove(ini);
    TIniBrel settings(nullptr);
    Settings(settings, ini);
    RegisterUserColors(
        settings, PlanImport(ReadGimpPalette(PaletteOf(static_cast<int>(state.range(0))))).entries);
    const std::string out = (Folder() / name).string();
    for (auto _ : state) {
        const ExportPlan plan = PlanExport(LoadUserColors(settings).entries);
        WritePaletteFile(out, PaletteFileText(kind, out, plan.colours));
    }
}

void Export(benchmark::State& state)
{
    ExportAs(state, PaletteKind::Gimp, "out.gpl");
}
BENCHMARK(Export)->Arg(10000)->Unit(benchmark::kMillisecond);

void ExportCss(benchmark::State& state)
{
    ExportAs(state, PaletteKind::Css, "out.css");
}
BENCHMARK(ExportCss)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(Folder(), ignored);
    return 0;
}
