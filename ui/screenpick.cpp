#include "ui/screenpick.h"
#include "ui/screenpick_p.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
// Qt's own caption for its pick button (as its Japanese translation has it), which this
// button stands in for.
const QString kCaption = QString::fromUtf8(u8"スクリーンの色を取得(&P)");
// ms: a portal that does not answer by then offers nothing. Nothing waits for the answer (the
// button shows when it comes), and a portal started for the question can take a second or more.
constexpr int kAskTimeout = 10000;

// Qt's colour dialog picks through the portal itself from Qt 6.5 on: its platform services
// gained colour picking then, and the dialog shows its own pick button wherever the portal
// offers it. Before that its dialog cannot pick on Wayland and shows no pick button there.
constexpr bool kQtPicksThroughPortal = QT_VERSION >= QT_VERSION_CHECK(6, 5, 0);

// Where Qt puts its own pick button: in the column of the basic and custom colours, right under
// the basic colours (before the column's first stretch). Null when the dialog is laid out
// otherwise (the small layout has no such column).
QBoxLayout* PickColumn(QColorDialog& dialog, int& index)
{
    auto* main = qobject_cast<QBoxLayout*>(dialog.layout());
    QLayoutItem* top = main && main->count() > 0 ? main->itemAt(0) : nullptr;
    QLayout* row = top ? top->layout() : nullptr;
    QLayoutItem* first = row && row->count() > 0 ? row->itemAt(0) : nullptr;
    auto* column = first ? qobject_cast<QBoxLayout*>(first->layout()) : nullptr;
    if (column == nullptr)
        return nullptr;
    for (int i = 0; i < column->count(); ++i) {
        if (column->itemAt(i)->spacerItem() != nullptr) {
            index = i;
            return column;
        }
    }
    return nullptr;
}

// One PickColor request to the portal, from the click to its Response. It ends with the
// button usable again, whatever the answer; a request still open when the dialog closes is
// closed at the portal.
class PickRequest : public QObject
{
    Q_OBJECT
public:
    PickRequest(QColorDialog& dialog, QPushButton& button)
        : QObject(&button)
        , m_dialog(&dialog)
        , m_button(&button)
    {
        connect(&dialog, &QDialog::finished, this, &PickRequest::Abandon);
    }

    ~PickRequest() override { Abandon(); }

    void Start()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        // The request's object path is known before the call: the caller's unique name without
        // its colon, dots made underscores, and a token of ours.
        const QString token =
            QStringLiteral("tintora%1").arg(QRandomGenerator::global()->generate());
        QString sender = bus.baseService().mid(1);
        sender.replace(u'.', u'_');
        // Listen before asking, so an answer that comes at once is not missed. Without a way to
        // hear the answer there is no asking: the button stays usable.
        if (!Listen(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                        .arg(sender, token))) {
            Finish();
            return;
        }

        QDBusMessage call = QDBusMessage::createMethodCall(
            kPortalService, kPortalPath, kScreenshot, QStringLiteral("PickColor"));
        call << QString() << QVariantMap { { QStringLiteral("handle_token"), token } };
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](auto* finished) {
            finished->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> reply = *finished;
            if (reply.isError()) {
                Finish();
                return;
            }
            // An older portal makes up its own path: the answer comes there instead.
            const QString handle = reply.value().path();
            if (handle != m_path && !Listen(handle))
                Finish();
        });
        m_open = true;
        m_button->setEnabled(false);
    }

private slots:
    void Response(uint response, const QVariantMap& results)
    {
        m_open = false;
        // 0: the user picked a colour; 1 (cancelled) and 2 (failed) change nothing.
        if (response == 0 && m_dialog) {
            const QColor colour = ColourOf(results.value(QStringLiteral("color")));
            if (colour.isValid())
                m_dialog->setCurrentColor(colour);
        }
        Finish();
    }

private:
    // The "color" result: three fractions from 0 to 1, red, green and blue.
    static QColor ColourOf(const QVariant& value)
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

    // Follows the Response signal of the request at path (and no other). False when the bus
    // would not deliver it.
    bool Listen(const QString& path)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!m_path.isEmpty())
            bus.disconnect(kPortalService, m_path, kRequest, QStringLiteral("Response"), this,
                SLOT(Response(uint, QVariantMap)));
        m_path = path;
        return bus.connect(kPortalService, m_path, kRequest, QStringLiteral("Response"), this,
            SLOT(Response(uint, QVariantMap)));
    }

    // The dialog closed (or goes) while the portal still picks: the request is closed there.
    void Abandon()
    {
        if (!m_open)
            return;
        m_open = false;
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
            kPortalService, m_path, kRequest, QStringLiteral("Close")));
        Finish();
    }

    void Finish()
    {
        if (!m_path.isEmpty())
            QDBusConnection::sessionBus().disconnect(kPortalService, m_path, kRequest,
                QStringLiteral("Response"), this, SLOT(Response(uint, QVariantMap)));
        m_path.clear();
        m_open = false;
        if (m_button)
            m_button->setEnabled(true);
        deleteLater();
    }

    QPointer<QColorDialog> m_dialog;
    QPointer<QPushButton> m_button;
    QString m_path;
    bool m_open = false;
};

} // namespace

int PortalComponent(double fraction)
{
    return static_cast<int>(fraction * 255);
}

void AddPortalPickButton(QColorDialog& dialog)
{
    QPointer<QPushButton> button = new QPushButton(kCaption, &dialog);
    button->setObjectName(QStringLiteral("PortalPickButton"));
    button->hide();
    int index = 0;
    if (QBoxLayout* column = PickColumn(dialog, index))
        column->insertWidget(index, button);
    else if (auto* main = qobject_cast<QBoxLayout*>(dialog.layout()))
        main->insertWidget(qMax(0, main->count() - 1), button); // above OK and Cancel
    QPointer<QColorDialog> target = &dialog;
    QObject::connect(button, &QPushButton::clicked, button, [target, button] {
        if (target && button && button->isEnabled())
            (new PickRequest(*target, *button))->Start();
    });

    // Shown only when the portal is there and its Screenshot interface is of version 2 or more.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage ask = QDBusMessage::createMethodCall(kPortalService, kPortalPath,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << kScreenshot << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(ask, kAskTimeout), button);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, button, [button](auto* done) {
        done->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *done;
        if (button && !reply.isError() && reply.value().variant().toUInt() >= 2)
            button->show();
    });
}

void OfferPortalScreenPick(QColorDialog& dialog)
{
    if (kQtPicksThroughPortal
        || !QGuiApplication::platformName().startsWith(QStringLiteral("wayland")))
        return; // Qt's own pick button serves
    AddPortalPickButton(dialog);
}

#include "screenpick.moc"
