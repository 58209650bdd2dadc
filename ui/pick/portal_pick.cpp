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
#include <QDBusVariant>
#include <QPointer>
#include <QRandomGenerator>

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

// The portal's answer to the question for its Screenshot version, as a reason (empty: offered).
QString WhyNotOffered(const QDBusPendingReply<QDBusVariant>& reply)
{
    if (reply.isError()) {
        switch (reply.error().type()) {
        case QDBusError::ServiceUnknown:
            return NoPortal();
        case QDBusError::NoReply:
        case QDBusError::Timeout:
        case QDBusError::TimedOut:
            return Said(u8"デスクトップポータルが応答しません");
        default:
            // No Screenshot interface, or no version property on it.
            return NoPickInPortal();
        }
    }
    bool isNumber = false;
    const uint version = reply.value().variant().toUInt(&isNumber);
    return isNumber && version >= 2 ? QString() : NoPickInPortal();
}

// The kept answer to "does the portal offer colour picking", and who waits for it.
struct Offered
{
    bool answered = false;
    bool asking = false;
    QString whyNot;
    QList<QPair<QPointer<QObject>, std::function<void(const QString&)>>> waiting;
};

Offered& Answer()
{
    static Offered answer;
    return answer;
}

void Tell(const QString& whyNot)
{
    Offered& answer = Answer();
    answer.answered = true;
    answer.asking = false;
    answer.whyNot = whyNot;
    const auto waiting = std::exchange(answer.waiting, {});
    for (const auto& [context, done] : waiting) {
        if (context)
            done(whyNot);
    }
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
    // A yes is kept for the run; a no is asked again, as the portal may have started since.
    Offered& answer = Answer();
    if (answer.answered && answer.whyNot.isEmpty()) {
        done(QString());
        return;
    }
    answer.waiting.append({ QPointer<QObject>(&context), std::move(done) });
    if (answer.asking)
        return;
    answer.asking = true;

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        // Told from the event loop, as an answer from the bus would be.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { Tell(NoBus()); }, Qt::QueuedConnection);
        return;
    }
    QDBusMessage ask = QDBusMessage::createMethodCall(kPortalService, kPortalPath,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << kScreenshot << QStringLiteral("version");
    auto* watcher =
        new QDBusPendingCallWatcher(bus.asyncCall(ask, kAskTimeout), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [](auto* finished) {
        finished->deleteLater();
        Tell(WhyNotOffered(*finished));
    });
}

PortalPick::PortalPick(ScreenPickDone done)
    : m_done(std::move(done))
{
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

    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, kScreenshot, QStringLiteral("PickColor"));
    call << QString() << QVariantMap { { QStringLiteral("handle_token"), token } };
    // No timeout: the user may take as long as they like to pick.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, INT_MAX), this);
    m_callPending = true;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](auto* finished) {
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
                End({ ScreenPickOutcome::Unavailable, {}, NoPickInPortal() });
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
