#include "settings/code_page_name.h"

#include "platform/codepage.h"

namespace {

/// The letters of U+00C0 to U+017F without their accents, one a code point; "-" where the
/// character is no letter with an accent (Æ, Ø, ß, Ł and the like have no accent to take off).
constexpr std::string_view LatinBases = "AAAAAA-CEEEEIIII" // U+00C0
                                        "-NOOOOO--UUUUY--" // U+00D0
                                        "aaaaaa-ceeeeiiii" // U+00E0
                                        "-nooooo--uuuuy-y" // U+00F0
                                        "AaAaAaCcCcCcCcDd" // U+0100
                                        "--EeEeEeEeEeGgGg" // U+0110
                                        "GgGgHh--IiIiIiIi" // U+0120
                                        "I---JjKk-LlLlLl-" // U+0130
                                        "---NnNnNn---OoOo" // U+0140
                                        "Oo--RrRrRrSsSsSs" // U+0150
                                        "SsTtTt--UuUuUuUu" // U+0160
                                        "UuUuWwYyYZzZzZz-"; // U+0170

bool IsCombiningAccent(char32_t c)
{
    return c >= 0x300 && c <= 0x36F;
}

} // namespace

std::string NameInCodePage(std::string_view utf8)
{
    std::size_t lost = std::string::npos;
    std::string whole = Utf8ToCp932(utf8, &lost);
    if (lost == std::string::npos) {
        return whole;
    }
    static const std::string missing = Sjis(u8"〓");
    std::string name;
    name.reserve(whole.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 0;
        const char32_t c = Utf8CodePoint(utf8.substr(i), length);
        const std::string_view character = utf8.substr(i, length);
        i += length;
        std::size_t characterLost = std::string::npos;
        const std::string held = Utf8ToCp932(character, &characterLost);
        if (characterLost == std::string::npos) {
            name += held;
        } else if (IsCombiningAccent(c)) {
            continue;
        } else if (c >= 0xC0 && c - 0xC0 < LatinBases.size() && LatinBases[c - 0xC0] != '-') {
            name += LatinBases[c - 0xC0];
        } else {
            name += missing;
        }
    }
    return name;
}
