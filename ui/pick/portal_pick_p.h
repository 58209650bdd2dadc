#pragma once

// Testing header of the portal pick: included only by portal_pick.cpp and its tests.

/// One 8-bit component from the portal's fraction (0 to 1), cut off as Qt's own portal pick
/// does, so that the same answer gives the same colour with either button.
int PortalComponent(double fraction);

/// Forgets the kept answer of AskPortalPickOffered, so that the next question asks the portal
/// again (each test case starts its own portal).
void ForgetPortalPickOffered();
