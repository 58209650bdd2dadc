#include "platform/file_replace.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <random>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string RandomSuffix()
{
    static std::mt19937_64 engine(std::random_device {}() ^ static_cast<std::uint64_t>(getpid()));
    static constexpr char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(8, '\0');
    for (char& c : suffix)
        c = digits[engine() % (sizeof digits - 1)];
    return suffix;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The temporary names carry the writer's process id, so a later write can tell a leftover of a
// killed writer from the file of a write still under way.
std::string TemporaryName(const std::string& directory, const std::string& base)
{
    return directory + "/." + base + "." + std::to_string(getpid()) + "-" + RandomSuffix() + ".tmp";
}

// The process id in a name that TemporaryName gives for base; 0 for any other name.
pid_t TemporaryWriter(std::string_view name, const std::string& base)
{
    const std::size_t digits = 2 + base.size();
    if (name.size() < digits + 1 + 1 + 8 + 4 || name[0] != '.'
        || name.substr(1, base.size()) != base || name[digits - 1] != '.'
        || name.substr(name.size() - 4) != ".tmp")
        return 0;
    const std::string_view middle = name.substr(digits, name.size() - 4 - digits);
    const std::size_t dash = middle.size() - 9;
    if (middle[dash] != '-' || dash == 0 || dash > 9)
        return 0;
    pid_t pid = 0;
    for (const char c : middle.substr(0, dash)) {
        if (c < '0' || c > '9')
            return 0;
        pid = pid * 10 + (c - '0');
    }
    for (const char c : middle.substr(dash + 1)) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return 0;
    }
    return pid;
}

// A file open for writing the new content, with the name it will have before the rename. The
// file is first made without a name (O_TMPFILE), so a kill while it is written and synced leaves
// nothing; it gets its name only when complete. Where the file system cannot do that, it is
// named from the start.
int OpenTemporary(const std::string& directory, bool& named)
{
#ifdef O_TMPFILE
    const int fd = open(directory.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    if (fd >= 0) {
        named = false;
        return fd;
    }
#endif
    named = true;
    return -1;
}

int OpenNamedTemporary(const std::string& directory, const std::string& base, std::string& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(directory, base);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the unnamed file fd a fresh name in directory.
bool NameTemporary(int fd, const std::string& directory, const std::string& base, std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(directory, base);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Removes what earlier writes to base left when they were killed between naming their temporary
// file and the rename: files of writers that no longer run, and any that are older than a write
// can take (their writer may have run on another machine sharing the directory).
void RemoveLeftoverTemporaries(const std::string& directory, const std::string& base)
{
    constexpr std::time_t stale = 10 * 60;
    DIR* listing = opendir(directory.c_str());
    if (!listing)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(listing)) {
        const pid_t writer = TemporaryWriter(entry->d_name, base);
        if (writer <= 0 || writer == getpid())
            continue;
        struct stat st = {};
        if (fstatat(dirfd(listing), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(st.st_mode))
            continue;
        const bool gone = kill(writer, 0) != 0 && errno == ESRCH;
        if (gone || st.st_mtime + stale < now)
            unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}

} // namespace

std::optional<std::string> ResolveLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st = {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(256, '\0');
        for (;;) {
            const ssize_t length = readlink(path.c_str(), target.data(), target.size());
            if (length < 0)
                return std::nullopt;
            if (static_cast<std::size_t>(length) < target.size()) {
                target.resize(static_cast<std::size_t>(length));
                break;
            }
            target.resize(target.size() * 2);
        }
        const std::size_t slash = path.rfind('/');
        if (target.front() == '/' || slash == std::string::npos)
            path = target;
        else
            path = path.substr(0, slash + 1) + target;
    }
    return std::nullopt; // a loop of links
}

bool ReplaceFileContents(const std::string& path, std::string_view content)
{
    const std::optional<std::string> resolved = ResolveLinks(path);
    if (!resolved || resolved->empty())
        return false;
    const std::string& target = *resolved;

    struct stat old = {};
    const bool exists = stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return false;
    // A write-protected file stays as it is, though the directory would allow replacing it.
    if (exists
        && (!S_ISREG(old.st_mode) || faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0))
        return false;

    const std::size_t slash = target.rfind('/');
    const std::string directory = slash == std::string::npos ? "."
        : slash == 0                                         ? "/"
                                                             : target.substr(0, slash);
    const std::string base =
        (slash == std::string::npos ? target : target.substr(slash + 1)).substr(0, 200);

    // Files that killed writers left are cleared before this write can leave one of its own, so a
    // directory never holds more than one, however many writes in a row are killed.
    RemoveLeftoverTemporaries(directory, base);

    std::string temporary;
    bool named = false;
    int fd = OpenTemporary(directory, named);
    if (named)
        fd = OpenNamedTemporary(directory, base, temporary);
    if (fd < 0)
        return false;

    bool ok = true;
    if (exists) {
        if (geteuid() == 0 && (old.st_uid != geteuid() || old.st_gid != getegid())) {
            // Best effort: root can hand the file back to its owner; nobody else can.
            if (fchown(fd, old.st_uid, old.st_gid) != 0) { }
        }
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && WriteAll(fd, content) && fsync(fd) == 0;
    if (ok && !named)
        ok = named = NameTemporary(fd, directory, base, temporary);
    ok = close(fd) == 0 && ok;
    ok = ok && RenameForReplace()(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        if (named)
            unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; the new content is in place whatever this gives.
    const int directoryFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd >= 0) {
        fsync(directoryFd);
        close(directoryFd);
    }
    return true;
}

std::function<int(const char* from, const char* to)>& RenameForReplace()
{
    static std::function<int(const char*, const char*)> rename = ::rename;
    return rename;
}
