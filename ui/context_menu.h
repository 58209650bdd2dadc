#pragma once

#include <functional>

class QMenu;
class QWidget;

/// Gives control a context menu that make builds each time it is asked for (by the right button
/// or the menu key), so that nothing of it exists before it is used. The menu is destroyed when
/// it closes.
void SetContextMenu(QWidget& control, std::function<QMenu*()> make);
