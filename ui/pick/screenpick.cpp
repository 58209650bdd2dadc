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

} // namespace

ScreenPickWay ScreenPickWayFor(QStringView platform)
{
    if (platform.startsWith(u"wayland"))
        return ScreenPickWay::Portal;
    if (platform == u"xcb")
        return ScreenPickWay::X11;
    return ScreenPickWay::None;
}

void AskScreenPickOffered(QObject& context, std::function<void(const QString& whyNot)> done)
{
    switch (ScreenPickWayFor(QGuiApplication::platformName())) {
    case ScreenPickWay::Portal:
        AskPortalPickOffered(context, std::move(done));
        return;
    case ScreenPickWay::X11:
        done(QString());
        return;
    case ScreenPickWay::None:
        done(NoPickOnPlatform());
        return;
    }
}

void PickFromScreen(QObject& owner, ScreenPickDone done)
{
    switch (ScreenPickWayFor(QGuiApplication::platformName())) {
    case ScreenPickWay::Portal: {
        QPointer<QObject> picker = &owner;
        AskPortalPickOffered(owner, [picker, done](const QString& whyNot) {
            if (!picker)
                return;
            if (!whyNot.isEmpty()) {
                QMetaObject::invokeMethod(
                    picker,
                    [done, whyNot] {
                        done({ ScreenPickOutcome::Unavailable, {}, whyNot });
                    },
                    Qt::QueuedConnection);
                return;
            }
            PortalPick::Start(*picker, done);
        });
        return;
    }
    case ScreenPickWay::X11:
        // From the event loop, once what covered the screen a moment ago (the menu that started
        // the pick) is gone and the windows under it are painted again: the frame is taken
        // before anything of the pick shows.
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
        return;
    case ScreenPickWay::None:
        QMetaObject::invokeMethod(
            &owner,
            [done = std::move(done)] {
                done({ ScreenPickOutcome::Unavailable, {}, NoPickOnPlatform() });
            },
            Qt::QueuedConnection);
        return;
    }
}
