#pragma once

// Private to the screen pick and its tests. The program never includes this header.

/// One component of the portal's picked colour, a fraction from 0 to 1, as 0 to 255.
int ComponentOf(double fraction);
