#include "app/colour_argument.h"

#include "app/quoted_argument.h"
#include "colour/colour_text.h"
#include "platform/codepage.h"

std::optional<Rgb> ReadColourArgument(std::string_view utf8, std::string& reason)
{
    const std::optional<Rgb> colour = ReadColourText(Utf8ToCp932(utf8));
    if (!colour) {
        reason = Sjis(u8"色として読めません: ") + QuotedArgument(utf8)
            + Sjis(u8"（書き方は tintora --help にあります）");
    }
    return colour;
}
