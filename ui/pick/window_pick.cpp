#include "ui/pick/window_pick.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include "platform/codepage.h"
#include "ui/boxes.h"
#include "ui/pick/screenpick.h"
#include "ui/recent_colours_menu.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

void PickInto(TForm1& form, void (*pick)(QObject&, ScreenPickDone));

TColor ToTColor(const QColor& colour)
{
    return static_cast<TColor>(colour.red() | colour.green() << 8 | colour.blue() << 16);
}

} // namespace

namespace {

// One pick entry of the menu. Where the answer takes the portal's word, the entry waits for it
// disabled; the answer is kept, so later menus know it at once.
void AddPickEntry(QMenu& menu, TForm1& form, std::u8string_view text,
    void (*ask)(QObject&, std::function<void(const QString&)>), void (*pick)(TForm1&))
{
    QPointer<QAction> entry = menu.addAction(ToQString(Sjis(text)));
    QPointer<TForm1> target = &form;
    QObject::connect(entry, &QAction::triggered, entry, [target, pick] {
        if (target)
            pick(*target);
    });
    entry->setEnabled(false);
    entry->setToolTip(ToQString(Sjis(u8"画面から色を取得できるか確かめています")));
    ask(*entry, [entry](const QString& whyNot) {
        entry->setEnabled(whyNot.isEmpty());
        entry->setToolTip(whyNot);
    });
}

} // namespace

void AddScreenPickEntry(QMenu& menu, TForm1& form)
{
    menu.setToolTipsVisible(true);
    AddPickEntry(menu, form, u8"画面から色を取得", AskScreenPickOffered, PickScreenColourInto);
    // Where the desktop's own picker picks (Wayland), a second entry picks on a frame of the
    // screen in the picking view, with the loupe and the arrow keys.
    if (FrozenPickIsSeparate())
        AddPickEntry(menu, form, u8"拡大して取得", AskFrozenPickOffered, PickFrozenColourInto);
}

void PickScreenColourInto(TForm1& form)
{
    PickInto(form, PickFromScreen);
}

void PickFrozenColourInto(TForm1& form)
{
    PickInto(form, PickFrozenFromScreen);
}

namespace {

// The pick into the window, live or on a frame.
void PickInto(TForm1& form, void (*pick)(QObject&, ScreenPickDone))
{
    // One pick at a time in each window: a second Ctrl+P while a pick is open is not a second
    // pick. The pick in progress is a child of the window, gone when the pick ends however it
    // ends.
    static const QString inProgress = QStringLiteral("screen pick in progress");
    if (form.findChild<QObject*>(inProgress, Qt::FindDirectChildrenOnly) != nullptr)
        return;
    QPointer<QObject> marker = new QObject(&form);
    marker->setObjectName(inProgress);
    QPointer<TForm1> target = &form;
    pick(form, [target, marker](const ScreenPickOutcome& outcome) {
        delete marker.data();
        if (!target)
            return;
        switch (outcome.result) {
        case ScreenPickOutcome::Picked:
            // As the colour dialog's OK shows its colour; the dialog's own colour stays.
            RunHandler([&] { ShowChosenColour(*target, ToTColor(outcome.colour)); });
            RememberTakenColour(RgbOf(ToTColor(outcome.colour)));
            return;
        case ScreenPickOutcome::Unavailable:
        case ScreenPickOutcome::Failed:
            // Nothing on screen changes; the user learns why nothing happened.
            ShowInformationBox(FromQString(outcome.reason));
            return;
        case ScreenPickOutcome::Cancelled:
            return;
        }
    });
}

} // namespace

void PickScreenColourOnceShown(TForm1& form)
{
    // Asked again every few milliseconds until the window manager has put the window on the
    // screen; after five seconds the pick starts anyway.
    constexpr int kPoll = 20; // ms
    constexpr int kTries = 250;
    auto* poll = new QTimer(&form);
    poll->setInterval(kPoll);
    QObject::connect(poll, &QTimer::timeout, &form, [poll, &form, tries = 0]() mutable {
        QWindow* window = form.windowHandle();
        if ((window == nullptr || !window->isExposed()) && ++tries < kTries)
            return;
        poll->stop();
        poll->deleteLater();
        PickScreenColourInto(form);
    });
    poll->start();
}
