#include "settings/palette_export_plan.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "colour/conversions.h"
#include "platform/codepage.h"
#include "settings/palette_error.h"
#include "settings/palette_messages.h"
#include "settings/usercolor_store.h"

ExportPlan PlanExport(const TStringList& entries)
{
    ExportPlan plan;
    plan.colours.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view entry = entries[i];
        const auto key = static_cast<std::int32_t>(i + 1);
        const std::string_view code = entry.substr(0, 6);
        if (code.size() < 6 || !std::all_of(code.begin(), code.end(), [](char c) {
                return std::isxdigit(static_cast<unsigned char>(c)) != 0;
            })) {
            plan.leftOut.push_back(
                { key, Cp932ToUtf8(entry), Utf8Literal(u8"HEX コードが16進数6桁ではありません") });
            continue;
        }
        const TColor color = HexToColor(std::string(code));
        PaletteColour colour;
        colour.line = key;
        colour.red = static_cast<std::uint8_t>(color & 0xFF);
        colour.green = static_cast<std::uint8_t>((color >> 8) & 0xFF);
        colour.blue = static_cast<std::uint8_t>((color >> 16) & 0xFF);
        const std::string_view name = UserColorName(entry);
        colour.name = name.empty() ? std::string(code) : Cp932ToUtf8(name);
        plan.colours.push_back(std::move(colour));
    }
    return plan;
}

void RefuseFailedLoad(const std::string& settingsPath, const UserColorLoad& load)
{
    if (load.unconverted) {
        // In UTF-8 as written here: without the conversions its CP932 form would not convert.
        throw PaletteError(0,
            Utf8Literal(u8"文字コードを変換できないため、設定ファイルを読み込めません"
                        u8"（iconv: CP932, UTF-8, UTF-16LE）"));
    }
    int error = 0;
    const int fd = ::open(settingsPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ENOENT || errno == ENOTDIR ? 0 : errno;
    } else {
        struct stat st = {};
        error = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
        ::close(fd);
    }
    if (error != 0) {
        throw PaletteError(0,
            Utf8Literal(u8"設定ファイル ") + ShownPath(settingsPath)
                + Utf8Literal(u8" を読み込めません（") + SystemErrorText(error)
                + Utf8Literal(u8"）"));
    }
}
