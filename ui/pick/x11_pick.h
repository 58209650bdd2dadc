#pragma once

#include <QPointer>
#include <QWindow>

#include "ui/pick/portal_pick.h"

/// A pick of one colour from the screen on X11, over the whole screen: the pointer is a crosshair
/// wherever it is, a click of the left button takes the pixel under it (Return, Enter and Space
/// the pixel under the pointer), Escape or the right button cancels. Mouse and keyboard are
/// grabbed for the pick, so no click or key reaches another window meanwhile. The window that
/// holds the grab is one pixel large, outside the screen, and never painted.
class X11Pick : public QWindow
{
    Q_OBJECT
public:
    /// Starts a pick. done is called once, from the event loop, when it ends, unless owner has
    /// gone by then (the pick is then given up and the grab released).
    static X11Pick* Start(QObject& owner, ScreenPickDone done);

    /// Gives the pick up without calling done.
    void Cancel();

    ~X11Pick() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit X11Pick(ScreenPickDone done);
    void Grab();
    void Release();
    void PickAt(const QPoint& global);
    void End(const ScreenPickOutcome& outcome);

    ScreenPickDone m_done;
    QPointer<QObject> m_owner;
    int m_tries = 0;
    bool m_grabbed = false;
    bool m_ended = false;
};
