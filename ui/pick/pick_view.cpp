#include "ui/pick/pick_view.h"
#include "ui/pick/pick_view_p.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include "platform/codepage.h"
#include "ui/pick/loupe.h"
#include "ui/pick/pick_sample.h"
#include "ui/pick/x11_pointer.h"
#include "ui/text.h"

namespace {

// Another program may hold the pointer or the keyboard for a moment (a menu that is closing):
// the grab is tried again for about a second before the pick is given up.
constexpr int kGrabTries = 20;
constexpr int kGrabRetry = 50; // ms
// The loupe keeps this far from the pointer, so the pixel picked stays in sight.
constexpr int kLoupeGap = 24;
// Around the loupe, what a scaled screen's rounding of its border may reach.
constexpr int kRepaintMargin = 2;
// A position computed back from a device pixel may come out a hair below it.
constexpr double kPixelSlack = 1e-6;

class PickSession;

// One window of the view: a part of the frame, and the loupe when the point lies in that part.
class PickCanvas : public QWidget
{
public:
    PickCanvas(PickSession& session, QWidget* parent, Qt::WindowFlags flags);

    CanvasLayout layout;
    bool fitted = false; // the layout follows the window's size (an image's window)
    double zoom = 1; // an image's window: times the fitted size (Ctrl+wheel)
    QRect loupeRect; // where the loupe was last painted; empty when not shown here

    void Refit();
    void ZoomAt(QPointF position, int steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent*) override
    {
        if (fitted)
            Refit();
    }
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override
    {
        // No shortcut of the program runs while picking: the key comes as a key press.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        return QWidget::event(event);
    }
    void closeEvent(QCloseEvent* event) override;

private:
    // Events may still come in after the pick ended and the session went.
    QPointer<PickSession> m_session;
    std::optional<QPointF> m_panFrom; // the middle button's last position while it pans
};

class PickSession : public QObject
{
public:
    PickSession(QObject& owner, PickFrame frame, ScreenPickDone done)
        : m_frame(std::move(frame))
        , m_done(std::move(done))
        , m_owner(&owner)
    {
        if (m_frame.image.format() != QImage::Format_RGB32)
            m_frame.image = m_frame.image.convertToFormat(QImage::Format_RGB32);
        connect(&owner, &QObject::destroyed, this, [this] { GiveUp(); });
    }

    ~PickSession() override { DeleteCanvases(); }

    void Open(PickViewKind kind, QWidget* parent)
    {
        if (kind != PickViewKind::FullScreen || !OpenOverScreens())
            OpenInOneWindow(kind, parent);
        // The loupe shows at once, where the point starts.
        Repaint();
    }

    const PickFrame& Frame() const { return m_frame; }

    LoupeContent Loupe() const
    {
        LoupeContent content;
        content.image = &m_frame.image;
        content.point = m_point;
        content.cell = m_cell;
        content.sample = m_sample;
        content.colour = SampleAverage(m_frame.image, m_point, m_sample);
        if (m_frame.ownSpaceText)
            content.ownSpaceText = m_frame.ownSpaceText(m_point);
        return content;
    }

    QPoint Point() const { return m_point; }

    // The windows' layouts changed: the loupe is placed again.
    void Relayout() { Repaint(); }

    void PointerAt(PickCanvas& canvas, QPointF position, QPointF global)
    {
        // Over X11's screens the pointer's device pixel is read from the server: Qt's position
        // is in scaled units, rounded, and on a scaled screen names the wrong device pixel.
        if (m_overScreens) {
            if (const std::optional<QPoint> pointer = X11PointerPosition()) {
                SetPoint(ClampedToFrame(*pointer - m_frame.geometry.topLeft()));
                return;
            }
        }
        // While one window holds the grab, moves over the other screens come to it too.
        PickCanvas* under = &canvas;
        if (!canvas.rect().contains(position.toPoint())) {
            for (PickCanvas* other : m_canvases) {
                if (other != nullptr && other->geometry().contains(global.toPoint())) {
                    under = other;
                    position = global - QPointF(other->geometry().topLeft());
                    break;
                }
            }
        }
        SetPoint(under->layout.FramePixelAt(position));
    }

    void Pressed() { m_pressed = true; }
    void Released(Qt::MouseButton button)
    {
        if (button == Qt::RightButton)
            End({ ScreenPickOutcome::Cancelled, {}, {} });
        else if (button == Qt::LeftButton && m_pressed)
            Take();
    }

    void Wheel(int steps)
    {
        m_cell = NextLoupeCell(m_cell, steps);
        Repaint();
    }

    void Key(QKeyEvent& event)
    {
        const int key = event.key();
        switch (key) {
        case Qt::Key_Escape:
            End({ ScreenPickOutcome::Cancelled, {}, {} });
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Take();
            return;
        case Qt::Key_1:
        case Qt::Key_3:
        case Qt::Key_5:
            m_sample = key - Qt::Key_0;
            Repaint();
            return;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const bool shift = event.modifiers().testFlag(Qt::ShiftModifier);
            SetPoint(Nudged(m_point, key, shift, m_frame.image.rect()));
            FollowWithPointer();
            return;
        }
        default:
            return;
        }
    }

    // The window was closed from outside (the window manager's close): a cancel.
    void Closed() { End({ ScreenPickOutcome::Cancelled, {}, {} }); }

private:
    // One window over each screen, each showing the frame's pixels of that screen one to one.
    // Only where the frame covers every screen (a frame of the screens as X11 gives them).
    bool OpenOverScreens()
    {
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (screens.isEmpty() || !QGuiApplication::platformName().startsWith(u"xcb"))
            return false;
        QList<CanvasLayout> layouts;
        for (QScreen* screen : screens) {
            // A screen's position is in device pixels, its size in scaled units.
            const QRect logical = screen->geometry();
            const double scale = screen->devicePixelRatio();
            QRect device(logical.topLeft(),
                QSize(static_cast<int>(std::lround(logical.width() * scale)),
                    static_cast<int>(std::lround(logical.height() * scale))));
            // The scaled size, times the scale, may come out a pixel larger than the screen.
            if (!m_frame.geometry.contains(device.topLeft())
                || !m_frame.geometry.contains(device.bottomRight() - QPoint(1, 1)))
                return false;
            device &= m_frame.geometry;
            layouts.append({ device.translated(-m_frame.geometry.topLeft()), QPointF(), scale });
        }
        for (qsizetype i = 0; i < screens.size(); ++i) {
            auto* canvas = new PickCanvas(*this, nullptr,
                Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint
                    | Qt::WindowStaysOnTopHint);
            canvas->setAttribute(Qt::WA_DeleteOnClose, false);
            canvas->layout = layouts[i];
            canvas->setWindowTitle(ToQString(Sjis(u8"色の取得")));
            canvas->setGeometry(screens[i]->geometry());
            m_canvases.append(canvas);
        }
        m_overScreens = true;
        const std::optional<QPoint> pointer = X11PointerPosition();
        m_point = pointer ? ClampedToFrame(*pointer - m_frame.geometry.topLeft())
                          : m_frame.image.rect().center();
        for (PickCanvas* canvas : m_canvases)
            canvas->show();
        // The grab needs the windows mapped; their map requests go out first.
        QTimer::singleShot(0, this, [this] { Grab(); });
        return true;
    }

    // One window showing the whole frame fitted into it: an image's window, or the screen's frame
    // where it cannot be laid over the screens one to one (Wayland, where no window is placed).
    void OpenInOneWindow(PickViewKind kind, QWidget* parent)
    {
        // Not the parent's child: the session deletes its windows, also when the parent goes.
        auto* canvas = new PickCanvas(*this, nullptr, Qt::Window);
        canvas->fitted = true;
        if (parent != nullptr && parent->window()->windowHandle() != nullptr) {
            canvas->winId();
            canvas->windowHandle()->setTransientParent(parent->window()->windowHandle());
        }
        m_canvases.append(canvas);
        m_point = m_frame.image.rect().center();
        if (kind == PickViewKind::FullScreen) {
            canvas->setWindowTitle(ToQString(Sjis(u8"色の取得")));
            canvas->showFullScreen();
        } else {
            canvas->setWindowTitle(ToQString(Sjis(u8"画像から色を取得")));
            QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
            const QSize room =
                screen ? screen->availableGeometry().size() * 4 / 5 : QSize(800, 600);
            canvas->resize(m_frame.image.size()
                               .scaled(room, Qt::KeepAspectRatio)
                               .boundedTo(m_frame.image.size() * 8)
                               .expandedTo(QSize(320, 240)));
            canvas->show();
        }
        canvas->Refit();
        canvas->activateWindow();
        canvas->setFocus();
    }

    void Grab()
    {
        if (m_ended)
            return;
        // The window of the screen under the pointer holds the grab.
        PickCanvas* holder = m_canvases.front();
        for (PickCanvas* canvas : m_canvases) {
            if (canvas->layout.source.contains(m_point))
                holder = canvas;
        }
        QWindow* window = holder->windowHandle();
        const bool pointer = window && window->setMouseGrabEnabled(true);
        const bool keyboard = pointer && window->setKeyboardGrabEnabled(true);
        if (pointer && keyboard) {
            m_grabber = window;
            holder->setFocus();
            return;
        }
        if (pointer)
            window->setMouseGrabEnabled(false);
        if (++m_tries < kGrabTries) {
            QTimer::singleShot(kGrabRetry, this, [this] { Grab(); });
            return;
        }
        End({ ScreenPickOutcome::Failed, {},
            ToQString(
                Sjis(u8"マウスとキーボードをほかのプログラムが使用中のため、画面から色を"
                     u8"取得できません。そのプログラムを閉じてから、もう一度お試しください")) });
    }

    QPoint ClampedToFrame(QPoint point) const
    {
        return { std::clamp(point.x(), 0, m_frame.image.width() - 1),
            std::clamp(point.y(), 0, m_frame.image.height() - 1) };
    }

    void SetPoint(QPoint point)
    {
        if (point == m_point)
            return;
        m_point = point;
        Repaint();
    }

    // On X11 the pointer goes to the nudged pixel, so that the loupe and a click stay with it.
    void FollowWithPointer()
    {
        if (m_overScreens)
            MoveX11Pointer(m_frame.geometry.topLeft() + m_point);
    }

    void Repaint()
    {
        for (PickCanvas* canvas : m_canvases) {
            // The old loupe's place, and the new one's.
            if (!canvas->loupeRect.isEmpty())
                canvas->update(canvas->loupeRect.adjusted(
                    -kRepaintMargin, -kRepaintMargin, kRepaintMargin, kRepaintMargin));
            canvas->loupeRect = QRect();
            if (canvas->layout.source.contains(m_point)) {
                const QSize size = LoupeSize(Loupe(), canvas->fontMetrics());
                const QPointF at = canvas->layout.CentreOf(m_point);
                QPoint topLeft = at.toPoint() + QPoint(kLoupeGap, kLoupeGap);
                // Kept inside the window: to the other side of the point where it would not fit.
                if (topLeft.x() + size.width() > canvas->width())
                    topLeft.setX(static_cast<int>(at.x()) - kLoupeGap - size.width());
                if (topLeft.y() + size.height() > canvas->height())
                    topLeft.setY(static_cast<int>(at.y()) - kLoupeGap - size.height());
                topLeft.setX(std::max(topLeft.x(), 0));
                topLeft.setY(std::max(topLeft.y(), 0));
                canvas->loupeRect = QRect(topLeft, size);
                canvas->update(canvas->loupeRect.adjusted(
                    -kRepaintMargin, -kRepaintMargin, kRepaintMargin, kRepaintMargin));
            }
        }
    }

    void Take()
    {
        const Rgb taken = SampleAverage(m_frame.image, m_point, m_sample);
        End({ ScreenPickOutcome::Picked, QColor(taken.red, taken.green, taken.blue), {} });
    }

    void ReleaseGrab()
    {
        if (m_grabber == nullptr)
            return;
        m_grabber->setKeyboardGrabEnabled(false);
        m_grabber->setMouseGrabEnabled(false);
        m_grabber = nullptr;
    }

    void DeleteCanvases()
    {
        ReleaseGrab();
        for (const QPointer<PickCanvas>& canvas : std::exchange(m_canvases, {})) {
            if (!canvas)
                continue;
            canvas->hide();
            canvas->deleteLater();
        }
    }

    void End(const ScreenPickOutcome& outcome)
    {
        if (m_ended)
            return;
        m_ended = true;
        DeleteCanvases();
        ScreenPickDone done = std::move(m_done);
        deleteLater();
        // From the event loop, and not from inside the event that ended the pick; dropped when
        // the owner goes before.
        if (done && m_owner)
            QMetaObject::invokeMethod(
                m_owner, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
    }

    void GiveUp()
    {
        if (m_ended)
            return;
        m_ended = true;
        m_done = nullptr;
        DeleteCanvases();
        deleteLater();
    }

    PickFrame m_frame;
    ScreenPickDone m_done;
    QPointer<QObject> m_owner;
    QList<QPointer<PickCanvas>> m_canvases;
    QPointer<QWindow> m_grabber;
    QPoint m_point;
    int m_cell = 10;
    int m_sample = 1;
    int m_tries = 0;
    bool m_overScreens = false; // one window over each screen, on X11
    bool m_pressed = false;
    bool m_ended = false;
};

PickCanvas::PickCanvas(PickSession& session, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , m_session(&session)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void PickCanvas::Refit()
{
    if (!m_session)
        return;
    const QSize image = m_session->Frame().image.size();
    if (image.isEmpty() || width() <= 0 || height() <= 0)
        return;
    layout.source = QRect(QPoint(), image);
    // Frame pixels per logical pixel: the whole frame in the window, never more than eight
    // logical pixels to a frame pixel.
    const double scale =
        std::max({ double(image.width()) / width(), double(image.height()) / height(), 1.0 / 8 });
    zoom = 1;
    layout.pixelsPerUnit = scale;
    layout.offset =
        QPointF((width() - image.width() / scale) / 2, (height() - image.height() / scale) / 2);
    loupeRect = QRect();
    update();
}

void PickCanvas::ZoomAt(QPointF position, int steps)
{
    // The frame's point under the pointer stays under it; from the fitted size up to 64 logical
    // pixels to a frame pixel, and never below the fitted size.
    const QPointF inFrame = (position - layout.offset) * layout.pixelsPerUnit;
    const double fitted = layout.pixelsPerUnit * zoom;
    zoom = std::clamp(zoom * std::pow(2.0, steps / 2.0), 1.0, std::max(1.0, fitted * 64));
    if (zoom == 1.0) {
        Refit();
    } else {
        layout.pixelsPerUnit = fitted / zoom;
        layout.offset = position - inFrame / layout.pixelsPerUnit;
    }
    loupeRect = QRect();
    update();
    if (m_session)
        m_session->Relayout();
}

void PickCanvas::paintEvent(QPaintEvent* event)
{
    if (!m_session)
        return;
    QPainter painter(this);
    const LoupeContent loupe = m_session->Loupe();
    PaintPickCanvas(painter, event->rect(), layout, m_session->Frame().image,
        loupeRect.isEmpty() ? nullptr : &loupe, loupeRect.topLeft());
}

void PickCanvas::mouseMoveEvent(QMouseEvent* event)
{
    // The middle button drags an image that is larger than its window.
    if (m_panFrom) {
        layout.offset += event->position() - *m_panFrom;
        m_panFrom = event->position();
        loupeRect = QRect();
        update();
    }
    if (m_session)
        m_session->PointerAt(*this, event->position(), event->globalPosition());
}

void PickCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        if (fitted)
            m_panFrom = event->position();
        return;
    }
    if (m_session)
        m_session->PointerAt(*this, event->position(), event->globalPosition());
    if (m_session)
        m_session->Pressed();
}

void PickCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        m_panFrom.reset();
        return;
    }
    if (m_session)
        m_session->Released(event->button());
}

void PickCanvas::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0)
        return;
    // In an image's window Ctrl+wheel zooms the image; the wheel alone zooms the loupe.
    if (fitted && event->modifiers().testFlag(Qt::ControlModifier))
        ZoomAt(event->position(), steps);
    else if (m_session)
        m_session->Wheel(steps);
}

void PickCanvas::keyPressEvent(QKeyEvent* event)
{
    if (m_session)
        m_session->Key(*event);
}

void PickCanvas::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (m_session)
        m_session->Closed();
}

} // namespace

QPoint CanvasLayout::FramePixelAt(QPointF position) const
{
    const QPointF inFrame = (position - offset) * pixelsPerUnit;
    const int x = static_cast<int>(std::floor(inFrame.x() + kPixelSlack)) + source.x();
    const int y = static_cast<int>(std::floor(inFrame.y() + kPixelSlack)) + source.y();
    return { std::clamp(x, source.left(), source.right()),
        std::clamp(y, source.top(), source.bottom()) };
}

QPointF CanvasLayout::CentreOf(QPoint pixel) const
{
    return offset + QPointF(pixel - source.topLeft() + QPointF(0.5, 0.5)) / pixelsPerUnit;
}

void PaintPickCanvas(QPainter& painter, const QRect& dirty, const CanvasLayout& layout,
    const QImage& frame, const LoupeContent* loupe, QPoint loupeAt)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRect(dirty);
    const QRectF target(layout.offset,
        QSizeF(layout.source.width() / layout.pixelsPerUnit,
            layout.source.height() / layout.pixelsPerUnit));
    if (!target.contains(QRectF(dirty)))
        painter.fillRect(dirty, QColor(48, 48, 48));
    painter.drawImage(target, frame, layout.source);
    if (loupe != nullptr)
        PaintLoupe(painter, loupeAt, *loupe);
}

QPoint Nudged(QPoint point, int key, bool shift, const QRect& frame)
{
    const int step = shift ? 10 : 1;
    switch (key) {
    case Qt::Key_Left:
        point.rx() -= step;
        break;
    case Qt::Key_Right:
        point.rx() += step;
        break;
    case Qt::Key_Up:
        point.ry() -= step;
        break;
    case Qt::Key_Down:
        point.ry() += step;
        break;
    default:
        break;
    }
    return { std::clamp(point.x(), frame.left(), frame.right()),
        std::clamp(point.y(), frame.top(), frame.bottom()) };
}

void OpenScreenPickView(QObject& owner, PickFrame frame, PickViewKind kind, ScreenPickDone done)
{
    if (frame.image.isNull() || frame.image.width() < 1 || frame.image.height() < 1) {
        QMetaObject::invokeMethod(
            &owner,
            [done = std::move(done)] {
                done({ ScreenPickOutcome::Failed, {},
                    ToQString(Sjis(u8"画像に画素がないため、色を取得できません")) });
            },
            Qt::QueuedConnection);
        return;
    }
    QWidget* parent = qobject_cast<QWidget*>(&owner);
    auto* session = new PickSession(owner, std::move(frame), std::move(done));
    session->Open(kind, parent);
}

void OpenPickView(QWidget* parent, PickFrame frame, PickViewKind kind,
    std::function<void(std::optional<Rgb>)> done)
{
    // Without a parent the application stands as the owner: the view lives as long as it does.
    QObject& owner = parent ? static_cast<QObject&>(*parent) : *QCoreApplication::instance();
    OpenScreenPickView(
        owner, std::move(frame), kind, [done = std::move(done)](const ScreenPickOutcome& outcome) {
            if (outcome.result == ScreenPickOutcome::Picked)
                done(Rgb { outcome.colour.red(), outcome.colour.green(), outcome.colour.blue() });
            else
                done(std::nullopt);
        });
}
