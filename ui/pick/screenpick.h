#pragma once

#include <functional>

#include <QString>

#include "ui/pick/portal_pick.h"

class QObject;

/// Asks whether a colour can be picked from the screen here: done gets an empty text when it
/// can, otherwise the reason why not. On Wayland the desktop portal is asked (its yes is kept
/// for the run; nothing waits for the answer); elsewhere the answer is known at once and done is
/// called before this returns. done is not called once context has gone.
void AskScreenPickOffered(QObject& context, std::function<void(const QString& whyNot)> done);

/// Picks one colour from the screen, on X11 by a pick of our own over the whole screen
/// (crosshair pointer, a click takes the pixel under it, Escape cancels), on Wayland through the
/// desktop portal. done is called once, from the event loop, when the pick ends, unless owner
/// has gone by then (the pick is then given up).
void PickFromScreen(QObject& owner, ScreenPickDone done);
