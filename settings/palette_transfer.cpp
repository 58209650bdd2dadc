#include "settings/palette_transfer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "colour/exception.h"
#include "platform/codepage.h"
#include "platform/file_replace.h"
#include "settings/profile_file.h"
#include "settings/usercolor_store.h"

namespace {

/// The longest name an entry can hold and still be read back whole: a read gives at most 1023
/// bytes, of which the code takes six.
constexpr std::size_t MaxNameBytes = 1023 - 6;

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

std::string LowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

ImportPlan PlanImport(const GimpPalette& palette)
{
    static const std::string unrepresentable =
        Sjis(u8"名前に Shift-JIS (CP932) で表せない文字があります");
    static const std::string tooLong = Sjis(u8"名前が長すぎます (Shift-JIS で 1017 バイトまで)");
    static const std::string control = Sjis(u8"名前に NUL 文字があります");
    ImportPlan plan;
    plan.entries.reserve(palette.colours.size());
    for (const PaletteColour& colour : palette.colours) {
        char code[8];
        std::snprintf(code, sizeof code, "%02X%02X%02X", colour.red, colour.green, colour.blue);
        std::size_t lost = std::string::npos;
        const std::string name =
            colour.name.empty() ? std::string(code) : Utf8ToCp932(colour.name, &lost);
        const std::string* reason = nullptr;
        if (lost != std::string::npos)
            reason = &unrepresentable;
        else if (name.find('\0') != std::string::npos)
            reason = &control;
        else if (name.size() > MaxNameBytes)
            reason = &tooLong;
        if (reason) {
            plan.problems.push_back({ colour.line, colour.name, *reason });
            continue;
        }
        plan.entries.push_back(code + name);
    }
    return plan;
}

ExportPlan PlanExport(const TStringList& entries)
{
    static const std::string notACode = Sjis(u8"色コードが 16 進 6 桁ではありません");
    ExportPlan plan;
    plan.colours.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view entry = entries[i];
        const auto key = static_cast<std::int32_t>(i + 1);
        bool code = entry.size() >= 6;
        for (std::size_t k = 0; code && k < 6; ++k)
            code = IsHexDigit(entry[k]);
        if (!code) {
            plan.leftOut.push_back({ key, Cp932ToUtf8(entry), notACode });
            continue;
        }
        PaletteColour colour;
        colour.line = key;
        colour.red = static_cast<std::uint8_t>(HexValue(entry[0]) * 16 + HexValue(entry[1]));
        colour.green = static_cast<std::uint8_t>(HexValue(entry[2]) * 16 + HexValue(entry[3]));
        colour.blue = static_cast<std::uint8_t>(HexValue(entry[4]) * 16 + HexValue(entry[5]));
        const std::string_view name = UserColorName(entry);
        colour.name = name.empty() ? std::string(entry.substr(0, 6)) : Cp932ToUtf8(name);
        plan.colours.push_back(std::move(colour));
    }
    return plan;
}

std::optional<PaletteKind> PaletteKindOf(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t separator = path.rfind('/');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return std::nullopt;
    const std::string extension = LowerAscii(path.substr(dot));
    if (extension == ".gpl")
        return PaletteKind::Gimp;
    if (extension == ".css")
        return PaletteKind::Css;
    return std::nullopt;
}

std::string ReadPaletteFile(const std::string& path)
{
    static const std::string unreadable = Sjis(u8" を読み込めません: ");
    const auto refuse = [&](int error) {
        throw Exception(Utf8ToCp932(path) + unreadable + Utf8ToCp932(std::strerror(error)));
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        refuse(errno);
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        refuse(error);
    }
    // One byte more than the largest file allowed is enough to tell that it is too large.
    std::string bytes;
    bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), MaxPaletteBytes) + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            refuse(error);
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

std::string PaletteFileText(
    PaletteKind kind, const std::string& path, const std::vector<PaletteColour>& colours)
{
    if (kind == PaletteKind::Css)
        return CssPaletteText(colours);
    const std::size_t separator = path.rfind('/');
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    // A file name need not be UTF-8; the palette's text must be.
    if (FirstInvalidUtf8(name) != std::string::npos)
        name = Cp932ToUtf8(Utf8ToCp932(name));
    return GimpPaletteText(name, colours);
}

void WritePaletteFile(const std::string& path, const std::string& text)
{
    const std::optional<WriteTarget> target = ResolveWriteTarget(path);
    if (!target || !ReplaceFileContents(*target, text))
        throw WriteError(path);
}

std::string NameForDisplay(const std::string& utf8)
{
    std::string shown;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view character = std::string_view(utf8).substr(i, length);
        i += length;
        std::size_t lost = std::string::npos;
        const std::string cp932 = Utf8ToCp932(character, &lost);
        if (lost == std::string::npos) {
            shown += cp932;
            continue;
        }
        char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < character.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(character[k]) & 0x3F);
        char text[16];
        std::snprintf(text, sizeof text, "<U+%04X>", static_cast<unsigned>(code));
        shown += text;
    }
    return shown;
}
