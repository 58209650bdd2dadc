#include "colour/conversions.h"

#include "colour/integer_text.h"
#include "platform/syscolor.h"

namespace {

std::uint32_t ByteAt(std::uint32_t value, int shift)
{
    return (value >> shift) & 0xFFu;
}

} // namespace

TColor HexToColor(const std::string& text)
{
    const auto v = static_cast<std::uint32_t>(StrToIntDef("$" + text, 0));
    // v holds RRGGBB in its low 24 bits; a colour holds them the other way round.
    return static_cast<TColor>(ByteAt(v, 16) | ByteAt(v, 8) << 8 | ByteAt(v, 0) << 16);
}

std::string ColorToHex(TColor color)
{
    auto c = static_cast<std::uint32_t>(color);
    if (color < 0) {
        c = GetSysColor(static_cast<int>(c & 0xFFu));
    }
    const std::uint32_t w =
        (c & 0xFF000000u) | ByteAt(c, 0) << 16 | ByteAt(c, 8) << 8 | ByteAt(c, 16);
    return IntToHex(static_cast<std::int32_t>(w), 6);
}

void SplitHexToRgb(const std::string& text, const RgbReceiver& receiver)
{
    // Each piece is "$" and up to two bytes from position at; all three are cut before any is read.
    const auto piece = [&](std::size_t at) {
        std::string p(1, '$');
        if (at < text.size()) {
            p.append(text, at, 2);
        }
        return p;
    };
    const std::string pieces[] = { piece(0), piece(2), piece(4) };
    const RgbComponent components[] = { RgbComponent::Red, RgbComponent::Green,
        RgbComponent::Blue };
    for (int i = 0; i < 3; ++i) {
        receiver(components[i], IntToStr(StrToInt(pieces[i])));
    }
}

std::string RgbToHex(const std::string& red, const std::string& green, const std::string& blue)
{
    const std::int32_t r = StrToInt(red);
    const std::int32_t g = StrToInt(green);
    const std::int32_t b = StrToInt(blue);
    return IntToHex(r, 2) + IntToHex(g, 2) + IntToHex(b, 2);
}
