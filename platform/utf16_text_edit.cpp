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
    // rendering position -> position in the bytes after the mark
    std::vector<std::uint32_t> offsets;
    std::vector<IniText::KeyValue> edits;
    edits.reserve(writes.size());
    for (const ProfileWrite& w : writes)
        edits.push_back({ w.section, w.key, w.value });
    if (const std::optional<std::vector<IniText::Splice>> splices = current->EditsFor(edits)) {
        // Laid out once: each change of the rendering replaces exactly the UTF-16LE characters
        // behind it, all in one pass through the bytes.
        if (splices->empty())
            return std::nullopt;
        Utf16LeToCp932(std::string_view(bytes).substr(Utf16Mark.size()), &offsets);
        std::string edited(bytes, 0, Utf16Mark.size());
        edited.reserve(bytes.size() + bytes.size() / 4);
        std::size_t at = Utf16Mark.size();
        for (const IniText::Splice& splice : *splices) {
            const std::size_t from = Utf16Mark.size() + offsets[splice.begin];
            edited.append(bytes, at, from - at).append(Cp932ToUtf16Le(splice.inserted));
            at = Utf16Mark.size() + offsets[splice.end];
        }
        edited.append(bytes, at);
        rendering = std::make_unique<IniText>(
            Utf16LeToCp932(std::string_view(edited).substr(Utf16Mark.size())));
        return edited;
    }

    // Writes that depend on each other, one after the other.
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
