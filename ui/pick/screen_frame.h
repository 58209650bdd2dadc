#pragma once

#include <optional>

#include "ui/pick/pick_view.h"

/// A still frame of every screen as they are now, each screen's device pixels at its place on
/// the virtual desktop (positions in device pixels, as X11 has them). Nothing when a screen
/// cannot be read.
std::optional<PickFrame> GrabScreenFrame();
