// Reading a colour from pasted text, on arbitrary bytes: nothing crashes, a colour read has
// components 0 to 255, and the reading does not change when the text is surrounded by blanks or
// typed in full-width characters; each copy form of a colour read gives the colour back exactly;
// a refusal always says what was expected.

#include <cstdint>
#include <optional>
#include <string>

#include "colour/colour_forms.h"
#include "colour/colour_text.h"
#include "fuzz/fuzz_support.h"

namespace {

// The CP932 full-width form of an ASCII character an input method types in full width, or the
// character itself.
std::string FullWidth(char c)
{
    if (c >= '0' && c <= '9')
        return { '\x82', static_cast<char>(0x4F + (c - '0')) };
    if (c >= 'A' && c <= 'Z')
        return { '\x82', static_cast<char>(0x60 + (c - 'A')) };
    if (c >= 'a' && c <= 'z')
        return { '\x82', static_cast<char>(0x81 + (c - 'a')) };
    switch (c) {
    case ' ':
        return "\x81\x40";
    case ',':
        return "\x81\x43";
    case '.':
        return "\x81\x44";
    case '/':
        return "\x81\x5E";
    case '(':
        return "\x81\x69";
    case ')':
        return "\x81\x6A";
    case '+':
        return "\x81\x7B";
    case '-':
        return "\x81\x7C";
    case '%':
        return "\x81\x93";
    case '#':
        return "\x81\x94";
    default:
        return std::string(1, c);
    }
}

bool IsAscii(const std::string& text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ColourReading reading = ReadColour(text);
    const std::optional<Rgb> rgb = reading.rgb;
    if (rgb) {
        FUZZ_CHECK(rgb->red >= 0 && rgb->red <= 255);
        FUZZ_CHECK(rgb->green >= 0 && rgb->green <= 255);
        FUZZ_CHECK(rgb->blue >= 0 && rgb->blue <= 255);
        for (const std::string& form : ColourForms(*rgb))
            FUZZ_CHECK(ReadColour(form).rgb == rgb && !ReadColour(form).outOfGamut);
    } else {
        FUZZ_CHECK(!reading.outOfGamut && !reading.expected.empty());
    }
    FUZZ_CHECK(ReadColourText(" \t" + text + "\r\n") == rgb);
    FUZZ_CHECK(ReadColourText("\x81\x40" + text + "\x81\x40") == rgb);
    if (IsAscii(text)) {
        std::string fullWidth;
        for (char c : text)
            fullWidth += FullWidth(c);
        FUZZ_CHECK(ReadColourText(fullWidth) == rgb);
    }
    return 0;
}
