#include "platform/file_replace.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>

#include <fcntl.h>
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

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = directory + "/." + base + "." + RandomSuffix() + ".tmp";
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
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
    ok = close(fd) == 0 && ok;
    ok = ok && RenameForReplace()(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
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
