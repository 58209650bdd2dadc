#include "platform/profile_lock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
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
    Stale, // no lock file at the name, or locked one that is no longer there: open anew
    Refused, // cannot be locked at all
};

// Gives a new lock file fd the permissions of the settings file, so that every user who may
// write the settings file may lock it too: its permission bits and group, and for root its owner
// (the owner of a file root writes for a user is that user). With no settings file yet, the lock
// file keeps 0666 less the umask, which the settings file will get too.
void ShareLikeTheSettingsFile(int fd, const WriteTarget& target)
{
    struct stat settings = {};
    if (stat(target.path.c_str(), &settings) != 0 || !S_ISREG(settings.st_mode))
        return;
    // Best effort: a user who is not in the settings file's group cannot give the lock file that
    // group, and such a user cannot share the settings file with it either.
    if (fchown(fd, geteuid() == 0 ? settings.st_uid : static_cast<uid_t>(-1), settings.st_gid)
        != 0) { }
    if (fchmod(fd, (settings.st_mode & 0666) | 0600) != 0) { }
}

// Makes the lock file, which then stays for good: the open descriptor, -1 with errno EEXIST when
// another writer made it first, or -1 with another errno when the folder refuses it. It is made
// without a name (O_TMPFILE), given its permissions and only then linked in place, so no writer
// ever sees it with other permissions than its own; a link never replaces an existing file.
int MakeLockFile(const std::string& lockFile, const WriteTarget& target)
{
#ifdef O_TMPFILE
    const int unnamed = open(target.folder.c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0666);
    if (unnamed >= 0) {
        ShareLikeTheSettingsFile(unnamed, target);
        const std::string self = "/proc/self/fd/" + std::to_string(unnamed);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, lockFile.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return unnamed;
        const int error = errno;
        close(unnamed);
        errno = error;
        // EEXIST: another writer made it first. Other failures (no links on this file system, no
        // /proc to name the file by) are left to the named way below.
        if (error == EEXIST)
            return -1;
    }
#endif
    // Where the file system makes no unnamed files (NFS), the file is named from the start: for a
    // moment another user may find it with the umask's permissions (see YoungerThanAWrite).
    const int fd = OpenLockFile(lockFile, O_RDWR | O_CREAT | O_EXCL);
    if (fd >= 0)
        ShareLikeTheSettingsFile(fd, target);
    return fd;
}

// True when the lock file was made or changed a moment ago: a writer on a file system without
// unnamed files may not have given it its permissions yet.
bool YoungerThanAWrite(const std::string& lockFile)
{
    struct stat st = {};
    timespec now = {};
    return stat(lockFile.c_str(), &st) == 0 && clock_gettime(CLOCK_REALTIME, &now) == 0
        && now.tv_sec - st.st_ctim.tv_sec < 2;
}

// True when fd is the file now at lockFile. The name is opened rather than looked at, so that a
// network file system's client asks the server instead of answering from its cache.
bool StillAtItsName(int fd, const std::string& name)
{
    struct stat mine = {};
    if (fstat(fd, &mine) != 0 || mine.st_nlink == 0)
        return false;
    const int now = OpenLockFile(name, O_RDONLY);
    if (now < 0)
        return false;
    struct stat there = {};
    const bool same =
        fstat(now, &there) == 0 && there.st_dev == mine.st_dev && there.st_ino == mine.st_ino;
    close(now); // an open-file-description lock stays, whatever other descriptors close
    return same;
}

// Locks fd, an open of the file at name, for writing (F_WRLCK) or as a shared lock (F_RDLCK).
Attempt TryLock(int fd, const std::string& name, short type)
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
    // Someone may have removed the file by name (an older writer that removed its lock file on
    // release, or a user tidying up): a lock on a file no longer at the name excludes nobody.
    return StillAtItsName(fd, name) ? Attempt::Held : Attempt::Stale;
}

bool IsRegularFile(int fd)
{
    struct stat st = {};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// Opens the lock file for writing, making it when there is none. fd is set on success; otherwise
// Stale when another writer made it between the two opens (try again at once), Busy while a file just
// made may still lack its permissions, and Refused when this user cannot have it: a folder that
// refuses new files, or a lock file of another user that this user may neither write nor read.
//
// A lock file that this user may read but not write (left by an older program for a user who could
// not write the settings file, or kept when the settings file was later shared) is opened for
// reading, and shared is set: the lock is then held in two parts (see ExcludeOtherReaders). It is
// never removed or replaced here: another writer may hold it, and nothing could wait for that
// writer before taking its lock file away.
Attempt OpenForLocking(
    const std::string& lockFile, const WriteTarget& target, int& fd, bool& shared)
{
    shared = false;
    fd = OpenLockFile(lockFile, O_RDWR);
    if (fd >= 0)
        return Attempt::Held;
    if (errno == ENOENT) {
        fd = MakeLockFile(lockFile, target);
        if (fd >= 0)
            return Attempt::Held;
        return errno == EEXIST ? Attempt::Stale : Attempt::Refused;
    }
    if (errno != EACCES)
        return Attempt::Refused;
    fd = OpenLockFile(lockFile, O_RDONLY);
    if (fd >= 0) {
        shared = true;
        return Attempt::Held;
    }
    return errno == EACCES && YoungerThanAWrite(lockFile) ? Attempt::Busy : Attempt::Refused;
}

// The second part of a lock held through a lock file that this user may only read. A shared lock
// on the lock file (F_RDLCK, all that a read-only open allows) keeps out every writer that locks
// it for writing, older programs included, but not the other writers in this position; those
// exclude each other by flock(LOCK_EX) on the same open, which a read-only open allows. On a local
// file system the two kinds of lock do not meet, so this adds nothing to what the writers that
// lock the lock file for writing see. On NFS, where flock is carried out as a write lock and needs
// a write open, it fails, and such a write is refused as before.
//
// A lock on the settings file itself would not do: each write replaces that file, so a second
// writer could lock the new file while the first still holds the old one.
Attempt ExcludeOtherReaders(int fd, const std::string& lockFile)
{
    int rc = 0;
    do
        rc = flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0)
        return errno == EWOULDBLOCK ? Attempt::Busy : Attempt::Refused;
    // As for the fcntl lock: one on a file no longer at the name excludes nobody.
    return StillAtItsName(fd, lockFile) ? Attempt::Held : Attempt::Stale;
}

// What a writer has of the lock while it waits.
struct Progress
{
    int fd = -1; // the lock file
    bool shared = false; // the lock file is open for reading only
    bool lockFileHeld = false; // its fcntl lock is held

    void Close()
    {
        if (fd >= 0)
            close(fd); // also lets go of a lock granted on a file no longer at the name
        fd = -1;
        lockFileHeld = false;
    }
};

// One try at the lock, going on from what progress holds.
Attempt TryOnce(const std::string& lockFile, const WriteTarget& target, Progress& progress)
{
    if (progress.fd < 0) {
        const Attempt opened = OpenForLocking(lockFile, target, progress.fd, progress.shared);
        if (progress.fd < 0)
            return opened;
    }
    if (!progress.lockFileHeld) {
        if (!IsRegularFile(progress.fd))
            return Attempt::Refused;
        const Attempt locked = TryLock(progress.fd, lockFile, progress.shared ? F_RDLCK : F_WRLCK);
        if (locked != Attempt::Held)
            return locked;
        progress.lockFileHeld = true;
    }
    return progress.shared ? ExcludeOtherReaders(progress.fd, lockFile) : Attempt::Held;
}

// Waits for the lock until the deadline; false when it cannot be had, with nothing left open.
bool WaitForLock(const std::string& lockFile, const WriteTarget& target,
    std::chrono::steady_clock::time_point deadline, Progress& progress)
{
    using namespace std::chrono;
    constexpr microseconds firstPause { 100 }, longestPause { 5000 };
    constexpr int quickRetries = 100; // bounds a run of files coming and going between opens
    microseconds pause = firstPause;
    for (int quick = 0;;) {
        switch (TryOnce(lockFile, target, progress)) {
        case Attempt::Held:
            return true;
        case Attempt::Refused:
            progress.Close();
            return false;
        case Attempt::Stale:
            progress.Close();
            pause = firstPause;
            if (++quick < quickRetries)
                continue;
            quick = 0;
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
    progress.Close();
    return false;
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
    // A user who may not write the settings file gets no lock and makes no lock file: such a lock
    // file, made with that user's ownership, could shut out the users who may write it.
    if (!MayReplaceFile(target))
        return;
    Progress progress;
    if (!WaitForLock(
            lockFile, target, std::chrono::steady_clock::now() + ProfileLockTimeout(), progress))
        return;
    held.emplace(lockFile, HeldLock { progress.fd, 1 });
    m_lockFile = std::move(lockFile);
}

ProfileLock::~ProfileLock()
{
    if (m_lockFile.empty())
        return;
    const auto it = held.find(m_lockFile);
    if (it != held.end() && --it->second.holders == 0) {
        // The lock file stays for the next writer; closing lets the lock go.
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
