#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The program's texts are byte strings in code page 932 (Shift-JIS as Windows has it).
// This module is the only place that converts between those bytes and Unicode.

/// Converts CP932 bytes to UTF-8. An invalid byte sequence becomes U+FFFD; never throws.
std::string Cp932ToUtf8(std::string_view cp932);

/// Converts UTF-8 to CP932 bytes. A character that CP932 cannot hold, and an invalid
/// UTF-8 sequence, becomes "?", as the platform's default character does. When lost is given, it
/// receives the position in the result of the first such "?", or npos when nothing was replaced.
std::string Utf8ToCp932(std::string_view utf8, std::size_t* lost = nullptr);

/// Length of the well-formed UTF-8 sequence at the start of text (no overlong forms, no
/// surrogates, nothing above U+10FFFF), or 0 when it is not one; 1 for an ASCII byte.
std::size_t Utf8SequenceLength(std::string_view text);

/// The code point of the well-formed UTF-8 sequence at the start of text, with length set to its
/// length (as Utf8SequenceLength gives it); U+FFFD with length 1 where no sequence starts.
char32_t Utf8CodePoint(std::string_view text, std::size_t& length);

/// Converts UTF-16LE (without its byte-order mark) to CP932 bytes, as the platform hands the
/// texts of a UTF-16LE file to a CP932 program: a character that CP932 cannot hold, and an
/// unpaired surrogate, becomes "?"; an odd last byte is left out. With offsets, offsets[i] is the
/// position in utf16 of the character whose CP932 bytes begin at i (both bytes of a double-byte
/// character give its position), and offsets[result size] is the end of utf16 read.
std::string Utf16LeToCp932(std::string_view utf16, std::vector<std::uint32_t>* offsets = nullptr);

/// Converts CP932 bytes to UTF-16LE (without a byte-order mark). An invalid byte sequence
/// becomes U+FFFD.
std::string Cp932ToUtf16Le(std::string_view cp932);

/// True when this thread can make every conversion above: the system's iconv knows CP932, UTF-8
/// and UTF-16LE. Where it cannot, those conversions give empty texts (only ASCII text passes between
/// CP932 and UTF-8), so whatever reads or writes texts must refuse its work instead of going on.
bool CodePageConversionsWork();

/// True when the byte opens a double-byte character in CP932 (0x81-0x9F, 0xE0-0xFC).
bool IsCp932LeadByte(unsigned char byte);

/// A Japanese literal of the program's own, written in UTF-8 in the source, as CP932 bytes.
inline std::string Sjis(std::string_view utf8)
{
    return Utf8ToCp932(utf8);
}
inline std::string Sjis(std::u8string_view utf8)
{
    return Utf8ToCp932(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

/// A text (CP932) as a message shows it: control characters and stray bytes as "?", cut after
/// maxCharacters characters (a double-byte character counts as one and is never split) with
/// ellipsis appended.
std::string ShownText(std::string_view cp932, std::size_t maxCharacters, std::string_view ellipsis);
