#include "ui/window_pick.h"

#include <QAction>
#include <QMenu>

#include "ui/text.h"
#include "platform/codepage.h"

void AddScreenPickEntry(QMenu& menu, TForm1&)
{
    QAction* entry = menu.addAction(ToQString(Sjis("画面から色を取得")));
    entry->setEnabled(false);
}

void PickScreenColourInto(TForm1&) {}
