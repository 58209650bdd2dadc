#include "app/window_command.h"

#include <QApplication>

#include "ui/boxes.h"
#include "ui/help.h"
#include "ui/paste_colour.h"
#include "ui/text.h"
#include "ui/unit1.h"
#include "ui/pick/window_pick.h"

int RunWindow(std::vector<char*> qtArguments, const WindowStart& start)
{
    // The application object keeps argc and argv and takes out the options it has read.
    int argc = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication application(argc, qtArguments.data());
    // Only closing the main window ends the program, not the closing of any other window.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own texts (edit menus, the colour dialog) are Japanese from the first moment.
    InstallQtTranslations();
    QGuiApplication::setDesktopFileName(QStringLiteral("tintora"));
    ApplicationTitle() = "Tintora";
    ApplicationHelpFile() = "D:\\app\\tintora\\Tintora.hlp";

    {
        TForm1 form;
        Form1 = &form;
        if (start.colour) {
            RunHandler([&] { ShowEnteredColour(form, *start.colour); });
        }
        form.show();
        if (start.pickAtOnce) {
            // Once the event loop runs, so that the pick starts over a window that is shown.
            QMetaObject::invokeMethod(
                &form, [&form] { PickScreenColourInto(form); }, Qt::QueuedConnection);
        }
        QApplication::exec();

        CurrentHex.clear();
        WinHelpA(&form, ApplicationHelpFile().c_str(), HELP_QUIT, 0);
    }
    return 0;
}
