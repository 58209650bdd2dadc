#include "app/contrast_arguments.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "app/quoted_argument.h"
#include "platform/codepage.h"

namespace {

// The names an argument may take, in lower case, with what each stands for.
template <typename Value> struct Name
{
    std::string_view name;
    Value value;
};

constexpr std::array<Name<VisionKind>, 4> KindNames = { {
    { "protan", VisionKind::Protan },
    { "deutan", VisionKind::Deutan },
    { "tritan", VisionKind::Tritan },
    { "achroma", VisionKind::Achroma },
} };

constexpr std::array<Name<ContrastLevel>, 5> LevelNames = { {
    { "aa", ContrastLevel::NormalAA },
    { "aaa", ContrastLevel::NormalAAA },
    { "aa-large", ContrastLevel::LargeAA },
    { "aaa-large", ContrastLevel::LargeAAA },
    { "ui", ContrastLevel::NonText },
} };

// What text names, its ASCII letters in any case; whatever the C locale says.
template <typename Value, std::size_t Count>
std::optional<Value> Named(const std::array<Name<Value>, Count>& names, std::string_view text)
{
    for (const Name<Value>& name : names) {
        const bool same = name.name.size() == text.size()
            && std::equal(text.begin(), text.end(), name.name.begin(), [](char typed, char lower) {
                   return (typed >= 'A' && typed <= 'Z' ? typed - 'A' + 'a' : typed) == lower;
               });
        if (same) {
            return name.value;
        }
    }
    return std::nullopt;
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
    const std::optional<VisionKind> kind = Named(KindNames, name);
    bool known = kind.has_value();
    vision.kind = kind.value_or(VisionKind::Protan);
    if (known && colon != std::string_view::npos) {
        const std::optional<double> severity = Decimal(utf8.substr(colon + 1));
        // The table of anomalous trichromacy starts at 0.1; 0 would simulate nothing.
        known = severity && *severity >= 0.1 && *severity <= 1;
        vision.severity = severity.value_or(1);
    }
    if (!known) {
        reason = Sjis(u8"--vision の種類として読み取れません: ") + QuotedArgument(utf8)
            + Sjis(u8"（protan、deutan、tritan、achroma のどれかです。protan:0.6 のように "
                   u8":0.1〜1の程度を付けられます）");
        return std::nullopt;
    }
    return vision;
}

std::optional<ContrastLevel> ReadLevelArgument(std::string_view utf8, std::string& reason)
{
    if (const std::optional<ContrastLevel> level = Named(LevelNames, utf8)) {
        return level;
    }
    reason = Sjis(u8"--level の基準として読み取れません: ") + QuotedArgument(utf8)
        + Sjis(u8"（AA、AAA、AA-large、AAA-large、ui のどれかです）");
    return std::nullopt;
}
