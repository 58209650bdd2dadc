#include "app/pick_command.h"

#include <cstdio>
#include <cstdlib>

#include <QGuiApplication>
#include <QList>
#include <QString>

#include "app/console.h"
#include "platform/codepage.h"
#include "ui/pick/screenpick.h"
#include "ui/text.h"

namespace {

void SayWhy(const QString& reason)
{
    ReportFailure(FromQString(reason));
}

// Qt ends the program when it cannot open its display, after warnings of its own. While the
// application object is being made, Qt's messages are held back: if the display opens they are
// passed on, otherwise this command ends with one line that names the first of them and exit
// status 2.
struct HeldMessage
{
    QtMsgType type;
    QByteArray category;
    QString text;
};
QtMessageHandler g_qtHandler = nullptr;
QList<HeldMessage> g_held;

void HoldStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        g_held.append({ type, QByteArray(context.category), message });
        return;
    }
    const QString first = g_held.isEmpty() ? message : g_held.first().text;
    SayWhy(
        ToQString(Sjis(u8"画面に接続できません (%1)")).arg(first.section(u'\n', 0, 0).trimmed()));
    std::_Exit(2);
}

void PassHeldMessages()
{
    qInstallMessageHandler(g_qtHandler);
    for (const HeldMessage& held : std::exchange(g_held, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        qt_message_output(held.type, context, held.text);
    }
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
    g_qtHandler = qInstallMessageHandler(HoldStartMessage);
    QGuiApplication application(argc, argv);
    PassHeldMessages();

    ScreenPickOutcome outcome;
    PickFromScreen(application, [&outcome](const ScreenPickOutcome& ended) {
        outcome = ended;
        QCoreApplication::quit();
    });
    QGuiApplication::exec();

    switch (outcome.result) {
    case ScreenPickOutcome::Picked:
        return PrintResult(outcome.colour.name(QColor::HexRgb).toUpper().toStdString() + "\n");
    case ScreenPickOutcome::Cancelled:
        return 1;
    case ScreenPickOutcome::Failed:
    case ScreenPickOutcome::Unavailable:
        SayWhy(outcome.reason);
        return 2;
    }
    return 2;
}
