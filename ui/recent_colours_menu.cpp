#include "ui/recent_colours_menu.h"

#include <QAction>
#include <QColor>
#include <QMenu>
#include <QPixmap>
#include <QPointer>

#include "colour/conversions.h"
#include "platform/codepage.h"
#include "settings/colour_history.h"
#include "ui/paste_colour.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

QIcon Chip(Rgb colour)
{
    QPixmap chip(16, 16);
    chip.fill(QColor(colour.red, colour.green, colour.blue));
    return QIcon(chip);
}

void AddDisabled(QMenu& menu, const char8_t* text)
{
    menu.addAction(ToQString(Sjis(text)))->setEnabled(false);
}

void FillRecentColours(QMenu& menu, TForm1& form)
{
    const std::string path = ColourHistoryPath();
    const ColourHistory history = ReadColourHistory(path);
    QPointer<TForm1> target = &form;
    for (const Rgb& colour : history.colours) {
        QAction* entry =
            menu.addAction(Chip(colour), QLatin1Char('#') + ToQString(ColorToHex(ColorOf(colour))));
        QObject::connect(entry, &QAction::triggered, &menu, [target, colour] {
            if (!target)
                return;
            RunHandler([&] { ShowChosenColour(*target, ColorOf(colour)); });
            RememberTakenColour(colour);
        });
    }
    switch (history.state) {
    case ColourHistory::State::Unreadable:
        AddDisabled(menu, u8"最近の色のファイルを読み取れません");
        return;
    case ColourHistory::State::Damaged:
        AddDisabled(menu, u8"最近の色のファイルに読み取れない行があります");
        break;
    case ColourHistory::State::Read:
        if (history.colours.empty())
            AddDisabled(menu, u8"（記録された色はまだありません）");
        break;
    }
    menu.addSeparator();
    QAction* clear = menu.addAction(ToQString(Sjis(u8"最近の色を消去")));
    clear->setEnabled(!history.colours.empty() || history.state == ColourHistory::State::Damaged);
    QObject::connect(clear, &QAction::triggered, &menu, [path] { ClearColourHistory(path); });
}

} // namespace

void RememberTakenColour(Rgb colour)
{
    RememberColour(ColourHistoryPath(), colour);
}

void AddRecentColoursMenu(QMenu& menu, TForm1& form)
{
    QMenu* recent = menu.addMenu(ToQString(Sjis(u8"最近の色")));
    QPointer<TForm1> target = &form;
    QObject::connect(recent, &QMenu::aboutToShow, recent, [recent, target] {
        if (!recent->isEmpty() || !target)
            return;
        FillRecentColours(*recent, *target);
    });
}
