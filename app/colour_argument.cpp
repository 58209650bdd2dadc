#include "app/colour_argument.h"

#include "app/quoted_argument.h"
#include "colour/colour_text.h"
#include "platform/codepage.h"

std::optional<Rgb> ReadColourArgument(std::string_view utf8, std::string& reason, bool* outOfGamut)
{
    const ColourReading reading = ReadColour(ColourTextOfUtf8(utf8));
    if (!reading.rgb) {
        reason = Sjis(u8"色として読めません: ") + QuotedArgument(utf8) + Sjis(u8"。")
            + reading.expected + Sjis(u8"（書き方は tintora --help にあります）");
    }
    if (outOfGamut) {
        *outOfGamut = reading.outOfGamut;
    }
    return reading.rgb;
}

std::string OutOfGamutNote()
{
    return Sjis(u8"この色は sRGB の範囲の外にあるため、表示できる最も近い色にしました");
}
