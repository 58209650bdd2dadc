#include "ui/pick/screenpick.h"
#include "ui/pick/screenpick_p.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#include "platform/codepage.h"
#include "ui/text.h"
#include "ui/pick/pick_view.h"
#include "ui/pick/screen_frame.h"
#include "ui/pick/x11_pointer.h"

namespace {

// Why no pick can be made on this platform (offscreen, a framebuffer, a remote protocol).
QString NoPickOnPlatform()
{
    return ToQString(Sjis(u8"この画面環境（%1）では、画面から色を取得できません"))
        .arg(QGuiApplication::platformName());
}

// The pick over a frame of X11's screens.
void PickOnX11Frame(QObject& owner, ScreenPickDone done)
{
    // From the event loop, once what covered the screen a moment ago (the menu that started the
    // pick) is gone and the windows under it are painted again: the frame is taken before
    // anything of the pick shows.
    QTimer::singleShot(0, &owner, [&owner, done = std::move(done)] {
        SyncWithX11();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        SyncWithX11();
        std::optional<PickFrame> frame = GrabScreenFrame();
        if (!frame) {
            done({ ScreenPickOutcome::Failed, {}, ToQString(Sjis(u8"画面を読み取れません")) });
            return;
        }
        OpenScreenPickView(owner, std::move(*frame), PickViewKind::FullScreen, done);
    });
}

// Done from the event loop with a pick that cannot be made here.
void TellUnavailable(QObject& owner, ScreenPickDone done, const QString& whyNot)
{
    QMetaObject::invokeMethod(
        &owner,
        [done = std::move(done), whyNot] {
            done({ ScreenPickOutcome::Unavailable, {}, whyNot });
        },
        Qt::QueuedConnection);
}

} // namespace

ScreenPickWay ScreenPickWayFor(QStringView platform)
{
    if (platform.startsWith(u"wayland"))
        return ScreenPickWay::Portal;
    if (platform == u"xcb")
        return ScreenPickWay::X11;
    return ScreenPickWay::None;
}

namespace {

using AskPortal = void (*)(QObject&, std::function<void(const QString&)>);
using StartOnPortal = void (*)(QObject&, ScreenPickDone);

// Whether a pick can be made here, the portal asked with askPortal on Wayland.
void AskOffered(
    QObject& context, std::function<void(const QString& whyNot)> done, AskPortal askPortal)
{
    switch (ScreenPickWayFor(QGuiApplication::platformName())) {
    case ScreenPickWay::Portal:
        askPortal(context, std::move(done));
        return;
    case ScreenPickWay::X11:
        done(QString());
        return;
    case ScreenPickWay::None:
        done(NoPickOnPlatform());
        return;
    }
}

// One pick: on Wayland, once askPortal said yes, through startOnPortal; on X11 in the picking
// view on a frame of the screens.
void Pick(QObject& owner, ScreenPickDone done, AskPortal askPortal, StartOnPortal startOnPortal)
{
    switch (ScreenPickWayFor(QGuiApplication::platformName())) {
    case ScreenPickWay::Portal: {
        QPointer<QObject> picker = &owner;
        askPortal(owner, [picker, done, startOnPortal](const QString& whyNot) {
            if (!picker)
                return;
            if (!whyNot.isEmpty()) {
                TellUnavailable(*picker, done, whyNot);
                return;
            }
            startOnPortal(*picker, done);
        });
        return;
    }
    case ScreenPickWay::X11:
        PickOnX11Frame(owner, std::move(done));
        return;
    case ScreenPickWay::None:
        TellUnavailable(owner, std::move(done), NoPickOnPlatform());
        return;
    }
}

void StartPortalPick(QObject& owner, ScreenPickDone done)
{
    PortalPick::Start(owner, std::move(done));
}

// A frame through the portal's Screenshot, then the picking view on it.
void StartPortalFrozenPick(QObject& owner, ScreenPickDone done)
{
    QPointer<QObject> picker = &owner;
    const auto taken = [picker, done](const QImage& shot) {
        if (!picker)
            return;
        PickFrame frame;
        frame.image = shot;
        frame.geometry = QRect(QPoint(), shot.size());
        OpenScreenPickView(*picker, std::move(frame), PickViewKind::FullScreen, done);
    };
    PortalPick::StartScreenshot(owner, taken, std::move(done));
}

} // namespace

void AskScreenPickOffered(QObject& context, std::function<void(const QString& whyNot)> done)
{
    AskOffered(context, std::move(done), AskPortalPickOffered);
}

void PickFromScreen(QObject& owner, ScreenPickDone done)
{
    Pick(owner, std::move(done), AskPortalPickOffered, StartPortalPick);
}

void AskFrozenPickOffered(QObject& context, std::function<void(const QString& whyNot)> done)
{
    AskOffered(context, std::move(done), AskPortalScreenshotOffered);
}

void PickFrozenFromScreen(QObject& owner, ScreenPickDone done)
{
    Pick(owner, std::move(done), AskPortalScreenshotOffered, StartPortalFrozenPick);
}

bool FrozenPickIsSeparate()
{
    return ScreenPickWayFor(QGuiApplication::platformName()) == ScreenPickWay::Portal;
}
