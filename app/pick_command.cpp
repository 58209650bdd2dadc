#include "app/pick_command.h"

#include <cstdio>
#include <cstdlib>

#include <QGuiApplication>
#include <QString>

#include "platform/codepage.h"
#include "ui/screenpick.h"
#include "ui/text.h"

namespace {

void SayWhy(const QString& reason)
{
    std::fprintf(stderr, "tintora: %s\n", reason.toLocal8Bit().constData());
}

// Qt ends the program when it cannot open its display. While the application is being made,
// that end becomes this command's own: the reason on one line and exit status 2.
QtMessageHandler g_qtHandler = nullptr;

void ReportFailedStart(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (g_qtHandler != nullptr)
            g_qtHandler(type, context, message);
        return;
    }
    SayWhy(ToQString(Sjis(u8"画面に接続できません (%1)"))
               .arg(message.section(u'\n', 0, 0).trimmed()));
    std::_Exit(2);
}

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("DISPLAY");
}

} // namespace

int RunPickCommand(int& argc, char* argv[])
{
    if (!HasDisplay()) {
        SayWhy(ToQString(Sjis(u8"画面がありません (DISPLAY も WAYLAND_DISPLAY もありません)")));
        return 2;
    }
    g_qtHandler = qInstallMessageHandler(ReportFailedStart);
    QGuiApplication application(argc, argv);
    qInstallMessageHandler(g_qtHandler);

    ScreenPickOutcome outcome;
    PickFromScreen(application, [&outcome](const ScreenPickOutcome& ended) {
        outcome = ended;
        QCoreApplication::quit();
    });
    QGuiApplication::exec();

    switch (outcome.result) {
    case ScreenPickOutcome::Picked:
        std::printf("%s\n", outcome.colour.name(QColor::HexRgb).toUpper().toLatin1().constData());
        return 0;
    case ScreenPickOutcome::Cancelled:
        return 1;
    case ScreenPickOutcome::Failed:
    case ScreenPickOutcome::Unavailable:
        SayWhy(outcome.reason);
        return 2;
    }
    return 2;
}
