// The integer text syntax and the four colour conversions on arbitrary bytes: nothing crashes, the
// strict and the lenient reading agree with each other and with a small independent model of the
// syntax, written numbers read back as themselves, and the conversions agree with each other.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "colour/conversions.h"
#include "colour/integer_text.h"
#include "fuzz/fuzz_support.h"

namespace {

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Leading spaces; then "$" and hexadecimal digits of which at most eight are significant, or an
// optional sign and decimal digits of magnitude at most 2147483647; nothing after.
std::optional<std::int32_t> Model(const std::string& text)
{
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos)
        return std::nullopt;
    if (text[i] == '$') {
        const std::string digits = text.substr(i + 1);
        if (digits.empty())
            return std::nullopt;
        for (char c : digits) {
            if (!IsHexDigit(c))
                return std::nullopt;
        }
        const std::size_t significant = digits.find_first_not_of('0');
        if (significant != std::string::npos && digits.size() - significant > 8)
            return std::nullopt;
        return static_cast<std::int32_t>(
            significant == std::string::npos ? 0 : std::stoul(digits.substr(significant), nullptr, 16));
    }
    bool negative = false;
    if (text[i] == '+' || text[i] == '-')
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483647)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string NotAnInteger(const std::string& text)
{
    // "'%s' は整数ではありません" in CP932.
    return "'" + text + "' \x82\xCD\x90\xAE\x90\x94\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
}

void CheckReadings(const std::string& text)
{
    const std::optional<std::int32_t> expected = Model(text);
    FUZZ_CHECK(ParseInteger(text) == expected);
    std::optional<std::int32_t> strict;
    try {
        strict = StrToInt(text);
    } catch (const EConvertError& error) {
        FUZZ_CHECK(error.Message() == NotAnInteger(text));
    }
    FUZZ_CHECK(strict == expected);
    if (strict) {
        FUZZ_CHECK(StrToIntDef(text, 7) == *strict);
        FUZZ_CHECK(StrToIntDef(text, -9) == *strict);
        // -2147483648 is the one value whose decimal text does not read.
        FUZZ_CHECK(ParseInteger(IntToStr(*strict)) == (*strict == INT32_MIN ? std::nullopt : strict));
        FUZZ_CHECK(StrToInt("$" + IntToHex(*strict, 2)) == *strict);
    } else {
        FUZZ_CHECK(StrToIntDef(text, 7) == 7);
        FUZZ_CHECK(StrToIntDef(text, -9) == -9);
    }
}

void CheckConversions(const std::string& text)
{
    const TColor colour = HexToColor(text);
    FUZZ_CHECK((static_cast<std::uint32_t>(colour) >> 24) == 0);

    std::vector<std::string> received;
    bool failed = false;
    try {
        SplitHexToRgb(text, [&](RgbComponent component, const std::string& decimal) {
            FUZZ_CHECK(static_cast<std::size_t>(component) == received.size());
            const std::int32_t value = StrToInt(decimal);
            FUZZ_CHECK(value >= 0 && value <= 255 && IntToStr(value) == decimal);
            received.push_back(decimal);
        });
    } catch (const EConvertError& error) {
        failed = true;
        const std::size_t at = received.size() * 2;
        const std::string piece = at < text.size() ? text.substr(at, 2) : std::string();
        FUZZ_CHECK(error.Message() == NotAnInteger("$" + piece));
    }
    FUZZ_CHECK(failed == (received.size() < 3));

    const bool sixHexDigits = text.size() >= 6
        && std::all_of(text.begin(), text.begin() + 6, [](char c) { return IsHexDigit(c); });
    if (sixHexDigits) {
        FUZZ_CHECK(received.size() == 3);
        std::string upper = text.substr(0, 6);
        for (char& c : upper)
            c = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
        FUZZ_CHECK(RgbToHex(received[0], received[1], received[2]) == upper);
        FUZZ_CHECK(ColorToHex(HexToColor(upper)) == upper);
        const TColor fromPieces = StrToInt(received[0]) | StrToInt(received[1]) << 8
            | StrToInt(received[2]) << 16;
        FUZZ_CHECK(HexToColor(text.substr(0, 6)) == fromPieces);
    }

    // Three texts cut at the first two commas: joined when all read, else the first bad one named.
    const std::size_t first = text.find(',');
    const std::size_t second = first == std::string::npos ? first : text.find(',', first + 1);
    if (second != std::string::npos) {
        const std::string parts[] = { text.substr(0, first),
            text.substr(first + 1, second - first - 1), text.substr(second + 1) };
        try {
            const std::string joined = RgbToHex(parts[0], parts[1], parts[2]);
            std::size_t length = 0;
            for (const std::string& part : parts) {
                auto value = static_cast<std::uint32_t>(*Model(part));
                std::size_t digits = 0;
                do {
                    ++digits;
                    value >>= 4;
                } while (value != 0);
                length += std::max<std::size_t>(2, digits);
            }
            FUZZ_CHECK(joined.size() == length);
            if (length == 6) {
                std::vector<std::int32_t> back;
                SplitHexToRgb(joined,
                    [&](RgbComponent, const std::string& decimal) { back.push_back(StrToInt(decimal)); });
                for (int i = 0; i < 3; ++i)
                    FUZZ_CHECK(back[i] == *Model(parts[i]));
            }
        } catch (const EConvertError& error) {
            int bad = 0;
            while (bad < 3 && Model(parts[bad]))
                ++bad;
            FUZZ_CHECK(bad < 3);
            FUZZ_CHECK(error.Message() == NotAnInteger(parts[bad]));
        }
    }
}

void CheckColour(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return;
    std::uint32_t bits;
    std::memcpy(&bits, data, 4);
    const auto colour = static_cast<TColor>(bits);
    const std::string hex = ColorToHex(colour);
    FUZZ_CHECK(hex.size() >= 6 && hex.size() <= 8);
    for (char c : hex)
        FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    if (colour >= 0) {
        FUZZ_CHECK(HexToColor(hex) == (colour & 0x00FFFFFF));
        FUZZ_CHECK(hex.size() == 6 || (bits >> 24) != 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckReadings(text);
    CheckReadings("$" + text);
    CheckConversions(text);
    CheckColour(data, size);
    return 0;
}
