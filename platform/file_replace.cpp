#include "platform/file_replace.h"

#include <cerrno>
#include <climits>
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

#include "platform/file_replace_p.h"
#include "platform/read_link.h"

namespace {

constexpr std::size_t SuffixLength = 8;
constexpr std::string_view TemporaryEnd = ".tmp";

std::string RandomSuffix()
{
    // One engine per thread: writers on several threads draw names at once.
    thread_local std::mt19937_64 engine(
        std::random_device {}() ^ static_cast<std::uint64_t>(getpid()));
    static constexpr char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(SuffixLength, '\0');
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

// The writer of a temporary file that TemporaryFileName gives for base: its process id and the
// name of its computer; nullopt for any other name.
struct TemporaryWriter
{
    pid_t pid;
    std::string_view host;
};

std::optional<TemporaryWriter> WriterOf(std::string_view name, std::string_view base)
{
    // ".<base>." <pid> "-" <suffix> "." <host> ".tmp"
    if (name.size() < 2 + base.size() || name[0] != '.' || name.substr(1, base.size()) != base
        || name[1 + base.size()] != '.')
        return std::nullopt;
    name.remove_prefix(2 + base.size());
    if (!name.ends_with(TemporaryEnd))
        return std::nullopt;
    name.remove_suffix(TemporaryEnd.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash > 9 || name.size() < dash + 1 + SuffixLength + 2
        || name[dash + 1 + SuffixLength] != '.')
        return std::nullopt;
    pid_t pid = 0;
    for (const char c : name.substr(0, dash)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        pid = pid * 10 + (c - '0');
    }
    for (const char c : name.substr(dash + 1, SuffixLength)) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return std::nullopt;
    }
    return TemporaryWriter { pid, name.substr(dash + 2 + SuffixLength) };
}

// A file open for writing the new content, with the name it will have before the rename. The
// file is first made without a name (O_TMPFILE), so a kill while it is written and synced leaves
// nothing; it gets its name only when complete. Where the file system cannot do that, it is
// named from the start.
int OpenTemporary(const std::string& folder, bool& named)
{
#ifdef O_TMPFILE
    const int fd = open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    if (fd >= 0) {
        named = false;
        return fd;
    }
#endif
    named = true;
    return -1;
}

// The name base has in temporary names: cut so that a temporary name stays within NAME_MAX with
// the longest host name.
std::string_view TemporaryBase(const WriteTarget& target)
{
    return std::string_view(target.name).substr(0, 160);
}

std::string TemporaryPath(const WriteTarget& target)
{
    return target.folder + "/" + TemporaryFileName(TemporaryBase(target), ThisHostName(), getpid());
}

int OpenNamedTemporary(const WriteTarget& target, std::string& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryPath(target);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the unnamed file fd a fresh name beside the target.
bool NameTemporary(int fd, const WriteTarget& target, std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryPath(target);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Removes what earlier writes to the target left when they were killed between naming their
// temporary file and the rename, as far as they can be proven dead: made on this computer, and
// either their writer no longer runs or they are older than any write can take (the process id
// may have been reused). A temporary of another computer sharing the folder is left alone: this
// computer cannot tell whether its writer still runs, and where the lock does not reach the
// server (an NFS mount with "nolock") that writer may be at work right now.
void RemoveLeftoverTemporaries(const WriteTarget& target)
{
    constexpr std::time_t stale = 10 * 60;
    DIR* listing = opendir(target.folder.c_str());
    if (!listing)
        return;
    const std::time_t now = std::time(nullptr);
    const std::string_view base = TemporaryBase(target);
    while (const dirent* entry = readdir(listing)) {
        const std::optional<TemporaryWriter> writer = WriterOf(entry->d_name, base);
        if (!writer || writer->pid <= 0 || writer->host != ThisHostName()
            || writer->pid == getpid())
            continue;
        struct stat st = {};
        if (fstatat(dirfd(listing), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(st.st_mode))
            continue;
        const bool gone = kill(writer->pid, 0) != 0 && errno == ESRCH;
        if (gone || st.st_mtime + stale < now)
            unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}

// The file that a write to path replaces: symbolic links followed to their target.
std::optional<std::string> ResolveLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st = {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        const std::optional<std::string> found = ReadLink(path);
        if (!found || found->empty())
            return std::nullopt;
        const std::string& target = *found;
        const std::size_t slash = path.rfind('/');
        if (target.front() == '/' || slash == std::string::npos)
            path = target;
        else
            path = path.substr(0, slash + 1) + target;
    }
    return std::nullopt; // a loop of links
}

} // namespace

std::string TemporaryFileName(std::string_view base, std::string_view host, pid_t writer)
{
    std::string name = ".";
    name.append(base).append(".").append(std::to_string(writer)).append("-").append(RandomSuffix());
    return name.append(".").append(host).append(TemporaryEnd);
}

const std::string& ThisHostName()
{
    // Cut and cleaned so that it fits in a file name; "localhost" when the system has no name.
    static const std::string host = [] {
        char name[HOST_NAME_MAX + 1] = {};
        if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
            return std::string("localhost");
        std::string text(name);
        for (char& c : text) {
            if (c == '/')
                c = '_';
        }
        return text.substr(0, 64);
    }();
    return host;
}

std::optional<WriteTarget> ResolveWriteTarget(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    std::optional<std::string> resolved = ResolveLinks(path);
    if (!resolved || resolved->empty())
        return std::nullopt;
    const std::size_t slash = resolved->rfind('/');
    WriteTarget target;
    target.folder = slash == std::string::npos ? "."
        : slash == 0                           ? "/"
                                               : resolved->substr(0, slash);
    target.name = slash == std::string::npos ? *resolved : resolved->substr(slash + 1);
    target.path = std::move(*resolved);
    return target;
}

bool MayReplaceFile(const WriteTarget& target)
{
    struct stat folder = {};
    if (stat(target.folder.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)
        || faccessat(AT_FDCWD, target.folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return false;
    struct stat file = {};
    if (stat(target.path.c_str(), &file) != 0)
        return errno == ENOENT;
    // A write-protected file stays as it is, though the folder would allow replacing it.
    if (!S_ISREG(file.st_mode) || faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    // In a sticky folder the kernel lets only the file's owner, the folder's owner and root rename
    // another file over it.
    const uid_t self = geteuid();
    return !(folder.st_mode & S_ISVTX) || self == 0 || self == file.st_uid || self == folder.st_uid;
}

bool ReplaceFileContents(const WriteTarget& target, std::string_view content)
{
    if (!MayReplaceFile(target))
        return false;
    struct stat old = {};
    const bool exists = stat(target.path.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return false;

    // Files that killed writers left are cleared before this write can leave one of its own, so a
    // folder never holds more than one of this computer's, however many writes in a row are killed.
    RemoveLeftoverTemporaries(target);

    std::string temporary;
    bool named = false;
    int fd = OpenTemporary(target.folder, named);
    if (named)
        fd = OpenNamedTemporary(target, temporary);
    if (fd < 0)
        return false;

    bool ok = true;
    if (exists) {
        if (geteuid() == 0 && (old.st_uid != geteuid() || old.st_gid != getegid())) {
            // Best effort: root can hand the file back to its owner; nobody else can.
            if (fchown(fd, old.st_uid, old.st_gid) != 0) { }
        } else if (old.st_gid != getegid()) {
            // A member of the file's group keeps the file in it, so that a file shared by a group
            // stays writable by the group after one of its members writes it. Best effort: who is
            // not in the group cannot, and then the file takes this user's group.
            if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) { }
        }
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && WriteAll(fd, content) && fsync(fd) == 0;
    if (ok && !named)
        ok = named = NameTemporary(fd, target, temporary);
    ok = close(fd) == 0 && ok;
    ok = ok && RenameForReplace()(temporary.c_str(), target.path.c_str()) == 0;
    if (!ok) {
        if (named)
            unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; the new content is in place whatever this gives.
    const int folderFd = open(target.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    return true;
}

std::function<int(const char* from, const char* to)>& RenameForReplace()
{
    static std::function<int(const char*, const char*)> rename = ::rename;
    return rename;
}
