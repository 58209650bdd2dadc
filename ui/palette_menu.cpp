#include "ui/palette_menu.h"

#include <optional>
#include <string>

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

#include "colour/integer_text.h"
#include "platform/codepage.h"
#include "settings/palette_transfer.h"
#include "settings/usercolor_store.h"
#include "ui/boxes.h"
#include "ui/context_menu.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

/// At most this many problems are listed in a box; the rest are counted.
constexpr std::size_t ListedProblems = 20;

/// The problems as lines of a box (CP932): line or key, name, reason; the rest counted.
std::string ProblemLines(const std::vector<PaletteProblem>& problems, std::u8string_view where)
{
    std::string lines;
    for (std::size_t i = 0; i < problems.size() && i < ListedProblems; ++i) {
        const PaletteProblem& p = problems[i];
        lines += IntToStr(p.line) + Sjis(where) + " \"" + NameForDisplay(p.name) + "\": " + p.reason
            + "\n";
    }
    if (problems.size() > ListedProblems) {
        lines += Sjis(u8"ほか ")
            + IntToStr(static_cast<std::int32_t>(problems.size() - ListedProblems))
            + Sjis(u8" 件\n");
    }
    return lines;
}

/// The path the user chose, as the file system's bytes.
std::string FileSystemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
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
            && ShowWarningBox(
                   FromQString(chosen) + Sjis(u8" は既にあります。置き換えますか?"), mbYes | mbNo)
                != idYes) {
            return;
        }
    }
    const std::string path = FileSystemPath(chosen);
    const ExportPlan plan = PlanExport(LoadUserColors(*form.IniBrel1).entries);
    WritePaletteFile(path, PaletteFileText(*kind, path, plan.colours));

    std::string message = IntToStr(static_cast<std::int32_t>(plan.colours.size()))
        + Sjis(u8" 色を書き出しました: ") + FromQString(chosen);
    if (!plan.leftOut.empty()) {
        message += "\n\n" + Sjis(u8"色コードが 16 進 6 桁でないため書き出さなかった項目: ")
            + IntToStr(static_cast<std::int32_t>(plan.leftOut.size())) + Sjis(u8" 件\n")
            + ProblemLines(plan.leftOut, u8" 番目");
    }
    ShowInformationBox(message);
}

void ImportPalette(TForm1& form)
{
    const QString chosen = QFileDialog::getOpenFileName(&form, ToQString(u8"パレットから読み込む"),
        QString(), ToQString(u8"GIMP パレット (*.gpl);;すべてのファイル (*)"));
    if (chosen.isEmpty()) {
        return;
    }
    const ImportPlan plan = PlanImport(ReadGimpPalette(ReadPaletteFile(FileSystemPath(chosen))));
    if (!plan.problems.empty()) {
        const std::string question = Sjis(u8"次の色は読み込めません:\n")
            + ProblemLines(plan.problems, u8" 行目") + "\n" + Sjis(u8"残りの ")
            + IntToStr(static_cast<std::int32_t>(plan.entries.size()))
            + Sjis(u8" 色を読み込みますか?");
        if (ShowWarningBox(question, mbYes | mbNo) != idYes) {
            return;
        }
    }
    RegisterUserColors(*form.IniBrel1, plan.entries);
    // The list and the drop-down show the stored colours again, as the program's start loads
    // them, so colours registered earlier in this run are listed too.
    form.ReloadUserColors();
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
