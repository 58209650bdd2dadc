// The arguments of --level and --vision.

#include "app/contrast_arguments.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

TEST(ContrastArguments, ReadsLevelsInAnyCase)
{
    const struct
    {
        const char* text;
        ContrastLevel level;
    } rows[] = {
        { "AA", ContrastLevel::NormalAA },
        { "aaa", ContrastLevel::NormalAAA },
        { "AA-large", ContrastLevel::LargeAA },
        { "AAA-LARGE", ContrastLevel::LargeAAA },
        { "ui", ContrastLevel::NonText },
        { "UI", ContrastLevel::NonText },
    };
    for (const auto& row : rows) {
        std::string reason;
        EXPECT_EQ(ReadLevelArgument(row.text, reason), row.level) << row.text;
        EXPECT_EQ(reason, "");
    }
    for (const char* text : { "", "A", "AA ", "AA-Large-", "aa_large", "large", "AA+" }) {
        std::string reason;
        EXPECT_EQ(ReadLevelArgument(text, reason), std::nullopt) << text;
        EXPECT_EQ(Cp932ToUtf8(reason),
            std::string("--level の基準として読み取れません: '") + text
                + "'（AA、AAA、AA-large、AAA-large、ui のどれかです）");
    }
}

TEST(ContrastArguments, ReadsVisionsWithTheirSeverity)
{
    const struct
    {
        const char* text;
        VisionKind kind;
        double severity;
    } rows[] = {
        { "protan", VisionKind::Protan, 1.0 },
        { "Deutan", VisionKind::Deutan, 1.0 },
        { "TRITAN:0.5", VisionKind::Tritan, 0.5 },
        { "achroma:1", VisionKind::Achroma, 1.0 },
        { "protan:0.1", VisionKind::Protan, 0.1 },
        { "deutan:.25", VisionKind::Deutan, 0.25 },
        { "deutan:1.000", VisionKind::Deutan, 1.0 },
    };
    for (const auto& row : rows) {
        std::string reason;
        const std::optional<VisionArgument> vision = ReadVisionArgument(row.text, reason);
        ASSERT_TRUE(vision) << row.text;
        EXPECT_EQ(vision->kind, row.kind) << row.text;
        EXPECT_EQ(vision->severity, row.severity) << row.text;
    }
    // Out of the table's range (0.1 to 1), not a plain decimal, or no known kind.
    for (const char* text : { "", "protan:", "protan:0", "protan:0.09", "protan:1.01",
             "protan:-0.5", "protan:1e-1", "protan:0.5:1", "protan: 0.5", "protan:nan",
             "protan:inf", "protan:.", "protanopia", ":0.5", "grey" }) {
        std::string reason;
        EXPECT_EQ(ReadVisionArgument(text, reason).has_value(), false) << text;
        EXPECT_EQ(Cp932ToUtf8(reason),
            std::string("--vision の種類として読み取れません: '") + text
                + "'（protan、deutan、tritan、achroma のどれかです。protan:0.6 のように :0.1～1の程度を付けられます）");
    }
}
