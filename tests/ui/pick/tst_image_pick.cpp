// Picking from an image on the real window: an image on the clipboard with Ctrl+Shift+V, an image
// file or image data dropped on the window (its text boxes too), the swatch's menu entry; the
// view's Enter shows the colour as a paste would and remembers it; a broken file is reported.

#include <filesystem>
#include <optional>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>
#include <QtTest>

#include "platform/codepage.h"
#include "settings/colour_history.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/window_on_file.h"
#include "ui/unit1.h"

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// 5×5 pixels, each its own colour: red 40 × x, green 40 × y, blue 9. The view starts at (2, 2).
QImage Gradient()
{
    QImage image(5, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgb(40 * x, 40 * y, 9));
    return image;
}

// The picking view's window, once it is shown.
QWidget* ImageView()
{
    QWidget* found = nullptr;
    (void)QTest::qWaitFor([&found] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowTitle() == U("画像から色を取得"))
                found = window;
        }
        return found != nullptr;
    });
    return found;
}

} // namespace

class TstImagePick : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clipboardImageIsPickedFrom();
    void clipboardTextStillWins();
    void droppedFilesAndDataArePickedFrom_data();
    void droppedFilesAndDataArePickedFrom();
    void brokenDroppedFileIsReported();
    void swatchMenuOffersTheImagePick();
    void imageWindowZoomsAndPans();

private:
    TForm1& Form() const { return m_window->Form(); }
    void Drop(QWidget* target, QMimeData* data);

    std::optional<ScratchDir> m_state;
    std::optional<WindowOnFile> m_window;
    QTemporaryDir m_files;
};

void TstImagePick::init()
{
    m_state.emplace("tintora-state-");
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(m_state->Dir().string()));
    m_window.emplace();
    m_window->Open();
    Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Form()));
}

void TstImagePick::cleanup()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != &Form())
            QTest::keyClick(window, Qt::Key_Escape);
    }
    m_window.reset();
    m_state.reset();
}

void TstImagePick::Drop(QWidget* target, QMimeData* data)
{
    const QPoint inside(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(inside, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(inside, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
}

void TstImagePick::clipboardImageIsPickedFrom()
{
    QApplication::clipboard()->setImage(Gradient());
    QTest::keyClick(Form().Edit1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QWidget* view = ImageView();
    QVERIFY(view);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_COMPARE(Form().Edit1->text(), QStringLiteral("785009"));
    QCOMPARE(Form().Edit2->text(), QStringLiteral("120"));
    QCOMPARE(ToQString(CurrentHex), QStringLiteral("785009"));
    QVERIFY(m_window->Boxes().empty());
    QCOMPARE(ReadColourHistory(ColourHistoryPath()).colours, (std::vector<Rgb> { { 120, 80, 9 } }));
}

// Text on the clipboard is read as a colour, as always, even beside an image.
void TstImagePick::clipboardTextStillWins()
{
    auto* data = new QMimeData;
    data->setImageData(Gradient());
    data->setText(QStringLiteral("#0000FF"));
    QApplication::clipboard()->setMimeData(data);
    QTest::keyClick(Form().Edit1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Form().Edit1->text(), QStringLiteral("0000FF"));
    QTest::qWait(50);
    for (const QWidget* window : QApplication::topLevelWidgets())
        QVERIFY(!window->isVisible() || window->windowTitle() != U("画像から色を取得"));
}

void TstImagePick::droppedFilesAndDataArePickedFrom_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("asFile");
    QTest::newRow("file on the window") << "" << true;
    QTest::newRow("file on the HEX box") << "Edit1" << true;
    QTest::newRow("image data on the R box") << "Edit2" << false;
}

void TstImagePick::droppedFilesAndDataArePickedFrom()
{
    QFETCH(QString, target);
    QFETCH(bool, asFile);
    Form().Edit1->setText(QStringLiteral("zz"));
    QMimeData data;
    if (asFile) {
        const QString path = m_files.filePath(U("見本 1.png"));
        QVERIFY(Gradient().save(path));
        data.setUrls({ QUrl::fromLocalFile(path) });
        data.setText(QUrl::fromLocalFile(path).toString()); // as file managers add it
    } else {
        data.setImageData(Gradient());
    }
    Drop(target.isEmpty() ? static_cast<QWidget*>(&Form()) : Form().findChild<QWidget*>(target),
        &data);
    QWidget* view = ImageView();
    QVERIFY(view);
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_COMPARE(Form().Edit1->text(), QStringLiteral("500009"));
}

void TstImagePick::brokenDroppedFileIsReported()
{
    const QString path = m_files.filePath(QStringLiteral("broken.png"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\x89PNG\r\n\x1a\n", 8));
    file.close();
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(path) });
    Drop(&Form(), &data);
    QTRY_COMPARE(m_window->Boxes().size(), std::size_t(1));
    QCOMPARE(ToQString(m_window->Boxes().front().text),
        U("画像を開けません。\n") + path + U("\n画像のデータが壊れているか、途中で切れています"));
}

void TstImagePick::swatchMenuOffersTheImagePick()
{
    QWidget* swatch = Form().Shape1;
    const QPoint inside(swatch->width() / 2, swatch->height() / 2);
    QContextMenuEvent request(QContextMenuEvent::Mouse, inside, swatch->mapToGlobal(inside));
    QApplication::sendEvent(swatch, &request);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QStringList texts;
    for (const QAction* entry : menu->actions())
        texts << entry->text();
    menu->close();
    QVERIFY2(texts.contains(U("画像から色を取得…")), qPrintable(texts.join(u',')));
}

// Ctrl with the wheel zooms the image about the pointer, the middle button drags it; what the
// pointer then points at is what is taken.
void TstImagePick::imageWindowZoomsAndPans()
{
    QImage image(100, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            image.setPixel(x, y, qRgb(2 * x, 2 * y, 9));
    QApplication::clipboard()->setImage(image);
    QTest::keyClick(Form().Edit1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QWidget* view = ImageView();
    QVERIFY(view);
    view->resize(400, 400); // 4 logical pixels to a pixel of the image, which fills the window
    QTest::qWait(20);
    // Sent to the window itself: the platform drops a move to where the pointer already is.
    const auto mouse = [&view](
                           QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
        QMouseEvent event(type, at, view->mapToGlobal(at), button,
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
            Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    };
    const auto take = [&view, &mouse](QPoint at) {
        mouse(QEvent::MouseMove, at);
        QTest::keyClick(view, Qt::Key_Return);
    };
    const auto wheel = [&view](QPoint at, int steps) {
        QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, 120 * steps), Qt::NoButton,
            Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
    };

    // 40 logical pixels right of the middle: 10 pixels of the image unzoomed, 2.5 zoomed.
    mouse(QEvent::MouseMove, { 200, 200 });
    wheel({ 200, 200 }, 4); // four notches: 4 times, 16 logical pixels to one
    take({ 240, 200 });
    QTRY_COMPARE(Form().Edit1->text(), QStringLiteral("686409")); // (52, 50)

    Form().Edit1->setText(QStringLiteral("zz"));
    Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Form()));
    QApplication::clipboard()->setImage(image);
    QTest::keyClick(Form().Edit1, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    view = ImageView();
    QVERIFY(view);
    view->resize(400, 400);
    QTest::qWait(20);
    mouse(QEvent::MouseMove, { 200, 200 });
    wheel({ 200, 200 }, 4);
    mouse(QEvent::MouseButtonPress, { 240, 200 }, Qt::MiddleButton);
    mouse(QEvent::MouseMove, { 140, 100 }, Qt::MiddleButton);
    mouse(QEvent::MouseButtonRelease, { 140, 100 }, Qt::MiddleButton);
    QVERIFY(view->isVisible()); // the middle button took nothing
    // The pixel that was under (240, 200) was dragged to under the pointer.
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_COMPARE(Form().Edit1->text(), QStringLiteral("686409"));
}

QTEST_MAIN(TstImagePick)
#include "tst_image_pick.moc"
