#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "colour/exception.h"

/// Reads text in the integer text syntax: leading spaces (0x20 only), then either an optional
/// sign and decimal digits (-2147483647..2147483647) or "$" and at most eight significant
/// hexadecimal digits taken as a signed 32-bit value. Nothing may follow. Empty when it does not read.
std::optional<std::int32_t> ParseInteger(std::string_view text);

/// Strict reading: throws EConvertError "'text' は整数ではありません" when text does not read.
std::int32_t StrToInt(const std::string& text);

/// Lenient reading: def when text does not read.
std::int32_t StrToIntDef(const std::string& text, std::int32_t def);

/// Decimal: "-" for negatives, no leading zeros, "0" for zero.
std::string IntToStr(std::int32_t value);

/// The value's 32 bits as an unsigned number in upper-case hexadecimal, zero-filled on the left
/// to at least minWidth digits; never cut.
std::string IntToHex(std::int32_t value, int minWidth);

/// The conversion error for text, message "'%s' は整数ではありません" with text put for %s.
EConvertError ConvertError(const std::string& text);
