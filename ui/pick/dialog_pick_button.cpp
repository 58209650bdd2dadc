#include "ui/pick/dialog_pick_button.h"
#include "ui/pick/dialog_pick_button_p.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QVersionNumber>

#include "ui/pick/portal_pick.h"

namespace {

// Qt's own caption for its pick button (as its Japanese translation has it), which this
// button stands in for.
const QString kCaption = QString::fromUtf8(u8"スクリーンの色を取得(&P)");

// Where Qt puts its own pick button: in the column of the basic and custom colours, right under
// the basic colours (before the column's first stretch). Null when the dialog is laid out
// otherwise (the small layout has no such column).
QBoxLayout* PickColumn(QColorDialog& dialog, int& index)
{
    auto* main = qobject_cast<QBoxLayout*>(dialog.layout());
    QLayoutItem* top = main && main->count() > 0 ? main->itemAt(0) : nullptr;
    QLayout* row = top ? top->layout() : nullptr;
    QLayoutItem* first = row && row->count() > 0 ? row->itemAt(0) : nullptr;
    auto* column = first ? qobject_cast<QBoxLayout*>(first->layout()) : nullptr;
    if (column == nullptr)
        return nullptr;
    for (int i = 0; i < column->count(); ++i) {
        if (column->itemAt(i)->spacerItem() != nullptr) {
            index = i;
            return column;
        }
    }
    return nullptr;
}

// One press of the button: the button is usable again when the pick ends, and a pick still open
// when the dialog closes is closed at the portal. The pick holds only weak references to the
// dialog and the button, and the button's going (with its dialog) closes the pick before any
// answer could reach either.
void PickInto(QColorDialog& dialog, QPushButton& button)
{
    QPointer<QColorDialog> target = &dialog;
    QPointer<QPushButton> pressed = &button;
    button.setEnabled(false);
    QPointer<PortalPick> pick =
        PortalPick::Start(button, [target, pressed](const ScreenPickOutcome& outcome) {
            // Cancelled and failed picks change nothing.
            if (outcome.result == ScreenPickOutcome::Picked && target)
                target->setCurrentColor(outcome.colour);
            if (pressed)
                pressed->setEnabled(true);
        });
    QObject::connect(&dialog, &QDialog::finished, pick, [pick, pressed] {
        if (pick)
            pick->Cancel();
        if (pressed)
            pressed->setEnabled(true);
    });
}

} // namespace

bool DialogNeedsPortalPickButton(QStringView runningQt, QStringView platform)
{
    // Qt's colour dialog picks through the portal itself from Qt 6.5 on: its platform services
    // gained colour picking then, and the dialog shows its own pick button wherever the portal
    // offers it. Before that its dialog cannot pick on Wayland and shows no pick button there.
    // The Qt that runs decides: a program built on an older Qt may run on a newer one.
    return platform.startsWith(u"wayland")
        && QVersionNumber::fromString(runningQt) < QVersionNumber(6, 5);
}

void AddPortalPickButton(QColorDialog& dialog)
{
    auto* button = new QPushButton(kCaption, &dialog);
    button->setObjectName(QStringLiteral("PortalPickButton"));
    button->hide();
    int index = 0;
    if (QBoxLayout* column = PickColumn(dialog, index))
        column->insertWidget(index, button);
    else if (auto* main = qobject_cast<QBoxLayout*>(dialog.layout()))
        main->insertWidget(qMax(0, main->count() - 1), button); // above OK and Cancel
    QPointer<QColorDialog> target = &dialog;
    QObject::connect(button, &QPushButton::clicked, button, [target, button] {
        if (target && button->isEnabled())
            PickInto(*target, *button);
    });
    // Shown only when the portal offers colour picking.
    AskPortalPickOffered(*button, [button](const QString& whyNot) {
        if (whyNot.isEmpty())
            button->show();
    });
}

void OfferPortalScreenPick(QColorDialog& dialog)
{
    if (DialogNeedsPortalPickButton(
            QString::fromLatin1(qVersion()), QGuiApplication::platformName()))
        AddPortalPickButton(dialog);
}
