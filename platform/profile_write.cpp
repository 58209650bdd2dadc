#include "platform/profile.h"

#include <optional>

#include "platform/file_replace.h"
#include "platform/profile_cache.h"
#include "platform/utf16_text_edit.h"

// The write functions. A write builds the new text and puts it in place with a rename, so a crash
// leaves either the old or the new file, never a half-written one; it holds the ProfileLock from
// its read to its rename, so concurrent writers never lose each other's changes. A UTF-16LE file
// stays UTF-16LE with its byte-order mark.

namespace {

// Runs edit(target, file) on the file at path, resolved through its links once and loaded
// afresh, while the write lock and then the cache's mutex are held, in that order for every
// writer; 0 when the path is empty, the links do not resolve, the lock is not had or the file is
// unusable.
template <typename Edit> BOOL EditUnderLock(const char* path, Edit edit)
{
    if (!path || !*path)
        return 0;
    const std::optional<WriteTarget> target = ResolveWriteTarget(path);
    if (!target)
        return 0;
    const ProfileLock lock(*target);
    if (!lock)
        return 0;

    const std::lock_guard guard(ProfileCacheMutex());
    const LoadedFile file = LoadParsedFile(target->path.c_str(), true);
    if (file.state == FileState::Unusable)
        return 0;
    return edit(*target, file);
}

// Puts content in place and keeps it as the next read's parse.
BOOL Replace(const WriteTarget& target, std::string content, std::unique_ptr<IniText> rendering)
{
    if (!ReplaceFileContents(target, content))
        return 0;
    KeepWrittenFile(target.path, std::move(content), std::move(rendering));
    return 1;
}

} // namespace

BOOL WritePrivateProfileStringsA(const std::vector<ProfileWrite>& writes, const char* path)
{
    return EditUnderLock(path, [&](const WriteTarget& target, const LoadedFile& file) -> BOOL {
        const FileParse* parse = file.state == FileState::Present ? file.parse.get() : nullptr;

        std::optional<std::string> content;
        std::unique_ptr<IniText> rendering;
        if (parse && !parse->utf16.empty()) {
            // An odd byte at the end has no place in UTF-16LE text: such a file is left alone.
            if (parse->utf16.size() % 2 != 0)
                return 0;
            content = EditUtf16Text(parse->utf16, *parse->text, writes, rendering);
        } else {
            // Each write applies to the text the previous one left, exactly as separate calls
            // would, worked out on the cached parse.
            const IniText empty({});
            std::vector<IniText::KeyValue> edits;
            edits.reserve(writes.size());
            for (const ProfileWrite& w : writes)
                edits.push_back({ w.section, w.key, w.value });
            content = (parse ? *parse->text : empty).WithValues(edits);
        }
        if (!content)
            return 1; // every key already holds its value
        return Replace(target, std::move(*content), std::move(rendering));
    });
}

BOOL WritePrivateProfileTextA(const std::string& text, const char* path)
{
    return EditUnderLock(path, [&](const WriteTarget& target, const LoadedFile& file) -> BOOL {
        std::unique_ptr<IniText> rendering;
        if (file.state == FileState::Present && !file.parse->utf16.empty()) {
            std::string bytes = Utf16TextFile(text, rendering);
            return Replace(target, std::move(bytes), std::move(rendering));
        }
        return Replace(target, text, nullptr);
    });
}

BOOL WritePrivateProfileStringA(
    const char* section, const char* key, const char* value, const char* path)
{
    if (!section || !key || !value)
        return 0;
    return WritePrivateProfileStringsA({ ProfileWrite { section, key, value } }, path);
}
