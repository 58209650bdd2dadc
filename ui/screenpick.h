#pragma once

class QColorDialog;

/// Gives the colour dialog a button that picks a colour from the screen through the desktop
/// portal, where Qt's own pick is not available (on Wayland Qt cannot read the screen). The
/// button stands where Qt's own would, with its caption, and is shown only once the portal has
/// answered that it offers colour picking; nothing waits on the session bus.
void OfferPortalScreenPick(QColorDialog& dialog);

/// When set, the portal's pick is offered in place of Qt's own also where Qt can read the screen
/// (tests on a platform without a compositor of its own).
bool& PortalScreenPickInstead();
