#include "platform/userdirs.h"

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsAbsolute(const char* path)
{
    return path && path[0] == '/';
}

bool IsDirectory(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The home directory the password database gives the real user; empty when it has none.
std::string PasswordHome()
{
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 4096);
    passwd entry = {};
    passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE
        && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    return found && IsAbsolute(found->pw_dir) ? std::string(found->pw_dir) : std::string();
}

std::string WithoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string HomeDirectory()
{
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home))
        return WithoutTrailingSeparators(home);
    std::string fromDatabase = PasswordHome();
    return fromDatabase.empty() ? std::string("/") : WithoutTrailingSeparators(fromDatabase);
}

namespace {

// The XDG base directory named by variable, else below inHome in the home directory.
std::string BaseDirectory(const char* variable, const char* inHome)
{
    const char* set = std::getenv(variable);
    if (IsAbsolute(set))
        return WithoutTrailingSeparators(set);
    const std::string home = HomeDirectory();
    return (home == "/" ? std::string() : home) + inHome;
}

} // namespace

std::string UserConfigHome()
{
    return BaseDirectory("XDG_CONFIG_HOME", "/.config");
}

std::string UserStateHome()
{
    return BaseDirectory("XDG_STATE_HOME", "/.local/state");
}

bool MakeDirectories(const std::string& directory, mode_t mode)
{
    if (directory.empty())
        return false;
    if (IsDirectory(directory))
        return true;
    // Each directory from the top down; one that exists already is no failure, whatever mkdir
    // says of it (a parent the user may not write answers EACCES rather than EEXIST on some
    // file systems).
    for (std::size_t end = directory.find('/', 1);; end = directory.find('/', end + 1)) {
        const std::string prefix = directory.substr(0, end);
        if (::mkdir(prefix.c_str(), mode) != 0 && !IsDirectory(prefix))
            return false;
        if (end == std::string::npos)
            break;
    }
    return IsDirectory(directory);
}
