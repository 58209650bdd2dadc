#include "colour/colour_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "colour/css_named_colors.h"
#include "colour/named_colors.h"
#include "platform/codepage.h"

namespace {

// The full-width characters a Japanese input method types for the characters of a colour text,
// by their CP932 trail byte after the lead byte 0x81 (the letters and digits follow 0x82).
char HalfWidthOfSymbol(unsigned char trail)
{
    switch (trail) {
    case 0x40:
        return ' '; // ideographic space
    case 0x43:
        return ','; // ，
    case 0x44:
        return '.'; // ．
    case 0x5E:
        return '/'; // ／
    case 0x69:
        return '('; // （
    case 0x6A:
        return ')'; // ）
    case 0x7B:
        return '+'; // ＋
    case 0x7C:
        return '-'; // －
    case 0x93:
        return '%'; // ％
    case 0x94:
        return '#'; // ＃
    default:
        return 0;
    }
}

char HalfWidthOfAlphanumeric(unsigned char trail)
{
    if (trail >= 0x4F && trail <= 0x58) // ０-９
        return static_cast<char>('0' + (trail - 0x4F));
    if (trail >= 0x60 && trail <= 0x79) // Ａ-Ｚ
        return static_cast<char>('A' + (trail - 0x60));
    if (trail >= 0x81 && trail <= 0x9A) // ａ-ｚ
        return static_cast<char>('a' + (trail - 0x81));
    return 0;
}

// The text with its full-width characters replaced by their half-width forms; nothing when it
// holds a character that has no place in a colour text (any other double-byte character, a
// half-width katakana, a control character other than the blanks, a cut-off lead byte).
std::optional<std::string> HalfWidth(std::string_view cp932)
{
    std::string text;
    text.reserve(cp932.size());
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cp932[i]);
        if (IsCp932LeadByte(byte)) {
            if (i + 1 == cp932.size())
                return std::nullopt;
            const auto trail = static_cast<unsigned char>(cp932[++i]);
            const char half = byte == 0x81 ? HalfWidthOfSymbol(trail)
                : byte == 0x82             ? HalfWidthOfAlphanumeric(trail)
                                           : 0;
            if (half == 0)
                return std::nullopt;
            text += half;
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += static_cast<char>(byte);
        } else if (byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f' || byte == '\v') {
            text += static_cast<char>(byte);
        } else {
            return std::nullopt;
        }
    }
    return text;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase)
{
    return text.size() == lowerCase.size()
        && std::equal(text.begin(), text.end(), lowerCase.begin(),
            [](char a, char b) { return Lower(a) == b; });
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Rounds half up. A value computed from a percentage or a hue (rather than given as a channel
// value) carries the error of binary fractions: 15% lightness makes a channel of 76.5 in exact
// arithmetic but 76.4999... in doubles, so a computed value is nudged by far less than any
// difference a colour text can express before it is rounded.
int RoundHalfUp(double value, bool computed)
{
    return static_cast<int>(std::floor(value + 0.5 + (computed ? 1e-7 : 0.0)));
}

Rgb RgbOfHexDigits(std::string_view digits)
{
    const bool shortForm = digits.size() <= 4;
    auto channel = [&](int index) {
        if (shortForm)
            return HexDigitValue(digits[index]) * 17;
        return HexDigitValue(digits[2 * index]) * 16 + HexDigitValue(digits[2 * index + 1]);
    };
    return { channel(0), channel(1), channel(2) };
}

// "#RGB", "#RGBA", "#RRGGBB", "#RRGGBBAA". A code whose alpha is zero is fully transparent and
// names no colour that could be shown, like the keyword "transparent"; it is refused, which also
// refuses "#FF80", a six-digit code cut short. Any other alpha is ignored.
std::optional<Rgb> ReadHashCode(std::string_view digits)
{
    if (digits.size() != 3 && digits.size() != 4 && digits.size() != 6 && digits.size() != 8)
        return std::nullopt;
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return HexDigitValue(c) >= 0; }))
        return std::nullopt;
    if (digits.size() == 4 && HexDigitValue(digits[3]) == 0)
        return std::nullopt;
    if (digits.size() == 8 && HexDigitValue(digits[6]) == 0 && HexDigitValue(digits[7]) == 0)
        return std::nullopt;
    return RgbOfHexDigits(digits);
}

// One value inside rgb() or hsl(): a number with its unit, or the keyword none.
struct Value
{
    enum Kind { Number, Percentage, Angle, None } kind = Number;
    double number = 0; // for an angle, in degrees
};

// The magnitude of a number text that from_chars found out of range: infinite when its decimal
// exponent is positive, zero when it is negative.
double OutOfRange(std::string_view mantissaDigits, long long exponent, bool negative)
{
    const std::size_t point = mantissaDigits.find('.');
    const std::string_view whole = mantissaDigits.substr(0, point);
    const std::size_t firstWhole = whole.find_first_not_of('0');
    long long magnitude = 0;
    if (firstWhole != std::string_view::npos) {
        magnitude = static_cast<long long>(whole.size() - firstWhole);
    } else if (point != std::string_view::npos) {
        const std::string_view fraction = mantissaDigits.substr(point + 1);
        const std::size_t firstFraction = fraction.find_first_not_of('0');
        magnitude = -static_cast<long long>(
            firstFraction == std::string_view::npos ? fraction.size() : firstFraction);
    }
    const double value = magnitude + exponent > 0 ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

// A number as CSS writes it: an optional sign, digits with an optional fraction (".5" but not
// "5."), an optional exponent. Gives the number and the length of its text.
std::optional<std::pair<double, std::size_t>> ReadNumber(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1])) {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    const std::size_t mantissaEnd = i;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            negativeExponent = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                exponent = std::min(exponent * 10 + (text[j] - '0'), 1000000000LL);
            if (negativeExponent)
                exponent = -exponent;
            i = j;
        }
    }
    // from_chars takes no "+" and reads the same text whatever the C locale says.
    double value = 0;
    const char* first = text.data() + mantissaStart;
    const auto [end, error] = std::from_chars(first, text.data() + i, value);
    if (error == std::errc::result_out_of_range)
        return std::pair { OutOfRange(text.substr(mantissaStart, mantissaEnd - mantissaStart),
                               exponent, negative),
            i };
    if (error != std::errc() || end != text.data() + i)
        return std::nullopt;
    return std::pair { negative ? -value : value, i };
}

std::optional<Value> ReadValue(std::string_view token)
{
    if (EqualsIgnoringCase(token, "none"))
        return Value { Value::None, 0 };
    const auto number = ReadNumber(token);
    if (!number)
        return std::nullopt;
    const std::string_view unit = token.substr(number->second);
    const double n = number->first;
    if (unit.empty())
        return Value { Value::Number, n };
    if (unit == "%")
        return Value { Value::Percentage, n };
    constexpr double pi = 3.14159265358979323846;
    if (EqualsIgnoringCase(unit, "deg"))
        return Value { Value::Angle, n };
    if (EqualsIgnoringCase(unit, "grad"))
        return Value { Value::Angle, n * 0.9 };
    if (EqualsIgnoringCase(unit, "rad"))
        return Value { Value::Angle, n * 180 / pi };
    if (EqualsIgnoringCase(unit, "turn"))
        return Value { Value::Angle, n * 360 };
    return std::nullopt;
}

// The arguments between the parentheses: three values and an optional alpha, in the comma
// syntax "a, b, c[, alpha]" or the space syntax "a b c[ / alpha]", never a mixture.
struct Arguments
{
    Value values[3];
    std::optional<Value> alpha;
    bool commas = false;
};

std::optional<Arguments> ReadArguments(std::string_view text)
{
    // Tokens: values, and the separators "," and "/" as tokens of their own.
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
        } else if (text[i] == ',' || text[i] == '/') {
            tokens.push_back(text.substr(i++, 1));
        } else {
            const std::size_t start = i;
            while (i < text.size() && !IsBlank(text[i]) && text[i] != ',' && text[i] != '/')
                ++i;
            tokens.push_back(text.substr(start, i - start));
        }
        if (tokens.size() > 7)
            return std::nullopt;
    }
    Arguments arguments;
    arguments.commas = std::find(tokens.begin(), tokens.end(), ",") != tokens.end();
    const std::string_view separator = arguments.commas ? "," : "";
    // Comma syntax: v , v , v [, v]; space syntax: v v v [/ v].
    const std::size_t expected[] = { arguments.commas ? 5u : 3u, arguments.commas ? 7u : 5u };
    if (tokens.size() != expected[0] && tokens.size() != expected[1])
        return std::nullopt;
    std::size_t at = 0;
    for (int k = 0; k < 3; ++k) {
        if (k > 0 && !separator.empty() && tokens[at++] != separator)
            return std::nullopt;
        const auto value = ReadValue(tokens[at++]);
        if (!value)
            return std::nullopt;
        arguments.values[k] = *value;
    }
    if (at < tokens.size()) {
        if (tokens[at++] != (arguments.commas ? "," : "/"))
            return std::nullopt;
        arguments.alpha = ReadValue(tokens[at++]);
        if (!arguments.alpha)
            return std::nullopt;
    }
    for (const Value& value : arguments.values) {
        if (value.kind == Value::None && arguments.commas)
            return std::nullopt;
    }
    return arguments;
}

double Clamp(double value, double low, double high)
{
    if (std::isnan(value))
        return low;
    return std::min(std::max(value, low), high);
}

// Alpha is ignored, except that a fully transparent colour (alpha 0 or below) names no colour
// that could be shown, as with the keyword "transparent" and a hexadecimal code with alpha 00.
bool IsShowable(const std::optional<Value>& alpha)
{
    if (!alpha || alpha->kind == Value::None)
        return true;
    if (alpha->kind == Value::Angle)
        return false;
    return alpha->number > 0;
}

std::optional<Rgb> RgbOfArguments(const Arguments& arguments)
{
    if (arguments.commas && arguments.values[0].kind != arguments.values[1].kind)
        return std::nullopt;
    if (arguments.commas && arguments.values[0].kind != arguments.values[2].kind)
        return std::nullopt;
    int channels[3];
    for (int k = 0; k < 3; ++k) {
        const Value& value = arguments.values[k];
        switch (value.kind) {
        case Value::Number:
            channels[k] = RoundHalfUp(Clamp(value.number, 0, 255), false);
            break;
        case Value::Percentage:
            channels[k] = RoundHalfUp(Clamp(value.number, 0, 100) * 255 / 100, true);
            break;
        case Value::None:
            channels[k] = 0;
            break;
        case Value::Angle:
            return std::nullopt;
        }
    }
    return Rgb { channels[0], channels[1], channels[2] };
}

// Hue, saturation and lightness to RGB as CSS defines the conversion.
std::optional<Rgb> HslOfArguments(const Arguments& arguments)
{
    const Value& hueValue = arguments.values[0];
    if (hueValue.kind == Value::Percentage)
        return std::nullopt;
    double hue = hueValue.kind == Value::None ? 0 : hueValue.number;
    hue = std::isfinite(hue) ? std::fmod(hue, 360.0) : 0.0;
    if (hue < 0)
        hue += 360;
    double fractions[2];
    for (int k = 1; k < 3; ++k) {
        const Value& value = arguments.values[k];
        // The comma syntax requires percentages; the space syntax also takes plain numbers.
        if (value.kind == Value::Angle || (arguments.commas && value.kind != Value::Percentage))
            return std::nullopt;
        fractions[k - 1] = value.kind == Value::None ? 0 : Clamp(value.number, 0, 100) / 100;
    }
    const double saturation = fractions[0];
    const double lightness = fractions[1];
    auto channel = [&](double n) {
        const double k = std::fmod(n + hue / 30, 12.0);
        const double a = saturation * std::min(lightness, 1 - lightness);
        const double fraction = lightness - a * std::max(-1.0, std::min({ k - 3, 9 - k, 1.0 }));
        return std::clamp(RoundHalfUp(fraction * 255, true), 0, 255);
    };
    return Rgb { channel(0), channel(8), channel(4) };
}

// rgb(), rgba(), hsl() and hsla(), the function name in any case, "(" right after it.
std::optional<Rgb> ReadFunction(std::string_view text)
{
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos || text.back() != ')')
        return std::nullopt;
    const std::string_view name = text.substr(0, open);
    const bool rgb = EqualsIgnoringCase(name, "rgb") || EqualsIgnoringCase(name, "rgba");
    const bool hsl = EqualsIgnoringCase(name, "hsl") || EqualsIgnoringCase(name, "hsla");
    if (!rgb && !hsl)
        return std::nullopt;
    const std::string_view inside = text.substr(open + 1, text.size() - open - 2);
    if (inside.find_first_of("()") != std::string_view::npos)
        return std::nullopt;
    const auto arguments = ReadArguments(inside);
    if (!arguments || !IsShowable(arguments->alpha))
        return std::nullopt;
    return rgb ? RgbOfArguments(*arguments) : HslOfArguments(*arguments);
}

// A decimal component of a bare triple: digits only, 0 to 255.
std::optional<int> ReadComponent(std::string_view text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit))
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > 255)
            return std::nullopt;
    }
    return value;
}

// "R,G,B" (blanks allowed around the commas) or "R G B" (separated by spaces or tabs).
std::optional<Rgb> ReadTriple(std::string_view text)
{
    std::vector<std::string_view> parts;
    const bool commas = text.find(',') != std::string_view::npos;
    std::size_t i = 0;
    while (i <= text.size() && parts.size() <= 3) {
        if (commas) {
            const std::size_t comma = std::min(text.find(',', i), text.size());
            parts.push_back(Trimmed(text.substr(i, comma - i)));
            i = comma + 1;
        } else {
            const std::size_t end = std::min(text.find_first_of(" \t", i), text.size());
            parts.push_back(text.substr(i, end - i));
            i = text.find_first_not_of(" \t", end);
            if (i == std::string_view::npos)
                break;
        }
    }
    if (parts.size() != 3)
        return std::nullopt;
    const auto red = ReadComponent(parts[0]);
    const auto green = ReadComponent(parts[1]);
    const auto blue = ReadComponent(parts[2]);
    if (!red || !green || !blue)
        return std::nullopt;
    return Rgb { *red, *green, *blue };
}

std::optional<Rgb> ReadCssName(std::string_view text)
{
    if (text.size() > 32)
        return std::nullopt;
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    const auto found = std::lower_bound(CssNamedColors.begin(), CssNamedColors.end(), lower,
        [](const CssNamedColor& entry, const std::string& name) { return entry.name < name; });
    if (found == CssNamedColors.end() || found->name != lower)
        return std::nullopt;
    return RgbOfHexDigits(found->hex);
}

std::optional<Rgb> ReadListName(std::string_view text)
{
    for (const NamedColor& entry : NamedColorTable) {
        if (entry.name == text)
            return RgbOfHexDigits(entry.hex);
    }
    return std::nullopt;
}

bool IsSixHexDigits(std::string_view text)
{
    return text.size() == 6
        && std::all_of(text.begin(), text.end(), [](char c) { return HexDigitValue(c) >= 0; });
}

} // namespace

std::optional<Rgb> ReadColourText(std::string_view cp932)
{
    const std::optional<std::string> halfWidth = HalfWidth(cp932);
    if (!halfWidth)
        return std::nullopt;
    const std::string_view text = Trimmed(*halfWidth);
    if (text.empty())
        return std::nullopt;
    // The list's own names come first, so that "gold" is the list's gold, not the CSS one.
    if (const auto listed = ReadListName(text))
        return listed;
    if (text.front() == '#')
        return ReadHashCode(text.substr(1));
    if (IsSixHexDigits(text))
        return RgbOfHexDigits(text);
    if (text.back() == ')')
        return ReadFunction(text);
    if (IsDigit(text.front()))
        return ReadTriple(text);
    return ReadCssName(text);
}
