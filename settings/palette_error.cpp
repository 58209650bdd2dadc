#include "settings/palette_error.h"

#include <cerrno>
#include <cstring>

#include "colour/integer_text.h"
#include "platform/codepage.h"

PaletteError::PaletteError(std::int32_t line, std::string reason)
    : Exception(
        (line > 0 ? IntToStr(line) + Sjis(u8"行目：") : std::string()) + Utf8ToCp932(reason))
    , m_line(line)
    , m_reason(std::move(reason))
{
}

std::string SystemErrorText(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Utf8Literal(u8"ファイルがありません");
    case EACCES:
    case EPERM:
        return Utf8Literal(u8"権限がありません");
    case EISDIR:
        return Utf8Literal(u8"フォルダーです");
    case ENOSPC:
        return Utf8Literal(u8"ディスクに空きがありません");
    case EROFS:
        return Utf8Literal(u8"読み取り専用の場所です");
    default:
        return std::strerror(error);
    }
}

std::string NumberText(std::uint64_t n)
{
    const std::string digits = std::to_string(n);
    std::string text;
    text.reserve(digits.size() + digits.size() / 3);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text.push_back(',');
        }
        text.push_back(digits[i]);
    }
    return text;
}
