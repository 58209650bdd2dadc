#include "app/quoted_argument.h"

#include "platform/codepage.h"

namespace {

constexpr std::size_t MaxCharacters = 40;

} // namespace

std::string QuotedArgument(std::string_view word)
{
    const std::string text = Utf8ToCp932(word);
    std::string quoted = "'";
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        if (characters == MaxCharacters) {
            quoted += "...";
            break;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (IsCp932LeadByte(byte) && i + 1 < text.size()) {
            quoted.append(text, i, 2);
            i += 2;
            continue;
        }
        quoted += byte < 0x20 || byte == 0x7F ? '?' : static_cast<char>(byte);
        ++i;
    }
    return quoted + "'";
}
