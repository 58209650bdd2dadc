#include "settings/palette_import_plan.h"

#include <cstdio>
#include <optional>

#include "platform/codepage.h"
#include "settings/code_page_name.h"
#include "settings/palette_error.h"

namespace {

/// The longest name an entry can hold and still be read back whole: a read gives at most 1023
/// bytes, of which the code takes six.
constexpr std::size_t MaxNameBytes = 1023 - 6;

/// Control characters have no place in a stored name: they would reach a terminal or the file
/// raw. A tab is a blank as far as the settings file and a palette are concerned, and stays.
bool IsControl(char32_t c)
{
    return (c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F);
}

/// The first control character of name (UTF-8); nullopt for none.
std::optional<char32_t> FirstControl(std::string_view name)
{
    for (std::size_t i = 0; i < name.size();) {
        std::size_t length = 0;
        const char32_t c = Utf8CodePoint(name.substr(i), length);
        if (IsControl(c)) {
            return c;
        }
        i += length;
    }
    return std::nullopt;
}

} // namespace

ImportPlan PlanImport(const GimpPalette& palette)
{
    ImportPlan plan;
    plan.entries.reserve(palette.colours.size());
    for (const PaletteColour& colour : palette.colours) {
        char code[8];
        std::snprintf(code, sizeof code, "%02X%02X%02X", colour.red, colour.green, colour.blue);
        if (const std::optional<char32_t> control = FirstControl(colour.name)) {
            char shown[16];
            std::snprintf(shown, sizeof shown, "U+%04X", static_cast<unsigned>(*control));
            plan.problems.push_back({ colour.line, colour.name,
                Utf8Literal(u8"名前に使えない制御文字（") + shown
                    + Utf8Literal(u8"）があります") });
            continue;
        }
        std::size_t lost = std::string::npos;
        std::string name =
            colour.name.empty() ? std::string(code) : Utf8ToCp932(colour.name, &lost);
        if (lost != std::string::npos) {
            name = NameInCodePage(colour.name);
        }
        if (name.size() > MaxNameBytes) {
            plan.problems.push_back({ colour.line, colour.name,
                Utf8Literal(u8"名前が長すぎます（全角で508文字、半角で1017文字まで）") });
            continue;
        }
        if (lost != std::string::npos) {
            plan.renamed.push_back({ colour.line, colour.name, name, plan.entries.size() });
        }
        plan.entries.push_back(code + name);
    }
    return plan;
}
