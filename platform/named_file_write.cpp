#include "platform/named_file_write.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_replace.h"

namespace {

/// Closes the descriptor when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

NamedFileWriteError Failed(int error)
{
    return { NamedFileWriteError::System, error };
}

NamedFileWriteError NotAFile(mode_t mode)
{
    return { NamedFileWriteError::NotAFile, static_cast<int>(mode & S_IFMT) };
}

// Writes content into the regular file open as fd, from its start, and cuts it there.
NamedFileWriteError WriteInPlace(Descriptor& fd, std::string_view content)
{
    struct stat st = {};
    if (fstat(fd.Get(), &st) != 0)
        return Failed(errno);
    if (!S_ISREG(st.st_mode))
        return NotAFile(st.st_mode);
    // Blocking writes from here on: a regular file never blocks for long.
    const int flags = fcntl(fd.Get(), F_GETFL);
    if (flags >= 0)
        fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
    if (ftruncate(fd.Get(), 0) != 0)
        return Failed(errno);
    for (std::string_view rest = content; !rest.empty();) {
        const ssize_t written = write(fd.Get(), rest.data(), rest.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return Failed(errno);
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    if (fsync(fd.Get()) != 0)
        return Failed(errno);
    if (close(fd.Release()) != 0)
        return Failed(errno);
    return {};
}

// True when a folder on the way to the file is a link that IsForeignLink refuses: the system's
// protection applies to every link a path follows, not only to its last part.
bool PassesForeignLink(const std::string& folder)
{
    for (std::size_t start = 0; start < folder.size();) {
        const std::size_t slash = folder.find('/', start);
        const std::size_t stop = slash == std::string::npos ? folder.size() : slash;
        struct stat link = {};
        if (stop > start && lstat(folder.substr(0, stop).c_str(), &link) == 0
            && S_ISLNK(link.st_mode)) {
            const std::string parent = start == 0 ? std::string(".") : folder.substr(0, start);
            struct stat holder = {};
            if (stat(parent.c_str(), &holder) == 0
                && IsForeignLink(holder.st_mode, holder.st_uid, link.st_uid))
                return true;
        }
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return false;
}

} // namespace

bool IsForeignLink(unsigned folderMode, unsigned folderOwner, unsigned linkOwner)
{
    const bool shared = (folderMode & S_ISVTX) != 0 && (folderMode & S_IWOTH) != 0;
    return shared && linkOwner != geteuid() && linkOwner != folderOwner;
}

NamedFileWriteError WriteNamedFile(const std::string& path, std::string_view content)
{
    if (path.empty())
        return Failed(ENOENT);
    const std::size_t slash = path.rfind('/');
    WriteTarget target;
    target.path = path;
    target.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    target.name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (target.name.empty() || target.name == "." || target.name == "..")
        return Failed(EISDIR);

    if (PassesForeignLink(target.folder))
        return { NamedFileWriteError::ForeignLink, 0 };
    const Descriptor folder(open(target.folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0)
        return Failed(errno);
    struct stat folderStat = {};
    if (fstat(folder.Get(), &folderStat) != 0)
        return Failed(errno);
    struct stat st = {};
    const bool exists = fstatat(folder.Get(), target.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return Failed(errno);

    if (exists && S_ISLNK(st.st_mode)) {
        // In a shared sticky folder only a link of this user's or of the folder's owner can be
        // there still when it is opened: nobody else may remove or rename it.
        if (IsForeignLink(folderStat.st_mode, folderStat.st_uid, st.st_uid))
            return { NamedFileWriteError::ForeignLink, 0 };
        Descriptor fd(openat(folder.Get(), target.name.c_str(),
            O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
        if (fd.Get() < 0)
            return Failed(errno);
        return WriteInPlace(fd, content);
    }

    if (exists && !S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? Failed(EISDIR) : NotAFile(st.st_mode);
    if (exists && faccessat(folder.Get(), target.name.c_str(), W_OK, AT_EACCESS) != 0)
        return Failed(errno);
    // The rename puts the new file in place of whatever then stands under the name; it never
    // writes through a link that might have been planted since the look above.
    errno = 0;
    if (!ReplaceFileContents(target, content))
        return Failed(errno != 0 ? errno : EIO);
    return {};
}
