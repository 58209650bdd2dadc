#pragma once

#include <optional>
#include <vector>

#include "colour/rgb.h"

/// How the window starts besides its stored layout.
struct WindowStart
{
    /// Shown as a paste would show it, before the window opens.
    std::optional<Rgb> colour;
    /// A pick from the screen begins as soon as the window runs.
    bool pickAtOnce = false;
};

/// Runs the window until it is closed. qtArguments are the program's name followed by Qt's own
/// options, which the application object reads. Returns the exit status.
int RunWindow(std::vector<char*> qtArguments, const WindowStart& start);
