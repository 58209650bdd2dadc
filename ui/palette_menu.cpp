#include "ui/palette_menu.h"

#include <algorithm>
#include <optional>
#include <string>

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

#include "platform/codepage.h"
#include "settings/palette_error.h"
#include "settings/palette_export_plan.h"
#include "settings/palette_file.h"
#include "settings/palette_import_plan.h"
#include "settings/palette_kind.h"
#include "settings/palette_messages.h"
#include "settings/usercolor_store.h"
#include "ui/boxes.h"
#include "ui/context_menu.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

/// The path the user chose, as the file system's bytes.
std::string FileSystemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

/// A palette file that was refused as a whole, shown as written with what became of the colours.
void ShowRefusal(const QString& path, const PaletteError& error, std::u8string_view outcome)
{
    ShowWarningBoxUtf8(RefusedFileText(path.toStdString(), error, outcome), mbOK);
}

void ExportPalette(TForm1& form)
{
    const QString gimp = ToQString(u8"GIMP パレット (*.gpl)");
    const QString css = ToQString(u8"CSS (*.css)");
    QFileDialog dialog(&form, ToQString(u8"パレットに書き出す"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({ gimp, css });
    // The dialog adds the kind's extension to a name typed without one, before it asks whether
    // to replace an existing file.
    dialog.setDefaultSuffix(QStringLiteral("gpl"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == css ? QStringLiteral("css") : QStringLiteral("gpl"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    QString chosen = dialog.selectedFiles().constFirst();
    const bool cssChosen = dialog.selectedNameFilter() == css;
    std::optional<PaletteKind> kind = PaletteKindOf(FileSystemPath(chosen));
    if (!kind) {
        // A dialog that did not add the extension itself (a desktop's own): it is added here,
        // and replacing a file of that name is asked here too.
        chosen += cssChosen ? QStringLiteral(".css") : QStringLiteral(".gpl");
        kind = cssChosen ? PaletteKind::Css : PaletteKind::Gimp;
        if (QFileInfo::exists(chosen)
            && ShowWarningBoxUtf8(ShownPath(chosen.toStdString())
                       + Utf8Literal(u8" はすでにあります。置き換えますか？"),
                   mbYes | mbNo)
                != idYes) {
            return;
        }
    }
    const std::string path = FileSystemPath(chosen);
    ExportPlan plan;
    try {
        const UserColorLoad load = LoadUserColors(*form.IniBrel1);
        RefuseFailedLoad(form.IniBrel1->Path(), load);
        plan = PlanExport(load.entries);
        WritePaletteFile(path, PaletteFileText(*kind, path, plan.colours));
    } catch (const PaletteError& e) {
        ShowRefusal(chosen, e, u8"何も書き出していません。");
        return;
    }
    ShowInformationBoxUtf8(ExportDoneText(plan.colours.size(), chosen.toStdString(), plan.leftOut));
}

void ImportPalette(TForm1& form)
{
    const QString chosen = QFileDialog::getOpenFileName(&form, ToQString(u8"パレットから読み込む"),
        QString(), ToQString(u8"GIMP パレット (*.gpl)"));
    if (chosen.isEmpty()) {
        return;
    }
    static constexpr std::u8string_view unchanged = u8"ユーザカラーは変わっていません。";
    try {
        const ImportPlan plan =
            PlanImport(ReadGimpPalette(ReadPaletteFile(FileSystemPath(chosen)), MaxUserColors));
        // The colours stored already are neither asked about nor stored again.
        const std::vector<bool> held =
            StoredAlready(plan.entries, LoadUserColors(*form.IniBrel1).entries);
        std::vector<PaletteRename> renamed;
        for (const PaletteRename& r : plan.renamed) {
            if (!held[r.entry]) {
                renamed.push_back(r);
            }
        }
        const auto toStore = static_cast<std::size_t>(std::count(held.begin(), held.end(), false));
        if (toStore > 0 && (!renamed.empty() || !plan.problems.empty())
            && ShowWarningBoxUtf8(ImportQuestion(renamed, plan.problems, toStore), mbYes | mbNo)
                != idYes) {
            return;
        }
        const UserColorAppend done = AppendUserColors(*form.IniBrel1, plan.entries);
        // The list and the drop-down show the stored colours again, as the program's start loads
        // them, so colours registered earlier in this run are listed too.
        form.ReloadUserColors();
        std::string message = ImportDoneText(done.added, done.skipped);
        if (toStore == 0 && !plan.problems.empty()) {
            message = Utf8Literal(u8"次の色は読み込めません。\n")
                + ProblemLines(plan.problems, false) + "\n" + message;
        }
        ShowInformationBoxUtf8(message);
    } catch (const PaletteError& e) {
        ShowRefusal(chosen, e, unchanged);
    }
}

QMenu* PaletteMenu(TForm1& form, QLineEdit& field)
{
    // The text field's own edit entries first.
    QMenu* menu = field.createStandardContextMenu();
    menu->addSeparator();
    QObject::connect(menu->addAction(ToQString(u8"パレットに書き出す…")), &QAction::triggered,
        &form, [&form] { RunHandler([&form] { ExportPalette(form); }); });
    QObject::connect(menu->addAction(ToQString(u8"パレットから読み込む…")), &QAction::triggered,
        &form, [&form] { RunHandler([&form] { ImportPalette(form); }); });
    return menu;
}

} // namespace

void InstallPaletteMenu(TForm1& form)
{
    QLineEdit* field = form.ComboBox2->lineEdit();
    if (!field) {
        return;
    }
    SetContextMenu(*field, [&form, field] { return PaletteMenu(form, *field); });
}
