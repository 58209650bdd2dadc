#include "ui/context_menu.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QWidget>

namespace {

class ContextMenuFilter : public QObject
{
public:
    ContextMenuFilter(QWidget& control, std::function<QMenu*()> make)
        : QObject(&control)
        , m_make(std::move(make))
    {
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ContextMenu) {
            return false;
        }
        QMenu* menu = m_make();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }

private:
    std::function<QMenu*()> m_make;
};

} // namespace

void SetContextMenu(QWidget& control, std::function<QMenu*()> make)
{
    control.installEventFilter(new ContextMenuFilter(control, std::move(make)));
}
