#pragma once

#include <optional>
#include <string>
#include <string_view>

/// The CP932 text with the full-width characters a Japanese input method types for a colour text
/// replaced by their ASCII forms: the digits and letters, the ideographic space, the signs
/// # , . / ( ) + - % : ; ! _ and the curved quotation marks (as " and '). Nothing when the text holds
/// a character that has no place in a colour text: any other double-byte character, a half-width
/// katakana, a control character other than the blanks (tab, line ends, form feeds), a lead byte
/// cut off at the end.
std::optional<std::string> AsciiOfFullWidth(std::string_view cp932);
