#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "colour/rgb.h"

/// Reads a colour given on the command line (the file system's bytes, UTF-8) in any form the
/// paste command reads. Without one, reason receives why, quoting the text and saying what was
/// expected (CP932). outOfGamut, when given, is set when the colour lies outside sRGB and the
/// nearest colour it can show was taken.
std::optional<Rgb> ReadColourArgument(
    std::string_view utf8, std::string& reason, bool* outOfGamut = nullptr);

/// The note printed on standard error for a colour outside sRGB (CP932).
std::string OutOfGamutNote();
