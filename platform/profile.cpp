#include "platform/profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/file_replace.h"
#include "platform/ini_text.h"

// Reads parse the file once and keep it while it is unchanged, so reading the keys of a large
// section one call at a time costs one parse, not one per key. Every call still stats the file, so
// a change by another program is seen by the next call. A write builds the new text and puts it in
// place with a rename, so a crash leaves either the old or the new file, never a half-written one.
//
// A file starting with FF FE (UTF-16LE) is not read (every read gives the default) and never
// written (the write fails), so such a file is never damaged.

namespace {

std::int64_t Nanoseconds(const timespec& t)
{
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

struct Identity
{
    dev_t device;
    ino_t inode;
    off_t size;
    std::int64_t modified;
    std::int64_t changed;

    bool operator==(const Identity&) const = default;
};

Identity IdentityOf(const struct stat& st)
{
    return { st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim) };
}

// True when any later change of the file must give it a change time different from the one in st.
// A change stamps the file with the kernel's coarse clock, cut to the file system's granularity, so
// two writes within one tick can leave the same times. A file changed more than a tick (plus the
// granularity) before we looked at it is safe; a younger one is read anew at every call until it
// has been quiet that long. Whole-second change times mean a coarse file system: allow 2 seconds.
bool Settled(const struct stat& st, const timespec& lookedAt)
{
    static const std::int64_t tick = [] {
        timespec resolution {};
        clock_getres(CLOCK_REALTIME_COARSE, &resolution);
        return Nanoseconds(resolution);
    }();
    const std::int64_t granularity = st.st_ctim.tv_nsec == 0 ? 2'000'000'000 : 20'000'000;
    return Nanoseconds(st.st_ctim) + tick + granularity < Nanoseconds(lookedAt);
}

// The one parsed file kept between calls.
struct Cache
{
    bool valid = false;
    bool settled = false;
    Identity identity {};
    std::unique_ptr<IniText> text;
};

std::mutex cacheMutex;
Cache cache;

enum class FileState { Missing, Present, Unusable };

struct Loaded
{
    FileState state;
    const IniText* text; // the cache's, while the lock is held; null unless Present
    struct stat status;
};

bool ReadAll(int fd, std::size_t sizeHint, std::string& out)
{
    out.resize(sizeHint + 1); // the spare byte lets the first read past the end show the end
    std::size_t length = 0;
    for (;;) {
        if (length == out.size())
            out.resize(out.size() * 2);
        const ssize_t got = read(fd, out.data() + length, out.size() - length);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        length += static_cast<std::size_t>(got);
    }
    out.resize(length);
    return true;
}

// The parsed file at path, from the cache when the file is the one cached and has settled.
// Call with cacheMutex held.
Loaded Load(const char* path)
{
    timespec lookedAt {};
    clock_gettime(CLOCK_REALTIME, &lookedAt);
    struct stat st = {};
    if (stat(path, &st) != 0)
        return { errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Unusable,
            nullptr, st };
    if (!S_ISREG(st.st_mode))
        return { FileState::Unusable, nullptr, st };
    if (cache.valid && cache.settled && cache.identity == IdentityOf(st))
        return { FileState::Present, cache.text.get(), st };

    // O_NONBLOCK: a FIFO swapped in after the stat must not block the open.
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return { errno == ENOENT ? FileState::Missing : FileState::Unusable, nullptr, st };
    std::string bytes;
    const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode)
        && ReadAll(fd, static_cast<std::size_t>(st.st_size), bytes);
    close(fd);
    if (!ok)
        return { FileState::Unusable, nullptr, st };

    // Unchanged bytes keep the parse (and its key indexes) of the previous call.
    if (!cache.valid || !cache.text || cache.text->Text() != bytes)
        cache.text = std::make_unique<IniText>(std::move(bytes));
    cache.valid = true;
    cache.identity = IdentityOf(st);
    cache.settled = Settled(st, lookedAt);
    return { FileState::Present, cache.text.get(), st };
}

bool IsUtf16(const std::string& text)
{
    return text.size() >= 2 && text[0] == '\xFF' && text[1] == '\xFE';
}

DWORD CopyOut(std::string_view text, char* buffer, DWORD size)
{
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

} // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* buffer,
    DWORD size, const char* path)
{
    if (!buffer || size == 0)
        return 0;
    if (section && key && path && *path) {
        const std::lock_guard lock(cacheMutex);
        const Loaded file = Load(path);
        if (file.state == FileState::Present && !IsUtf16(file.text->Text())) {
            if (auto value = file.text->Find(section, key)) {
                // The caller gets a zero-terminated text, so a NUL byte in the value ends it.
                return CopyOut(value->substr(0, value->find('\0')), buffer, size);
            }
        }
    }
    std::string_view fallback = def ? def : "";
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.remove_suffix(1);
    return CopyOut(fallback, buffer, size);
}

BOOL WritePrivateProfileStringsA(const std::vector<ProfileWrite>& writes, const char* path)
{
    if (!path || !*path)
        return 0;
    const std::optional<std::string> target = ResolveLinks(path);
    if (!target)
        return 0;

    const std::lock_guard lock(cacheMutex);
    const Loaded file = Load(target->c_str());
    if (file.state == FileState::Unusable)
        return 0;
    const bool exists = file.state == FileState::Present;
    if (exists && IsUtf16(file.text->Text()))
        return 0;

    // Each write applies to the text the previous one left, exactly as separate calls would.
    // The first write works on the cached parse; later ones parse the text the previous one left.
    const IniText empty({});
    std::optional<std::string> content;
    std::optional<IniText> reparsed;
    for (const ProfileWrite& w : writes) {
        const IniText* current = exists ? file.text : &empty;
        if (content)
            current = &reparsed.emplace(*content);
        if (std::optional<std::string> next = current->WithValue(w.section, w.key, w.value))
            content = std::move(next);
    }
    if (!content)
        return 1; // every key already holds its value
    if (!ReplaceFileContents(*target, *content))
        return 0;

    // The new text is what a next call would parse; it is checked against the file as usual.
    struct stat st = {};
    cache.valid = stat(target->c_str(), &st) == 0;
    cache.settled = false;
    cache.identity = IdentityOf(st);
    cache.text = std::make_unique<IniText>(std::move(*content));
    return 1;
}

BOOL WritePrivateProfileStringA(
    const char* section, const char* key, const char* value, const char* path)
{
    if (!section || !key || !value)
        return 0;
    return WritePrivateProfileStringsA({ ProfileWrite { section, key, value } }, path);
}
