#pragma once

// Testing header of the screen pick: included only by screenpick.cpp and its tests.

#include <QStringView>

enum class ScreenPickWay { Portal, X11, None };

/// How a colour is picked on the Qt platform of the given name.
ScreenPickWay ScreenPickWayFor(QStringView platform);
