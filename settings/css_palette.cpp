#include "settings/css_palette.h"

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/codepage.h"

namespace {

/// True for the non-ASCII code points that an identifier may hold as they stand. The list is the
/// narrower one of the current CSS syntax, so the names also work where the older rule (every
/// non-ASCII code point) is in force.
bool IsNonAsciiIdentifier(char32_t c)
{
    return c == 0xB7 || (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6)
        || (c >= 0xF8 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || c == 0x200C || c == 0x200D
        || c == 0x203F || c == 0x2040 || (c >= 0x2070 && c <= 0x218F)
        || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF)
        || (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || c >= 0x10000;
}

bool IsAsciiIdentifier(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
        || c == '_';
}

/// text as a comment's content: "*/" would end the comment early.
std::string CommentText(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out.push_back(text[i]);
        if (text[i] == '*' && i + 1 < text.size() && text[i + 1] == '/')
            out.push_back(' ');
    }
    return out;
}

} // namespace

std::string CssIdentifier(const std::string& name)
{
    std::string out;
    bool gap = false;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t start = i;
        std::size_t length = 0;
        const char32_t c = Utf8CodePoint(std::string_view(name).substr(i), length);
        i += length;
        if (IsAsciiIdentifier(c) || IsNonAsciiIdentifier(c)) {
            if (gap && !out.empty())
                out.push_back('-');
            gap = false;
            out.append(name, start, i - start);
        } else {
            gap = true;
        }
    }
    return out.empty() ? std::string("color") : out;
}

std::string CssPaletteText(const std::vector<PaletteColour>& colours)
{
    std::string text = "@charset \"UTF-8\";\n:root {\n";
    std::unordered_set<std::string> taken;
    // For each name taken, the suffix to try next: the suffixes of one name are tried once each
    // over the whole file, so many colours of one name cost no more than as many names.
    std::unordered_map<std::string, int> nextSuffix;
    for (const PaletteColour& colour : colours) {
        const std::string base = CssIdentifier(colour.name);
        std::string property = base;
        if (!taken.insert(property).second) {
            int& suffix = nextSuffix.try_emplace(base, 2).first->second;
            do
                property = base + "-" + std::to_string(suffix++);
            while (!taken.insert(property).second);
        }
        char value[8];
        std::snprintf(value, sizeof value, "#%02X%02X%02X", colour.red, colour.green, colour.blue);
        text.append("  --").append(property).append(": ").append(value).append("; /* ");
        text.append(CommentText(colour.name)).append(" */\n");
    }
    text.append("}\n");
    return text;
}
