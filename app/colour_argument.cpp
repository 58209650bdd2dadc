#include "app/colour_argument.h"

#include "app/quoted_argument.h"
#include "colour/colour_text.h"
#include "platform/codepage.h"

std::optional<Rgb> ReadColourArgument(std::string_view utf8, std::string& reason, bool* outOfGamut)
{
    const ColourReading reading = ReadColour(ColourTextOfUtf8(utf8));
    if (!reading.rgb) {
        reason = QuotedArgument(utf8) + Sjis(u8" を色として読み取れません。") + reading.expected
            + Sjis(u8"書き方は tintora --help で確認できます。");
    }
    if (outOfGamut) {
        *outOfGamut = reading.outOfGamut;
    }
    return reading.rgb;
}

std::string OutOfGamutNote()
{
    return Sjis(u8"この色は sRGB の範囲外のため、sRGB でいちばん近い色にして出力します");
}
