#pragma once

class QColorDialog;

/// Gives the colour dialog a button that picks a colour from the screen through the desktop
/// portal, on the Wayland platform with a Qt whose dialog cannot pick there itself (the Qt that
/// runs, which may be newer than the one the program was built with). The button stands where
/// Qt puts its own, with Qt's caption, and is shown only once the portal has answered that it
/// offers colour picking; nothing waits on the session bus. Everywhere else the dialog keeps
/// Qt's own pick button and nothing is added.
void OfferPortalScreenPick(QColorDialog& dialog);
