#include "colour/integer_text.h"

#include "colour/ascii_text.h"
#include "colour/exception.h"
#include "platform/codepage.h"

namespace {

// "$" already taken off: one or more hexadecimal digits, at most eight of them significant.
std::optional<std::int32_t> ParseHex(std::string_view digits)
{
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    int significant = 0;
    for (const char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        if (value != 0 || digit != 0) {
            if (++significant > 8) {
                return std::nullopt;
            }
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
}

// Optional sign and one or more decimal digits; the magnitude is at most 2147483647 either way.
std::optional<std::int32_t> ParseDecimal(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > INT32_MAX) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(start);
    if (text.front() == '$') {
        return ParseHex(text.substr(1));
    }
    return ParseDecimal(text);
}

std::int32_t StrToInt(const std::string& text)
{
    if (const auto value = ParseInteger(text)) {
        return *value;
    }
    throw ConvertError(text);
}

std::int32_t StrToIntDef(const std::string& text, std::int32_t def)
{
    return ParseInteger(text).value_or(def);
}

std::string IntToStr(std::int32_t value)
{
    return std::to_string(value);
}

std::string IntToHex(std::int32_t value, int minWidth)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    std::string text;
    do {
        text.insert(text.begin(), Digits[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    if (static_cast<int>(text.size()) < minWidth) {
        text.insert(0, static_cast<std::size_t>(minWidth) - text.size(), '0');
    }
    return text;
}

EConvertError ConvertError(const std::string& text)
{
    static const std::string pattern = Sjis(u8"'%s' は整数ではありません");
    return EConvertError(FormatWithText(pattern, text));
}
