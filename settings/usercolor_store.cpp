#include "settings/usercolor_store.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>
#include <unordered_map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "colour/integer_text.h"
#include "platform/codepage.h"
#include "platform/module.h"
#include "settings/inibrel.h"
#include "settings/profile_file.h"

namespace {

// The longest value a profile read hands back (its buffer holds 1024 bytes with the zero).
constexpr std::size_t MaxReadLength = 1023;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string_view text)
{
    std::string lowered(text);
    for (char& c : lowered) {
        c = LowerAscii(c);
    }
    return lowered;
}

/// One section of a settings file read in a single pass, with the values as a profile read of
/// each key would return them. Reading the file once instead of once per key keeps loading and
/// deleting fast with thousands of stored colours.
class SectionSnapshot
{
public:
    /// The value of key, or an empty text when the section has no such key.
    std::string Value(const std::string& key) const
    {
        const auto found = m_values.find(LowerAscii(key));
        return found == m_values.end() ? std::string() : found->second;
    }

    /// The highest key from 1 to limit that is written in plain decimal, 0 when there is none.
    std::int32_t HighestNumberedKey(std::int32_t limit) const
    {
        std::int32_t highest = 0;
        for (const auto& [key, value] : m_values) {
            if (key.empty() || key.size() > 9 || key.front() == '0') {
                continue;
            }
            std::int32_t number = 0;
            bool digits = true;
            for (char c : key) {
                digits = digits && c >= '0' && c <= '9';
                number = digits ? number * 10 + (c - '0') : 0;
            }
            if (digits && number <= limit && number > highest) {
                highest = number;
            }
        }
        return highest;
    }

    /// Parses text the way the profile read does: lines end at CR LF, LF or CR; blanks around
    /// lines, names and values are ignored; a header runs from "[" to the first "]"; names match
    /// without regard to ASCII case; only the first section with the name counts and in it the
    /// first line of a key; ";" lines are invisible; one pair of like quotes is taken off a value.
    static SectionSnapshot Parse(std::string_view text, std::string_view section)
    {
        SectionSnapshot snapshot;
        const std::string wanted = LowerAscii(section);
        enum { Before, Inside, After } state = Before;
        std::size_t pos = 0;
        while (pos < text.size() && state != After) {
            std::size_t end = text.find_first_of("\r\n", pos);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            const std::string_view line = TrimBlanks(text.substr(pos, end - pos));
            pos = end + 1;
            if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') {
                ++pos;
            }
            if (line.empty() || line.front() == ';') {
                continue;
            }
            if (line.front() == '[') {
                std::string_view name = line.substr(1);
                name = name.substr(0, name.find(']'));
                const bool match = LowerAscii(TrimBlanks(name)) == wanted;
                if (state == Inside) {
                    state = After;
                } else if (match) {
                    state = Inside;
                }
                continue;
            }
            const std::size_t equals = line.find('=');
            if (state != Inside || equals == std::string_view::npos) {
                continue;
            }
            std::string key = LowerAscii(TrimBlanks(line.substr(0, equals)));
            std::string_view value = TrimBlanks(line.substr(equals + 1));
            if (value.size() >= 2 && value.front() == value.back()
                && (value.front() == '"' || value.front() == '\'')) {
                value = value.substr(1, value.size() - 2);
            }
            // A read counts the value's length in 16 bits, then cuts it to its buffer.
            value = value.substr(0, std::min<std::size_t>(value.size() & 0xFFFF, MaxReadLength));
            snapshot.m_values.emplace(std::move(key), std::string(value));
        }
        return snapshot;
    }

private:
    std::unordered_map<std::string, std::string> m_values;
};

enum class FileRead { Read, Missing, Failed };

FileRead ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        struct stat info;
        return ::stat(path.c_str(), &info) != 0 && errno == ENOENT ? FileRead::Missing
                                                                   : FileRead::Failed;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.bad() ? FileRead::Failed : FileRead::Read;
}

/// The section in one read, when the settings file can be taken in a single pass here: values
/// stored bare (no fence) in a file that is not UTF-16. Otherwise every key is read on its own.
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
    return SectionSnapshot::Parse(bytes, UserColorSection);
}

/// The number of entries that a stored count stands for: the count itself up to MaxUserColors;
/// above it the highest numbered entry the section really holds.
std::int32_t UsableCount(std::int32_t stored, const std::optional<SectionSnapshot>& snapshot)
{
    if (stored <= MaxUserColors) {
        return stored;
    }
    return snapshot ? snapshot->HighestNumberedKey(MaxUserColors) : 0;
}

/// A settings-file-like object on a temporary path, writing as IniBrel1 does.
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

mode_t NewFileMode(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) {
        return info.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
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

/// Builds the settings file's next content in a temporary file beside it, then puts it in place
/// with one rename, so the file is either the old one or the new one, never a mix. The temporary
/// starts with `bytes`; `edit`, when given, then changes it through profile writes. Any failure
/// removes the temporary and throws the write error for path.
void ReplaceInOneStep(
    const TIniBrel& ini, const std::string& bytes, const std::function<void(TIniBrel&)>& edit)
{
    const std::string path = ini.Path();
    std::string name = path + ".new-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        throw WriteError(path);
    }
    bool ok = ::fchmod(fd, NewFileMode(path)) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    try {
        if (ok && edit) {
            TemporaryIni temporary(ini, name);
            edit(temporary.Ini());
        }
    } catch (const Exception&) {
        ok = false;
    }
    ok = ok && ReplaceFileHook()(name.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) {
        ::unlink(name.c_str());
        throw WriteError(path);
    }
}

/// The file that writing the count and then keys 1..N into no file at all leaves behind.
std::string FreshSectionBytes(const std::vector<std::string>& entries)
{
    std::string bytes = "[" + std::string(UserColorSection) + "]\r\n" + UserColorCountKey + "="
        + IntToStr(static_cast<std::int32_t>(entries.size())) + "\r\n";
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
