#include "platform/profile_lock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_replace.h"
#include "platform/profile_lock_p.h"

namespace {

// The locks this thread holds, by lock file, with the number of their holders.
struct HeldLock
{
    int fd;
    int holders;
};

thread_local std::map<std::string, HeldLock> held;

std::string LockFileOf(const WriteTarget& target)
{
    // Cut so that the lock file's name stays within NAME_MAX for any settings file name.
    return target.folder + "/." + target.name.substr(0, 200) + ".lock";
}

int OpenLockFile(const std::string& lockFile, int flags)
{
    // O_NOFOLLOW: a link put in the lock file's place is refused, not followed; O_NONBLOCK: a FIFO
    // put there cannot block the open (and then fails the check for a regular file).
    return open(lockFile.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
}

enum class Attempt {
    Held, // locked, and the lock file is the one at its name
    Busy, // another writer holds it
    Stale, // locked a file that is no longer at the name (its holder removed it): open anew
    Refused, // cannot be locked at all
};

// True when fd is the file now at lockFile. The name is opened rather than looked at, so that a
// network file system's client asks the server instead of answering from its cache.
bool StillAtItsName(int fd, const std::string& lockFile)
{
    struct stat mine = {};
    if (fstat(fd, &mine) != 0 || mine.st_nlink == 0)
        return false;
    const int now = OpenLockFile(lockFile, O_RDONLY);
    if (now < 0)
        return false;
    struct stat there = {};
    const bool same =
        fstat(now, &there) == 0 && there.st_dev == mine.st_dev && there.st_ino == mine.st_ino;
    close(now); // an open-file-description lock stays, whatever other descriptors close
    return same;
}

// type: F_WRLCK to write, F_RDLCK to learn that no writer holds the lock.
Attempt TryLock(int fd, const std::string& lockFile, short type)
{
    struct flock whole = {};
    whole.l_type = type;
    whole.l_whence = SEEK_SET; // from the start to the end, however the file grows
    int rc = 0;
    do
        rc = fcntl(fd, F_OFD_SETLK, &whole);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        switch (errno) {
        case EAGAIN:
        case EACCES:
            return Attempt::Busy;
        case ESTALE:
            return Attempt::Stale;
        default:
            // No locks here (ENOLCK: an NFS mount whose lock service does not answer, EOPNOTSUPP,
            // EINVAL: a kernel without such locks): a write cannot be made safe, so none is made.
            return Attempt::Refused;
        }
    }
    return StillAtItsName(fd, lockFile) ? Attempt::Held : Attempt::Stale;
}

bool IsRegularFile(int fd)
{
    struct stat st = {};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// A lock file that this user cannot open for writing was made by another user's writer, and is
// left over when that writer was killed before removing it. A read lock on it is granted only
// while no writer holds it: then it is left over and is removed, and the next attempt makes it
// anew (Stale). Busy while its writer is at work; Refused when it cannot be removed.
Attempt ClearLeftLockFile(const std::string& lockFile)
{
    const int fd = OpenLockFile(lockFile, O_RDONLY);
    if (fd < 0)
        return Attempt::Refused; // none there: the folder itself refuses new files
    Attempt attempt = IsRegularFile(fd) ? TryLock(fd, lockFile, F_RDLCK) : Attempt::Refused;
    if (attempt == Attempt::Held)
        attempt =
            unlink(lockFile.c_str()) == 0 || errno == ENOENT ? Attempt::Stale : Attempt::Refused;
    close(fd);
    return attempt;
}

// The descriptor of the locked lock file, or -1 when the lock cannot be had by the deadline.
int WaitForLock(const std::string& lockFile, std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    constexpr microseconds firstPause { 100 }, longestPause { 5000 };
    microseconds pause = firstPause;
    int fd = -1;
    for (;;) {
        if (fd < 0)
            fd = OpenLockFile(lockFile, O_RDWR | O_CREAT);
        Attempt attempt = Attempt::Refused;
        if (fd >= 0)
            attempt = IsRegularFile(fd) ? TryLock(fd, lockFile, F_WRLCK) : Attempt::Refused;
        else if (errno == EACCES)
            attempt = ClearLeftLockFile(lockFile);
        switch (attempt) {
        case Attempt::Held:
            return fd;
        case Attempt::Refused:
            if (fd >= 0)
                close(fd);
            return -1;
        case Attempt::Stale:
            if (fd >= 0)
                close(fd); // also lets go of a lock granted on the stale file
            fd = -1;
            pause = firstPause;
            break;
        case Attempt::Busy:
            break;
        }
        const auto now = steady_clock::now();
        if (now >= deadline)
            break;
        // Polls: the thread that asked waits itself, and nothing is left behind when it gives up.
        std::this_thread::sleep_for(std::min<steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, longestPause);
    }
    if (fd >= 0)
        close(fd);
    return -1;
}

} // namespace

ProfileLock::ProfileLock(const char* path)
{
    if (const std::optional<WriteTarget> target = ResolveWriteTarget(path ? path : ""))
        Take(*target);
}

ProfileLock::ProfileLock(const WriteTarget& target)
{
    Take(target);
}

void ProfileLock::Take(const WriteTarget& target)
{
    std::string lockFile = LockFileOf(target);
    if (const auto it = held.find(lockFile); it != held.end()) {
        ++it->second.holders;
        m_lockFile = std::move(lockFile);
        return;
    }
    const int fd = WaitForLock(lockFile, std::chrono::steady_clock::now() + ProfileLockTimeout());
    if (fd < 0)
        return;
    held.emplace(lockFile, HeldLock { fd, 1 });
    m_lockFile = std::move(lockFile);
}

ProfileLock::~ProfileLock()
{
    if (m_lockFile.empty())
        return;
    const auto it = held.find(m_lockFile);
    if (it != held.end() && --it->second.holders == 0) {
        // Removed while still locked, so nobody can take a lock on it that a later writer, making
        // the file anew, would not see; closing then lets the lock go.
        unlink(m_lockFile.c_str());
        close(it->second.fd);
        held.erase(it);
    }
}

bool ProfileLock::HeldByThisThread()
{
    return !held.empty();
}

std::chrono::milliseconds& ProfileLockTimeout()
{
    static std::chrono::milliseconds timeout { 5000 };
    return timeout;
}
