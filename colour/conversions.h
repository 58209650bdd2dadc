#pragma once

#include <cstdint>
#include <functional>
#include <string>

/// A colour: red in bits 0-7, green 8-15, blue 16-23 (0x00BBGGRR). Bit 31 set names a
/// platform system colour by its low byte.
using TColor = std::int32_t;

inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clBlack = 0x00000000;

/// Which component a decimal text of SplitHexToRgb stands for.
enum class RgbComponent { Red, Green, Blue };

/// Receives one decimal component text the moment it has been read.
using RgbReceiver = std::function<void(RgbComponent, const std::string&)>;

/// "$" + text read leniently; the last six hexadecimal digits count, right-aligned. Black when
/// the text does not read. The result's top byte is zero.
TColor HexToColor(const std::string& text);

/// RRGGBB in upper case, at least six digits; a system colour is first resolved to its RGB value.
std::string ColorToHex(TColor color);

/// Cuts bytes 1-2, 3-4, 5-6 of text, reads each as "$" + piece strictly and hands its decimal
/// text to receiver, red first. Throws EConvertError at the first piece that does not read;
/// components already handed over stay handed over.
void SplitHexToRgb(const std::string& text, const RgbReceiver& receiver);

/// Reads red, green, blue strictly as given and joins their hexadecimal texts (at least two
/// digits each, never cut). Throws EConvertError at the first text that does not read.
std::string RgbToHex(const std::string& red, const std::string& green, const std::string& blue);
