#include "platform/profile.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

#include "platform/profile_cache.h"

// The read functions. A file starting with FF FE is UTF-16LE: reads see its CP932 rendering (a
// character CP932 lacks reads as "?").

namespace {

// What a read hands out for a stored value: the caller gets a zero-terminated text, so a NUL byte
// in the value ends it.
std::string_view UpToNul(std::string_view value)
{
    return value.substr(0, value.find('\0'));
}

// What a read hands out for a missing key: the default without its trailing spaces.
std::string_view DefaultText(const char* def)
{
    std::string_view fallback = def ? def : "";
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.remove_suffix(1);
    return fallback;
}

DWORD CopyOut(std::string_view text, char* buffer, DWORD size)
{
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

// The file as a read sees it; a writer holding the file's lock reads it afresh.
LoadedFile LoadForRead(const char* path)
{
    return LoadParsedFile(path, ProfileLock::HeldByThisThread());
}

} // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* buffer,
    DWORD size, const char* path)
{
    if (!buffer || size == 0)
        return 0;
    if (section && key && path && *path) {
        const std::lock_guard lock(ProfileCacheMutex());
        const LoadedFile file = LoadForRead(path);
        if (file.state == FileState::Present) {
            if (auto value = file.parse->text->Find(section, key))
                return CopyOut(UpToNul(*value), buffer, size);
        }
    }
    return CopyOut(DefaultText(def), buffer, size);
}

void GetPrivateProfileNumberedStringsA(const char* section, std::int32_t count, const char* def,
    DWORD size, const char* path, const std::function<void(std::string_view text)>& each)
{
    const std::string_view fallback = DefaultText(def);
    const auto cut = [size](std::string_view text) {
        return text.substr(0, std::min<std::size_t>(text.size(), size > 0 ? size - 1 : 0));
    };
    const std::lock_guard lock(ProfileCacheMutex());
    LoadedFile file;
    if (section && path && *path)
        file = LoadForRead(path);
    const IniText* text = file.state == FileState::Present ? file.parse->text.get() : nullptr;
    const auto give = [&](std::optional<std::string_view> value) {
        each(cut(value ? UpToNul(*value) : fallback));
    };
    // The keys that stand in file order come in one walk; any after those are looked up singly.
    const std::int32_t walked = text ? text->FindNumbered(section, count, give) : 0;
    for (std::int32_t i = walked + 1; i <= count; ++i) {
        std::optional<std::string_view> value;
        if (text) {
            char name[16];
            const auto end = std::to_chars(name, name + sizeof name, i).ptr;
            value = text->Find(section, { name, static_cast<std::size_t>(end - name) });
        }
        give(value);
    }
}
