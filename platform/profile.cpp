#include "platform/profile.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/file_replace.h"
#include "platform/ini_text.h"

// Reads parse the file once and keep it while it is unchanged, so reading the keys of a large
// section one call at a time costs one parse, not one per key. Every call still stats the file, so
// a change by another program is seen by the next call, except inside a ProfileSnapshot, which
// looks once for a whole batch of reads. A write builds the new text and puts it in place with a
// rename, so a crash leaves either the old or the new file, never a half-written one; it holds the
// ProfileLock from its read to its rename, so concurrent writers never lose each other's changes.
//
// A file starting with FF FE is UTF-16LE. Reads see its CP932 rendering (a character CP932 lacks
// reads as "?"). A write keeps the file UTF-16LE with its byte-order mark and replaces only the
// characters of what it changes, so every other character stays exactly as it was, even one that
// the rendering shows as "?".

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

constexpr std::string_view Utf16Mark = "\xFF\xFE";

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
    std::string path; // as last loaded or written
    std::string utf16; // a UTF-16LE file's own bytes, byte-order mark included; else empty
    std::unique_ptr<IniText> text; // the file's text; a UTF-16LE file's CP932 rendering
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

// The path that a ProfileSnapshot holds still, and what its first read found.
struct Pin
{
    std::string path;
    int depth = 0;
    std::optional<Loaded> loaded;
};

Pin pin;

// Beyond this size a file's parse is not kept after a ProfileSnapshot ends.
constexpr std::size_t LargeFile = 1 << 20;

bool IsUtf16(std::string_view bytes)
{
    return bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
}

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
Loaded LoadNow(const char* path)
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
    const bool utf16 = IsUtf16(bytes);
    const std::string& cached = utf16 || !cache.text ? cache.utf16 : cache.text->Text();
    if (!cache.valid || !cache.text || cache.utf16.empty() == utf16 || cached != bytes) {
        if (utf16) {
            cache.text = std::make_unique<IniText>(
                Utf16LeToCp932(std::string_view(bytes).substr(Utf16Mark.size())));
            cache.utf16 = std::move(bytes);
        } else {
            cache.text = std::make_unique<IniText>(std::move(bytes));
            cache.utf16.clear();
        }
    }
    cache.path = path;
    cache.valid = true;
    cache.identity = IdentityOf(st);
    cache.settled = Settled(st, lookedAt);
    return { FileState::Present, cache.text.get(), st };
}

// As LoadNow, but inside a ProfileSnapshot of path the first result serves every later read.
Loaded Load(const char* path)
{
    const bool pinned = pin.depth > 0 && pin.path == path;
    if (pinned && pin.loaded
        && (pin.loaded->state != FileState::Present || (cache.valid && cache.path == path)))
        return *pin.loaded;
    const Loaded loaded = LoadNow(path);
    if (pinned)
        pin.loaded = loaded;
    return loaded;
}

// Keeps what a write put in place as the parse of the next call, checked against the file as usual.
void Remember(const std::string& path, std::string content, std::unique_ptr<IniText> text)
{
    struct stat st = {};
    cache.valid = stat(path.c_str(), &st) == 0;
    cache.settled = false;
    cache.identity = IdentityOf(st);
    cache.path = path;
    if (text) {
        cache.utf16 = std::move(content);
        cache.text = std::move(text);
    } else {
        cache.utf16.clear();
        cache.text = std::make_unique<IniText>(std::move(content));
    }
    pin.loaded.reset();
}

// Applies writes to the bytes of a UTF-16LE file whose CP932 rendering is parsed in text: each
// write changes the rendering's bytes of one key, and exactly the UTF-16LE characters behind them
// give way to the new bytes in UTF-16LE. nullopt when every key already holds its value.
std::optional<std::string> EditUtf16(
    std::string bytes, const IniText& text, const std::vector<ProfileWrite>& writes,
    std::unique_ptr<IniText>& rendering)
{
    const IniText* current = &text;
    std::vector<std::uint32_t> offsets; // rendering position -> position in the bytes after the mark
    bool mapped = false;
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
        mapped = true;
        current = rendering.get();
    }
    if (!mapped)
        return std::nullopt;
    return bytes;
}

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

} // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* buffer,
    DWORD size, const char* path)
{
    if (!buffer || size == 0)
        return 0;
    if (section && key && path && *path) {
        const std::lock_guard lock(cacheMutex);
        const Loaded file = Load(path);
        if (file.state == FileState::Present) {
            if (auto value = file.text->Find(section, key))
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
    const std::lock_guard lock(cacheMutex);
    const IniText* text = nullptr;
    if (section && path && *path) {
        const Loaded file = Load(path);
        if (file.state == FileState::Present)
            text = file.text;
    }
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

namespace {

// Runs edit(target, file) on the file at path, resolved through its links and loaded, while the
// write lock and then the cache's mutex are held, in that order for every writer; 0 when the
// path is empty, the lock is not had in time, the links do not resolve or the file is unusable.
template <typename Edit> BOOL EditUnderLock(const char* path, Edit edit)
{
    if (!path || !*path)
        return 0;
    const ProfileLock lock(path);
    if (!lock)
        return 0;
    const std::optional<std::string> target = ResolveLinks(path);
    if (!target)
        return 0;

    const std::lock_guard guard(cacheMutex);
    const Loaded file = Load(target->c_str());
    if (file.state == FileState::Unusable)
        return 0;
    return edit(*target, file);
}

} // namespace

BOOL WritePrivateProfileStringsA(const std::vector<ProfileWrite>& writes, const char* path)
{
    return EditUnderLock(path, [&](const std::string& target, const Loaded& file) -> BOOL {
        const bool exists = file.state == FileState::Present;

        std::optional<std::string> content;
        std::unique_ptr<IniText> rendering;
        if (exists && !cache.utf16.empty()) {
            // An odd byte at the end has no place in UTF-16LE text: such a file is left alone.
            if (cache.utf16.size() % 2 != 0)
                return 0;
            content = EditUtf16(cache.utf16, *file.text, writes, rendering);
        } else {
            // Each write applies to the text the previous one left, exactly as separate calls
            // would. The first write works on the cached parse; later ones parse the text the
            // previous one left.
            const IniText empty({});
            std::optional<IniText> reparsed;
            for (const ProfileWrite& w : writes) {
                const IniText* current = exists ? file.text : &empty;
                if (content)
                    current = &reparsed.emplace(*content);
                std::optional<std::string> next = current->WithValue(w.section, w.key, w.value);
                if (next)
                    content = std::move(next);
            }
        }
        if (!content)
            return 1; // every key already holds its value
        if (!ReplaceFileContents(target, *content))
            return 0;
        Remember(target, std::move(*content), std::move(rendering));
        return 1;
    });
}

BOOL WritePrivateProfileTextA(const std::string& text, const char* path)
{
    return EditUnderLock(path, [&](const std::string& target, const Loaded& file) -> BOOL {
        std::string content;
        std::unique_ptr<IniText> rendering;
        if (file.state == FileState::Present && !cache.utf16.empty()) {
            content.assign(Utf16Mark).append(Cp932ToUtf16Le(text));
            rendering = std::make_unique<IniText>(
                Utf16LeToCp932(std::string_view(content).substr(Utf16Mark.size())));
        } else {
            content = text;
        }
        if (!ReplaceFileContents(target, content))
            return 0;
        Remember(target, std::move(content), std::move(rendering));
        return 1;
    });
}

BOOL WritePrivateProfileStringA(
    const char* section, const char* key, const char* value, const char* path)
{
    if (!section || !key || !value)
        return 0;
    return WritePrivateProfileStringsA({ ProfileWrite { section, key, value } }, path);
}

namespace {

// The locks this process holds, by directory, with the number of their holders.
struct HeldLock
{
    int fd;
    int holders;
};

std::mutex heldMutex;
std::map<std::string, HeldLock> held;

std::string LockedDirectory(const char* path)
{
    const std::string given = path ? path : "";
    const std::string target = ResolveLinks(given).value_or(given);
    const std::size_t slash = target.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
}

// One wait for the lock on fd in the kernel's queue, on a thread of its own so that it can be
// given up after the timeout. A thread given up keeps fd: when the lock comes at last, it lets it
// go at once by closing fd.
struct LockWait
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    int error = 0;
};

enum class LockResult { Locked, Unsupported, TimedOut };

LockResult WaitForLock(int fd, std::chrono::milliseconds timeout)
{
    auto wait = std::make_shared<LockWait>();
    std::thread([wait, fd] {
        int rc = 0;
        do
            rc = flock(fd, LOCK_EX);
        while (rc != 0 && errno == EINTR);
        const int error = rc == 0 ? 0 : errno;
        const std::lock_guard guard(wait->mutex);
        if (wait->abandoned) {
            close(fd);
            return;
        }
        wait->error = error;
        wait->done = true;
        wait->finished.notify_one();
    }).detach();
    std::unique_lock guard(wait->mutex);
    if (!wait->finished.wait_for(guard, timeout, [&] { return wait->done; })) {
        wait->abandoned = true;
        return LockResult::TimedOut;
    }
    return wait->error == 0 ? LockResult::Locked : LockResult::Unsupported;
}

} // namespace

ProfileLock::ProfileLock(const char* path)
    : m_directory(LockedDirectory(path))
{
    {
        const std::lock_guard guard(heldMutex);
        if (const auto it = held.find(m_directory); it != held.end()) {
            ++it->second.holders;
            m_ok = m_held = true;
            return;
        }
    }
    // A directory that does not exist (yet) or cannot be opened has nothing to lock; the write
    // itself then creates it or fails.
    const int fd = open(m_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        m_ok = true;
        return;
    }
    LockResult result = LockResult::Locked;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Another writer holds it: wait in the kernel's queue, which the holder wakes on release.
        // A file system without such locks goes on unlocked, as every write did before.
        result = errno == EWOULDBLOCK ? WaitForLock(fd, ProfileLockTimeout())
                                      : LockResult::Unsupported;
    }
    switch (result) {
    case LockResult::Locked: {
        const std::lock_guard guard(heldMutex);
        held.emplace(m_directory, HeldLock { fd, 1 });
        m_ok = m_held = true;
        return;
    }
    case LockResult::Unsupported:
        close(fd);
        m_ok = true;
        return;
    case LockResult::TimedOut:
        m_ok = false; // the waiting thread owns fd now
        return;
    }
}

ProfileLock::~ProfileLock()
{
    if (!m_held)
        return;
    const std::lock_guard guard(heldMutex);
    const auto it = held.find(m_directory);
    if (it != held.end() && --it->second.holders == 0) {
        close(it->second.fd); // closing lets the lock go
        held.erase(it);
    }
}

std::chrono::milliseconds& ProfileLockTimeout()
{
    static std::chrono::milliseconds timeout { 5000 };
    return timeout;
}

ProfileSnapshot::ProfileSnapshot(const char* path)
{
    const std::lock_guard guard(cacheMutex);
    if (pin.depth++ == 0) {
        pin.path = path ? path : "";
        pin.loaded.reset();
    }
}

ProfileSnapshot::~ProfileSnapshot()
{
    const std::lock_guard guard(cacheMutex);
    if (--pin.depth == 0) {
        pin.path.clear();
        pin.loaded.reset();
        // A large file's parse is let go after its batch of reads instead of being held for the
        // rest of the run: what the batch read is in the caller's hands now, and a later command
        // parses the file anew in a fraction of the time its own write takes.
        if (cache.text && cache.text->Text().size() + cache.utf16.size() > LargeFile) {
            cache.text.reset();
            std::string().swap(cache.utf16);
            cache.valid = false;
        }
    }
}
