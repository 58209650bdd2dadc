#include "settings/palette_transfer.h"

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

TEST(PalettePlans, ImportStoresCodesInUpperCaseAndReportsWhatCannotBeStored)
{
    const std::string longName(1018, 'n');
    const GimpPalette palette = ReadGimpPalette("GIMP Palette\n"
                                                "255 128 0\torange\n"
                                                "135 206 235 \xE7\xA9\xBA\xE8\x89\xB2\n" // 空色
                                                "10 11 12\n"
                                                "1 2 3 smile \xF0\x9F\x98\x80\n" // an emoji
                                                "4 5 6 Caf\xC3\xA9\n" // é: not in CP932
                                                "7 8 9 "
        + longName + "\n" + "7 8 9 " + longName.substr(1) + "\n");
    const ImportPlan plan = PlanImport(palette);
    EXPECT_EQ(plan.entries,
        (std::vector<std::string> { "FF8000orange", "87CEEB\x8B\xF3\x90\x46", "0A0B0C0A0B0C",
            "070809" + longName.substr(1) }));
    ASSERT_EQ(plan.problems.size(), 3u);
    EXPECT_EQ(plan.problems[0].line, 5);
    EXPECT_EQ(plan.problems[0].name, "smile \xF0\x9F\x98\x80");
    EXPECT_EQ(Cp932ToUtf8(plan.problems[0].reason),
        "\xE5\x90\x8D\xE5\x89\x8D\xE3\x81\xAB Shift-JIS (CP932) "
        "\xE3\x81\xA7\xE8\xA1\xA8\xE3\x81\x9B\xE3\x81\xAA\xE3\x81\x84\xE6\x96\x87\xE5\xAD\x97"
        "\xE3\x81\x8C\xE3\x81\x82\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x99");
    EXPECT_EQ(plan.problems[1].line, 6);
    EXPECT_EQ(plan.problems[2].line, 7); // a name a read would give back cut
    EXPECT_NE(plan.problems[2].reason, plan.problems[0].reason);
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
    EXPECT_EQ(ReadPaletteFile(big).size(), MaxPaletteBytes + 1);
    EXPECT_THROW(ReadGimpPalette(ReadPaletteFile(big)), Exception);
    EXPECT_THROW(ReadPaletteFile(m_scratch.File("missing.gpl")), Exception);
    EXPECT_THROW(ReadPaletteFile(m_scratch.Dir().string()), Exception);

    // An existing file is replaced whole, through a link; a refused rename leaves it as it was.
    const std::string target = m_scratch.File("out.css");
    const std::string link = m_scratch.File("link.css");
    WriteBytes(target, "old");
    fs::create_symlink(target, link);
    WritePaletteFile(link, "new");
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_TRUE(fs::is_symlink(link));
    RenameForReplace() = [](const char*, const char*) { return -1; };
    EXPECT_THROW(WritePaletteFile(link, "newer"), Exception);
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_scratch.Dir()), {}), 3);
}

} // namespace
