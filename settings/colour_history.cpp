#include "settings/colour_history.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "colour/ascii_text.h"
#include "colour/conversions.h"
#include "platform/file_replace.h"
#include "platform/profile_lock.h"
#include "platform/userdirs.h"

namespace {

// A history of 50 lines is under 500 bytes; anything much larger is not one, and is not read
// into memory.
constexpr off_t LargestFile = 64 * 1024;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view line)
{
    while (!line.empty() && IsBlank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back()))
        line.remove_suffix(1);
    return line;
}

std::optional<Rgb> ColourOfLine(std::string_view line)
{
    if (line.size() != 7 || line[0] != '#')
        return std::nullopt;
    int components[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigitValue(line[1 + 2 * i]);
        const int low = HexDigitValue(line[2 + 2 * i]);
        if (high < 0 || low < 0)
            return std::nullopt;
        components[i] = high * 16 + low;
    }
    return Rgb { components[0], components[1], components[2] };
}

// The whole file, or nullopt when it cannot be read; a missing file reads as empty.
std::optional<std::string> FileText(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
    std::optional<std::string> text;
    struct stat st = {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= LargestFile) {
        std::string read(static_cast<std::size_t>(LargestFile) + 1, '\0');
        std::size_t got = 0;
        for (;;) {
            const ssize_t n = ::read(fd, read.data() + got, read.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                break;
            got += static_cast<std::size_t>(n);
            if (n == 0 || got == read.size()) {
                // A file that grew past the limit while being read is as large as one that was.
                if (got <= static_cast<std::size_t>(LargestFile))
                    text = read.substr(0, got);
                break;
            }
        }
    }
    ::close(fd);
    return text;
}

// Edits the history at path under its write lock.
template <typename Edit> bool EditHistory(const std::string& path, Edit edit)
{
    const std::optional<WriteTarget> target = ResolveWriteTarget(path);
    if (!target || !MakeDirectories(target->folder, 0700))
        return false;
    const ProfileLock lock(*target);
    if (!lock)
        return false;
    const ColourHistory now = ReadColourHistory(target->path);
    if (now.state == ColourHistory::State::Unreadable)
        return false;
    return ReplaceFileContents(*target, ColourHistoryText(edit(now.colours)));
}

} // namespace

std::string ColourHistoryPath()
{
    return UserStateHome() + "/tintora/recent-colours";
}

ColourHistory ParseColourHistory(std::string_view text)
{
    ColourHistory history;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (line.empty())
            continue;
        const std::optional<Rgb> colour = ColourOfLine(line);
        if (!colour) {
            if (history.state == ColourHistory::State::Read) {
                history.state = ColourHistory::State::Damaged;
                history.damagedLine = lineNumber;
            }
            continue;
        }
        if (history.colours.size() < ColourHistoryLimit
            && std::find(history.colours.begin(), history.colours.end(), *colour)
                == history.colours.end())
            history.colours.push_back(*colour);
    }
    return history;
}

std::string ColourHistoryText(const std::vector<Rgb>& colours)
{
    std::string text;
    for (const Rgb& colour : colours)
        text += '#' + ColorToHex(ColorOf(colour)) + '\n';
    return text;
}

std::vector<Rgb> WithColourOnTop(std::vector<Rgb> colours, Rgb colour)
{
    colours.erase(std::remove(colours.begin(), colours.end(), colour), colours.end());
    colours.insert(colours.begin(), colour);
    if (colours.size() > ColourHistoryLimit)
        colours.resize(ColourHistoryLimit);
    return colours;
}

ColourHistory ReadColourHistory(const std::string& path)
{
    const std::optional<std::string> text = FileText(path);
    if (!text) {
        ColourHistory unreadable;
        unreadable.state = ColourHistory::State::Unreadable;
        return unreadable;
    }
    return ParseColourHistory(*text);
}

bool RememberColour(const std::string& path, Rgb colour)
{
    return EditHistory(path,
        [colour](std::vector<Rgb> colours) { return WithColourOnTop(std::move(colours), colour); });
}

bool ClearColourHistory(const std::string& path)
{
    return EditHistory(path, [](const std::vector<Rgb>&) { return std::vector<Rgb>(); });
}
