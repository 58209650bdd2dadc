#include "ui/screenpick.h"
#include "ui/screenpick_p.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
// Qt's own caption for its pick button, which this button stands in for.
const QString kCaption = QString::fromUtf8(u8"スクリーンの色を取得(&P)");
constexpr int kAskTimeout = 1000; // ms: a portal that does not answer by then offers nothing

// Qt's own pick button of the dialog, whether shown or not.
QPushButton* QtPickButton(QColorDialog& dialog)
{
    for (auto* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == kCaption || button->text() == QStringLiteral("&Pick Screen Color"))
            return button;
    }
    return nullptr;
}

// The box layout, at any depth under top, that holds widget directly; null when there is none.
QBoxLayout* LayoutHolding(QLayout* top, QWidget* widget)
{
    if (top == nullptr)
        return nullptr;
    if (auto* box = qobject_cast<QBoxLayout*>(top); box && box->indexOf(widget) >= 0)
        return box;
    for (int i = 0; i < top->count(); ++i) {
        if (QBoxLayout* found = LayoutHolding(top->itemAt(i)->layout(), widget))
            return found;
    }
    return nullptr;
}

// Receives the portal's answer to one PickColor request.
class PickRequest : public QObject
{
    Q_OBJECT
public:
    PickRequest(QColorDialog& dialog, QPushButton& button)
        : QObject(&button)
        , m_dialog(&dialog)
        , m_button(&button)
    {
    }

    void Start()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        // The request's object path is known before the call: the caller's unique name without
        // its colon, dots made underscores, and a token of ours.
        const QString token =
            QStringLiteral("tintora%1").arg(QRandomGenerator::global()->generate());
        QString sender = bus.baseService().mid(1);
        sender.replace(u'.', u'_');
        m_path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
        // Listen before asking, so an answer that comes at once is not missed. Without the
        // answer the pick could never end, so nothing is asked and the button stays usable.
        if (!bus.connect(kPortalService, m_path, kRequest, QStringLiteral("Response"), this,
                SLOT(Response(uint, QVariantMap)))) {
            deleteLater();
            return;
        }

        QDBusMessage call =
            QDBusMessage::createMethodCall(kPortalService, kPortalPath, kScreenshot,
                QStringLiteral("PickColor"));
        call << QString() << QVariantMap { { QStringLiteral("handle_token"), token } };
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](auto* finished) {
            finished->deleteLater();
            if (finished->isError())
                Finish();
        });
        m_button->setEnabled(false);
    }

private slots:
    void Response(uint response, const QVariantMap& results)
    {
        // 0: the user picked a colour; anything else (cancelled, failed) changes nothing.
        if (response == 0 && m_dialog) {
            const QColor colour = ColourOf(results.value(QStringLiteral("color")));
            if (colour.isValid())
                m_dialog->setCurrentColor(colour);
        }
        Finish();
    }

private:
    // The "color" result: three doubles from 0 to 1, red, green and blue.
    static QColor ColourOf(const QVariant& value)
    {
        if (!value.canConvert<QDBusArgument>())
            return QColor();
        const auto argument = value.value<QDBusArgument>();
        double red = -1, green = -1, blue = -1;
        argument.beginStructure();
        argument >> red >> green >> blue;
        argument.endStructure();
        for (double part : { red, green, blue }) {
            if (!(part >= 0.0 && part <= 1.0))
                return QColor();
        }
        return QColor(ComponentOf(red), ComponentOf(green), ComponentOf(blue));
    }

    void Finish()
    {
        QDBusConnection::sessionBus().disconnect(kPortalService, m_path, kRequest,
            QStringLiteral("Response"), this, SLOT(Response(uint, QVariantMap)));
        if (m_button)
            m_button->setEnabled(true);
        deleteLater();
    }

    QPointer<QColorDialog> m_dialog;
    QPointer<QPushButton> m_button;
    QString m_path;
};

} // namespace

int ComponentOf(double fraction)
{
    // Cut, not rounded: the same answer then gives the same code as the dialogs whose own pick
    // asks the portal, which take the whole part of the fraction times 255 (0.5 gives 127).
    return static_cast<int>(fraction * 255);
}

bool& PortalScreenPickInstead()
{
    static bool instead = false;
    return instead;
}

// Where a pick button goes when Qt made none: under the basic colours, as Qt places its own. The
// basic and the custom colours are each a well with a label naming it as its buddy, in one column;
// the basic colours come first.
static QBoxLayout* PlaceUnderBasicColours(QColorDialog& dialog, int& index)
{
    QBoxLayout* found = nullptr;
    for (auto* label : dialog.findChildren<QLabel*>()) {
        QWidget* well = label->buddy();
        QBoxLayout* layout = well ? LayoutHolding(dialog.layout(), well) : nullptr;
        if (layout == nullptr || layout->indexOf(label) < 0)
            continue;
        if (found == nullptr || (layout == found && layout->indexOf(well) + 1 < index)) {
            found = layout;
            index = layout->indexOf(well) + 1;
        }
    }
    return found;
}

void OfferPortalScreenPick(QColorDialog& dialog)
{
    QPushButton* own = QtPickButton(dialog);
    if (!PortalScreenPickInstead()) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
        // From Qt 6.5 on, the dialog's own button picks through the portal on Wayland and reads
        // the screen elsewhere: it is the one pick button.
        return;
#else
        // Qt reads the screen itself everywhere but on Wayland, where it has no pick at all.
        if (!QGuiApplication::platformName().startsWith(QStringLiteral("wayland")))
            return;
#endif
    }
    // Qt's own button, where it made one, cannot pick here: ours takes its place.
    if (own)
        own->hide();
    int index = 0;
    QBoxLayout* layout = nullptr;
    if (own && own->parentWidget()) {
        layout = LayoutHolding(own->parentWidget()->layout(), own);
        index = layout ? layout->indexOf(own) + 1 : 0;
    } else {
        layout = PlaceUnderBasicColours(dialog, index);
    }
    QPointer<QPushButton> button = new QPushButton(kCaption, &dialog);
    button->setObjectName(QStringLiteral("PortalPickButton"));
    button->hide();
    if (layout)
        layout->insertWidget(index, button);
    QPointer<QColorDialog> target = &dialog;
    QObject::connect(button, &QPushButton::clicked, button, [target, button] {
        if (target && button)
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

#include "screenpick.moc"
