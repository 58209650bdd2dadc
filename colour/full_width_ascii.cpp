#include "colour/full_width_ascii.h"

#include "platform/codepage.h"

namespace {

// The signs, by their CP932 trail byte after the lead byte 0x81.
char AsciiOfSymbol(unsigned char trail)
{
    switch (trail) {
    case 0x40:
        return ' '; // ideographic space
    case 0x43:
        return ','; // ，
    case 0x44:
        return '.'; // ．
    case 0x46:
        return ':'; // ：
    case 0x47:
        return ';'; // ；
    case 0x49:
        return '!'; // ！
    case 0x51:
        return '_'; // ＿
    case 0x5E:
        return '/'; // ／
    case 0x65:
    case 0x66:
        return '\''; // ‘ ’
    case 0x67:
    case 0x68:
        return '"'; // “ ”
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

// The digits and letters, by their trail byte after the lead byte 0x82.
char AsciiOfAlphanumeric(unsigned char trail)
{
    if (trail >= 0x4F && trail <= 0x58) // ０-９
        return static_cast<char>('0' + (trail - 0x4F));
    if (trail >= 0x60 && trail <= 0x79) // Ａ-Ｚ
        return static_cast<char>('A' + (trail - 0x60));
    if (trail >= 0x81 && trail <= 0x9A) // ａ-ｚ
        return static_cast<char>('a' + (trail - 0x81));
    return 0;
}

bool IsBlankControl(unsigned char byte)
{
    return byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f' || byte == '\v';
}

} // namespace

std::optional<std::string> AsciiOfFullWidth(std::string_view cp932)
{
    std::string text;
    text.reserve(cp932.size());
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cp932[i]);
        if (IsCp932LeadByte(byte)) {
            if (i + 1 == cp932.size())
                return std::nullopt;
            const auto trail = static_cast<unsigned char>(cp932[++i]);
            const char ascii = byte == 0x81 ? AsciiOfSymbol(trail)
                : byte == 0x82              ? AsciiOfAlphanumeric(trail)
                                            : 0;
            if (ascii == 0)
                return std::nullopt;
            text += ascii;
        } else if ((byte >= 0x20 && byte < 0x7F) || IsBlankControl(byte)) {
            text += static_cast<char>(byte);
        } else {
            return std::nullopt;
        }
    }
    return text;
}
