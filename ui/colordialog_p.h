#pragma once

// Private to the colour dialog and its tests: a stand-in that answers the dialog in place of a
// person. The program never includes this header.

#include <functional>

#include "ui/colordialog.h"

/// When set, ChooseColorA calls this instead of showing the dialog.
std::function<BOOL(CHOOSECOLORA*)>& ChooseColorHook();
