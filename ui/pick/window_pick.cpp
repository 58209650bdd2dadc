#include "ui/pick/window_pick.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include "platform/codepage.h"
#include "ui/boxes.h"
#include "ui/pick/screenpick.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

TColor ToTColor(const QColor& colour)
{
    return static_cast<TColor>(colour.red() | colour.green() << 8 | colour.blue() << 16);
}

} // namespace

void AddScreenPickEntry(QMenu& menu, TForm1& form)
{
    QPointer<QAction> entry = menu.addAction(ToQString(Sjis(u8"画面から色を取得")));
    menu.setToolTipsVisible(true);
    QPointer<TForm1> target = &form;
    QObject::connect(entry, &QAction::triggered, entry, [target] {
        if (target)
            PickScreenColourInto(*target);
    });
    // Where the answer takes the portal's word, the entry waits for it disabled; the answer is
    // kept, so later menus know it at once.
    entry->setEnabled(false);
    entry->setToolTip(ToQString(Sjis(u8"画面から色を取得できるか確かめています")));
    AskScreenPickOffered(*entry, [entry](const QString& whyNot) {
        entry->setEnabled(whyNot.isEmpty());
        entry->setToolTip(whyNot);
    });
}

void PickScreenColourInto(TForm1& form)
{
    // One pick at a time: a second Ctrl+P while the portal's pick is open is not a second pick.
    static bool picking = false;
    if (picking)
        return;
    picking = true;
    QPointer<TForm1> target = &form;
    PickFromScreen(form, [target](const ScreenPickOutcome& outcome) {
        picking = false;
        if (!target)
            return;
        switch (outcome.result) {
        case ScreenPickOutcome::Picked:
            // As the colour dialog's OK shows its colour; the dialog's own colour stays.
            RunHandler([&] { ShowChosenColour(*target, ToTColor(outcome.colour)); });
            return;
        case ScreenPickOutcome::Unavailable:
            // Nothing on screen changes; the user learns why nothing happened.
            ShowInformationBox(FromQString(outcome.reason));
            return;
        case ScreenPickOutcome::Cancelled:
        case ScreenPickOutcome::Failed:
            return;
        }
    });
}
