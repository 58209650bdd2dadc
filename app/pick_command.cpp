#include "app/pick_command.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QList>
#include <QString>

#include "app/console.h"
#include "colour/conversions.h"
#include "platform/codepage.h"
#include "settings/colour_history.h"
#include "ui/pick/image_load.h"
#include "ui/pick/pick_view.h"
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
    SayWhy(ToQString(Sjis(u8"ディスプレイに接続できません（%1）"))
               .arg(first.section(u'\n', 0, 0).trimmed()));
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

// Where neither X11 nor Wayland is there to pick from, and what to do instead.
void SayNoDisplay()
{
    SayWhy(ToQString(Sjis(u8"ディスプレイが見つかりません（環境変数 DISPLAY も WAYLAND_DISPLAY "
                          u8"も設定されていません）。デスクトップの端末から実行してください")));
}

} // namespace

int RunPickCommand(int& argc, char* argv[], bool frozen)
{
    if (!HasDisplay()) {
        SayNoDisplay();
        return 2;
    }
    g_qtHandler = qInstallMessageHandler(HoldStartMessage);
    // Widgets: on X11 the pick shows the picking view.
    QApplication application(argc, argv);
    PassHeldMessages();

    ScreenPickOutcome outcome;
    const auto ended = [&outcome](const ScreenPickOutcome& end) {
        outcome = end;
        QCoreApplication::quit();
    };
    if (frozen)
        PickFrozenFromScreen(application, ended);
    else
        PickFromScreen(application, ended);
    QApplication::exec();

    switch (outcome.result) {
    case ScreenPickOutcome::Picked:
        RememberColour(ColourHistoryPath(),
            { outcome.colour.red(), outcome.colour.green(), outcome.colour.blue() });
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

namespace {

// What the image decoders write of their own while a file is read (libpng prints its errors
// itself) is set aside, so that a refused file gives the one line that names it.
class QuietDecoders
{
public:
    QuietDecoders()
        : m_saved(::dup(STDERR_FILENO))
        , m_handler(
              qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {}))
    {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~QuietDecoders()
    {
        qInstallMessageHandler(m_handler);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    QuietDecoders(const QuietDecoders&) = delete;
    QuietDecoders& operator=(const QuietDecoders&) = delete;

private:
    int m_saved;
    QtMessageHandler m_handler;
};

} // namespace

int RunPickFromCommand(const std::string& file, int& argc, char* argv[])
{
    // The file is read before anything of the display, so that one it cannot open is reported at
    // once, also where there is no display.
    LoadedImage image;
    {
        const QuietDecoders quiet;
        image = LoadImageFile(QFile::decodeName(QByteArray::fromStdString(file)));
    }
    if (image.shown.isNull()) {
        std::fprintf(stderr, "tintora: %s: %s\n", file.c_str(),
            Cp932ToUtf8(Sjis(u8"画像を開けません（") + image.error + Sjis(u8"）")).c_str());
        return 2;
    }
    if (!HasDisplay()) {
        SayNoDisplay();
        return 2;
    }
    g_qtHandler = qInstallMessageHandler(HoldStartMessage);
    QApplication application(argc, argv);
    PassHeldMessages();

    PickFrame frame;
    frame.image = image.shown;
    frame.geometry = image.shown.rect();
    if (image.space)
        frame.ownSpaceText = [&image](QPoint point) { return OwnSpaceText(image, point); };
    std::optional<Rgb> taken;
    OpenPickView(
        nullptr, std::move(frame), PickViewKind::ImageWindow, [&taken](std::optional<Rgb> colour) {
            taken = colour;
            QCoreApplication::quit();
        });
    QApplication::exec();
    if (!taken)
        return 1;
    RememberColour(ColourHistoryPath(), *taken);
    std::string code = ColorToHex(ColorOf(*taken));
    code.insert(code.begin(), '#');
    code += '\n';
    return PrintResult(code);
}
