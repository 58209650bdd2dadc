#pragma once

#include <string_view>

// Character tests of the colour notations, on ASCII alone whatever the C locale says (a CP932
// trail byte can look like any ASCII letter but never reaches these as one).

inline bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// The value of a hexadecimal digit in either case, or -1 for any other character.
inline int HexDigitValue(char c)
{
    if (IsAsciiDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

/// True when text equals lowerCase but for the case of its ASCII letters.
inline bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lowerCase)
{
    if (text.size() != lowerCase.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (AsciiLower(text[i]) != lowerCase[i])
            return false;
    }
    return true;
}
