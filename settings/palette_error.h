#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "colour/exception.h"

/// A palette file, or the store a palette goes into, that an import or export refuses as a whole:
/// nothing was changed. Carries the line of the file it concerns (0 for the file as a whole) and
/// the reason in UTF-8, so that the window and the command line can each name the file in their
/// own form; the message (CP932) is "<line>行目：<reason>" for the exception box.
class PaletteError : public Exception
{
public:
    PaletteError(std::int32_t line, std::string reason);

    std::int32_t Line() const noexcept { return m_line; }
    /// UTF-8, without a final "。".
    const std::string& Reason() const noexcept { return m_reason; }

private:
    std::int32_t m_line;
    std::string m_reason;
};

/// The reason for a file that the system would not open or read, in UTF-8: the common errors
/// (no such file, no permission, a folder) in Japanese, any other as the system words it.
std::string SystemErrorText(int error);

/// n in decimal with a comma every three digits ("100,000"), as counts are written in messages.
std::string NumberText(std::uint64_t n);

/// A UTF-8 literal of the palette texts as the plain bytes they are built from: those texts show
/// the palette's own names, which CP932 may not hold, so they stay UTF-8 to the box and terminal.
inline std::string Utf8Literal(std::u8string_view text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}
