#include "ui/copy_forms_menu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>

#include "colour/colour_forms.h"
#include "platform/codepage.h"
#include "ui/text.h"

void AddCopyFormEntries(QMenu& menu, Rgb colour)
{
    for (const std::string& form : ColourForms(colour)) {
        const QString text = ToQString(form);
        // "&" would mark an accelerator; the forms hold none, but the entry shows the text whole.
        QString shown = text + ToQString(Sjis(u8" をコピー"));
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* entry = menu.addAction(shown);
        QObject::connect(entry, &QAction::triggered, &menu,
            [text] { QApplication::clipboard()->setText(text); });
    }
}
