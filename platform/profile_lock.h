#pragma once

#include <string>

struct WriteTarget;

/// The lock that every write of a profile file holds from its read to its rename, so that writers
/// never lose each other's changes, whether they are threads of one process, processes on one
/// computer or computers sharing the folder over NFS or SMB.
///
/// It is an open-file-description lock (fcntl F_OFD_SETLK) on a lock file beside the settings
/// file, ".<name>.lock": a lock on a regular file, which network file systems carry to the server,
/// held per open of the file, so two threads exclude each other as two processes do. The lock
/// file stays in place for good, so no writer ever removes a file that another may be locking; it
/// is made with the permission bits and group of the settings file (and, made by root, its owner),
/// so every user who may write the settings file may lock it. Whoever holds the lock lets it go by
/// closing the file, also when killed. A writer whose lock was granted on a file that is no longer
/// the one at that name (someone removed it) opens the file at the name and waits again.
///
/// Only a user who may replace the settings file (see MayReplaceFile) takes the lock or makes a
/// lock file; anyone else is refused at once, so a lock file always belongs to a user who may
/// write the settings file. A lock file that this user may read but not write (an older program
/// made it for a user who could not write the settings file, or the settings file was shared
/// later) does not shut this user out: the lock is then a shared lock on the lock file, which
/// keeps out everyone who locks it for writing, together with flock(LOCK_EX) on the same open,
/// which keeps out the others in this position (on a local file system; NFS refuses it). A lock file that this user may neither
/// write nor read refuses the write; it is never removed or replaced, since its owner or root may
/// hold it and nothing could wait for them.
///
/// Readers take no lock: a write replaces the file by a rename, so a reader always sees a whole
/// file. On one thread the lock is taken once and shared by nested holders, so a command can hold
/// it across several reads and writes.
class ProfileLock
{
public:
    /// Waits for the lock of the file at path (its symbolic links followed) for a few seconds,
    /// polling with a bounded back-off on this thread.
    explicit ProfileLock(const char* path);
    /// The same for a target already resolved.
    explicit ProfileLock(const WriteTarget& target);
    ~ProfileLock();
    ProfileLock(const ProfileLock&) = delete;
    ProfileLock& operator=(const ProfileLock&) = delete;

    /// False when the lock could not be had: this user may not replace the settings file, the
    /// lock file cannot be made or opened, the file system refuses locks, or another writer held
    /// it past the wait. The caller must then change nothing.
    explicit operator bool() const { return !m_lockFile.empty(); }

    /// True while this thread holds some ProfileLock.
    static bool HeldByThisThread();

private:
    void Take(const WriteTarget& target);

    std::string m_lockFile; // empty when not held
};
