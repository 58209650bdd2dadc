#include "settings/palette_import_plan.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "colour/exception.h"
#include "platform/codepage.h"
#include "platform/file_replace_p.h"
#include "settings/inibrel.h"
#include "settings/palette_error.h"
#include "settings/palette_export_plan.h"
#include "settings/palette_file.h"
#include "settings/palette_kind.h"
#include "settings/palette_messages.h"
#include "settings/usercolor_store.h"
#include "tests/support/ini_on_file.h"
#include "tests/support/restore.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

class PaletteTransfer : public testing::Test
{
protected:
    void SetUp() override { IniOn(m_ini, m_path); }

    ScratchDir m_scratch { "palette-" };
    const std::string m_path = m_scratch.File("Tintora.ini");
    TIniBrel m_ini { nullptr };
    const Restore<std::function<int(const char*, const char*)>> m_rename { RenameForReplace() };
};

std::string U8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

// Every colour keeps a name the settings file can hold: what CP932 holds stays, accents go, any
// other character becomes 〓; only control characters and overlong names keep a colour out.
TEST(PalettePlans, ImportKeepsEveryColourUnderANameTheCodePageHolds)
{
    struct Case
    {
        const char* what;
        std::u8string name;
        std::u8string stored; // empty: not renamed
    };
    const std::vector<Case> cases = {
        { "Japanese", u8"空色", u8"" },
        { "ASCII with a tab", u8"a\tb", u8"" },
        { "accented Latin", u8"Café crème Ångström", u8"Cafe creme Angstrom" },
        { "Latin Extended-A", u8"Łódź Ščřž", u8"〓odz Scrz" },
        { "combining accent", u8"Cafe\u0301", u8"Cafe" },
        { "no accent to take off", u8"Æble straße", u8"〓ble stra〓e" },
        { "Chinese", u8"天空蓝", u8"天空〓" },
        { "Korean", u8"하늘색", u8"〓〓〓" },
        { "emoji", u8"smile 😀", u8"smile 〓" },
    };
    std::string text = "GIMP Palette\n";
    for (const Case& c : cases)
        text += "1 2 3 " + U8(c.name) + "\n";
    text += "255 128 0\n"; // no name: the code stands for it
    const ImportPlan plan = PlanImport(ReadGimpPalette(text));
    EXPECT_TRUE(plan.problems.empty());
    ASSERT_EQ(plan.entries.size(), cases.size() + 1);
    std::size_t renamed = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        const std::string stored = U8(c.stored.empty() ? c.name : c.stored);
        EXPECT_EQ(Cp932ToUtf8(plan.entries[i]), "010203" + stored);
        if (c.stored.empty())
            continue;
        ASSERT_LT(renamed, plan.renamed.size());
        const PaletteRename& r = plan.renamed[renamed++];
        EXPECT_EQ(r.line, static_cast<std::int32_t>(i + 2));
        EXPECT_EQ(r.before, U8(c.name));
        EXPECT_EQ(Cp932ToUtf8(r.after), stored);
        EXPECT_EQ(r.entry, i);
    }
    EXPECT_EQ(renamed, plan.renamed.size());
    EXPECT_EQ(plan.entries.back(), "FF8000FF8000");
}

TEST(PalettePlans, ImportRefusesControlCharactersAndNamesTooLongToReadBack)
{
    const std::string longest(1017, 'n');
    const GimpPalette palette = ReadGimpPalette("GIMP Palette\n"
                                                "1 2 3 \x1B[2Jgone\n"
                                                "1 2 3 bell\x07\n"
                                                "1 2 3 c1\xC2\x9B\n"
                                                "1 2 3 nul"
        + std::string(1, '\0') + "inside\n" + "4 5 6 " + longest + "\n7 8 9 " + longest + "n\n"
        + "7 8 9 " + std::string(508, 'x') + U8(u8"😀") + std::string(508, 'x') + "\n");
    const ImportPlan plan = PlanImport(palette);
    EXPECT_EQ(plan.entries, (std::vector<std::string> { "040506" + longest }));
    std::vector<std::pair<std::int32_t, std::string>> problems;
    for (const PaletteProblem& p : plan.problems)
        problems.emplace_back(p.line, p.reason);
    const std::string tooLong = U8(u8"名前が長すぎます（全角で508文字、半角で1017文字まで）");
    EXPECT_EQ(problems,
        (std::vector<std::pair<std::int32_t, std::string>> {
            { 2, U8(u8"名前に使えない制御文字（U+001B）があります") },
            { 3, U8(u8"名前に使えない制御文字（U+0007）があります") },
            { 4, U8(u8"名前に使えない制御文字（U+009B）があります") },
            { 5, U8(u8"名前に使えない制御文字（U+0000）があります") }, { 7, tooLong },
            { 8, tooLong }, // 〓 takes two bytes where the emoji stood
        }));
}

TEST(PalettePlans, ExportLeavesOutEntriesWithoutASixDigitCode)
{
    const TStringList entries = { "FF8000orange", "87ceeb\x8B\xF3\x90\x46", "", "FF80", "XYZ123bad",
        "336699", "1FF8000long" };
    const ExportPlan plan = PlanExport(entries);
    ASSERT_EQ(plan.colours.size(), 4u);
    EXPECT_EQ(plan.colours[0].red, 255);
    EXPECT_EQ(plan.colours[0].green, 128);
    EXPECT_EQ(plan.colours[0].name, "orange");
    EXPECT_EQ(plan.colours[1].blue, 0xEB); // lower-case digits read as well
    EXPECT_EQ(plan.colours[1].name, "\xE7\xA9\xBA\xE8\x89\xB2");
    EXPECT_EQ(plan.colours[2].name, "336699"); // no name: the code stands for it
    // A code longer than six digits cannot be told from a name that starts with digits: the
    // window shows it the same way.
    EXPECT_EQ(plan.colours[3].name, "0long");
    std::vector<std::int32_t> keys;
    for (const PaletteProblem& p : plan.leftOut)
        keys.push_back(p.line);
    EXPECT_EQ(keys, (std::vector<std::int32_t> { 3, 4, 5 }));
    EXPECT_EQ(plan.leftOut[2].name, "XYZ123bad");
    EXPECT_EQ(plan.leftOut[2].reason, U8(u8"HEX コードが16進数6桁ではありません"));
}

TEST(PalettePlans, KindFromTheExtension)
{
    EXPECT_EQ(PaletteKindOf("/a/b.gpl"), PaletteKind::Gimp);
    EXPECT_EQ(PaletteKindOf("B.GPL"), PaletteKind::Gimp);
    EXPECT_EQ(PaletteKindOf("/x/y.Css"), PaletteKind::Css);
    EXPECT_EQ(PaletteKindOf("/x.gpl/y"), std::nullopt);
    EXPECT_EQ(PaletteKindOf("/x/y.txt"), std::nullopt);
    EXPECT_EQ(PaletteKindOf("gpl"), std::nullopt);
}

// Exported, then imported into an empty store: the same codes and names in the same order.
TEST_F(PaletteTransfer, ExportThenImportGivesTheSameColours)
{
    const TStringList stored = { "FF8000orange", "87CEEB\x8B\xF3\x90\x46",
        "000000\x83\x5E\x83\x75\x09tab", "0A0B0Chash # inside", "123456" };
    const std::string file = m_scratch.File("\xE8\x89\xB2 colours.gpl");
    const ExportPlan exported = PlanExport(stored);
    WritePaletteFile(file, PaletteFileText(PaletteKind::Gimp, file, exported.colours));
    EXPECT_TRUE(
        ReadBytes(file).starts_with("GIMP Palette\nName: \xE8\x89\xB2 colours\nColumns: 16\n"));

    const ImportPlan plan = PlanImport(ReadGimpPalette(ReadPaletteFile(file)));
    EXPECT_TRUE(plan.problems.empty());
    EXPECT_EQ(RegisterUserColors(m_ini, plan.entries), 5);
    const UserColorLoad load = LoadUserColors(m_ini);
    EXPECT_EQ(load.count, 5);
    // An entry without a name comes back with its code as its name, as every unnamed colour.
    EXPECT_EQ(load.entries,
        (TStringList { "FF8000orange", "87CEEB\x8B\xF3\x90\x46", "000000\x83\x5E\x83\x75\x09tab",
            "0A0B0Chash # inside", "123456123456" }));
}

TEST_F(PaletteTransfer, BatchRegisterAppendsAfterTheStoredColoursInOneWrite)
{
    WriteBytes(m_path, "[Usercolor]\r\nUsercolcnt=1\r\n1=AAAAAAa\r\n; note\r\n[Other]\r\nk=v\r\n");
    EXPECT_EQ(RegisterUserColors(m_ini, { "BBBBBBb", "CCCCCCc\r\n2=hidden" }), 3);
    EXPECT_EQ(ReadBytes(m_path),
        "[Usercolor]\r\nUsercolcnt=3\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n3=CCCCCCc\r\n; note\r\n"
        "[Other]\r\nk=v\r\n");

    // Nothing to store: nothing written.
    EXPECT_EQ(RegisterUserColors(m_ini, {}), 3);

    // A refused write stores none of them.
    const std::string before = ReadBytes(m_path);
    RenameForReplace() = [](const char*, const char*) { return -1; };
    EXPECT_THROW(RegisterUserColors(m_ini, { "DDDDDDd", "EEEEEEe" }), Exception);
    EXPECT_EQ(ReadBytes(m_path), before);
}

TEST_F(PaletteTransfer, BatchRegisterBeyondTheLimitStoresNothing)
{
    WriteBytes(m_path, "[Usercolor]\r\nUsercolcnt=" + std::to_string(MaxUserColors - 2) + "\r\n");
    const std::string before = ReadBytes(m_path);
    EXPECT_THROW(RegisterUserColors(m_ini, { "AAAAAAa", "BBBBBBb", "CCCCCCc" }), Exception);
    EXPECT_EQ(ReadBytes(m_path), before);
    EXPECT_EQ(RegisterUserColors(m_ini, { "AAAAAAa", "BBBBBBb" }), MaxUserColors);
}

// An import while another writer registers colour by colour: every colour of both is stored, and
// the import's colours stand together in their order.
TEST_F(PaletteTransfer, ImportAndConcurrentRegistersLoseNothing)
{
    std::vector<std::string> imported;
    for (int i = 0; i < 300; ++i)
        imported.push_back("AAAAAAimport " + std::to_string(i));
    std::thread registering([&] {
        TIniBrel other(nullptr);
        IniOn(other, m_path);
        for (int i = 0; i < 40; ++i)
            RegisterUserColor(other, "BBBBBBsingle " + std::to_string(i));
    });
    RegisterUserColors(m_ini, imported);
    registering.join();

    const TStringList entries = LoadUserColors(m_ini).entries;
    ASSERT_EQ(entries.size(), 340u);
    std::vector<std::string> all(entries.begin(), entries.end());
    const auto first = std::find(all.begin(), all.end(), imported.front());
    ASSERT_NE(first, all.end());
    ASSERT_LE(first + 300, all.end());
    EXPECT_EQ(std::vector<std::string>(first, first + 300), imported);
    int singles = 0;
    for (const std::string& entry : all)
        singles += entry.starts_with("BBBBBBsingle ");
    EXPECT_EQ(singles, 40);
}

TEST_F(PaletteTransfer, PaletteFilesAreReadUpTo16MiBAndWrittenInOneStep)
{
    const std::string big = m_scratch.File("big.gpl");
    WriteBytes(big, "GIMP Palette\n" + std::string(MaxPaletteBytes - 13, '#'));
    EXPECT_EQ(ReadGimpPalette(ReadPaletteFile(big)).colours.size(), 0u);
    WriteBytes(big, "GIMP Palette\n" + std::string(MaxPaletteBytes - 12, '#'));
    try {
        ReadPaletteFile(big);
        ADD_FAILURE() << "read";
    } catch (const PaletteError& e) {
        EXPECT_EQ(e.Reason(), U8(u8"ファイルが大きすぎます（16MB まで）"));
    }

    // A plain name is replaced whole in one step; a refused rename leaves it as it was.
    const std::string target = m_scratch.File("out.css");
    WriteBytes(target, "old");
    fs::permissions(target, fs::perms(0640));
    WritePaletteFile(target, "new");
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    RenameForReplace() = [](const char*, const char*) { return -1; };
    EXPECT_THROW(WritePaletteFile(target, "newer"), PaletteError);
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_scratch.Dir()), {}), 2);
}

// A second import of the same palette adds nothing; the colours stored already are counted.
TEST_F(PaletteTransfer, AppendSkipsEntriesStoredAlready)
{
    WriteBytes(m_path, "[Usercolor]\r\nUsercolcnt=1\r\n1=ff8000orange\r\n");
    const std::vector<std::string> entries = { "FF8000orange", "336699sea", "336699Sea" };
    UserColorAppend done = AppendUserColors(m_ini, entries);
    EXPECT_EQ(done.count, 3);
    EXPECT_EQ(done.added, 2);
    EXPECT_EQ(done.skipped, 1);
    EXPECT_EQ(done.held, (std::vector<bool> { true, false, false }));
    const std::string once = ReadBytes(m_path);
    EXPECT_EQ(
        once, "[Usercolor]\r\nUsercolcnt=3\r\n1=ff8000orange\r\n2=336699sea\r\n3=336699Sea\r\n");
    done = AppendUserColors(m_ini, entries);
    EXPECT_EQ(done.added, 0);
    EXPECT_EQ(done.skipped, 3);
    EXPECT_EQ(ReadBytes(m_path), once);
}

// Two imports of one palette at the same moment store it once: the stored entries are compared
// under the write lock.
TEST_F(PaletteTransfer, ConcurrentImportsOfOnePaletteStoreItOnce)
{
    std::vector<std::string> entries;
    for (int i = 0; i < 200; ++i)
        entries.push_back("AAAAAAcolour " + std::to_string(i));
    std::vector<UserColorAppend> done(4);
    std::vector<std::thread> imports;
    for (UserColorAppend& result : done) {
        imports.emplace_back([&] {
            TIniBrel ini(nullptr);
            IniOn(ini, m_path);
            result = AppendUserColors(ini, entries);
        });
    }
    for (std::thread& t : imports)
        t.join();
    EXPECT_EQ(LoadUserColors(m_ini).entries.size(), entries.size());
    std::int32_t added = 0;
    for (const UserColorAppend& result : done)
        added += result.added;
    EXPECT_EQ(added, 200);
}

TEST_F(PaletteTransfer, AppendRefusesANegativeCountAndAFullStore)
{
    const std::string negative = "[Usercolor]\r\nUsercolcnt=-3\r\n1=AAAAAAa\r\n";
    WriteBytes(m_path, negative);
    try {
        AppendUserColors(m_ini, { "BBBBBBb" });
        ADD_FAILURE() << "stored";
    } catch (const PaletteError& e) {
        EXPECT_EQ(e.Reason(),
            U8(u8"設定ファイルの色の数（Usercolcnt=-3）が正しくないため、パレットを読み込めません。"
               u8"Tintora を終了し、設定ファイルの Usercolcnt を実際の色の数に直してから、"
               u8"もう一度読み込んでください"));
    }
    EXPECT_EQ(ReadBytes(m_path), negative);

    const std::string full =
        "[Usercolor]\r\nUsercolcnt=" + std::to_string(MaxUserColors - 1) + "\r\n1=AAAAAAa\r\n";
    WriteBytes(m_path, full);
    // The one colour stored already does not count against the limit.
    try {
        AppendUserColors(m_ini, { "AAAAAAa", "BBBBBBb", "CCCCCCc" });
        ADD_FAILURE() << "stored";
    } catch (const PaletteError& e) {
        EXPECT_EQ(e.Reason(),
            U8(u8"ユーザカラーは10万色までしか登録できません（登録済み：99,"
               u8"999色、読み込もうとした色：2色）。"
               u8"使わない色を削除してから、もう一度読み込んでください"));
    }
    EXPECT_EQ(ReadBytes(m_path), full);
    EXPECT_EQ(AppendUserColors(m_ini, { "AAAAAAa", "BBBBBBb" }).count, MaxUserColors);
}

// The texts of an import and an export as the window's boxes and the command line show them.
TEST(PaletteMessages, QuestionAndOutcomesReadAsWritten)
{
    const std::vector<PaletteRename> renamed = { { 2, U8(u8"café"), "cafe", 0 },
        { 3, U8(u8"😀smile"), Sjis(u8"〓smile"), 1 } };
    const std::vector<PaletteProblem> problems = { { 4, "\x1B[2Jx", U8(u8"理由") } };
    EXPECT_EQ(ImportQuestion(renamed, problems, 2),
        U8(u8"次の色は、名前に使えない文字を置き換えて読み込みます。\n"
           u8"2行目「café」→「cafe」\n"
           u8"3行目「😀smile」→「〓smile」\n\n"
           u8"次の色は読み込めません。\n"
           u8"4行目「<U+001B>[2Jx」：理由\n\n"
           u8"残りの2色を読み込みますか？"));
    EXPECT_EQ(ImportQuestion(renamed, {}, 2).substr(ImportQuestion(renamed, {}, 2).rfind('\n') + 1),
        U8(u8"2色を読み込みますか？"));
    EXPECT_EQ(ImportDoneText(3, 0), U8(u8"3色を読み込みました。"));
    EXPECT_EQ(ImportDoneText(1, 2),
        U8(u8"1色を読み込みました。すでに登録されている2色は読み込みませんでした。"));
    EXPECT_EQ(ImportDoneText(0, 2),
        U8(u8"新しく読み込む色はありませんでした。すでに登録されている2色は読み込みませんでした"
           u8"。"));
    EXPECT_EQ(
        RefusedFileText("/p/mypal.gpl", PaletteError(5, U8(u8"色の値 300 が0〜255の範囲外です")),
            u8"ユーザカラーは変わっていません。"),
        U8(u8"/p/mypal.gpl の5行目：色の値 300 "
           u8"が0〜255の範囲外です。ユーザカラーは変わっていません。"));
    EXPECT_EQ(RefusedFileLine("mypal.gpl", 5, "x"), "mypal.gpl:5: x");
    EXPECT_EQ(RefusedFileLine("mypal.gpl", 0, "x"), "mypal.gpl: x");

    // A box lists 20 and counts the rest.
    const std::vector<PaletteProblem> many(23, PaletteProblem { 1, "n", "r" });
    const std::string lines = ProblemLines(many, true);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 21);
    EXPECT_TRUE(lines.ends_with(U8(u8"1番目「n」：r\nほか3件\n")));
}

TEST(PaletteMessages, NamesAndPathsAreShortenedAndControlsShownAsCodes)
{
    struct Case
    {
        const char* what;
        std::string text;
        std::string name; // as ShownName gives it
    };
    const std::string long41(41, 'x');
    const std::vector<Case> cases = {
        { "plain", U8(u8"空色 sky"), U8(u8"空色 sky") },
        { "40 characters", std::string(40, 'x'), std::string(40, 'x') },
        { "41 characters", long41, std::string(40, 'x') + U8(u8"…") },
        { "wide characters count as one", U8(u8"空") + std::string(40, 'x'),
            U8(u8"空") + std::string(39, 'x') + U8(u8"…") },
        { "escape sequence", "\x1B]0;title\x07", "<U+001B>]0;title<U+0007>" },
        { "line end and DEL", "a\r\nb\x7F", "a<U+000D><U+000A>b<U+007F>" },
        { "text turned around", U8(u8"a\u202Eb"), "a<U+202E>b" },
        { "not UTF-8", "a\xFF", U8(u8"a\uFFFD") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ShownName(c.text), c.name);
    }
    // A 16 MB name is cut without walking through all of it.
    EXPECT_EQ(ShownName(std::string(16 << 20, 'n')), std::string(40, 'n') + U8(u8"…"));
    // A path keeps its end, where the file's name is.
    EXPECT_EQ(ShownPath("/" + std::string(100, 'd') + "/colours.gpl"),
        U8(u8"…") + std::string(68, 'd') + "/colours.gpl");
}

} // namespace
