#include "ui/pick/x11_pick.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "platform/codepage.h"
#include "ui/text.h"

namespace {

// Another program may hold the pointer or the keyboard for a moment (a menu that is closing):
// the grab is tried again for about a second before the pick is given up.
constexpr int kGrabTries = 20;
constexpr int kGrabRetry = 50; // ms

} // namespace

X11Pick::X11Pick(ScreenPickDone done)
    : m_done(std::move(done))
{
    // Not managed by the window manager: it maps at once, anywhere, and takes no frame.
    setFlags(Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint | Qt::Tool);
    setGeometry(-10, -10, 1, 1);
    // The grab shows the grabbing window's pointer wherever the pointer is.
    setCursor(Qt::CrossCursor);
}

X11Pick::~X11Pick()
{
    Release();
}

X11Pick* X11Pick::Start(QObject& owner, ScreenPickDone done)
{
    auto* pick = new X11Pick(std::move(done));
    pick->m_owner = &owner;
    connect(&owner, &QObject::destroyed, pick, &X11Pick::Cancel);
    pick->show();
    // The grab needs the window mapped; its map request goes out first.
    QTimer::singleShot(0, pick, &X11Pick::Grab);
    return pick;
}

void X11Pick::Grab()
{
    if (m_ended)
        return;
    const bool pointer = setMouseGrabEnabled(true);
    const bool keyboard = pointer && setKeyboardGrabEnabled(true);
    if (pointer && keyboard) {
        m_grabbed = true;
        // Clicks and keys reach whichever of our windows Qt gives them to (the keyboard goes to
        // the focused one): the pick sees every one of them first.
        QCoreApplication::instance()->installEventFilter(this);
        return;
    }
    if (pointer)
        setMouseGrabEnabled(false);
    if (++m_tries < kGrabTries) {
        QTimer::singleShot(kGrabRetry, this, &X11Pick::Grab);
        return;
    }
    End({ ScreenPickOutcome::Failed, {},
        ToQString(Sjis(
            u8"マウスとキーボードをほかのプログラムが使用中のため、画面から色を取得できません")) });
}

void X11Pick::Release()
{
    if (!m_grabbed)
        return;
    m_grabbed = false;
    QCoreApplication::instance()->removeEventFilter(this);
    setKeyboardGrabEnabled(false);
    setMouseGrabEnabled(false);
}

bool X11Pick::eventFilter(QObject* watched, QEvent* event)
{
    if (m_ended)
        return QWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // No shortcut of the program runs while picking: the key comes as a key press.
        event->accept();
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape)
            End({ ScreenPickOutcome::Cancelled, {}, {} });
        else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
            PickAt(QCursor::pos());
        return true;
    }
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        return true;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            PickAt(mouse->globalPosition().toPoint());
        else if (mouse->button() == Qt::RightButton)
            End({ ScreenPickOutcome::Cancelled, {}, {} });
        return true;
    }
    default:
        return QWindow::eventFilter(watched, event);
    }
}

void X11Pick::PickAt(const QPoint& global)
{
    QScreen* screen = QGuiApplication::screenAt(global);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    QImage pixel;
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        pixel = screen->grabWindow(0, global.x() - area.x(), global.y() - area.y(), 1, 1).toImage();
    }
    if (pixel.isNull() || pixel.width() < 1 || pixel.height() < 1) {
        End({ ScreenPickOutcome::Failed, {}, ToQString(Sjis(u8"画面を読み取れません")) });
        return;
    }
    const QRgb rgb = pixel.pixel(0, 0);
    End({ ScreenPickOutcome::Picked, QColor(qRed(rgb), qGreen(rgb), qBlue(rgb)), {} });
}

void X11Pick::End(const ScreenPickOutcome& outcome)
{
    if (m_ended)
        return;
    m_ended = true;
    Release();
    hide();
    ScreenPickDone done = std::move(m_done);
    deleteLater();
    // From the event loop, and not from inside the event that ended the pick; dropped when the
    // owner goes before.
    if (done && m_owner)
        QMetaObject::invokeMethod(
            m_owner, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
}

void X11Pick::Cancel()
{
    if (m_ended)
        return;
    m_ended = true;
    m_done = nullptr;
    Release();
    hide();
    deleteLater();
}
