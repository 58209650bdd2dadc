#include "colour/colour_forms.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "colour/colour_text.h"

namespace {

// hsl() and oklch() with the fewest decimals that read back; the oklch() forms were checked
// against colorjs.io (each channel within 0.5 of its value).
TEST(ColourForms, GivesTheSixFormsInMenuOrder)
{
    const struct
    {
        Rgb rgb;
        std::array<std::string, 6> forms;
    } rows[] = {
        { { 255, 128, 0 },
            { "#FF8000", "FF8000", "rgb(255, 128, 0)", "hsl(30, 100%, 50%)", "255, 128, 0",
                "oklch(73.2% 0.1858 53)" } },
        { { 0, 0, 0 },
            { "#000000", "000000", "rgb(0, 0, 0)", "hsl(0, 0%, 0%)", "0, 0, 0", "oklch(0% 0 0)" } },
        { { 255, 255, 255 },
            { "#FFFFFF", "FFFFFF", "rgb(255, 255, 255)", "hsl(0, 0%, 100%)", "255, 255, 255",
                "oklch(100% 0 0)" } },
        { { 10, 11, 12 },
            { "#0A0B0C", "0A0B0C", "rgb(10, 11, 12)", "hsl(210, 9.1%, 4.3%)", "10, 11, 12",
                "oklch(15% 0.003 248)" } },
        // Whole numbers read back as #1F8FFF; one decimal is needed.
        { { 30, 144, 255 },
            { "#1E90FF", "1E90FF", "rgb(30, 144, 255)", "hsl(209.6, 100%, 55.9%)", "30, 144, 255",
                "oklch(65.2% 0.19 253.2)" } },
        { { 128, 128, 128 },
            { "#808080", "808080", "rgb(128, 128, 128)", "hsl(0, 0%, 50%)", "128, 128, 128",
                "oklch(60% 0 0)" } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.forms[0]);
        EXPECT_EQ(ColourForms(row.rgb), row.forms);
    }
}

TEST(ColourFormNamed, NamesTheFormatWords)
{
    EXPECT_EQ(ColourFormOf({ 255, 128, 0 }, *ColourFormNamed("bare")), "FF8000");
    EXPECT_EQ(ColourFormOf({ 255, 128, 0 }, *ColourFormNamed("triple")), "255, 128, 0");
    EXPECT_EQ(ColourFormNamed("oklch"), ColourForm::Oklch);
    EXPECT_FALSE(ColourFormNamed("HEX").has_value());
    EXPECT_FALSE(ColourFormNamed("").has_value());
}

// Reference values from exact fractions (Python's fractions module) of the usual formulas, rounded
// half up; the halves are where floating point or round-half-even goes wrong.
TEST(HslOf, RoundsHalfUpInWholeDegreesAndPercent)
{
    const struct
    {
        Rgb rgb;
        Hsl hsl;
    } rows[] = {
        { { 255, 128, 0 }, { 30, 100, 50 } }, // hue 30.12
        { { 128, 128, 128 }, { 0, 0, 50 } }, // a grey has hue 0
        { { 1, 0, 0 }, { 0, 100, 0 } }, // lightness 0.196
        { { 254, 255, 255 }, { 180, 100, 100 } }, // lightness 99.8
        { { 0, 200, 5 }, { 122, 100, 39 } }, // hue exactly 121.5
        { { 3, 51, 5 }, { 123, 89, 11 } }, // hue exactly 122.5
        { { 4, 64, 100 }, { 203, 92, 20 } }, // hue exactly 202.5
        { { 3, 3, 77 }, { 240, 93, 16 } }, // saturation exactly 92.5
        { { 3, 64, 77 }, { 191, 93, 16 } },
        { { 121, 1, 2 }, { 0, 98, 24 } }, // hue exactly 359.5: 360 is 0
        { { 255, 0, 1 }, { 0, 100, 50 } }, // hue 359.76
        { { 0, 255, 0 }, { 120, 100, 50 } },
        { { 0, 0, 255 }, { 240, 100, 50 } },
        { { 255, 0, 255 }, { 300, 100, 50 } },
        { { 0x66, 0x33, 0x99 }, { 270, 50, 40 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(ColourForms(row.rgb)[0]);
        EXPECT_EQ(HslOf(row.rgb), row.hsl);
    }
}

// Every form of every 8-bit colour reads back as that colour. The colours are shared out among
// the processor's cores; each checks its own, so a failure names its colour.
TEST(ColourForms, EveryColourReadsBackFromEveryForm)
{
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::string> failures(threads);
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([t, threads, &failures] {
            for (int code = static_cast<int>(t); code < 1 << 24;
                 code += static_cast<int>(threads)) {
                const Rgb rgb { code >> 16, (code >> 8) & 0xFF, code & 0xFF };
                for (const std::string& form : ColourForms(rgb)) {
                    if (ReadColourText(form) != rgb) {
                        failures[t] = form + " for " + ColourForms(rgb)[0];
                        return;
                    }
                }
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    for (const std::string& failure : failures)
        EXPECT_EQ(failure, "");
}

} // namespace
