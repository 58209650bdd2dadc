#include <QApplication>
#include <QColorDialog>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include "ui/colordialog.h"
#include "ui/screenpick.h"
#include "ui/screenpick_p.h"

// The colour dialog's screen pick through a stand-in desktop portal on a private session bus, with
// the portal's pick put in place of Qt's own as where Qt cannot read the screen (Wayland).
class TestScreenPick : public QObject
{
    Q_OBJECT

public:
    // The private bus must be known before anything connects to the session bus.
    static void initMain()
    {
        static QProcess bus;
        bus.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1") });
        if (bus.waitForReadyRead(10000))
            qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
        Bus() = &bus;
    }

private slots:
    void initTestCase() { PortalScreenPickInstead() = true; }
    void cleanupTestCase();
    void cleanup();
    void pick_data();
    void pick();
    void componentOfAFraction_data();
    void componentOfAFraction();

private:
    static QProcess*& Bus()
    {
        static QProcess* bus = nullptr;
        return bus;
    }
    void StartPortal(int version, const QString& answer);

    QProcess m_portal;
};

void TestScreenPick::StartPortal(int version, const QString& answer)
{
    m_portal.start(QStringLiteral("/usr/bin/python3"),
        { QStringLiteral(TINTORA_STAND_IN_PORTAL), QString::number(version), answer });
    QVERIFY(m_portal.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                 QStringLiteral("org.freedesktop.portal.Desktop")),
        10000);
}

void TestScreenPick::cleanup()
{
    m_portal.kill();
    m_portal.waitForFinished();
}

void TestScreenPick::cleanupTestCase()
{
    Bus()->kill();
    Bus()->waitForFinished();
}

void TestScreenPick::pick_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<int>("expected"); // the colour after OK (0x00BBGGRR)

    QTest::newRow("colour picked") << 2 << "1,0.5,0" << true << true << 0x00007FFF;
    QTest::newRow("newer portal") << 3 << "0,0,1" << true << true << 0x00FF0000;
    QTest::newRow("cancelled pick changes nothing") << 2 << "cancel" << true << true << 0x00123456;
    QTest::newRow("portal without colour picking") << 1 << "1,1,1" << false << false << 0;
    QTest::newRow("no portal") << 0 << QString() << false << false << 0;
}

void TestScreenPick::pick()
{
    QFETCH(int, version);
    QFETCH(QString, answer);
    QFETCH(bool, offered);
    QFETCH(bool, chosen);
    QFETCH(int, expected);
    if (version > 0)
        StartPortal(version, answer);

    TColorDialog component(nullptr);
    component.Color = 0x00123456;
    bool checked = false;
    auto* timer = new QTimer;
    timer->setInterval(5);
    connect(timer, &QTimer::timeout, this, [&, timer] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        // Whatever a check finds, the dialog closes (a failed check returns early).
        const auto closeAnyway = qScopeGuard([dialog] {
            if (dialog->isVisible())
                dialog->reject();
        });
        auto* button = dialog->findChild<QPushButton*>(QStringLiteral("PortalPickButton"));
        if (!offered) {
            // Give the portal's answer time to arrive: the button must stay away.
            QTest::qWait(300);
            QVERIFY(!button || button->isHidden());
            checked = true;
            dialog->reject();
            return;
        }
        QVERIFY(button);
        QTRY_VERIFY(button->isVisible());
        QCOMPARE(button->text(), QString::fromUtf8(u8"スクリーンの色を取得(&P)"));
        // It stands in the dialog's layout where Qt's own would, as wide as the colour grid.
        QVERIFY(button->width() > 200);
        button->click();
        QTRY_VERIFY(button->isEnabled()); // the request has been answered
        dialog->accept();
        checked = true;
    });
    timer->start();
    const bool ok = component.RunDialog();
    QVERIFY(checked);
    QCOMPARE(ok, chosen);
    if (chosen)
        QCOMPARE(component.Color, TColor(expected));
}

QTEST_MAIN(TestScreenPick)
void TestScreenPick::componentOfAFraction_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("component");
    QTest::newRow("none") << 0.0 << 0;
    QTest::newRow("whole") << 1.0 << 255;
    QTest::newRow("half is cut, not rounded up") << 0.5 << 127;
    QTest::newRow("exactly 128") << 128 / 255.0 << 128;
    QTest::newRow("just under 128") << 127.999 / 255.0 << 127;
    QTest::newRow("just under 1") << 0.9999 << 254;
    QTest::newRow("smallest step") << 1 / 255.0 << 1;
}

void TestScreenPick::componentOfAFraction()
{
    QFETCH(double, fraction);
    QFETCH(int, component);
    QCOMPARE(ComponentOf(fraction), component);
}

#include "tst_screenpick.moc"
