#include "ui/colordialog.h"
#include "ui/colordialog_p.h"

#include <array>

#include <QApplication>
#include <QColorDialog>
#include <QPointer>
#include <QScreen>
#include <QSettings>

#include "colour/integer_text.h"
#include "platform/syscolor.h"
#include "ui/boxes.h"
#include "ui/pick/dialog_pick_button.h"
#include "ui/text.h"

namespace {

constexpr int kSlotCount = 16;
constexpr DWORD kUnsetSlot = 0xFFFFFFFF;

QColor FromColorRef(DWORD value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

DWORD ToColorRef(const QColor& colour)
{
    return DWORD(colour.red()) | DWORD(colour.green()) << 8 | DWORD(colour.blue()) << 16;
}

// Qt's colour dialog reads its custom colours from the user's Qt settings file when it is first
// used and writes them back there whenever a dialog closes. Here custom colours live only for
// the run, and the program keeps no state but its own settings file, so Qt's user-scope settings
// are pointed at a place where no file can be read or created. Must run before Qt's dialog
// touches its custom colours for the first time.
void KeepDialogOutOfUserSettings()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QString nowhere = QStringLiteral("/dev/null");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}

// Runs Qt's colour dialog on the record: starting colour, the 16 custom slots and the placement
// hook in; the chosen colour and the slots the user changed out.
BOOL RunQtColorDialog(CHOOSECOLORA& record)
{
    KeepDialogOutOfUserSettings();
    InstallQtTranslations();

    // An unset slot (all bits set) shows as white. What the dialog offers is remembered so that
    // a slot the user did not change is handed back exactly as it came.
    std::array<QRgb, kSlotCount> offered {};
    for (int i = 0; i < kSlotCount; ++i) {
        const DWORD slot = record.lpCustColors[i];
        QColorDialog::setCustomColor(
            i, slot == kUnsetSlot ? QColor(Qt::white) : FromColorRef(slot));
        offered[i] = QColorDialog::customColor(i).rgb();
    }

    QPointer<QWidget> previous = QApplication::activeWindow();
    int result = QDialog::Rejected;
    QColor chosen;
    {
        QColorDialog dialog;
        dialog.setObjectName(QStringLiteral("ColorDialog"));
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setCurrentColor(
            (record.Flags & CC_RGBINIT) ? FromColorRef(record.rgbResult) : QColor(Qt::black));
        if ((record.Flags & CC_ENABLEHOOK) && record.lpfnHook) {
            // The hook places the dialog by its outer size, on the screen of the active window.
            dialog.adjustSize();
            const QScreen* screen =
                previous ? previous->screen() : QGuiApplication::primaryScreen();
            const QRect area = screen ? screen->geometry() : QRect(0, 0, 0, 0);
            const auto hook = record.lpfnHook;
            PlaceByOuterSize(dialog, [area, hook, &dialog](const QSize& outer) {
                int x = dialog.x();
                int y = dialog.y();
                hook(x, y, outer.width(), outer.height(), area.width(), area.height());
                return QPoint(area.x() + x, area.y() + y);
            });
        }
        OfferPortalScreenPick(dialog);
        result = dialog.exec();
        chosen = dialog.selectedColor();
    }
    if (previous)
        previous->activateWindow();
    if (result != QDialog::Accepted || !chosen.isValid())
        return 0;

    record.rgbResult = ToColorRef(chosen);
    for (int i = 0; i < kSlotCount; ++i) {
        const QRgb now = QColorDialog::customColor(i).rgb();
        if (now != offered[i])
            record.lpCustColors[i] = ToColorRef(QColor(now));
    }
    return 1;
}

// Places the dialog centred across the screen and a third of the free height from the top.
void PlaceDialog(
    int& x, int& y, int dialogWidth, int dialogHeight, int screenWidth, int screenHeight)
{
    x = (screenWidth - dialogWidth) / 2;
    y = (screenHeight - dialogHeight) / 3;
}

} // namespace

BOOL ChooseColorA(CHOOSECOLORA* record)
{
    if (record == nullptr || record->lStructSize != 36 || record->lpCustColors == nullptr)
        return 0;
    if (const auto& hook = ChooseColorHook())
        return hook(record);
    return RunQtColorDialog(*record);
}

std::function<BOOL(CHOOSECOLORA*)>& ChooseColorHook()
{
    static std::function<BOOL(CHOOSECOLORA*)> hook;
    return hook;
}

bool TColorDialog::RunDialog()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOP";

    std::array<DWORD, kSlotCount> customSlots {};
    for (int i = 0; i < kSlotCount; ++i) {
        const auto found = CustomColors.find(std::string("Color") + kLetters[i]);
        customSlots[i] = (found != CustomColors.end() && !found->second.empty())
            ? static_cast<DWORD>(StrToInt("$" + found->second))
            : kUnsetSlot;
    }

    // A system colour starts the dialog at its current RGB value.
    const DWORD start = Color < 0 ? GetSysColor(Color & 0xFF) : static_cast<DWORD>(Color);

    CHOOSECOLORA record;
    record.lStructSize = 36;
    record.hwndOwner = nullptr;
    record.hInstance = nullptr;
    record.rgbResult = start;
    record.lpCustColors = customSlots.data();
    record.Flags = CC_RGBINIT | CC_ENABLEHOOK;
    record.lpfnHook = PlaceDialog;
    if (ChooseColorA(&record) == 0)
        return false;

    Color = static_cast<TColor>(record.rgbResult & 0x00FFFFFF);
    for (int i = 0; i < kSlotCount; ++i)
        CustomColors[std::string("Color") + kLetters[i]] =
            IntToHex(static_cast<std::int32_t>(customSlots[i]), 6);
    return true;
}
