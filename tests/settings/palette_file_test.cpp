// Hostile palette files, each with the exact outcome of an import: what is stored, what is refused
// and with which reason, and that nothing blocks or takes memory for what it refuses.

#include "settings/palette_file.h"

#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "settings/palette_error.h"
#include "settings/palette_import_plan.h"
#include "settings/palette_messages.h"
#include "settings/usercolor_store.h"
#include "tests/support/scratch_dir.h"

namespace {

std::string U8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

/// What an import makes of the file at path: the reason it is refused with ("" when it is read),
/// the entries it would store and the problems' reasons.
struct Outcome
{
    std::string refusal;
    std::size_t entries = 0;
    std::vector<std::string> problems;
    std::string question; // the window's question, when it asks one
};

Outcome ImportOf(const std::string& path)
{
    Outcome outcome;
    try {
        const ImportPlan plan = PlanImport(ReadGimpPalette(ReadPaletteFile(path), MaxUserColors));
        outcome.entries = plan.entries.size();
        for (const PaletteProblem& p : plan.problems)
            outcome.problems.push_back(p.reason);
        if (!plan.problems.empty() || !plan.renamed.empty())
            outcome.question = ImportQuestion(plan.renamed, plan.problems, plan.entries.size());
    } catch (const PaletteError& e) {
        outcome.refusal = RefusedFileLine("F", e.Line(), e.Reason());
    }
    return outcome;
}

TEST(HostilePalettes, EachHasItsExactOutcome)
{
    ScratchDir scratch("hostile-");
    const std::string name1100(1100, 'n');
    const std::string tooLong = U8(u8"名前が長すぎます（全角で508文字、半角で1017文字まで）");
    struct Case
    {
        const char* what;
        std::function<std::string()> make; // the path to import
        Outcome expected;
    };
    const auto file = [&](const std::string& name, const std::string& bytes) {
        return [&scratch, name, bytes] {
            WriteBytes(scratch.File(name), bytes);
            return scratch.File(name);
        };
    };
    const std::vector<Case> cases = {
        { "three long names",
            file("long.gpl",
                "GIMP Palette\n1 2 3 " + name1100 + "\n4 5 6 " + name1100 + "\n7 8 9 " + name1100
                    + "\n1 1 1 ok\n"),
            { "", 1, { tooLong, tooLong, tooLong },
                U8(u8"次の色は読み込めません。\n2行目「") + std::string(40, 'n') + U8(u8"…」：")
                    + tooLong + U8(u8"\n3行目「") + std::string(40, 'n') + U8(u8"…」：") + tooLong
                    + U8(u8"\n4行目「") + std::string(40, 'n') + U8(u8"…」：") + tooLong
                    + U8(u8"\n\n残りの1色を読み込みますか？") } },
        { "a 16 MB name",
            file(
                "huge.gpl", "GIMP Palette\n1 2 3 " + std::string(MaxPaletteBytes - 20, 'n') + "\n"),
            { "", 0, { tooLong }, "" } },
        { "escape sequences", file("esc.gpl", "GIMP Palette\n1 2 3 \x1B]0;owned\x07\n"),
            { "", 0, { U8(u8"名前に使えない制御文字（U+001B）があります") }, "" } },
        { "2.8 million colours",
            file(
                "many.gpl",
                "GIMP Palette\n" +
                    [] {
                        std::string lines;
                        lines.reserve(2800000 * 6);
                        for (int i = 0; i < 2790000; ++i)
                            lines += "1 1 1\n";
                        return lines;
                    }()),
            { U8(u8"F: 色が多すぎます（100,000色まで）"), 0, {}, "" } },
        { "a FIFO",
            [&] {
                const std::string path = scratch.File("fifo.gpl");
                mkfifo(path.c_str(), 0600);
                return path;
            },
            { U8(u8"F: 読み込めません（名前付きパイプで、ファイルではありません）"), 0, {}, "" } },
        { "a device", [] { return std::string("/dev/zero"); },
            { U8(u8"F: 読み込めません（デバイスで、ファイルではありません）"), 0, {}, "" } },
        { "a folder", [&] { return scratch.Dir().string(); },
            { U8(u8"F: 読み込めません（フォルダーです）"), 0, {}, "" } },
        { "no such file", [&] { return scratch.File("missing.gpl"); },
            { U8(u8"F: 読み込めません（ファイルがありません）"), 0, {}, "" } },
        { "a number of 20 digits", file("digits.gpl", "GIMP Palette\n1 2 99999999999999999999\n"),
            { U8(u8"F:2: 色の値 999999999999… が0〜255の範囲外です"), 0, {}, "" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome got = ImportOf(c.make());
        EXPECT_EQ(got.refusal, c.expected.refusal);
        EXPECT_EQ(got.entries, c.expected.entries);
        EXPECT_EQ(got.problems, c.expected.problems);
        if (!c.expected.question.empty()) {
            EXPECT_EQ(got.question, c.expected.question);
        }
    }
}

// The colour limit is found while reading: refusing 2.8 million colours takes no memory for them.
TEST(HostilePalettes, ManyColoursAreRefusedWithoutTakingMemoryForThem)
{
    std::string text = "GIMP Palette\n";
    text.reserve(MaxPaletteBytes);
    while (text.size() + 6 <= MaxPaletteBytes)
        text += "1 1 1\n";
    rusage before = {};
    getrusage(RUSAGE_SELF, &before);
    EXPECT_THROW(ReadGimpPalette(text, MaxUserColors), PaletteError);
    rusage after = {};
    getrusage(RUSAGE_SELF, &after);
    // 100,000 colours take about 5 MB; all of them would take more than 100 MB.
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 20 * 1024);
    EXPECT_EQ(
        ReadGimpPalette(text.substr(0, 13 + 6 * 100000), MaxUserColors).colours.size(), 100000u);
}

} // namespace
