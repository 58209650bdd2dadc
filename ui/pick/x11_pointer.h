#pragma once

#include <optional>

#include <QPoint>

/// The pointer's position on the X server's root window in device pixels, exactly as the server
/// has it (Qt's own position is in scaled units, which on a scaled screen cannot name every
/// device pixel). Nothing when the program is not on X11.
std::optional<QPoint> X11PointerPosition();

/// Moves the pointer to that device pixel of the root window. False when not on X11.
bool MoveX11Pointer(QPoint devicePixel);

/// Waits until the X server has handled every request made so far and its events are in Qt's
/// queue. False when not on X11.
bool SyncWithX11();
