#pragma once

#include <functional>
#include <optional>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include "colour/rgb.h"
#include "ui/pick/portal_pick.h"

class QObject;
class QWidget;

/// A still image to pick a colour from.
struct PickFrame
{
    QImage image; ///< the source's own pixels (device pixels), shown in sRGB
    QRect geometry; ///< where it lies on the virtual desktop, in device pixels (screen frames)
    /// Optional: the pixel in the source's own space, such as "color(display-p3 1 0.5 0)".
    std::function<QString(QPoint)> ownSpaceText;
};

enum class PickViewKind {
    FullScreen, ///< over the whole screen, each screen showing its own part of the frame
    /// In a window of its own, the image fitted into it; Ctrl+wheel zooms it about the pointer
    /// and the middle button drags it.
    ImageWindow,
};

/// Opens the picking view on frame: a loupe beside the pointer (a square of the frame's pixels
/// magnified, the wheel zooms, the centre framed, the code and the nearest name), the point
/// following the pointer, the arrow keys moving it one pixel of the frame (with Shift ten),
/// Enter, Space or a click of the left button taking it, Escape or the right button cancelling,
/// and the keys 1, 3 and 5 choosing the sample's size. done gets the taken colour (the sample's
/// average of 8-bit values), or nothing on cancel; it is called once from the event loop, unless
/// parent has gone by then.
void OpenPickView(QWidget* parent, PickFrame frame, PickViewKind kind,
    std::function<void(std::optional<Rgb>)> done);

/// The same view for a pick from the screen: done gets Picked, Cancelled, or Failed with the
/// reason when the pointer and the keyboard cannot be had (another program holds them). It is
/// called once from the event loop, unless owner has gone by then (the view then closes).
void OpenScreenPickView(QObject& owner, PickFrame frame, PickViewKind kind, ScreenPickDone done);
