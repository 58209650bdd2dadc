#include "settings/inibrel.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <sys/stat.h>

#include "colour/integer_text.h"
#include "platform/codepage.h"
#include "platform/module.h"
#include "platform/userdirs.h"

namespace {

std::string ProgramFilePath()
{
    // A path cut to the buffer would name a file in one of the program's parent directories, so
    // a longer path is asked for again with room enough.
    std::string buffer(261, '\0');
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}

// The program file's directory, up to and including its last separator.
std::string ProgramDirectory()
{
    const std::string path = ProgramFilePath();
    const std::size_t separator = LastDirectorySeparator(path);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// An installed program (a package, or an install to any prefix) lies in a directory named "bin"
// with the file "../share/tintora/installed" beside it, which the install itself puts there; a
// build tree or a folder of its own has no such file, even where a "share/tintora" folder happens
// to lie beside it. The layout is looked at rather than a path compiled in, so that every prefix,
// and an unpacked package, counts.
bool IsInstalledProgramDirectory(const std::string& directory)
{
    static constexpr std::string_view bin = "/bin/";
    if (directory.size() < bin.size()
        || directory.compare(directory.size() - bin.size(), bin.size(), bin) != 0)
        return false;
    struct stat st = {};
    return ::stat((directory + "../share/tintora/installed").c_str(), &st) == 0
        && S_ISREG(st.st_mode);
}

std::string WindowsDirectory()
{
    // Zero-filled so that a directory too long for the buffer reads as a defined text.
    char buffer[150] = {};
    GetWindowsDirectoryA(buffer, sizeof buffer);
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

} // namespace

std::size_t LastDirectorySeparator(const std::string& path)
{
    // In UTF-8 every byte of a multi-byte character is 0x80 or above, so an ASCII separator byte
    // is always a character of its own; bytes that are not valid UTF-8 are no separators either.
    // (Read as Shift-JIS, a folder name such as one ending in "郎" would swallow the "/" after it.)
    return path.find_last_of("\\:/");
}

std::string DefaultIniName(const std::string& programPath)
{
    const std::size_t separator = LastDirectorySeparator(programPath);
    std::string name =
        separator == std::string::npos ? programPath : programPath.substr(separator + 1);
    name = name.substr(0, name.rfind('.')) + ".INI";
    // Only ASCII letters change case; the bytes of other characters are all 0x80 or above.
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') {
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    }
    return name;
}

TIniBrel::TIniBrel(TComponent* owner)
    : TComponent(owner)
    , m_profile(std::make_unique<TIniFile>(std::string()))
{
}

TIniBrel::~TIniBrel() = default;

void TIniBrel::LoadingComplete()
{
    TComponent::LoadingComplete();
    const bool designing = (ComponentState() & csDesigning) != 0;
    if (m_fileName.empty() && !designing) {
        SetFileName(DefaultIniName(ProgramFilePath()));
    }
    // A component placed in a designer without a stored fence gets the mode that reads both
    // fence kinds.
    if (designing && m_fenceUnassigned) {
        m_fence = fnVer11Mode;
    }
}

void TIniBrel::SetDefaultDir(TIniBrelDefaultDir mode)
{
    m_defaultDir = mode;
    SetFileName(std::string(m_fileName));
}

void TIniBrel::SetFileName(const std::string& name)
{
    m_fileName = name;
    m_profile.reset();
    m_folderToMake.clear();
    std::string path;
    if (LastDirectorySeparator(name) != std::string::npos) {
        path = name;
    } else if (m_defaultDir == ddApplication) {
        const std::string directory = ProgramDirectory();
        if (IsInstalledProgramDirectory(directory)) {
            // Installed, the program's directory belongs to the system and is shared by every
            // user: each user keeps a file of their own in their configuration folder.
            m_folderToMake = UserConfigHome() + "/tintora";
            path = m_folderToMake + "/" + name;
        } else {
            path = directory + name;
        }
    } else if (m_defaultDir == ddWindows) {
        path = WindowsDirectory() + "/" + name;
    } else {
        path = name;
    }
    m_profile = std::make_unique<TIniFile>(std::move(path));
}

void TIniBrel::SetWarningBox(std::function<int(const std::string& message)> box)
{
    m_warningBox = std::move(box);
}

void TIniBrel::SetFence(TIniBrelFence mode)
{
    if (mode != m_fence) {
        if ((ComponentState() & csDesigning) != 0 && m_fence == fnVer11Mode && m_warningBox) {
            static const std::string message =
                Sjis(u8"fnVer11Mode以外の値にすると、TIniBrelのVer1.0とVer1."
                     u8"1で書き込んだﾌｧｲﾙを正しく読めない事があります。");
            m_warningBox(message);
        }
        m_fence = mode;
    }
    m_fenceUnassigned = false;
}

std::string TIniBrel::ReadPlain(
    const std::string& section, const std::string& key, const std::string& def)
{
    return m_profile->GetString(section, key, def);
}

void TIniBrel::PrepareWrite()
{
    // Without the code-page conversions a write would store texts emptied or "?" for what it
    // could not convert, or skip a UTF-16LE file while looking like it went through.
    if (!CodePageConversionsWork()) {
        throw CodePageError();
    }
    // Made at the first write, never at start-up: running the program leaves nothing behind.
    if (!m_folderToMake.empty() && !MakeDirectories(m_folderToMake, 0700)) {
        throw WriteError(Path());
    }
}

void TIniBrel::WritePlain(
    const std::string& section, const std::string& key, const std::string& value)
{
    if (m_pending) {
        m_pending->push_back({ section, key, value });
        return;
    }
    PrepareWrite();
    m_profile->PutString(section, key, value);
}

std::int32_t TIniBrel::ReadInt(const std::string& section, const std::string& key, std::int32_t def)
{
    return m_profile->GetInteger(section, key, def);
}

void TIniBrel::WriteInt(const std::string& section, const std::string& key, std::int32_t value)
{
    if (m_pending) {
        WritePlain(section, key, IntToStr(value));
        return;
    }
    PrepareWrite();
    m_profile->PutInteger(section, key, value);
}

void TIniBrel::WriteTogether(const std::function<void()>& writes)
{
    std::vector<ProfileWrite> pending;
    m_pending = &pending;
    try {
        writes();
    } catch (...) {
        m_pending = nullptr;
        throw;
    }
    m_pending = nullptr;
    PrepareWrite();
    m_profile->PutStrings(pending);
}

std::string TIniBrel::FenceText(const std::string& text) const
{
    switch (m_fence) {
    case fnDoubleQuote:
        return '"' + text + '"';
    case fnParenthesis:
    case fnVer11Mode:
        return '\xA2' + text + '\xA3';
    case fnNone:
        break;
    }
    return text;
}

std::string TIniBrel::ReadFenced(
    const std::string& section, const std::string& key, const std::string& def)
{
    return std::string(Unfenced(ReadPlain(section, key, FenceText(def))));
}

TStringList TIniBrel::ReadFencedNumbered(
    const std::string& section, std::int32_t count, const std::string& def)
{
    TStringList texts;
    // Room for entries of up to 63 bytes: what is not filled costs address space only, and
    // longer ones make the list grow as usual.
    const std::size_t strings = static_cast<std::size_t>(std::max(count, 0));
    texts.reserve(strings, strings * 63);
    m_profile->GetNumberedStrings(section, count, FenceText(def),
        [&](std::string_view text) { texts.push_back(Unfenced(text)); });
    return texts;
}

std::string_view TIniBrel::Unfenced(std::string_view text) const
{
    if (text.size() >= 2) {
        const char first = text.front();
        const char last = text.back();
        const bool quotes =
            first == '"' && last == '"' && (m_fence == fnDoubleQuote || m_fence == fnVer11Mode);
        const bool brackets = first == '\xA2' && last == '\xA3'
            && (m_fence == fnParenthesis || m_fence == fnVer11Mode);
        if (quotes || brackets) {
            return text.substr(1, text.size() - 2);
        }
    }
    return text;
}

void TIniBrel::WriteFenced(
    const std::string& section, const std::string& key, const std::string& value)
{
    WritePlain(section, key, FenceText(value));
}
