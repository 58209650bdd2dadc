#include "platform/utf16_text_edit.h"

#include <cstdint>
#include <string_view>

#include "platform/codepage.h"
#include "platform/profile_cache.h"

std::optional<std::string> EditUtf16Text(std::string bytes, const IniText& text,
    const std::vector<ProfileWrite>& writes, std::unique_ptr<IniText>& rendering)
{
    const IniText* current = &text;
    if (bytes.size() == Utf16Mark.size()) {
        // The mark alone reads as an empty text, but a write treats it as a first line of its own.
        bytes.append(Cp932ToUtf16Le("\r\n"));
        rendering = std::make_unique<IniText>("\r\n");
        current = rendering.get();
    }
    std::vector<std::uint32_t>
        offsets; // rendering position -> position in the bytes after the mark
    bool mapped = false;
    bool changed = false;
    for (const ProfileWrite& w : writes) {
        const std::optional<IniText::Splice> edit = current->EditFor(w.section, w.key, w.value);
        if (!edit)
            continue;
        if (!mapped)
            Utf16LeToCp932(std::string_view(bytes).substr(Utf16Mark.size()), &offsets);
        const std::size_t from = Utf16Mark.size() + offsets[edit->begin];
        const std::size_t to = Utf16Mark.size() + offsets[edit->end];
        bytes.replace(from, to - from, Cp932ToUtf16Le(edit->inserted));
        rendering = std::make_unique<IniText>(
            Utf16LeToCp932(std::string_view(bytes).substr(Utf16Mark.size()), &offsets));
        mapped = changed = true;
        current = rendering.get();
    }
    if (!changed)
        return std::nullopt;
    return bytes;
}

std::string Utf16TextFile(const std::string& text, std::unique_ptr<IniText>& rendering)
{
    std::string bytes(Utf16Mark);
    bytes.append(Cp932ToUtf16Le(text));
    rendering =
        std::make_unique<IniText>(Utf16LeToCp932(std::string_view(bytes).substr(Utf16Mark.size())));
    return bytes;
}
