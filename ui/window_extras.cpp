#include "ui/window_extras.h"

#include <QKeySequence>
#include <QMenu>
#include <QShortcut>

#include "platform/codepage.h"
#include "ui/context_menu.h"
#include "ui/contrast/contrast_entry.h"
#include "ui/copy_forms_menu.h"
#include "ui/palette_menu.h"
#include "ui/paste_colour.h"
#include "ui/pick/image_pick.h"
#include "ui/recent_colours_menu.h"
#include "ui/swatch_colour.h"
#include "ui/swatch_hint.h"
#include "ui/text.h"
#include "ui/unit1.h"
#include "ui/pick/window_pick.h"

namespace {

QKeySequence PasteKeys()
{
    return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V);
}

QKeySequence PickKeys()
{
    return QKeySequence(Qt::CTRL | Qt::Key_P);
}

// The HEX box's own edit menu with the paste command added.
QMenu* HexBoxMenu(TForm1& form)
{
    QMenu* menu = form.Edit1->createStandardContextMenu();
    menu->addSeparator();
    QAction* paste = menu->addAction(ToQString(Sjis(u8"色として貼り付け")));
    paste->setShortcut(PasteKeys());
    QObject::connect(
        paste, &QAction::triggered, &form, [&form] { RunHandler([&form] { PasteColour(form); }); });
    return menu;
}

QMenu* CopyMenu(TForm1& form, QWidget& owner)
{
    auto* menu = new QMenu(&owner);
    AddCopyFormEntries(*menu, SwatchColour(*form.Shape1));
    return menu;
}

QMenu* SwatchMenu(TForm1& form)
{
    QMenu* menu = CopyMenu(form, *form.Shape1);
    menu->addSeparator();
    AddRecentColoursMenu(*menu, form);
    menu->addSeparator();
    // The screen pick stays the last entry, one Up key from the menu's top.
    AddImagePickEntry(*menu, form);
    AddContrastEntry(*menu, form);
    AddScreenPickEntry(*menu, form);
    return menu;
}

void AddShortcut(TForm1& form, const QKeySequence& keys, void (*command)(TForm1&))
{
    auto* shortcut = new QShortcut(keys, &form);
    QObject::connect(shortcut, &QShortcut::activated, &form,
        [&form, command] { RunHandler([&form, command] { command(form); }); });
}

} // namespace

void InstallWindowExtras(TForm1& form)
{
    SetContextMenu(*form.Edit1, [&form] { return HexBoxMenu(form); });
    SetContextMenu(*form.SpeedButton4, [&form] { return CopyMenu(form, *form.SpeedButton4); });
    SetContextMenu(*form.Shape1, [&form] { return SwatchMenu(form); });
    InstallSwatchHint(*form.Shape1);
    AddShortcut(form, PasteKeys(), PasteColour);
    AddShortcut(form, PickKeys(), PickScreenColourInto);
    AddShortcut(form, ContrastWindowKeys(), OpenContrastWindow);
    InstallPaletteMenu(form);
    AcceptImageDrops(form);
}
