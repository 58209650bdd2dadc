#include "settings/inibrel.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

// The running test binary's directory with a trailing "/", found independently of the code.
std::string ProgramDir()
{
    return fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
}

// Paths are the file system's bytes, UTF-8 here: folder names whose bytes would read as
// Shift-JIS lead bytes (0x81-0x9F, 0xE0-0xFC) never hide the separator after them.
TEST(LastDirectorySeparator, FindsTheLastSeparatorInFileSystemBytes)
{
    const struct
    {
        std::string path;
        std::size_t at;
    } rows[] = {
        { "", std::string::npos },
        { "x.ini", std::string::npos },
        { "a\\b", 1 },
        { "a:b", 1 },
        { "a/b", 1 },
        { "a/b\\c:d", 5 },
        { "ソ.ini", std::string::npos }, // E3 82 BD: no byte of it is a separator
        { "デスクトップ/x", 18 },
        { "a郎/b郎/tintora", 9 }, // 郎 is E9 83 8E
        { "郎\\", 3 },
        { "Café/x", 5 },
        { "🎨/x", 4 },
        { "\x83/x", 1 }, // not UTF-8 at all: still its own byte
        { "a/\xE9", 1 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(LastDirectorySeparator(row.path), row.at);
    }
}

TEST(DefaultIniName, NamesTheFileAfterTheProgram)
{
    const struct
    {
        std::string program;
        std::string name;
    } rows[] = {
        { "tintora.exe", "Tintora.ini" },
        { "TINTORA.EXE", "Tintora.ini" },
        { "1abc.exe", "1abc.ini" },
        { "tintora", "Tintora.ini" },
        { "my.App.EXE", "My.app.ini" },
        { "C:\\Tools\\TINTORA.EXE", "Tintora.ini" },
        { "/usr/bin/tintora", "Tintora.ini" },
        { "/opt/v1.2/tintora", "Tintora.ini" },
        { "/home/u/デスクトップ/TINTORA", "Tintora.ini" },
        { "/home/u/a郎/b郎/tintora", "Tintora.ini" },
        { "/opt/ソ.EXE", "ソ.ini" },
        // Only ASCII letters change case, also right after a character whose bytes would read as a
        // Shift-JIS lead byte (郎 is E9 83 8E).
        { "/opt/郎A.EXE", "郎a.ini" },
        { "/opt/ÉCRAN.EXE", "Écran.ini" },
        { "/opt/🎨PAINT", "🎨paint.ini" },
        { "/opt/\xFFTINTORA", "\xFFtintora.ini" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.program);
        EXPECT_EQ(DefaultIniName(row.program), row.name);
    }
}

TEST(IniBrel, StartsUnresolved)
{
    TIniBrel ini(nullptr);
    EXPECT_EQ(ini.Path(), "");
    EXPECT_EQ(ini.DefaultDir(), ddApplication);
    EXPECT_EQ(ini.FileName(), "");
    EXPECT_EQ(ini.Fence(), fnNone);
    EXPECT_TRUE(ini.FenceUnassigned());
}

TEST(IniBrel, ResolvesThePathByDirectoryMode)
{
    const std::string app = ProgramDir();
    const struct
    {
        TIniBrelDefaultDir mode;
        std::string name;
        std::string path;
    } rows[] = {
        { ddApplication, "x.ini", app + "x.ini" },
        { ddWindows, "x.ini", "/etc/x.ini" },
        { ddNone, "x.ini", "x.ini" },
        { ddApplication, "", app },
        { ddWindows, "", "/etc/" },
        { ddNone, "", "" },
        { ddApplication, "ソ.ini", app + "ソ.ini" },
        { ddWindows, "ソ.ini", "/etc/ソ.ini" },
        { ddNone, "郎\\x.ini", "郎\\x.ini" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        TIniBrel ini(nullptr);
        ini.SetDefaultDir(row.mode);
        ini.SetFileName(row.name);
        EXPECT_EQ(ini.FileName(), row.name);
        EXPECT_EQ(ini.Path(), row.path);
    }
}

TEST(IniBrel, NameWithADirectoryPartIsUsedUnchanged)
{
    for (const std::string name :
        { "D:\\data\\x.ini", "sub\\x.ini", "C:x.ini", "sub/x.ini", "/var/x.ini" }) {
        for (const auto mode : { ddApplication, ddWindows, ddNone }) {
            SCOPED_TRACE(name);
            TIniBrel ini(nullptr);
            ini.SetFileName(name);
            ini.SetDefaultDir(mode);
            EXPECT_EQ(ini.Path(), name);
        }
    }
}

TEST(IniBrel, DefaultDirMovesTheSameName)
{
    TIniBrel ini(nullptr);
    ini.SetFileName("x.ini");
    ini.SetDefaultDir(ddWindows);
    EXPECT_EQ(ini.Path(), "/etc/x.ini");
    ini.SetDefaultDir(ddNone);
    EXPECT_EQ(ini.Path(), "x.ini");
    EXPECT_EQ(ini.FileName(), "x.ini");
}

TEST(IniBrel, LoadingAsTheWindowStoresIt)
{
    TComponent window(nullptr);
    auto* ini = new TIniBrel(&window);
    ini->SetLoading(true);
    ini->SetDefaultDir(ddApplication);
    EXPECT_EQ(ini->Path(), ProgramDir());
    ini->SetFence(fnNone);
    EXPECT_FALSE(ini->FenceUnassigned());
    ini->LoadingComplete();
    EXPECT_EQ(ini->ComponentState(), 0u);
    EXPECT_EQ(ini->FileName(), "Test_settings_inibrel_test.ini");
    EXPECT_EQ(ini->Path(), ProgramDir() + "Test_settings_inibrel_test.ini");
    EXPECT_EQ(ini->Fence(), fnNone);
}

TEST(IniBrel, LoadingCompleteKeepsAStoredName)
{
    TIniBrel ini(nullptr);
    ini.SetFileName("x.ini");
    ini.LoadingComplete();
    EXPECT_EQ(ini.Path(), ProgramDir() + "x.ini");
}

class WarningBoxTest : public testing::Test
{
protected:
    // A component whose warning box records what it was asked to show.
    std::unique_ptr<TIniBrel> Make()
    {
        auto ini = std::make_unique<TIniBrel>(nullptr);
        ini->SetWarningBox([this](const std::string& message) {
            m_shown.push_back(message);
            return 1;
        });
        return ini;
    }

    std::vector<std::string> m_shown;
};

TEST_F(WarningBoxTest, DesignerWithoutStoredFenceSwitchesToVer11Silently)
{
    const auto made = Make();
    TIniBrel& ini = *made;
    ini.SetDesigning(true);
    ini.LoadingComplete();
    EXPECT_EQ(ini.Fence(), fnVer11Mode);
    EXPECT_EQ(ini.FileName(), ""); // no default name in a designer
    EXPECT_EQ(ini.Path(), "");
    EXPECT_TRUE(m_shown.empty());

    ini.SetFence(fnVer11Mode);
    EXPECT_TRUE(m_shown.empty());
    ini.SetFence(fnDoubleQuote);
    const std::vector<std::string> expected = { Sjis(
        u8"fnVer11Mode以外の値にすると、TIniBrelのVer1.0とVer1."
        u8"1で書き込んだﾌｧｲﾙを正しく読めない事があります。") };
    EXPECT_EQ(m_shown, expected);
    ini.SetFence(fnNone); // leaving another mode warns no more
    EXPECT_EQ(m_shown, expected);
}

TEST_F(WarningBoxTest, StoredFenceStaysAndRunningProgramNeverWarns)
{
    const auto designed = Make();
    designed->SetDesigning(true);
    designed->SetFence(fnParenthesis);
    designed->LoadingComplete();
    EXPECT_EQ(designed->Fence(), fnParenthesis);

    const auto running = Make();
    running->SetFence(fnVer11Mode);
    running->SetFence(fnNone);
    running->LoadingComplete();
    EXPECT_EQ(running->Fence(), fnNone);
    EXPECT_TRUE(m_shown.empty());

    designed->SetWarningBox(nullptr); // no box given: the change still happens
    designed->SetFence(fnVer11Mode);
    designed->SetFence(fnNone);
    EXPECT_EQ(designed->Fence(), fnNone);
}

class FenceTest : public testing::Test
{
protected:
    void WriteFile(const std::string& bytes) { WriteBytes(m_path, bytes); }
    std::string ReadFile() const { return ReadBytes(m_path); }
    std::unique_ptr<TIniBrel> Make(TIniBrelFence fence)
    {
        auto ini = std::make_unique<TIniBrel>(nullptr);
        ini->SetFileName(m_path);
        ini->SetFence(fence);
        return ini;
    }

    ScratchDir m_scratch { "inibrel_" };
    const fs::path m_dir = m_scratch.Dir();
    const std::string m_path = m_scratch.File("x.ini");
};

TEST_F(FenceTest, WriteFencedWrapsTheValue)
{
    const struct
    {
        TIniBrelFence fence;
        std::string line;
    } rows[] = {
        { fnDoubleQuote, "k=\"V\xA2\"" },
        { fnParenthesis, "k=\xA2V\xA2\xA3" },
        { fnVer11Mode, "k=\xA2V\xA2\xA3" },
        { fnNone, "k=V\xA2" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fence);
        fs::remove(m_path);
        Make(row.fence)->WriteFenced("S", "k", "V\xA2");
        EXPECT_EQ(ReadFile(), "[S]\r\n" + row.line + "\r\n");
    }
}

// The profile read itself takes one pair of matching outer double quotes off, so the rows store
// doubled quotes where the component's own test is meant.
TEST_F(FenceTest, ReadFencedTakesOneFencePairOff)
{
    const std::string fences = "\"|\xA2|\xA2|none";
    const struct
    {
        std::string stored; // the value as written in the file; "-" when the key is missing
        std::string quote, bracket, ver11, none; // ReadFenced under each mode
    } rows[] = {
        { "\"\"V\"\"", "V", "\"V\"", "V", "\"V\"" },
        { "\xA2V\xA3", "\xA2V\xA3", "V", "V", "\xA2V\xA3" },
        { "V", "V", "V", "V", "V" },
        { "\"", "\"", "\"", "\"", "\"" },
        { "\"\"\"\"", "", "\"\"", "", "\"\"" },
        { "\"\"\"V\"\"\"", "\"V\"", "\"\"V\"\"", "\"V\"", "\"\"V\"\"" },
        { "\"V\xA3", "\"V\xA3", "\"V\xA3", "\"V\xA3", "\"V\xA3" },
        // "｢" then ぅ (0x82 0xA3): the test is on single bytes.
        { "\xA2V\x82\xA3", "\xA2V\x82\xA3", "V\x82", "V\x82", "\xA2V\x82\xA3" },
        { "\xA2\xA3", "\xA2\xA3", "", "", "\xA2\xA3" },
        { "\"\xA2V\xA3\"", "\xA2V\xA3", "V", "V", "\xA2V\xA3" },
        // A missing key: the fenced default comes back and loses its fence.
        { "-", "D", "D", "D", "D" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("stored: [" + row.stored + "]");
        WriteFile(row.stored == "-" ? "[S]\r\n" : "[S]\r\nk=" + row.stored + "\r\n");
        EXPECT_EQ(Make(fnDoubleQuote)->ReadFenced("S", "k", "D"), row.quote);
        EXPECT_EQ(Make(fnParenthesis)->ReadFenced("S", "k", "D"), row.bracket);
        EXPECT_EQ(Make(fnVer11Mode)->ReadFenced("S", "k", "D"), row.ver11);
        EXPECT_EQ(Make(fnNone)->ReadFenced("S", "k", "D"), row.none);
    }
}

TEST_F(FenceTest, PlainOperationsUseTheCurrentPath)
{
    auto ini = Make(fnNone);
    ini->WriteInt("S", "n", -5);
    ini->WritePlain("S", "t", "\xA2x\xA3");
    EXPECT_EQ(ReadFile(), "[S]\r\nn=-5\r\nt=\xA2x\xA3\r\n");
    EXPECT_EQ(ini->ReadInt("S", "n", 0), -5);
    EXPECT_EQ(ini->ReadInt("S", "t", 9), 9);
    EXPECT_EQ(ini->ReadPlain("S", "t", ""), "\xA2x\xA3");
    EXPECT_EQ(ini->ReadFenced("S", "t", ""), "\xA2x\xA3");

    const std::string refused = (m_dir / "missing" / "x.ini").string();
    ini->SetFileName(refused);
    try {
        ini->WriteFenced("S", "k", "v");
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), refused + Sjis(u8" に書き込めません"));
    }
    EXPECT_EQ(ini->Path(), refused);
}

} // namespace
