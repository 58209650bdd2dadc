#pragma once

// What the tests of the code-page conversions reach inside them. Not part of the program's
// interface: included by codepage.cpp and by tests only.

#include <iconv.h>

using IconvOpenFunction = iconv_t (*)(const char* to, const char* from);

/// The call that sets up a conversion: iconv_open, unless a test swaps it (to make it fail). Each
/// thread sets up its conversions at its first use of them, so a swap reaches a thread that
/// converts for the first time after it.
IconvOpenFunction& IconvOpenForConversions();
