#include "app/palette_commands.h"

#include <cstdio>
#include <optional>

#include "colour/exception.h"
#include "platform/codepage.h"
#include "settings/inibrel.h"
#include "settings/palette_error.h"
#include "settings/palette_export_plan.h"
#include "settings/palette_file.h"
#include "settings/palette_import_plan.h"
#include "settings/palette_kind.h"
#include "settings/palette_messages.h"
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

/// "tintora: " and the line (UTF-8) on standard error.
void Report(const std::string& line)
{
    std::fprintf(stderr, "tintora: %s\n", line.c_str());
}

void ReportProblems(const std::string& where, const std::vector<PaletteProblem>& problems)
{
    for (const PaletteProblem& p : problems) {
        Report(RefusedFileLine(where, p.line,
            Utf8Literal(u8"「") + ShownName(p.name) + Utf8Literal(u8"」：") + p.reason));
    }
}

/// The error of anything else the program refuses (a write error of the settings file), whose
/// message is CP932.
int ReportOther(const std::string& file, const Exception& e)
{
    Report(ShownPath(file) + ": " + Cp932ToUtf8(e.Message()));
    return 2;
}

} // namespace

int RunExportPalette(const std::string& file)
{
    const std::optional<PaletteKind> kind = PaletteKindOf(file);
    if (!kind) {
        Report(RefusedFileLine(file, 0,
            Utf8Literal(u8"拡張子からパレットの種類を決められません（.gpl なら GIMP パレット、.css "
                        u8"なら CSS）")));
        return 2;
    }
    try {
        WindowSettings ini;
        const UserColorLoad load = LoadUserColors(*ini);
        RefuseFailedLoad((*ini).Path(), load);
        const ExportPlan plan = PlanExport(load.entries);
        WritePaletteFile(file, PaletteFileText(*kind, file, plan.colours));
        // The stored entries that were left out, named by their key in the settings file.
        ReportProblems((*ini).Path() + " [Usercolor]", plan.leftOut);
        return plan.leftOut.empty() ? 0 : 1;
    } catch (const PaletteError& e) {
        Report(RefusedFileLine(file, e.Line(), e.Reason()));
        return 2;
    } catch (const Exception& e) {
        return ReportOther(file, e);
    }
}

int RunImportPalette(const std::string& file)
{
    try {
        WindowSettings ini;
        const ImportPlan plan = PlanImport(ReadGimpPalette(ReadPaletteFile(file), MaxUserColors));
        const UserColorAppend done = AppendUserColors(*ini, plan.entries);
        for (const PaletteRename& r : plan.renamed) {
            if (done.held[r.entry]) {
                continue;
            }
            Report(RefusedFileLine(file, r.line,
                Utf8Literal(u8"「") + ShownName(r.before) + Utf8Literal(u8"」を「")
                    + ShownName(Cp932ToUtf8(r.after))
                    + Utf8Literal(u8"」という名前で読み込みました")));
        }
        ReportProblems(file, plan.problems);
        if (done.skipped > 0) {
            Report(RefusedFileLine(file, 0,
                Utf8Literal(u8"すでに登録されている") + NumberText(done.skipped)
                    + Utf8Literal(u8"色は読み込みませんでした")));
        }
        return plan.problems.empty() ? 0 : 1;
    } catch (const PaletteError& e) {
        Report(RefusedFileLine(file, e.Line(), e.Reason()));
        return 2;
    } catch (const Exception& e) {
        return ReportOther(file, e);
    }
}
