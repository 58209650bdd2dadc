#include <QApplication>

#include "ui/boxes.h"
#include "ui/help.h"
#include "ui/text.h"
#include "ui/unit1.h"

// The program takes nothing from its command line or environment: Qt alone reads its own options.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
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
        form.show();
        QApplication::exec();

        CurrentHex.clear();
        WinHelpA(&form, ApplicationHelpFile().c_str(), HELP_QUIT, 0);
    }
    return 0;
}
