#include "platform/profile_cache.h"

#include <cerrno>
#include <cstdint>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/profile.h"

// Reads parse the file once and keep it while it is unchanged, so reading the keys of a large
// section one call at a time costs one parse, not one per key. Every call still looks at the file,
// so a change by another program is seen by the next call, except inside a ProfileSnapshot, which
// looks once for a whole batch of reads.

namespace {

std::int64_t Nanoseconds(const timespec& t)
{
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// What tells one state of a file from another without reading it.
struct FileIdentity
{
    dev_t device;
    ino_t inode;
    off_t size;
    std::int64_t modified;
    std::int64_t changed;

    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& st)
{
    return { st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim) };
}

// True when any later change of the file must give it a change time different from the one in st.
// A change stamps the file with the kernel's coarse clock, cut to the file system's granularity, so
// two writes within one tick can leave the same times. A file changed more than a tick (plus the
// granularity) before we looked at it is safe; a younger one is read anew at every call until it
// has been quiet that long. Whole-second change times mean a coarse file system: allow 2 seconds.
bool LaterChangesShowInTimes(const struct stat& st, const timespec& lookedAt)
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
struct ParsedFileCache
{
    std::shared_ptr<FileParse> parse; // null when nothing is kept
    bool identityHolds = false; // LaterChangesShowInTimes held when the identity was taken
    FileIdentity identity {};
};

ParsedFileCache cache;

// The path that a ProfileSnapshot on this thread holds still, and what its first load found.
struct SnapshotOfThread
{
    std::string path;
    int depth = 0;
    std::optional<LoadedFile> loaded;
    bool loadedFresh = false; // loaded under the write lock, as a write needs it
};

thread_local SnapshotOfThread snapshot;

// Beyond this size a file's parse is not kept after a ProfileSnapshot ends.
constexpr std::size_t LargeFile = 1 << 20;

bool IsUtf16(std::string_view bytes)
{
    return bytes.starts_with(Utf16Mark);
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

FileState StateAfterFailure(int error)
{
    return error == ENOENT || error == ENOTDIR ? FileState::Missing : FileState::Unusable;
}

bool CacheHolds(const struct stat& st)
{
    return cache.parse && cache.identityHolds && cache.identity == IdentityOf(st);
}

// Loads the file at path, from the cache when the cache holds it unchanged.
LoadedFile LoadNow(const char* path, bool fresh)
{
    timespec lookedAt {};
    clock_gettime(CLOCK_REALTIME, &lookedAt);
    struct stat st = {};
    if (!fresh) {
        if (stat(path, &st) != 0)
            return { StateAfterFailure(errno), nullptr };
        if (!S_ISREG(st.st_mode))
            return { FileState::Unusable, nullptr };
        if (CacheHolds(st))
            return { FileState::Present, cache.parse };
    }

    // O_NONBLOCK: a FIFO swapped in after the stat must not block the open.
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return { StateAfterFailure(errno), nullptr };
    std::string bytes;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const bool unchanged = ok && CacheHolds(st);
    ok = ok && (unchanged || ReadAll(fd, static_cast<std::size_t>(st.st_size), bytes));
    close(fd);
    if (!ok)
        return { FileState::Unusable, nullptr };
    if (unchanged)
        return { FileState::Present, cache.parse };

    // Unchanged bytes keep the parse (and its key indexes) of the previous call.
    const bool utf16 = IsUtf16(bytes);
    // A UTF-16LE file whose text cannot be converted would read as empty and be written so.
    if (utf16 && !CodePageConversionsWork())
        return { FileState::Unusable, nullptr };
    const FileParse* old = cache.parse.get();
    const bool sameKind = old && !old->utf16.empty() == utf16; // both UTF-16LE, or both not
    const bool same = sameKind && (utf16 ? old->utf16 == bytes : old->text->Text() == bytes);
    if (!same) {
        auto parse = std::make_shared<FileParse>();
        if (utf16) {
            parse->text = std::make_unique<IniText>(
                Utf16LeToCp932(std::string_view(bytes).substr(Utf16Mark.size())));
            parse->utf16 = std::move(bytes);
        } else {
            parse->text = std::make_unique<IniText>(std::move(bytes));
        }
        cache.parse = std::move(parse);
    }
    cache.identity = IdentityOf(st);
    cache.identityHolds = LaterChangesShowInTimes(st, lookedAt);
    return { FileState::Present, cache.parse };
}

} // namespace

std::mutex& ProfileCacheMutex()
{
    static std::mutex mutex;
    return mutex;
}

LoadedFile LoadParsedFile(const char* path, bool fresh)
{
    const bool pinned = snapshot.depth > 0 && snapshot.path == path;
    // A write reads the file afresh under its lock even inside a snapshot: the snapshot's earlier
    // load may predate another writer's change, which the write would otherwise undo.
    if (pinned && snapshot.loaded && (!fresh || snapshot.loadedFresh))
        return *snapshot.loaded;
    LoadedFile loaded = LoadNow(path, fresh);
    if (pinned) {
        snapshot.loaded = loaded;
        snapshot.loadedFresh = fresh;
    }
    return loaded;
}

void KeepWrittenFile(
    const std::string& path, std::string content, std::unique_ptr<IniText> rendering)
{
    struct stat st = {};
    const bool present = stat(path.c_str(), &st) == 0;
    auto parse = std::make_shared<FileParse>();
    if (rendering) {
        parse->utf16 = std::move(content);
        parse->text = std::move(rendering);
    } else {
        parse->text = std::make_unique<IniText>(std::move(content));
    }
    cache.parse = present ? std::move(parse) : nullptr;
    cache.identityHolds = false;
    cache.identity = IdentityOf(st);
    snapshot.loaded.reset();
}

ProfileSnapshot::ProfileSnapshot(const char* path)
{
    const std::lock_guard guard(ProfileCacheMutex());
    if (snapshot.depth++ == 0) {
        snapshot.path = path ? path : "";
        snapshot.loaded.reset();
    }
}

ProfileSnapshot::~ProfileSnapshot()
{
    const std::lock_guard guard(ProfileCacheMutex());
    if (--snapshot.depth == 0) {
        snapshot.path.clear();
        snapshot.loaded.reset();
        // A large file's parse is let go after its batch of reads instead of being held for the
        // rest of the run: what the batch read is in the caller's hands now, and a later command
        // parses the file anew in a fraction of the time its own write takes.
        if (cache.parse && cache.parse->text->Text().size() + cache.parse->utf16.size() > LargeFile)
            cache.parse.reset();
    }
}
