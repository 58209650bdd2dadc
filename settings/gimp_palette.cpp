#include "settings/gimp_palette.h"

#include <cstdio>

#include "platform/codepage.h"
#include "settings/palette_error.h"

namespace {

constexpr std::string_view Header = "GIMP Palette";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

[[noreturn]] void Refuse(std::int32_t line, std::u8string_view what)
{
    throw PaletteError(line, Utf8Literal(what));
}

/// A word of the file as a message quotes it: at most 12 characters, the rest as "…".
std::string QuotedWord(std::string_view word)
{
    return word.size() <= 12 ? std::string(word)
                             : std::string(word.substr(0, 12)) + Utf8Literal(u8"…");
}

/// The next blank-separated word of rest, taken off it.
std::string_view NextWord(std::string_view& rest)
{
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end]))
        ++end;
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

/// One component: a decimal number from 0 to 255; a word that is no number counts as missing.
std::uint8_t Component(std::string_view word, std::int32_t line)
{
    std::string_view digits = word;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        Refuse(line, u8"色の値が三つそろっていません（赤・緑・青の順に0〜255の数を書きます）");
    const std::size_t first = digits.find_first_not_of('0');
    const std::string_view significant =
        first == std::string_view::npos ? std::string_view("0") : digits.substr(first);
    int value = 0;
    if (significant.size() <= 3) {
        for (const char c : significant)
            value = value * 10 + (c - '0');
    }
    if (significant.size() > 3 || value > 255 || (negative && value != 0)) {
        throw PaletteError(line,
            Utf8Literal(u8"色の値 ") + QuotedWord(word) + Utf8Literal(u8" が0〜255の範囲外です"));
    }
    return static_cast<std::uint8_t>(value);
}

/// text with each line end (CR or LF) turned into a blank, so that it stays on its line.
std::string OneLine(std::string_view text)
{
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return line;
}

} // namespace

std::size_t FirstInvalidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0)
            return i;
        i += length;
    }
    return std::string_view::npos;
}

GimpPalette ReadGimpPalette(std::string_view text, std::size_t maxColours)
{
    if (text.size() > MaxPaletteBytes) {
        Refuse(0, u8"ファイルが大きすぎます（16MB まで）");
    }
    if (StartsWith(text, ByteOrderMark))
        text.remove_prefix(ByteOrderMark.size());
    if (const std::size_t bad = FirstInvalidUtf8(text); bad != std::string_view::npos) {
        std::int32_t line = 1;
        for (std::size_t i = 0; i < bad; ++i) {
            if (text[i] == '\n'
                || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
                ++line;
        }
        Refuse(line,
            u8"文字コードが UTF-8 ではありません。UTF-8 で保存し直してから読み込んでください");
    }

    GimpPalette palette;
    std::int32_t line = 0;
    std::size_t pos = 0;
    while (pos < text.size() || line == 0) {
        ++line;
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string_view content = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size())
            pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;

        if (line == 1) {
            if (!StartsWith(content, Header)) {
                Refuse(0,
                    u8"GIMP パレットではありません（1行目が「GIMP Palette」で始まっていません）");
            }
            continue;
        }
        const std::string_view trimmed = Trimmed(content);
        if (trimmed.empty() || trimmed.front() == '#')
            continue;
        if (StartsWith(trimmed, "Name:")) {
            palette.name = std::string(Trimmed(trimmed.substr(5)));
            continue;
        }
        if (StartsWith(trimmed, "Columns:"))
            continue;
        if (palette.colours.size() == maxColours) {
            throw PaletteError(0,
                Utf8Literal(u8"色が多すぎます（") + NumberText(maxColours)
                    + Utf8Literal(u8"色まで）"));
        }
        std::string_view rest = trimmed;
        PaletteColour colour;
        colour.line = line;
        colour.red = Component(NextWord(rest), line);
        colour.green = Component(NextWord(rest), line);
        colour.blue = Component(NextWord(rest), line);
        colour.name = std::string(Trimmed(rest));
        palette.colours.push_back(std::move(colour));
    }
    return palette;
}

std::string GimpPaletteText(std::string_view name, const std::vector<PaletteColour>& colours)
{
    std::string text;
    text.reserve(64 + colours.size() * 24);
    text.append(Header).append("\nName: ").append(OneLine(name)).append("\nColumns: 16\n#\n");
    for (const PaletteColour& colour : colours) {
        char numbers[16];
        std::snprintf(
            numbers, sizeof numbers, "%3d %3d %3d\t", colour.red, colour.green, colour.blue);
        text.append(numbers).append(OneLine(colour.name)).append("\n");
    }
    return text;
}
