#pragma once

// Testing header of the colour dialog's portal pick button: included only by
// dialog_pick_button.cpp and its tests.

#include <QStringView>

class QColorDialog;

/// True when the dialog needs our pick button: on a Wayland platform with a running Qt (as
/// qVersion() gives it) older than 6.5, whose dialog has no pick there.
bool DialogNeedsPortalPickButton(QStringView runningQt, QStringView platform);

/// Adds the portal pick button to the dialog (hidden until the portal says it offers colour
/// picking), whatever the platform. OfferPortalScreenPick calls this where it is needed.
void AddPortalPickButton(QColorDialog& dialog);
