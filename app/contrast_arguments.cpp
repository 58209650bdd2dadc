#include "app/contrast_arguments.h"

#include <array>
#include <cctype>
#include <charconv>

#include "app/quoted_argument.h"
#include "platform/codepage.h"

namespace {

struct KindName
{
    std::string_view name;
    VisionKind kind;
};

constexpr std::array<KindName, 4> KindNames = { {
    { "protan", VisionKind::Protan },
    { "deutan", VisionKind::Deutan },
    { "tritan", VisionKind::Tritan },
    { "achroma", VisionKind::Achroma },
} };

struct LevelName
{
    std::string_view name;
    ContrastLevel level;
};

constexpr std::array<LevelName, 5> LevelNames = { {
    { "aa", ContrastLevel::NormalAA },
    { "aaa", ContrastLevel::NormalAAA },
    { "aa-large", ContrastLevel::LargeAA },
    { "aaa-large", ContrastLevel::LargeAAA },
    { "ui", ContrastLevel::NonText },
} };

bool SameLetters(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) {
            return false;
        }
    }
    return true;
}

// A plain decimal number: digits with at most one point, nothing else (no sign, no exponent).
std::optional<double> Decimal(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos
        || text.find('.') != text.rfind('.') || text == ".") {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<VisionArgument> ReadVisionArgument(std::string_view utf8, std::string& reason)
{
    const std::size_t colon = utf8.find(':');
    const std::string_view name = utf8.substr(0, colon);
    VisionArgument vision;
    bool known = false;
    for (const KindName& kind : KindNames) {
        if (SameLetters(name, kind.name)) {
            vision.kind = kind.kind;
            known = true;
        }
    }
    if (known && colon != std::string_view::npos) {
        const std::optional<double> severity = Decimal(utf8.substr(colon + 1));
        // The table of anomalous trichromacy starts at 0.1; 0 would simulate nothing.
        known = severity && *severity >= 0.1 && *severity <= 1;
        vision.severity = severity.value_or(1);
    }
    if (!known) {
        reason = Sjis(u8"見え方として読み取れません: ") + QuotedArgument(utf8)
            + Sjis(u8"（protan、deutan、tritan、achroma のどれかに、:0.1〜1の強さを付けられます）");
        return std::nullopt;
    }
    return vision;
}

std::optional<ContrastLevel> ReadLevelArgument(std::string_view utf8, std::string& reason)
{
    for (const LevelName& level : LevelNames) {
        if (SameLetters(utf8, level.name)) {
            return level.level;
        }
    }
    reason = Sjis(u8"基準として読み取れません: ") + QuotedArgument(utf8)
        + Sjis(u8"（AA、AAA、AA-large、AAA-large、ui のどれかです）");
    return std::nullopt;
}
