#include <cmath>

#include <QApplication>
#include <QColorDialog>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "ui/screenpick.h"
#include "ui/screenpick_p.h"

// The colour dialog's portal pick: the portal's fractions turned into 8-bit components as Qt's
// own portal pick does, and the button's talk with a stand-in desktop portal on a private session
// bus. The platform decision itself (Wayland with an older Qt) is tested end to end on weston.
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
    void cleanupTestCase();
    void cleanup();
    void component_data();
    void component();
    void nothingAddedOffWayland();
    void pick_data();
    void pick();
    void closedWithTheDialog();

private:
    static QProcess*& Bus()
    {
        static QProcess* bus = nullptr;
        return bus;
    }
    void StartPortal(const QStringList& arguments);

    QProcess m_portal;
};

void TestScreenPick::StartPortal(const QStringList& arguments)
{
    m_portal.start(QStringLiteral("/usr/bin/python3"),
        QStringList { QStringLiteral(TINTORA_STAND_IN_PORTAL) } + arguments);
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

void TestScreenPick::component_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("expected");

    QTest::newRow("none") << 0.0 << 0;
    QTest::newRow("full") << 1.0 << 255;
    QTest::newRow("half is cut down") << 0.5 << 127;
    QTest::newRow("exact 128") << 128 / 255.0 << 128;
    QTest::newRow("exact 1") << 1 / 255.0 << 1;
    QTest::newRow("just below 128") << std::nextafter(128 / 255.0, 0.0) << 127;
    QTest::newRow("just below full") << 0.999 << 254;
    QTest::newRow("just above none") << 0.001 << 0;
}

void TestScreenPick::component()
{
    QFETCH(double, fraction);
    QFETCH(int, expected);
    QCOMPARE(PortalComponent(fraction), expected);
}

void TestScreenPick::nothingAddedOffWayland()
{
    StartPortal({ QStringLiteral("2"), QStringLiteral("1,0.5,0") });
    QColorDialog dialog;
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    OfferPortalScreenPick(dialog);
    dialog.show();
    QTest::qWait(300);
    QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("PortalPickButton")) == nullptr);
}

void TestScreenPick::pick_data()
{
    QTest::addColumn<QStringList>("portal"); // none: no portal on the bus
    QTest::addColumn<bool>("offered");
    QTest::addColumn<QRgb>("expected"); // the dialog's colour after the pick

    const QRgb start = qRgb(0x12, 0x34, 0x56);
    QTest::newRow("colour picked") << QStringList { "2", "1,0.5,0" } << true << qRgb(255, 127, 0);
    QTest::newRow("newer portal") << QStringList { "3", "0,0,1" } << true << qRgb(0, 0, 255);
    QTest::newRow("answer at the portal's own path")
        << QStringList { "2", "0.2,0.4,0.6", "other-handle" } << true << qRgb(51, 102, 153);
    QTest::newRow("cancelled") << QStringList { "2", "cancel" } << true << start;
    QTest::newRow("backend failed") << QStringList { "2", "fail" } << true << start;
    QTest::newRow("call refused") << QStringList { "2", "error" } << true << start;
    QTest::newRow("colour out of range") << QStringList { "2", "1.5,0,0" } << true << start;
    QTest::newRow("portal without colour picking") << QStringList { "1", "1,1,1" } << false
                                                   << start;
    QTest::newRow("no portal") << QStringList() << false << start;
}

void TestScreenPick::pick()
{
    QFETCH(QStringList, portal);
    QFETCH(bool, offered);
    QFETCH(QRgb, expected);
    if (!portal.isEmpty())
        StartPortal(portal);

    QColorDialog dialog;
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
    AddPortalPickButton(dialog);
    dialog.show();
    auto* button = dialog.findChild<QPushButton*>(QStringLiteral("PortalPickButton"));
    QVERIFY(button);
    if (!offered) {
        // Give the portal's answer time to arrive: the button must stay away.
        QTest::qWait(300);
        QVERIFY(button->isHidden());
        return;
    }
    QTRY_VERIFY(button->isVisible());
    QCOMPARE(button->text(), QString::fromUtf8(u8"スクリーンの色を取得(&P)"));
    // It stands in the colour column where Qt's own would, as wide as the basic colours.
    QVERIFY(button->width() > 200);
    // Pressed twice: each request ends with the button usable and the same outcome.
    for (int round = 0; round < 2; ++round) {
        button->click();
        QTRY_VERIFY(button->isEnabled());
        QTest::qWait(100); // a second answer, were one to come, would land here
        QCOMPARE(dialog.currentColor().rgb(), expected);
        dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
    }
}

void TestScreenPick::closedWithTheDialog()
{
    StartPortal({ QStringLiteral("2"), QStringLiteral("hold") });
    QColorDialog dialog;
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    AddPortalPickButton(dialog);
    dialog.show();
    auto* button = dialog.findChild<QPushButton*>(QStringLiteral("PortalPickButton"));
    QVERIFY(button);
    QTRY_VERIFY(button->isVisible());
    button->click();
    QVERIFY(!button->isEnabled());
    QTest::qWait(200); // the portal has the request
    dialog.reject();
    QByteArray said;
    const auto closed = [&] {
        said += m_portal.readAllStandardOutput();
        return said.contains("closed /org/freedesktop/portal/");
    };
    QTRY_VERIFY_WITH_TIMEOUT(closed(), 5000);
    QVERIFY(button->isEnabled());
}

QTEST_MAIN(TestScreenPick)
#include "tst_screenpick.moc"
