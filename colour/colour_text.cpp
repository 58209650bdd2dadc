#include "colour/colour_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "colour/ascii_text.h"
#include "colour/colour_spaces.h"
#include "colour/css_named_colors.h"
#include "colour/full_width_ascii.h"
#include "colour/gamut_map.h"
#include "colour/hsl_hwb.h"
#include "colour/named_colors.h"
#include "platform/codepage.h"

namespace {

// Why a text was refused; each has one sentence saying what was expected.
enum class Refusal {
    Characters,
    Empty,
    Unknown,
    Several,
    HexDigits,
    Triple,
    Transparent,
    StyleSheetOnly,
    Rgb,
    Hsl,
    Hwb,
    Lab,
    Lch,
    Oklab,
    Oklch,
    Color,
};

std::string ExpectedText(Refusal refusal)
{
    switch (refusal) {
    case Refusal::Characters:
        return Sjis(u8"色の書き方に使えない文字が含まれています。");
    case Refusal::Empty:
        return Sjis(u8"色が書かれていません。");
    case Refusal::Unknown:
        break;
    case Refusal::Several:
        return Sjis(u8"色を一つだけ書いてください（例: color: #1E90FF;）。");
    case Refusal::HexDigits:
        return Sjis(u8"16進数の色は #FF8000 のように3、4、6、8桁で書いてください。");
    case Refusal::Triple:
        return Sjis(u8"数を三つ並べるときは、それぞれ0〜255で書いてください（例: 255, 128, 0）。");
    case Refusal::Transparent:
        return Sjis(u8"完全に透明な色（透明度100%）は表示できません。");
    case Refusal::StyleSheetOnly:
        return Sjis(
            u8"calc() や var() など、スタイルシートの中でしか決まらない値は読み取れません。");
    case Refusal::Rgb:
        return Sjis(u8"rgb() には赤・緑・青を0〜255の数か百分率で三つ書いてください（例: rgb(255 "
                    u8"128 0)）。");
    case Refusal::Hsl:
        return Sjis(
            u8"hsl() には色相と、彩度・明度の百分率を書いてください（例: hsl(30 100% 50%)）。");
    case Refusal::Hwb:
        return Sjis(
            u8"hwb() には色相と、白・黒の割合を百分率で書いてください（例: hwb(30 0% 0%)）。");
    case Refusal::Lab:
        return Sjis(u8"lab() には明度と a・b を書いてください（例: lab(50% 40 -20)）。");
    case Refusal::Lch:
        return Sjis(u8"lch() には明度・彩度・色相を書いてください（例: lch(50% 40 300)）。");
    case Refusal::Oklab:
        return Sjis(u8"oklab() には明度と a・b を書いてください（例: oklab(60% 0.1 -0.05)）。");
    case Refusal::Oklch:
        return Sjis(u8"oklch() には明度・彩度・色相を書いてください（例: oklch(70% 0.1 200)）。");
    case Refusal::Color:
        return Sjis(u8"color() には色空間の名前（srgb、display-p3 など）と値を三つ書いてください"
                    u8"（例: color(display-p3 1 0.5 0)）。");
    }
    return Sjis(u8"#FF8000、rgb(255 128 0)、oklch(70% 0.1 200)、色名などの形で書いてください。");
}

ColourReading Refused(Refusal refusal)
{
    return { std::nullopt, false, ExpectedText(refusal) };
}

ColourReading Read(Rgb rgb, bool outOfGamut = false)
{
    return { rgb, outOfGamut, {} };
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsHexDigit(char c)
{
    return HexDigitValue(c) >= 0;
}

bool AllHexDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), IsHexDigit);
}

// Channels of three, four, six or eight hexadecimal digits; alpha, when there, is not read.
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

// A code of 3, 4, 6 or 8 digits. One whose alpha is zero is fully transparent and names no
// colour that could be shown; it is refused, which also refuses "#FF80", a six-digit code cut
// short. Any other alpha is ignored.
ColourReading ReadHexCode(std::string_view digits)
{
    if ((digits.size() != 3 && digits.size() != 4 && digits.size() != 6 && digits.size() != 8)
        || !AllHexDigits(digits))
        return Refused(Refusal::HexDigits);
    if ((digits.size() == 4 && digits[3] == '0')
        || (digits.size() == 8 && digits.substr(6) == "00"))
        return Refused(Refusal::Transparent);
    return Read(RgbOfHexDigits(digits));
}

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

// A number as CSS writes it at the start of text: an optional sign, digits with an optional
// fraction (".5" but not "5."), an optional exponent. Gives the number and the length of its
// text; a number beyond the range of doubles is infinite.
std::optional<std::pair<double, std::size_t>> ReadNumber(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < text.size() && IsAsciiDigit(text[i]))
        ++i, ++digits;
    if (i + 1 < text.size() && text[i] == '.' && IsAsciiDigit(text[i + 1])) {
        ++i;
        while (i < text.size() && IsAsciiDigit(text[i]))
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
        if (j < text.size() && IsAsciiDigit(text[j])) {
            for (; j < text.size() && IsAsciiDigit(text[j]); ++j)
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
    if (error == std::errc::result_out_of_range) {
        value = std::abs(
            OutOfRange(text.substr(mantissaStart, mantissaEnd - mantissaStart), exponent, false));
    } else if (error != std::errc() || end != text.data() + i) {
        return std::nullopt;
    }
    return std::pair { negative ? -value : value, i };
}

// One token between a function's parentheses.
struct Token
{
    enum Kind { Number, Percentage, Angle, None, Ident, Comma, Slash } kind = Number;
    double number = 0; // an angle in degrees
    std::string_view text;
};

bool StartsIdent(std::string_view text)
{
    if (text.empty())
        return false;
    if (IsAsciiLetter(text[0]) || text[0] == '_')
        return true;
    return text[0] == '-' && text.size() > 1
        && (IsAsciiLetter(text[1]) || text[1] == '_' || text[1] == '-');
}

std::size_t IdentLength(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()
        && (IsAsciiLetter(text[i]) || IsAsciiDigit(text[i]) || text[i] == '-' || text[i] == '_'))
        ++i;
    return i;
}

std::optional<double> DegreesOf(double number, std::string_view unit)
{
    constexpr double pi = 3.14159265358979323846;
    if (EqualsIgnoringAsciiCase(unit, "deg"))
        return number;
    if (EqualsIgnoringAsciiCase(unit, "grad"))
        return number * 0.9;
    if (EqualsIgnoringAsciiCase(unit, "rad"))
        return number * 180 / pi;
    if (EqualsIgnoringAsciiCase(unit, "turn"))
        return number * 360;
    return std::nullopt;
}

// The tokens of a function's arguments as CSS's tokenizer cuts them (numbers, percentages,
// dimensions, identifiers, "," and "/"); nothing at anything else, or at more tokens than any
// colour function takes. Blanks separate tokens but are not needed between them ("10%20%").
// At most nine tokens: color(space a b c / alpha) and rgb(a, b, c, alpha) take seven.
struct TokenList
{
    std::array<Token, 9> items;
    std::size_t count = 0;

    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    const Token& operator[](std::size_t i) const { return items[i]; }
    const Token* begin() const { return items.data(); }
    const Token* end() const { return items.data() + count; }
    void push_back(const Token& token) { items[count++] = token; }
};

std::optional<TokenList> Tokens(std::string_view text)
{
    TokenList tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::string_view rest = text.substr(i);
        if (IsBlank(rest[0])) {
            ++i;
            continue;
        }
        if (tokens.size() == 9)
            return std::nullopt;
        if (rest[0] == ',' || rest[0] == '/') {
            tokens.push_back(
                { rest[0] == ',' ? Token::Comma : Token::Slash, 0, rest.substr(0, 1) });
            ++i;
        } else if (const auto number = ReadNumber(rest)) {
            std::size_t length = number->second;
            Token token { Token::Number, number->first, {} };
            if (length < rest.size() && rest[length] == '%') {
                token.kind = Token::Percentage;
                ++length;
            } else if (StartsIdent(rest.substr(length))) {
                const std::size_t unitLength = IdentLength(rest.substr(length));
                const auto degrees = DegreesOf(number->first, rest.substr(length, unitLength));
                if (!degrees)
                    return std::nullopt;
                token = { Token::Angle, *degrees, {} };
                length += unitLength;
            }
            token.text = rest.substr(0, length);
            tokens.push_back(token);
            i += length;
        } else if (StartsIdent(rest)) {
            const std::size_t length = IdentLength(rest);
            const std::string_view ident = rest.substr(0, length);
            tokens.push_back(
                { EqualsIgnoringAsciiCase(ident, "none") ? Token::None : Token::Ident, 0, ident });
            i += length;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

// A function's arguments: three components (after a colour space's name for color()) and an
// optional alpha.
struct Arguments
{
    std::string_view space;
    std::array<Token, 3> components;
    std::optional<Token> alpha;
    bool commas = false;
};

// "a b c", "a b c / alpha", and with commas "a, b, c" and "a, b, c, alpha" where the comma syntax
// is allowed; color() puts its space's name first. The comma syntax takes no none.
std::optional<Arguments> ArgumentsOf(const TokenList& tokens, bool commasAllowed, bool spaceFirst)
{
    Arguments arguments;
    std::size_t at = 0;
    if (spaceFirst) {
        if (tokens.empty() || tokens[0].kind != Token::Ident)
            return std::nullopt;
        arguments.space = tokens[at++].text;
    }
    arguments.commas = std::any_of(
        tokens.begin(), tokens.end(), [](const Token& t) { return t.kind == Token::Comma; });
    if (arguments.commas && !commasAllowed)
        return std::nullopt;
    auto isValue = [](const Token& t) {
        return t.kind == Token::Number || t.kind == Token::Percentage || t.kind == Token::Angle
            || t.kind == Token::None;
    };
    for (std::size_t k = 0; k < 3; ++k) {
        if (k > 0 && arguments.commas) {
            if (at >= tokens.size() || tokens[at++].kind != Token::Comma)
                return std::nullopt;
        }
        if (at >= tokens.size() || !isValue(tokens[at]))
            return std::nullopt;
        arguments.components[k] = tokens[at++];
    }
    if (at < tokens.size()) {
        if (tokens[at++].kind != (arguments.commas ? Token::Comma : Token::Slash))
            return std::nullopt;
        if (at + 1 != tokens.size() || !isValue(tokens[at]))
            return std::nullopt;
        arguments.alpha = tokens[at];
    }
    if (arguments.commas) {
        for (const Token& t : arguments.components) {
            if (t.kind == Token::None)
                return std::nullopt;
        }
        if (arguments.alpha && arguments.alpha->kind == Token::None)
            return std::nullopt;
    }
    return arguments;
}

// A component that is a number or a percentage (with the value 100% stands for), or none (0).
std::optional<double> Scalar(const Token& token, double hundredPercent)
{
    switch (token.kind) {
    // Beyond +-1e12 a value is taken as that, so that every later sum stays finite.
    case Token::Number:
        return std::clamp(token.number, -1e12, 1e12);
    case Token::Percentage:
        return std::clamp(token.number * hundredPercent / 100, -1e12, 1e12);
    case Token::None:
        return 0.0;
    default:
        return std::nullopt;
    }
}

// A hue: a number of degrees, an angle or none (0), brought into 0 to 360.
std::optional<double> Hue(const Token& token)
{
    if (token.kind != Token::Number && token.kind != Token::Angle && token.kind != Token::None)
        return std::nullopt;
    // An infinite hue is taken as 0, as CSS takes it.
    double hue = std::isfinite(token.number) ? std::fmod(token.number, 360.0) : 0.0;
    if (hue < 0)
        hue += 360;
    return hue;
}

// Alpha is not kept, but a colour whose alpha is 0 or less (none counts as 0) is fully
// transparent.
enum class AlphaCheck { Visible, Transparent, Invalid };

AlphaCheck CheckAlpha(const std::optional<Token>& alpha)
{
    if (!alpha)
        return AlphaCheck::Visible;
    if (alpha->kind == Token::None)
        return AlphaCheck::Transparent;
    if (alpha->kind != Token::Number && alpha->kind != Token::Percentage)
        return AlphaCheck::Invalid;
    return alpha->number > 0 ? AlphaCheck::Visible : AlphaCheck::Transparent;
}

// A channel of 0 to 255, clamped, rounded half up.
int Channel(double value)
{
    return static_cast<int>(std::floor(std::min(std::max(value, 0.0), 255.0) + 0.5));
}

std::optional<Rgb> RgbOfArguments(const Arguments& arguments)
{
    const auto& c = arguments.components;
    // The comma syntax takes three numbers or three percentages.
    if (arguments.commas && (c[0].kind != c[1].kind || c[0].kind != c[2].kind))
        return std::nullopt;
    int channels[3];
    for (std::size_t k = 0; k < 3; ++k) {
        // 20% is 20 * 255 / 100 = 51 exactly; scaling by 2.55 would not be exact.
        const auto value = Scalar(c[k], 255);
        if (!value)
            return std::nullopt;
        channels[k] = Channel(*value);
    }
    return Rgb { channels[0], channels[1], channels[2] };
}

// hsl() and hsla(): saturation below 0 is taken as 0 and nothing else is clamped before the
// conversion; the channels are then clamped to sRGB.
std::optional<Rgb> HslOfArguments(const Arguments& arguments)
{
    const auto hue = Hue(arguments.components[0]);
    if (!hue)
        return std::nullopt;
    double percents[2];
    for (std::size_t k = 1; k < 3; ++k) {
        const Token& token = arguments.components[k];
        if (arguments.commas && token.kind != Token::Percentage)
            return std::nullopt;
        const auto value = Scalar(token, 100);
        if (!value)
            return std::nullopt;
        percents[k - 1] = *value;
    }
    const auto channels = ChannelsOfHsl(*hue, std::max(percents[0], 0.0), percents[1]);
    return Rgb { Channel(channels[0]), Channel(channels[1]), Channel(channels[2]) };
}

// hwb(): whiteness and blackness as percentages or numbers of percent, each clamped to 0-100;
// where they add up to 100 or more, the colour is the grey of their ratio.
std::optional<Rgb> HwbOfArguments(const Arguments& arguments)
{
    const auto hue = Hue(arguments.components[0]);
    const auto white = Scalar(arguments.components[1], 100);
    const auto black = Scalar(arguments.components[2], 100);
    if (!hue || !white || !black)
        return std::nullopt;
    const double w = std::min(std::max(*white, 0.0), 100.0);
    const double b = std::min(std::max(*black, 0.0), 100.0);
    const auto channels = ChannelsOfHwb(*hue, w, b);
    return Rgb { Channel(channels[0]), Channel(channels[1]), Channel(channels[2]) };
}

// lab(), lch(), oklab(), oklch() and color(): the colour in its own space, mapped into sRGB.
std::optional<MappedColour> LabOfArguments(const Arguments& arguments, bool ok, bool polar)
{
    const auto& c = arguments.components;
    const double lightnessRange = ok ? 1 : 100;
    const auto lightness = Scalar(c[0], lightnessRange);
    if (!lightness)
        return std::nullopt;
    const double l = std::min(std::max(*lightness, 0.0), lightnessRange);
    if (polar) {
        const auto chroma = Scalar(c[1], ok ? 0.4 : 150);
        const auto hue = Hue(c[2]);
        if (!chroma || !hue)
            return std::nullopt;
        const double ch = std::max(*chroma, 0.0);
        if (ok)
            return MapOklchToSrgb({ l, ch, *hue });
        const LabD50 lab = LabOfLch({ l, ch, *hue });
        return MapSrgbToGamut(RgbOfXyzD65(RgbSpace::Srgb, XyzD65OfXyzD50(XyzD50OfLab(lab))));
    }
    const auto a = Scalar(c[1], ok ? 0.4 : 125);
    const auto b = Scalar(c[2], ok ? 0.4 : 125);
    if (!a || !b)
        return std::nullopt;
    if (ok)
        return MapSrgbToGamut(SrgbOfOklab({ l, *a, *b }));
    const Components xyz = XyzD65OfXyzD50(XyzD50OfLab({ l, *a, *b }));
    return MapSrgbToGamut(RgbOfXyzD65(RgbSpace::Srgb, xyz));
}

std::optional<MappedColour> ColorOfArguments(const Arguments& arguments)
{
    struct Space
    {
        std::string_view name;
        std::optional<RgbSpace> rgb; // nothing for the XYZ spaces
        bool d50;
    };
    static constexpr Space spaces[] = {
        { "srgb", RgbSpace::Srgb, false },
        { "srgb-linear", RgbSpace::SrgbLinear, false },
        { "display-p3", RgbSpace::DisplayP3, false },
        { "a98-rgb", RgbSpace::A98Rgb, false },
        { "prophoto-rgb", RgbSpace::ProphotoRgb, false },
        { "rec2020", RgbSpace::Rec2020, false },
        { "xyz", std::nullopt, false },
        { "xyz-d65", std::nullopt, false },
        { "xyz-d50", std::nullopt, true },
    };
    const auto space = std::find_if(std::begin(spaces), std::end(spaces),
        [&](const Space& s) { return EqualsIgnoringAsciiCase(arguments.space, s.name); });
    if (space == std::end(spaces))
        return std::nullopt;
    Components values {};
    for (std::size_t k = 0; k < 3; ++k) {
        const auto value = Scalar(arguments.components[k], 1);
        if (!value)
            return std::nullopt;
        values[k] = *value;
    }
    if (space->rgb == RgbSpace::Srgb)
        return MapSrgbToGamut(values);
    const Components xyz = space->rgb ? XyzD65OfRgb(*space->rgb, values)
        : space->d50                  ? XyzD65OfXyzD50(values)
                                      : values;
    return MapSrgbToGamut(RgbOfXyzD65(RgbSpace::Srgb, xyz));
}

enum class Function { Rgb, Hsl, Hwb, Lab, Lch, Oklab, Oklch, Color };

std::optional<Function> FunctionNamed(std::string_view name)
{
    static constexpr std::pair<std::string_view, Function> names[] = {
        { "rgb", Function::Rgb },
        { "rgba", Function::Rgb },
        { "hsl", Function::Hsl },
        { "hsla", Function::Hsl },
        { "hwb", Function::Hwb },
        { "lab", Function::Lab },
        { "lch", Function::Lch },
        { "oklab", Function::Oklab },
        { "oklch", Function::Oklch },
        { "color", Function::Color },
    };
    for (const auto& [text, function] : names) {
        if (EqualsIgnoringAsciiCase(name, text))
            return function;
    }
    return std::nullopt;
}

Refusal RefusalOf(Function function)
{
    constexpr Refusal refusals[] = { Refusal::Rgb, Refusal::Hsl, Refusal::Hwb, Refusal::Lab,
        Refusal::Lch, Refusal::Oklab, Refusal::Oklch, Refusal::Color };
    return refusals[static_cast<int>(function)];
}

// name(arguments), the name right before "(" and nothing after ")".
ColourReading ReadFunction(std::string_view text)
{
    const std::size_t open = text.find('(');
    const std::size_t close = text.find(')');
    const std::string_view name = text.substr(0, open);
    const auto function = FunctionNamed(name);
    if (!function) {
        const bool styleSheet = EqualsIgnoringAsciiCase(name, "var")
            || EqualsIgnoringAsciiCase(name, "calc") || EqualsIgnoringAsciiCase(name, "color-mix")
            || EqualsIgnoringAsciiCase(name, "env") || EqualsIgnoringAsciiCase(name, "light-dark");
        return Refused(styleSheet ? Refusal::StyleSheetOnly : Refusal::Unknown);
    }
    const std::string_view inside = text.substr(open + 1, close - open - 1);
    if (inside.find('(') != std::string_view::npos)
        return Refused(Refusal::StyleSheetOnly); // calc(), var(), relative colours
    if (close == std::string_view::npos)
        return Refused(RefusalOf(*function));
    if (close + 1 != text.size())
        return Refused(Refusal::Several);
    const auto tokens = Tokens(inside);
    if (!tokens)
        return Refused(RefusalOf(*function));
    const bool legacy = *function == Function::Rgb || *function == Function::Hsl;
    const auto arguments = ArgumentsOf(*tokens, legacy, *function == Function::Color);
    if (!arguments)
        return Refused(RefusalOf(*function));
    const AlphaCheck alpha = CheckAlpha(arguments->alpha);
    if (alpha == AlphaCheck::Invalid)
        return Refused(RefusalOf(*function));
    std::optional<MappedColour> colour;
    switch (*function) {
    case Function::Rgb:
    case Function::Hsl:
    case Function::Hwb: {
        const auto rgb = *function == Function::Rgb ? RgbOfArguments(*arguments)
            : *function == Function::Hsl            ? HslOfArguments(*arguments)
                                                    : HwbOfArguments(*arguments);
        if (rgb)
            colour = MappedColour { *rgb, false };
        break;
    }
    case Function::Lab:
    case Function::Lch:
    case Function::Oklab:
    case Function::Oklch:
        colour =
            LabOfArguments(*arguments, *function == Function::Oklab || *function == Function::Oklch,
                *function == Function::Lch || *function == Function::Oklch);
        break;
    case Function::Color:
        colour = ColorOfArguments(*arguments);
        break;
    }
    if (!colour)
        return Refused(RefusalOf(*function));
    if (alpha == AlphaCheck::Transparent)
        return Refused(Refusal::Transparent);
    return Read(colour->rgb, colour->outOfGamut);
}

// A decimal component of a bare triple: digits only, 0 to 255.
std::optional<int> ReadComponent(std::string_view text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsAsciiDigit))
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
    std::array<std::string_view, 4> parts;
    std::size_t count = 0;
    const bool commas = text.find(',') != std::string_view::npos;
    std::size_t i = 0;
    while (i <= text.size() && count <= 3) {
        if (commas) {
            const std::size_t comma = std::min(text.find(',', i), text.size());
            parts[count++] = Trimmed(text.substr(i, comma - i));
            i = comma + 1;
        } else {
            const std::size_t end = std::min(text.find_first_of(" \t", i), text.size());
            parts[count++] = text.substr(i, end - i);
            i = text.find_first_not_of(" \t", end);
            if (i == std::string_view::npos)
                break;
        }
    }
    if (count != 3)
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
    char buffer[32];
    std::transform(text.begin(), text.end(), buffer, AsciiLower);
    const std::string_view lower(buffer, text.size());
    const auto found = std::lower_bound(CssNamedColors.begin(), CssNamedColors.end(), lower,
        [](const CssNamedColor& entry, std::string_view name) { return entry.name < name; });
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

// The quotes around a text, one pair of either kind.
std::string_view Unquoted(std::string_view text)
{
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'')
        && text.back() == text.front())
        return Trimmed(text.substr(1, text.size() - 2));
    return text;
}

// A declaration's value: "property: value" with an optional "!important" at its end, the
// property a CSS name or a custom property ("--brand"). Anything else with a ":" names no
// colour; nothing means the text is no declaration.
std::optional<std::string_view> DeclaredValue(std::string_view text, bool& refused)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string_view property = Trimmed(text.substr(0, colon));
    if (!StartsIdent(property) || IdentLength(property) != property.size()) {
        refused = true;
        return std::nullopt;
    }
    std::string_view value = Trimmed(text.substr(colon + 1));
    if (const std::size_t bang = value.rfind('!'); bang != std::string_view::npos) {
        if (!EqualsIgnoringAsciiCase(Trimmed(value.substr(bang + 1)), "important")) {
            refused = true;
            return std::nullopt;
        }
        value = Trimmed(value.substr(0, bang));
    }
    return value;
}

bool HasBlankOutsideParentheses(std::string_view text)
{
    int depth = 0;
    for (char c : text) {
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (depth <= 0 && IsBlank(c))
            return true;
    }
    return false;
}

ColourReading ReadValue(std::string_view text)
{
    if (text.empty())
        return Refused(Refusal::Empty);
    if (const auto css = ReadCssName(text))
        return Read(*css);
    // The list's own names that CSS lacks, exactly as listed ("dark green", "madium aquamarine").
    if (const auto listed = ReadListName(text))
        return Read(*listed);
    if (EqualsIgnoringAsciiCase(text, "transparent"))
        return Refused(Refusal::Transparent);
    if (EqualsIgnoringAsciiCase(text, "currentcolor"))
        return Refused(Refusal::StyleSheetOnly);
    if (IsAsciiDigit(text.front())) {
        if (const auto triple = ReadTriple(text))
            return Read(*triple);
    }
    if (HasBlankOutsideParentheses(text)) {
        // Three numbers are a triple out of range; anything else holds more than one value.
        const bool numbers = std::all_of(text.begin(), text.end(), [](char c) {
            return IsAsciiDigit(c) || IsBlank(c) || c == ',' || c == '-' || c == '.';
        });
        return Refused(numbers ? Refusal::Triple : Refusal::Several);
    }
    if (text.front() == '#')
        return ReadHexCode(text.substr(1));
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')
        && AllHexDigits(text.substr(2)))
        return text.size() == 8 ? Read(RgbOfHexDigits(text.substr(2)))
                                : Refused(Refusal::HexDigits);
    if ((text.size() == 6 || text.size() == 8) && AllHexDigits(text))
        return ReadHexCode(text);
    if (text.find('(') != std::string_view::npos && StartsIdent(text))
        return ReadFunction(text);
    if (IsAsciiDigit(text.front()) && text.find(',') != std::string_view::npos)
        return Refused(Refusal::Triple);
    return Refused(Refusal::Unknown);
}

} // namespace

ColourReading ReadColour(std::string_view cp932)
{
    // Most texts are plain ASCII already and are read in place.
    const bool plain = std::all_of(
        cp932.begin(), cp932.end(), [](char c) { return (c >= 0x20 && c < 0x7F) || IsBlank(c); });
    std::optional<std::string> ascii;
    if (!plain) {
        ascii = AsciiOfFullWidth(cp932);
        if (!ascii)
            return Refused(Refusal::Characters);
    }
    std::string_view text = Unquoted(Trimmed(plain ? cp932 : std::string_view(*ascii)));
    if (!text.empty() && text.back() == ';')
        text = Unquoted(Trimmed(text.substr(0, text.size() - 1)));
    bool refused = false;
    if (const auto value = DeclaredValue(text, refused))
        return ReadValue(Unquoted(*value));
    if (refused)
        return Refused(Refusal::Several);
    return ReadValue(text);
}

std::optional<Rgb> ReadColourText(std::string_view cp932)
{
    return ReadColour(cp932).rgb;
}

std::string ColourTextOfUtf8(std::string_view utf8)
{
    // Each is a whole UTF-8 sequence, and no sequence holds another's lead byte, so a match is
    // always a whole character.
    static constexpr std::string_view invisible[] = {
        "\xC2\xA0", // no-break space
        "\xE2\x80\x8B", // zero-width space
        "\xE2\x80\x8C", // zero-width non-joiner
        "\xE2\x80\x8D", // zero-width joiner
        "\xE2\x80\xAF", // narrow no-break space
        "\xE2\x81\xA0", // word joiner
        "\xEF\xBB\xBF", // byte-order mark, zero-width no-break space
    };
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::string_view rest = utf8.substr(i);
        const auto lead = static_cast<unsigned char>(rest[0]);
        const auto found = lead < 0xC2
            ? std::end(invisible)
            : std::find_if(std::begin(invisible), std::end(invisible),
                [&](std::string_view sequence) { return rest.starts_with(sequence); });
        if (found != std::end(invisible)) {
            text += ' ';
            i += found->size();
        } else {
            text += utf8[i++];
        }
    }
    return Utf8ToCp932(text);
}

std::string QuotedColourText(std::string_view cp932)
{
    std::string quoted = Sjis(u8"「");
    quoted += ShownText(Trimmed(cp932), 40, Sjis(u8"…"));
    quoted += Sjis(u8"」");
    return quoted;
}
