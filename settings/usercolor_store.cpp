#include "settings/usercolor_store.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "colour/integer_text.h"
#include "platform/codepage.h"
#include "platform/ini_text.h"
#include "platform/module.h"
#include "settings/inibrel.h"
#include "settings/profile_file.h"

namespace {

namespace fs = std::filesystem;

// The longest value a profile read hands back (its buffer holds 1024 bytes with the zero).
constexpr std::size_t MaxReadLength = 1023;

/// The user colour section of a settings file read in one pass, giving each key's value as a
/// profile read of that key would. Reading the file once instead of once per key keeps loading
/// and deleting quick with thousands of stored colours.
class SectionSnapshot
{
public:
    explicit SectionSnapshot(std::string bytes)
        : m_text(std::move(bytes))
    {
    }

    /// The value of key, or an empty text when the section has no such key.
    std::string Value(const std::string& key) const
    {
        const std::optional<std::string_view> value = m_text.Find(UserColorSection, key);
        if (!value) {
            return std::string();
        }
        const std::string_view text = value->substr(0, value->find('\0'));
        return std::string(text.substr(0, std::min(text.size(), MaxReadLength)));
    }

    /// The highest numbered entry key from 1 to limit that the section holds, 0 when none.
    std::int32_t HighestEntryKey(std::int32_t limit) const
    {
        for (std::int32_t i = limit; i >= 1; --i) {
            if (m_text.Find(UserColorSection, IntToStr(i))) {
                return i;
            }
        }
        return 0;
    }

private:
    IniText m_text;
};

enum class FileRead { Read, Missing, Failed };

FileRead ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Failed;
    }
    std::ifstream in(path, std::ios::binary);
    if (!S_ISREG(info.st_mode) || !in) {
        return FileRead::Failed;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.bad() ? FileRead::Failed : FileRead::Read;
}

/// The section in one read, when the settings file can be taken in a single pass here: values
/// stored bare (no fence) in a readable file that is not UTF-16. Otherwise each key is read alone.
std::optional<SectionSnapshot> TakeSnapshot(TIniBrel& ini)
{
    if (ini.Fence() != fnNone) {
        return std::nullopt;
    }
    std::string bytes;
    if (ReadWholeFile(ini.Path(), bytes) == FileRead::Failed) {
        return std::nullopt;
    }
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        return std::nullopt;
    }
    return SectionSnapshot(std::move(bytes));
}

/// The number of entries that a stored count stands for: the count itself up to MaxUserColors;
/// above it the highest numbered entry the section really holds.
std::int32_t UsableCount(std::int32_t stored, const std::optional<SectionSnapshot>& snapshot)
{
    if (stored <= MaxUserColors) {
        return stored;
    }
    return snapshot ? snapshot->HighestEntryKey(MaxUserColors) : 0;
}

/// A settings component on a temporary path, writing as the given one does.
class TemporaryIni
{
public:
    TemporaryIni(const TIniBrel& like, const std::string& path)
        : m_ini(nullptr)
    {
        m_ini.SetDefaultDir(ddNone);
        m_ini.SetFence(like.Fence());
        m_ini.SetFileName(path);
    }
    TIniBrel& Ini() { return m_ini; }

private:
    TIniBrel m_ini;
};

/// The file a replacement must go to: a symbolic link is followed, so the link stays.
std::string LinkTarget(const std::string& path)
{
    std::error_code error;
    if (!fs::is_symlink(path, error)) {
        return path;
    }
    const fs::path target = fs::weakly_canonical(path, error);
    return error ? path : target.string();
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

/// Gives the new file the old one's owner and permission bits, or 0666 less umask.
bool TakeOverMode(int fd, const struct stat* old)
{
    if (!old) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return ::fchmod(fd, 0666 & ~mask) == 0;
    }
    if (::geteuid() == 0 && (old->st_uid != 0 || old->st_gid != ::getegid())) {
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            // Best effort: the content matters more than the owner.
        }
    }
    return ::fchmod(fd, old->st_mode & 07777) == 0;
}

/// Builds the settings file's next content in a temporary file beside it and puts it in place
/// with one rename, so the file is either the old one or the new one, never a mix. The temporary
/// starts with `bytes`; `edit`, when given, then changes it through profile writes. Any failure
/// removes the temporary and throws the write error for the settings file's path. As with every
/// profile write, a write-protected file is not replaced.
void ReplaceInOneStep(
    const TIniBrel& ini, const std::string& bytes, const std::function<void(TIniBrel&)>& edit)
{
    const std::string& path = ini.Path();
    const std::string target = LinkTarget(path);
    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (target.empty()
        || (exists
            && (!S_ISREG(old.st_mode)
                || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0))) {
        throw WriteError(path);
    }
    std::string name = target + ".new-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        throw WriteError(path);
    }
    bool ok = TakeOverMode(fd, exists ? &old : nullptr) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    try {
        if (ok && edit) {
            TemporaryIni temporary(ini, name);
            edit(temporary.Ini());
        }
    } catch (const Exception&) {
        ok = false;
    }
    ok = ok && ReplaceFileHook()(name.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) {
        ::unlink(name.c_str());
        throw WriteError(path);
    }
    // Make the rename itself durable; the new content is in place whatever this gives.
    const fs::path directory = fs::path(target).parent_path();
    const int directoryFd =
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (directoryFd >= 0) {
        ::fsync(directoryFd);
        ::close(directoryFd);
    }
}

/// The file that writing the count and then keys 1..N into no file at all leaves behind.
std::string FreshSectionBytes(const std::vector<std::string>& entries)
{
    std::string bytes;
    bytes.append("[").append(UserColorSection).append("]\r\n");
    bytes.append(UserColorCountKey).append("=");
    bytes.append(IntToStr(static_cast<std::int32_t>(entries.size()))).append("\r\n");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        bytes += IntToStr(static_cast<std::int32_t>(i + 1));
        bytes += '=';
        bytes += entries[i];
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace

UserColorLoad LoadUserColors(TIniBrel& ini)
{
    UserColorLoad load;
    load.storedCount = ini.ReadInt(UserColorSection, UserColorCountKey, 0);
    load.count = load.storedCount;
    if (load.storedCount <= 0) {
        return load;
    }
    const std::optional<SectionSnapshot> snapshot = TakeSnapshot(ini);
    if (load.storedCount > MaxUserColors) {
        load.damaged = true;
        load.count = UsableCount(load.storedCount, snapshot);
    }
    load.entries.reserve(static_cast<std::size_t>(load.count));
    for (std::int32_t i = 1; i <= load.count; ++i) {
        const std::string key = IntToStr(i);
        load.entries.push_back(
            snapshot ? snapshot->Value(key) : ini.ReadFenced(UserColorSection, key, ""));
    }
    return load;
}

std::string UserColorName(const std::string& entry)
{
    return entry.size() > 6 ? entry.substr(6) : std::string();
}

std::int32_t RegisterUserColor(TIniBrel& ini, const std::string& entry)
{
    std::int32_t count = ini.ReadInt(UserColorSection, UserColorCountKey, 0);
    if (count > MaxUserColors) {
        count = UsableCount(count, TakeSnapshot(ini));
    }
    if (count >= MaxUserColors) {
        static const std::string full =
            Sjis(u8"ユーザカラーはこれ以上登録できません (") + IntToStr(MaxUserColors) + ")";
        throw Exception(full);
    }
    std::string bytes;
    if (ReadWholeFile(ini.Path(), bytes) == FileRead::Failed) {
        throw WriteError(ini.Path());
    }
    // The count and the entry go into the copy in the usual order, so the file ends up as the
    // two single writes would leave it; but it changes only once both are in.
    const std::int32_t newCount = count + 1;
    ReplaceInOneStep(ini, bytes, [&](TIniBrel& copy) {
        copy.WriteInt(UserColorSection, UserColorCountKey, newCount);
        copy.WriteFenced(UserColorSection, IntToStr(newCount), entry);
    });
    return newCount;
}

UserColorLoad DeleteUserColor(TIniBrel& ini, std::int32_t index)
{
    UserColorLoad stored = LoadUserColors(ini);
    if (index < 0 || static_cast<std::size_t>(index) >= stored.entries.size()) {
        throw ListIndexError(index);
    }
    stored.entries.erase(stored.entries.begin() + index);
    if (ini.Fence() == fnNone) {
        ReplaceInOneStep(ini, FreshSectionBytes(stored.entries), nullptr);
    } else {
        ReplaceInOneStep(ini, std::string(), [&](TIniBrel& copy) {
            const auto count = static_cast<std::int32_t>(stored.entries.size());
            copy.WriteInt(UserColorSection, UserColorCountKey, count);
            for (std::int32_t i = 1; i <= count; ++i) {
                copy.WriteFenced(UserColorSection, IntToStr(i), stored.entries[i - 1]);
            }
        });
    }
    return LoadUserColors(ini);
}

Exception ListIndexError(std::int32_t index)
{
    static const std::string text = Sjis(u8"ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (");
    return Exception(text + IntToStr(index) + ")");
}

Exception DamagedCountError(const UserColorLoad& load)
{
    static const std::string head = Sjis(u8"設定ファイルのユーザカラー数 ");
    static const std::string middle = Sjis(u8" は多すぎるため、保存されている ");
    static const std::string tail = Sjis(u8" 色だけを読み込みました");
    return Exception(head + IntToStr(load.storedCount) + middle + IntToStr(load.count) + tail);
}

std::function<BOOL(const char* from, const char* to, DWORD flags)>& ReplaceFileHook()
{
    static std::function<BOOL(const char*, const char*, DWORD)> hook = MoveFileExA;
    return hook;
}
