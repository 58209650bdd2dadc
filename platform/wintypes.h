#pragma once

#include <cstdint>

// The integer types of the platform calls that the program's stand-ins keep.
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using BOOL = int;
