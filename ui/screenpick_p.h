#pragma once

// Testing header of the screen pick: included only by screenpick.cpp and its tests.

class QColorDialog;

/// One 8-bit component from the portal's fraction (0 to 1), cut off as Qt's own portal pick
/// does, so that the same answer gives the same colour with either button.
int PortalComponent(double fraction);

/// Adds the portal pick button to the dialog (hidden until the portal says it offers colour
/// picking), whatever the platform. OfferPortalScreenPick calls this where it is needed.
void AddPortalPickButton(QColorDialog& dialog);
