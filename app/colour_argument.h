#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "colour/rgb.h"

/// Reads a colour given on the command line (the file system's bytes, UTF-8) in any form the
/// paste command reads. Without one, reason receives why (CP932).
std::optional<Rgb> ReadColourArgument(std::string_view utf8, std::string& reason);
