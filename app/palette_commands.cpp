#include "app/palette_commands.h"

#include <cstdio>
#include <optional>

#include "colour/exception.h"
#include "platform/codepage.h"
#include "settings/inibrel.h"
#include "settings/palette_transfer.h"
#include "settings/usercolor_store.h"
#include "settings/window_ini.h"

namespace {

/// The settings component set up as the window's own, so that the file is the one the window uses.
class WindowSettings
{
public:
    WindowSettings()
    {
        SetWindowIniProperties(m_ini);
        m_ini.LoadingComplete();
    }
    TIniBrel& operator*() { return m_ini; }

private:
    TIniBrel m_ini { nullptr };
};

/// "tintora: " and the parts, the program's texts (CP932) shown in UTF-8, on standard error.
void Report(const std::string& where, const std::string& message)
{
    std::fprintf(stderr, "tintora: %s: %s\n", where.c_str(), Cp932ToUtf8(message).c_str());
}

void ReportProblems(const std::string& where, const std::vector<PaletteProblem>& problems)
{
    for (const PaletteProblem& p : problems) {
        std::fprintf(stderr, "tintora: %s:%d: \"%s\": %s\n", where.c_str(), p.line, p.name.c_str(),
            Cp932ToUtf8(p.reason).c_str());
    }
}

} // namespace

int RunExportPalette(const std::string& file)
{
    const std::optional<PaletteKind> kind = PaletteKindOf(file);
    if (!kind) {
        std::fprintf(stderr,
            "tintora: %s: the kind of palette comes from the extension: .gpl (GIMP) or .css\n",
            file.c_str());
        return 2;
    }
    try {
        WindowSettings ini;
        const ExportPlan plan = PlanExport(LoadUserColors(*ini).entries);
        WritePaletteFile(file, PaletteFileText(*kind, file, plan.colours));
        // The stored entries that were left out, named by their key in the settings file.
        ReportProblems((*ini).Path() + " [Usercolor]", plan.leftOut);
        return plan.leftOut.empty() ? 0 : 1;
    } catch (const Exception& e) {
        Report(file, e.Message());
        return 2;
    }
}

int RunImportPalette(const std::string& file)
{
    try {
        WindowSettings ini;
        const ImportPlan plan = PlanImport(ReadGimpPalette(ReadPaletteFile(file)));
        RegisterUserColors(*ini, plan.entries);
        ReportProblems(file, plan.problems);
        return plan.problems.empty() ? 0 : 1;
    } catch (const Exception& e) {
        Report(file, e.Message());
        return 2;
    }
}
