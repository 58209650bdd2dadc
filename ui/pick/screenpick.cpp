#include "ui/pick/screenpick.h"
#include "ui/pick/screenpick_p.h"

#include <QGuiApplication>
#include <QPointer>

#include "platform/codepage.h"
#include "ui/text.h"
#include "ui/pick/x11_pick.h"

namespace {

// Why no pick can be made on this platform (offscreen, a framebuffer, a remote protocol).
QString NoPickOnPlatform()
{
    return ToQString(Sjis(u8"この表示 (%1) では画面から色を取得できません"))
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
        X11Pick::Start(owner, std::move(done));
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
