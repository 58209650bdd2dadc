#include <cmath>

#include <QApplication>
#include <QColorDialog>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "tests/support/window_on_file.h"
#include "ui/pick/dialog_pick_button.h"
#include "ui/pick/dialog_pick_button_p.h"
#include "ui/pick/portal_pick.h"
#include "ui/pick/portal_pick_p.h"
#include "ui/pick/screenpick.h"
#include "ui/pick/screenpick_p.h"
#include "ui/pick/window_pick.h"

// The screen pick: the portal's fractions turned into 8-bit components as Qt's own portal pick
// does, the portal request and the colour dialog's button talking with a stand-in desktop portal
// on a private session bus, which way picks on which platform, and the window's entry where no
// pick exists. Picks on X11 and Wayland themselves are tested end to end.
class TestScreenPick : public QObject
{
    Q_OBJECT

public:
    // The private bus must be known before anything connects to the session bus. It starts no
    // installed service on demand, so a desktop portal on the machine never stands in for ours.
    static void initMain()
    {
        static QProcess bus;
        bus.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--config-file=" TINTORA_PRIVATE_BUS_CONFIG),
                QStringLiteral("--nofork"), QStringLiteral("--print-address=1") });
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
    void buttonDecidedOnRunningQt_data();
    void buttonDecidedOnRunningQt();
    void pick_data();
    void pick();
    void closedWithTheDialog();
    void dialogDestroyedMidPick();
    void portalAnswer_data();
    void portalAnswer();
    void ownerGoneMidPick();
    void offerAskedAgainAfterNo();
    void wayForPlatform_data();
    void wayForPlatform();
    void windowWithoutPick();

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
    // The portal's answer is kept for the run; each case has a portal of its own.
    ForgetPortalPickOffered();
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
    // The answer right behind the call's reply, before the path in the reply has been read.
    QTest::newRow("answer at once at the portal's own path") << QStringList { "2", "0.2,0.4,0.6",
        "other-handle", "at-once" } << true << qRgb(51, 102, 153);
    QTest::newRow("answer at once at the predicted path")
        << QStringList { "2", "0,1,0", "at-once" } << true << qRgb(0, 255, 0);
    QTest::newRow("cancelled") << QStringList { "2", "cancel" } << true << start;
    QTest::newRow("backend failed") << QStringList { "2", "fail" } << true << start;
    QTest::newRow("call refused") << QStringList { "2", "error" } << true << start;
    QTest::newRow("colour out of range") << QStringList { "2", "1.5,0,0" } << true << start;
    QTest::newRow("portal without colour picking")
        << QStringList { "1", "1,1,1" } << false << start;
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

void TestScreenPick::buttonDecidedOnRunningQt_data()
{
    QTest::addColumn<QString>("qt");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("needed");

    QTest::newRow("Debian 12's Qt on Wayland") << "6.4.2"
                                               << "wayland" << true;
    QTest::newRow("Wayland through EGL") << "6.4.2"
                                         << "wayland-egl" << true;
    QTest::newRow("first Qt that picks itself") << "6.5.0"
                                                << "wayland" << false;
    QTest::newRow("Debian 13's Qt on Wayland") << "6.8.2"
                                               << "wayland" << false;
    QTest::newRow("two-digit minor is newer") << "6.10.1"
                                              << "wayland" << false;
    QTest::newRow("last Qt without it") << "6.4.3"
                                        << "wayland" << true;
    QTest::newRow("X11 has Qt's own pick") << "6.4.2"
                                           << "xcb" << false;
    QTest::newRow("offscreen") << "6.4.2"
                               << "offscreen" << false;
}

void TestScreenPick::buttonDecidedOnRunningQt()
{
    QFETCH(QString, qt);
    QFETCH(QString, platform);
    QFETCH(bool, needed);
    QCOMPARE(DialogNeedsPortalPickButton(qt, platform), needed);
}

// A dialog deleted while its pick is open (no finished signal): the request is closed at the
// portal, and nothing of the dialog or its button is called while they go (the sanitizer run
// reports such a call).
void TestScreenPick::dialogDestroyedMidPick()
{
    StartPortal({ QStringLiteral("2"), QStringLiteral("hold") });
    auto* dialog = new QColorDialog;
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    AddPortalPickButton(*dialog);
    dialog->show();
    auto* button = dialog->findChild<QPushButton*>(QStringLiteral("PortalPickButton"));
    QVERIFY(button);
    QTRY_VERIFY(button->isVisible());
    button->click();
    QTest::qWait(200); // the portal has the request
    delete dialog;
    QByteArray said;
    const auto closed = [&] {
        said += m_portal.readAllStandardOutput();
        return said.contains("closed /org/freedesktop/portal/");
    };
    QTRY_VERIFY_WITH_TIMEOUT(closed(), 5000);
}

void TestScreenPick::portalAnswer_data()
{
    QTest::addColumn<QStringList>("portal"); // none: no portal on the bus
    QTest::addColumn<int>("result");
    QTest::addColumn<QRgb>("colour"); // when picked

    QTest::newRow("picked") << QStringList { "2", "1,0.5,0" } << int(ScreenPickOutcome::Picked)
                            << qRgb(255, 127, 0);
    QTest::newRow("picked, at once at the portal's own path")
        << QStringList { "2", "0,0,1", "other-handle", "at-once" } << int(ScreenPickOutcome::Picked)
        << qRgb(0, 0, 255);
    QTest::newRow("cancelled") << QStringList { "2", "cancel" } << int(ScreenPickOutcome::Cancelled)
                               << QRgb();
    QTest::newRow("backend failed")
        << QStringList { "2", "fail" } << int(ScreenPickOutcome::Failed) << QRgb();
    QTest::newRow("call refused") << QStringList { "2", "error" } << int(ScreenPickOutcome::Failed)
                                  << QRgb();
    QTest::newRow("no colour in the answer")
        << QStringList { "2", "1.5,0,0" } << int(ScreenPickOutcome::Failed) << QRgb();
    QTest::newRow("no portal") << QStringList() << int(ScreenPickOutcome::Unavailable) << QRgb();
}

// The request as Ctrl+P and --pick make it: every ending reaches the caller once, a picked
// colour with it and any other ending with a reason to show.
void TestScreenPick::portalAnswer()
{
    QFETCH(QStringList, portal);
    QFETCH(int, result);
    QFETCH(QRgb, colour);
    if (!portal.isEmpty())
        StartPortal(portal);

    QObject owner;
    QList<ScreenPickOutcome> outcomes;
    PortalPick::Start(owner, [&](const ScreenPickOutcome& outcome) { outcomes.append(outcome); });
    QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), 1, 10000);
    QTest::qWait(100); // a second ending, were one to come, would land here
    QCOMPARE(outcomes.size(), 1);
    QCOMPARE(int(outcomes[0].result), result);
    if (result == ScreenPickOutcome::Picked)
        QCOMPARE(outcomes[0].colour.rgb(), colour);
    QCOMPARE(outcomes[0].reason.isEmpty(), result <= ScreenPickOutcome::Cancelled);
}

// The owner of a pick goes while the portal still picks: the request is closed and the caller
// hears nothing; a portal that only offers an older Screenshot is not asked to pick.
void TestScreenPick::ownerGoneMidPick()
{
    StartPortal({ QStringLiteral("2"), QStringLiteral("hold") });
    bool called = false;
    {
        QObject owner;
        PortalPick::Start(owner, [&](const ScreenPickOutcome&) { called = true; });
        QTest::qWait(200);
    }
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += m_portal.readAllStandardOutput()).contains("closed "), 5000);
    QVERIFY(!called);

    // Owner gone before the call's reply: the reply names the request, which is then closed.
    said.clear();
    {
        QObject owner;
        PortalPick::Start(owner, [&](const ScreenPickOutcome&) { called = true; });
    }
    QTRY_VERIFY_WITH_TIMEOUT((said += m_portal.readAllStandardOutput()).contains("closed "), 5000);
    QTest::qWait(100);
    QVERIFY(!called);
}

// A portal that was not there when first asked is found once it has started; its yes is kept.
void TestScreenPick::offerAskedAgainAfterNo()
{
    QObject context;
    QStringList answers;
    const auto ask = [&] {
        AskPortalPickOffered(context, [&](const QString& whyNot) { answers.append(whyNot); });
    };
    ask();
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 10000);
    QVERIFY(!answers[0].isEmpty());
    StartPortal({ QStringLiteral("2"), QStringLiteral("hold") });
    ask();
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 2, 10000);
    QCOMPARE(answers[1], QString());
    m_portal.kill();
    m_portal.waitForFinished();
    ask(); // kept: answered at once
    QCOMPARE(answers.size(), 3);
    QCOMPARE(answers[2], QString());
}

void TestScreenPick::wayForPlatform_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<int>("way");

    QTest::newRow("wayland") << "wayland" << int(ScreenPickWay::Portal);
    QTest::newRow("wayland-egl") << "wayland-egl" << int(ScreenPickWay::Portal);
    QTest::newRow("xcb") << "xcb" << int(ScreenPickWay::X11);
    QTest::newRow("offscreen") << "offscreen" << int(ScreenPickWay::None);
    QTest::newRow("minimal") << "minimal" << int(ScreenPickWay::None);
    QTest::newRow("eglfs") << "eglfs" << int(ScreenPickWay::None);
    QTest::newRow("vnc") << "vnc" << int(ScreenPickWay::None);
}

void TestScreenPick::wayForPlatform()
{
    QFETCH(QString, platform);
    QFETCH(int, way);
    QCOMPARE(int(ScreenPickWayFor(platform)), way);
}

// Where no pick exists (here: the offscreen platform) the window's entry is disabled with a hint
// that says why, and a pick asked for all the same tells why and changes nothing.
void TestScreenPick::windowWithoutPick()
{
    WindowOnFile window;
    window.Open();
    TForm1& form = window.Form();
    form.Edit1->SetText("123456");
    const std::string before = CurrentHex;

    QMenu menu;
    AddScreenPickEntry(menu, form);
    QCOMPARE(menu.actions().size(), 1);
    QAction* entry = menu.actions().first();
    QCOMPARE(entry->text(), QString::fromUtf8(u8"画面から色を取得"));
    QVERIFY(menu.toolTipsVisible());
    QTRY_VERIFY(entry->toolTip().contains(QStringLiteral("offscreen")));
    QVERIFY(!entry->isEnabled());

    // Asked twice before the first has ended: one pick, one box.
    PickScreenColourInto(form);
    PickScreenColourInto(form);
    QTRY_COMPARE(window.Boxes().size(), std::size_t(1));
    QTest::qWait(100);
    QCOMPARE(window.Boxes().size(), std::size_t(1));
    QCOMPARE(window.Boxes()[0].kind, BoxRequest::Information);
    QVERIFY(ToQString(window.Boxes()[0].text).contains(QStringLiteral("offscreen")));
    QCOMPARE(form.Edit1->Text(), std::string("123456"));
    QCOMPARE(CurrentHex, before);
}

QTEST_MAIN(TestScreenPick)
#include "tst_screenpick.moc"
