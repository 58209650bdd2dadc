#include "platform/module.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/read_link.h"

DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size)
{
    if (module || !buffer || size == 0)
        return 0;
    const std::optional<std::string> found = ReadLink("/proc/self/exe");
    if (!found)
        return 0;
    const std::string& path = *found;
    if (path.size() < size) {
        std::memcpy(buffer, path.data(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    // Cut: size - 1 bytes and the zero, and the result is size itself.
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    return size;
}

UINT GetWindowsDirectoryA(char* buffer, UINT size)
{
    // There is no Windows directory here; /etc is where system-wide settings files live.
    static constexpr char directory[] = "/etc";
    if (!buffer || size < sizeof directory)
        return sizeof directory; // the size needed, the zero included
    std::memcpy(buffer, directory, sizeof directory);
    return sizeof directory - 1;
}

BOOL DeleteFileA(const char* path)
{
    return path && unlink(path) == 0;
}

BOOL MoveFileExA(const char* from, const char* to, DWORD flags)
{
    if (!from || !to)
        return 0;
    if (flags & MOVEFILE_REPLACE_EXISTING)
        return rename(from, to) == 0;
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 1;
    if (errno != EINVAL && errno != ENOSYS)
        return 0;
    // The file system cannot rename without replacing in one step: check first.
    struct stat st = {};
    if (lstat(to, &st) == 0 || errno != ENOENT)
        return 0;
    return rename(from, to) == 0;
}
