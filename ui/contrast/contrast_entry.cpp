#include "ui/contrast/contrast_entry.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include "platform/codepage.h"
#include "ui/contrast/contrast_window.h"
#include "ui/swatch_colour.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

// The background last used, kept for the run only: the settings file holds the user colours
// and nothing else.
Rgb& LastBackground()
{
    static Rgb background { 255, 255, 255 };
    return background;
}

} // namespace

QKeySequence ContrastWindowKeys()
{
    return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
}

void OpenContrastWindow(TForm1& form)
{
    if (auto* open = form.findChild<ContrastWindow*>(QString(), Qt::FindDirectChildrenOnly)) {
        open->setWindowState(open->windowState() & ~Qt::WindowMinimized);
        open->raise();
        open->activateWindow();
        return;
    }
    auto* window = new ContrastWindow(form, SwatchColour(*form.Shape1), LastBackground());
    QObject::connect(window, &ContrastWindow::BackgroundChanged, window,
        [](Rgb background) { LastBackground() = background; });
    window->show();
    window->activateWindow();
}

void AddContrastEntry(QMenu& menu, TForm1& form)
{
    QAction* entry = menu.addAction(ToQString(Sjis(u8"コントラストの確認…")));
    entry->setShortcut(ContrastWindowKeys());
    QPointer<TForm1> target = &form;
    QObject::connect(entry, &QAction::triggered, entry, [target] {
        if (target) {
            OpenContrastWindow(*target);
        }
    });
}
