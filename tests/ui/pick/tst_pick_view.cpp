#include <optional>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include "ui/pick/pick_view.h"
#include "ui/pick/pick_view_p.h"

// The picking view in an image's window (the screen's frame over X11's screens is tested end to
// end): keys and clicks take the pixel expected, the window's fitted layout maps positions to the
// frame's pixels, and a cancel or a parent that goes ends the pick as it should.
class TestPickView : public QObject
{
    Q_OBJECT

private slots:
    void keysAndClicks_data();
    void keysAndClicks();
    void imageZoomedAndPanned();
    void parentGoneMidPick();
    void emptyImageEndsAtOnce();
    void layoutMapsScaledPositions_data();
    void layoutMapsScaledPositions();
};

namespace {

// A 5 by 4 image whose every pixel has its own colour.
QImage SmallImage()
{
    QImage image(5, 4, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(10 * x, 10 * y, 200));
    return image;
}

QWidget* ViewWindow()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->windowTitle() == QStringLiteral("画像から色を取得"))
            return top;
    }
    return nullptr;
}

} // namespace

void TestPickView::keysAndClicks_data()
{
    QTest::addColumn<QList<int>>("keys"); // a key, or a negative one with Shift
    QTest::addColumn<std::optional<Rgb>>("expected");
    // The point starts at the image's centre pixel (2, 1).
    QTest::newRow("centre") << QList<int> { Qt::Key_Return } << std::optional<Rgb>({ 20, 10, 200 });
    QTest::newRow("nudged") << QList<int> { Qt::Key_Right, Qt::Key_Down, Qt::Key_Down,
        Qt::Key_Space } << std::optional<Rgb>({ 30, 30, 200 });
    QTest::newRow("shift, held at the edges") << QList<int> { -Qt::Key_Left, -Qt::Key_Up,
        Qt::Key_Right, Qt::Key_Enter } << std::optional<Rgb>({ 10, 0, 200 });
    // The 3x3 sample at the corner (0, 0): four pixels inside, averaged and rounded.
    QTest::newRow("3x3 at the corner") << QList<int> { -Qt::Key_Left, -Qt::Key_Up, Qt::Key_3,
        Qt::Key_Return } << std::optional<Rgb>({ 5, 5, 200 });
    QTest::newRow("5x5 whole image")
        << QList<int> { Qt::Key_5, Qt::Key_Return } << std::optional<Rgb>({ 20, 15, 200 });
    QTest::newRow("escape") << QList<int> { Qt::Key_Right, Qt::Key_Escape } << std::optional<Rgb>();
}

void TestPickView::keysAndClicks()
{
    QFETCH(QList<int>, keys);
    QFETCH(std::optional<Rgb>, expected);
    QWidget parent;
    int calls = 0;
    std::optional<Rgb> taken;
    PickFrame frame { SmallImage(), {}, {} };
    OpenPickView(&parent, frame, PickViewKind::ImageWindow, [&](std::optional<Rgb> colour) {
        ++calls;
        taken = colour;
    });
    QWidget* view = ViewWindow();
    QVERIFY(view != nullptr);
    for (const int key : keys)
        QTest::keyClick(view, Qt::Key(std::abs(key)), key < 0 ? Qt::ShiftModifier : Qt::NoModifier);
    QTRY_COMPARE(calls, 1);
    QCOMPARE(taken, expected);
    QTRY_VERIFY(ViewWindow() == nullptr);

    // A click takes the pixel under it. The window is at least 320 by 240, the image drawn in
    // its middle at eight logical pixels to one: pixel (4, 3) lies 36 and 28 from the image's
    // corner at (140, 104).
    calls = 0;
    OpenPickView(&parent, frame, PickViewKind::ImageWindow, [&](std::optional<Rgb> colour) {
        ++calls;
        taken = colour;
    });
    view = ViewWindow();
    QVERIFY(view != nullptr);
    QCOMPARE(view->size(), QSize(320, 240));
    const QPoint at(140 + 4 * 8 + 4, 104 + 3 * 8 + 4);
    QTest::mouseMove(view, at);
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
    QTRY_COMPARE(calls, 1);
    QCOMPARE(taken, std::optional<Rgb>({ 40, 30, 200 }));
}

// Ctrl+wheel zooms the image about the pointer, the middle button drags it; a click then takes
// the pixel under it in the new layout. The image starts at (140, 104), eight logical pixels to a
// pixel; two wheel steps make it sixteen, keeping pixel (4, 3)'s centre (176, 132) in place, so
// the image's corner moves to (104, 76); a drag of 16 to the right puts it at (120, 76).
void TestPickView::imageZoomedAndPanned()
{
    QWidget parent;
    std::optional<Rgb> taken;
    OpenPickView(&parent, { SmallImage(), {}, {} }, PickViewKind::ImageWindow,
        [&](std::optional<Rgb> colour) { taken = colour; });
    QWidget* view = ViewWindow();
    QVERIFY(view != nullptr);
    const QPointF at(176, 132);
    QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton,
        Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QTest::mousePress(view, Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(view, QPoint(116, 100));
    QTest::mouseRelease(view, Qt::MiddleButton, Qt::NoModifier, QPoint(116, 100));
    // x: (160 - 120) / 16 = 2.5, y: (132 - 76) / 16 = 3.5.
    QTest::mouseMove(view, QPoint(160, 132));
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(160, 132));
    QTRY_VERIFY(taken.has_value());
    QCOMPARE(*taken, Rgb({ 20, 30, 200 }));
}

void TestPickView::parentGoneMidPick()
{
    int calls = 0;
    {
        QWidget parent;
        OpenPickView(&parent, { SmallImage(), {}, {} }, PickViewKind::ImageWindow,
            [&](std::optional<Rgb>) { ++calls; });
        QVERIFY(ViewWindow() != nullptr);
    }
    // The view closes with its parent, and nothing is called.
    QTRY_VERIFY(ViewWindow() == nullptr);
    QTest::qWait(50);
    QCOMPARE(calls, 0);
}

// An image without pixels opens no view: the pick ends at once, with nothing taken.
void TestPickView::emptyImageEndsAtOnce()
{
    QWidget parent;
    int calls = 0;
    std::optional<Rgb> taken = Rgb { 1, 2, 3 };
    OpenPickView(
        &parent, { QImage(), {}, {} }, PickViewKind::ImageWindow, [&](std::optional<Rgb> colour) {
            ++calls;
            taken = colour;
        });
    QVERIFY(ViewWindow() == nullptr);
    QTRY_COMPARE(calls, 1);
    QCOMPARE(taken, std::nullopt);
}

void TestPickView::layoutMapsScaledPositions_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QPoint>("pixel");
    // A screen at scale 2 and 1.5 from (100, 0) of the frame: a position computed from a device
    // pixel gives that pixel back, also where the division came out a hair below it.
    QTest::newRow("2, odd pixel") << 2.0 << QPointF(50.5, 100.5) << QPoint(201, 201);
    QTest::newRow("1.5, a third") << 1.5 << QPointF(101.0 / 1.5, 1.0 / 1.5) << QPoint(201, 1);
    QTest::newRow("1.5, a hair below") << 1.5 << QPointF(67.33333333, 0) << QPoint(201, 0);
    QTest::newRow("held inside") << 2.0 << QPointF(-3, 900) << QPoint(100, 599);
}

void TestPickView::layoutMapsScaledPositions()
{
    QFETCH(double, scale);
    QFETCH(QPointF, position);
    QFETCH(QPoint, pixel);
    const CanvasLayout layout { QRect(100, 0, 800, 600), QPointF(), scale };
    QCOMPARE(layout.FramePixelAt(position), pixel);
    QCOMPARE(layout.FramePixelAt(layout.CentreOf(pixel)), pixel);
}

QTEST_MAIN(TestPickView)
#include "tst_pick_view.moc"
