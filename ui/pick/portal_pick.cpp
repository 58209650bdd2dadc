#include "ui/pick/portal_pick.h"
#include "ui/pick/portal_pick_p.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QPointer>
#include <QImage>
#include <QRandomGenerator>
#include <QUrl>

#include "platform/codepage.h"
#include "ui/text.h"

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kRequestPaths = QStringLiteral("/org/freedesktop/portal/desktop/request/");
// ms: a portal that does not answer by then offers nothing. Nothing waits for the answer, and a
// portal started for the question can take a second or more.
constexpr int kAskTimeout = 10000;

QString Said(std::u8string_view utf8)
{
    return ToQString(Sjis(utf8));
}

QString NoBus()
{
    return Said(u8"セッションバスに接続できません");
}

QString NoPortal()
{
    return Said(u8"デスクトップポータル (org.freedesktop.portal.Desktop) がありません");
}

QString NoPickInPortal()
{
    return Said(u8"デスクトップポータルに色の取得 (Screenshot の PickColor) がありません");
}

QString NoScreenshotInPortal()
{
    return Said(u8"お使いのデスクトップのポータルは、画面の撮影に対応していません");
}

// The portal's answer to the question for its Screenshot version: the version, or (0 with) the
// reason why the question got no answer.
struct PortalVersion
{
    uint version = 0;
    QString whyNot;
};

PortalVersion VersionOf(const QDBusPendingReply<QDBusVariant>& reply)
{
    if (reply.isError()) {
        switch (reply.error().type()) {
        case QDBusError::ServiceUnknown:
            return { 0, NoPortal() };
        case QDBusError::NoReply:
        case QDBusError::Timeout:
        case QDBusError::TimedOut:
            return { 0, Said(u8"デスクトップポータルが応答しません") };
        default:
            // No Screenshot interface, or no version property on it.
            return { 0, QString() };
        }
    }
    bool isNumber = false;
    const uint version = reply.value().variant().toUInt(&isNumber);
    return { isNumber ? version : 0, QString() };
}

// Why the portal of that version does not offer what needs the version needed (empty: offered).
QString WhyNot(const PortalVersion& portal, uint needed)
{
    if (!portal.whyNot.isEmpty())
        return portal.whyNot;
    if (portal.version >= needed)
        return QString();
    // The colour pick came with version 2; the screenshot is there from version 1.
    return needed >= 2 ? NoPickInPortal() : NoScreenshotInPortal();
}

// The kept answer to "which Screenshot version does the portal offer", and who waits for it.
struct Waiting
{
    QPointer<QObject> context;
    uint needed = 0;
    std::function<void(const QString&)> done;
};

struct Offered
{
    bool answered = false;
    bool asking = false;
    PortalVersion portal;
    QList<Waiting> waiting;
};

Offered& Answer()
{
    static Offered answer;
    return answer;
}

void Tell(const PortalVersion& portal)
{
    Offered& answer = Answer();
    answer.answered = true;
    answer.asking = false;
    answer.portal = portal;
    const auto waiting = std::exchange(answer.waiting, {});
    for (const Waiting& one : waiting) {
        if (one.context)
            one.done(WhyNot(portal, one.needed));
    }
}

// Asks for the portal's Screenshot version: done gets an empty text when it is needed or more.
void AskPortalOffers(QObject& context, uint needed, std::function<void(const QString& whyNot)> done)
{
    // A yes is kept for the run; a no is asked again, as the portal may have started since.
    Offered& answer = Answer();
    if (answer.answered && WhyNot(answer.portal, needed).isEmpty()) {
        done(QString());
        return;
    }
    answer.waiting.append({ QPointer<QObject>(&context), needed, std::move(done) });
    if (answer.asking)
        return;
    answer.asking = true;

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        // Told from the event loop, as an answer from the bus would be.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [] {
                Tell({ 0, NoBus() });
            },
            Qt::QueuedConnection);
        return;
    }
    QDBusMessage ask = QDBusMessage::createMethodCall(kPortalService, kPortalPath,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << kScreenshot << QStringLiteral("version");
    auto* watcher =
        new QDBusPendingCallWatcher(bus.asyncCall(ask, kAskTimeout), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [](auto* finished) {
        finished->deleteLater();
        Tell(VersionOf(*finished));
    });
}

// The "color" result: three fractions from 0 to 1, red, green and blue; invalid otherwise.
QColor ColourOf(const QVariant& value)
{
    if (!value.canConvert<QDBusArgument>())
        return QColor();
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QStringLiteral("(ddd)"))
        return QColor();
    double red = -1, green = -1, blue = -1;
    argument.beginStructure();
    argument >> red >> green >> blue;
    argument.endStructure();
    for (double part : { red, green, blue }) {
        if (!(part >= 0.0 && part <= 1.0))
            return QColor();
    }
    return QColor(PortalComponent(red), PortalComponent(green), PortalComponent(blue));
}

} // namespace

int PortalComponent(double fraction)
{
    return static_cast<int>(fraction * 255);
}

void ForgetPortalPickOffered()
{
    Answer() = Offered();
}

void AskPortalPickOffered(QObject& context, std::function<void(const QString& whyNot)> done)
{
    AskPortalOffers(context, 2, std::move(done));
}

void AskPortalScreenshotOffered(QObject& context, std::function<void(const QString& whyNot)> done)
{
    AskPortalOffers(context, 1, std::move(done));
}

PortalPick::PortalPick(ScreenPickDone done)
    : m_done(std::move(done))
{
}

PortalPick* PortalPick::StartScreenshot(
    QObject& owner, std::function<void(const QImage&)> taken, ScreenPickDone done)
{
    auto* pick = new PortalPick(std::move(done));
    pick->m_screenshot = true;
    pick->m_taken = std::move(taken);
    connect(&owner, &QObject::destroyed, pick, &PortalPick::Cancel);
    pick->Call();
    return pick;
}

PortalPick* PortalPick::Start(QObject& owner, ScreenPickDone done)
{
    auto* pick = new PortalPick(std::move(done));
    // The owner going closes the request; nothing of the owner is touched from then on.
    connect(&owner, &QObject::destroyed, pick, &PortalPick::Cancel);
    pick->Call();
    return pick;
}

void PortalPick::Call()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                End({ ScreenPickOutcome::Unavailable, {}, NoBus() });
            },
            Qt::QueuedConnection);
        return;
    }
    // The request's object path is known before the call: the caller's unique name without its
    // colon, dots made underscores, and a token of ours. An older portal makes up a path of its
    // own instead, which is known only from the call's reply, and its answer may come right
    // behind that reply. So the answer is listened for on every request path before asking, and
    // taken from the predicted path or, once known, from the returned one.
    const QString token = QStringLiteral("tintora%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    m_predicted = kRequestPaths + sender + u'/' + token;
    m_listening = bus.connect(kPortalService, QString(), kRequest, QStringLiteral("Response"), this,
        SLOT(Response(uint, QVariantMap, QDBusMessage)));
    if (!m_listening) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                End({ ScreenPickOutcome::Failed, {},
                    Said(u8"デスクトップポータルの応答を受け取れません") });
            },
            Qt::QueuedConnection);
        return;
    }

    // A portal that ends or is replaced during the pick never answers: the pick ends then.
    auto* watcher = new QDBusServiceWatcher(
        kPortalService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        if (!m_ended)
            End({ ScreenPickOutcome::Failed, {},
                Said(u8"デスクトップポータルが終了したため、色を取得できませんでした。"
                     u8"もう一度お試しください") });
    });

    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kScreenshot,
        m_screenshot ? QStringLiteral("Screenshot") : QStringLiteral("PickColor"));
    QVariantMap options { { QStringLiteral("handle_token"), token } };
    // A frame of the screen as it is, without the desktop's own dialog.
    if (m_screenshot)
        options.insert(QStringLiteral("interactive"), false);
    call << QString() << options;
    // No timeout: the user may take as long as they like to pick.
    auto* reply = new QDBusPendingCallWatcher(bus.asyncCall(call, INT_MAX), this);
    m_callPending = true;
    connect(reply, &QDBusPendingCallWatcher::finished, this, [this](auto* finished) {
        finished->deleteLater();
        m_callPending = false;
        const QDBusPendingReply<QDBusObjectPath> reply = *finished;
        if (m_closeWhenReplied) {
            // Cancelled while the call was on its way: the request is closed now that its path
            // is known.
            if (!reply.isError())
                QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
                    kPortalService, reply.value().path(), kRequest, QStringLiteral("Close")));
            deleteLater();
            return;
        }
        if (m_ended)
            return; // answered already, on the predicted path
        if (reply.isError()) {
            const QDBusError error = reply.error();
            if (error.type() == QDBusError::ServiceUnknown)
                End({ ScreenPickOutcome::Unavailable, {}, NoPortal() });
            else if (error.type() == QDBusError::UnknownMethod
                || error.type() == QDBusError::UnknownInterface)
                End({ ScreenPickOutcome::Unavailable, {},
                    m_screenshot ? NoScreenshotInPortal() : NoPickInPortal() });
            else
                End({ ScreenPickOutcome::Failed, {},
                    Said(u8"デスクトップポータルが色の取得を断りました: ") + error.message() });
            return;
        }
        m_handle = reply.value().path();
        const auto early = std::exchange(m_early, {});
        for (const auto& [path, answer] : early) {
            if (path == m_handle) {
                Answered(answer.first, answer.second);
                return;
            }
        }
    });
}

void PortalPick::Response(uint response, const QVariantMap& results, const QDBusMessage& message)
{
    if (m_ended)
        return;
    const QString path = message.path();
    if (path == m_predicted || (!m_handle.isEmpty() && path == m_handle))
        Answered(response, results);
    else if (m_handle.isEmpty() && path.startsWith(kRequestPaths))
        m_early.append({ path, { response, results } }); // maybe ours, before the reply is read
}

void PortalPick::Answered(uint response, const QVariantMap& results)
{
    switch (response) {
    case 0: {
        if (m_screenshot) {
            // The frame is a file the portal wrote; the view reads it whole.
            const QUrl uri(results.value(QStringLiteral("uri")).toString());
            const QImage frame = uri.isLocalFile() ? QImage(uri.toLocalFile()) : QImage();
            if (frame.isNull())
                End({ ScreenPickOutcome::Failed, {},
                    Said(u8"デスクトップポータルが撮影した画面を読み取れません") });
            else
                Taken(frame);
            return;
        }
        const QColor colour = ColourOf(results.value(QStringLiteral("color")));
        if (colour.isValid())
            End({ ScreenPickOutcome::Picked, colour, {} });
        else
            End({ ScreenPickOutcome::Failed, {},
                Said(u8"デスクトップポータルの答えに色がありません") });
        return;
    }
    case 1:
        End({ ScreenPickOutcome::Cancelled, {}, {} });
        return;
    default:
        End({ ScreenPickOutcome::Failed, {},
            Said(u8"デスクトップポータルが色を取得できませんでした") });
        return;
    }
}

void PortalPick::Taken(const QImage& frame)
{
    const auto taken = std::move(m_taken);
    m_done = nullptr;
    End({ ScreenPickOutcome::Picked, {}, {} });
    if (taken)
        taken(frame);
}

void PortalPick::StopListening()
{
    if (m_listening)
        QDBusConnection::sessionBus().disconnect(kPortalService, QString(), kRequest,
            QStringLiteral("Response"), this, SLOT(Response(uint, QVariantMap, QDBusMessage)));
    m_listening = false;
    m_early.clear();
}

void PortalPick::End(const ScreenPickOutcome& outcome)
{
    if (m_ended)
        return;
    m_ended = true;
    StopListening();
    ScreenPickDone done = std::move(m_done);
    deleteLater();
    if (done)
        done(outcome);
}

void PortalPick::Cancel()
{
    if (m_ended)
        return;
    m_ended = true;
    StopListening();
    m_done = nullptr;
    if (m_callPending) {
        m_closeWhenReplied = true; // the reply names the request to close
        return;
    }
    if (!m_handle.isEmpty())
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
            kPortalService, m_handle, kRequest, QStringLiteral("Close")));
    deleteLater();
}
