#include "settings/profile_file.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

class ProfileFileTest : public testing::Test
{
protected:
    void WriteFile(const std::string& bytes) { WriteBytes(m_path, bytes); }
    std::string ReadFile() const { return ReadBytes(m_path); }

    ScratchDir m_scratch { "profile_file_" };
    const fs::path m_dir = m_scratch.Dir();
    const std::string m_path = m_scratch.File("x.ini");
};

TEST_F(ProfileFileTest, ReadsAtMost1023Bytes)
{
    WriteFile("[S]\r\nlong=" + std::string(1500, 'v') + "\r\nk=v\r\n");
    TIniFile file(m_path);
    EXPECT_EQ(file.GetString("S", "long", "d"), std::string(1023, 'v'));
    EXPECT_EQ(file.GetString("S", "k", "d"), "v");
    EXPECT_EQ(file.GetString("S", "missing", "d"), "d");
    EXPECT_EQ(file.GetString("S", "missing", ""), "");
    EXPECT_EQ(file.GetString("S", "missing", std::string(1500, 'd')), std::string(1023, 'd'));
    EXPECT_EQ(TIniFile(m_path + ".none").GetString("S", "k", "d"), "d");
}

TEST_F(ProfileFileTest, GetIntegerReadsHexPrefixesAndFallsBackToTheCallersDefault)
{
    const struct
    {
        const char* text; // null: the key is missing
        std::int32_t value;
    } rows[] = {
        { "0x1F", 31 },
        { "0X1f", 31 },
        { "$1F", 31 },
        { "-5", -5 },
        { "0xFFFFFFFF", -1 },
        { "0x", 77 },
        { "0x-1", 77 },
        { "12abc", 77 },
        { "", 77 },
        { nullptr, 77 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text ? row.text : "(missing)");
        WriteFile(row.text ? std::string("[S]\r\nk=") + row.text + "\r\n" : "[S]\r\n");
        EXPECT_EQ(TIniFile(m_path).GetInteger("S", "k", 77), row.value);
    }
}

TEST_F(ProfileFileTest, WritesExactBytes)
{
    TIniFile file(m_path);
    file.PutInteger("S", "neg", -5);
    file.PutInteger("S", "zero", 0);
    file.PutInteger("S", "min", INT32_MIN);
    file.PutString("S", "empty", "");
    file.PutString(Sjis(u8"空色"), "k", Sjis(u8"ｷｬﾝｾﾙ"));
    EXPECT_EQ(ReadFile(),
        "[S]\r\nneg=-5\r\nzero=0\r\nmin=-2147483648\r\nempty=\r\n"
        "[\x8B\xF3\x90\x46]\r\nk=\xB7\xAC\xDD\xBE\xD9\r\n");
    EXPECT_EQ(file.GetInteger("S", "min", 0), 0); // the decimal form stops at -2147483647
    EXPECT_EQ(file.GetString("S", "empty", "d"), "");
}

TEST_F(ProfileFileTest, EmptyNamesArePassedOn)
{
    TIniFile file(m_path);
    file.PutString("", "", "v");
    EXPECT_EQ(ReadFile(), "[]\r\n=v\r\n");
    EXPECT_EQ(file.GetString("", "", "d"), "v");
}

TEST_F(ProfileFileTest, RefusedWriteNamesThePathAsHeld)
{
    const std::string missingParent = (m_dir / "no-such-dir" / "x.ini").string();
    fs::create_directory(m_dir / "dir.ini");
    const std::string directory = (m_dir / "dir.ini").string();
    for (const std::string& path : { missingParent, directory }) {
        SCOPED_TRACE(path);
        TIniFile file(path);
        try {
            file.PutInteger("S", "k", 1);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), path + Sjis(u8" に書き込めません"));
        }
        // The object stays usable: a later read gives the default.
        EXPECT_EQ(file.GetString("S", "k", "d"), "d");
    }
    EXPECT_FALSE(fs::exists(m_dir / "no-such-dir"));
}

// The path is the file system's bytes (UTF-8); the message is a CP932 text that reads in the box.
TEST(WriteError, MessageIsThePathThenTheText)
{
    const struct
    {
        std::string path;
        std::string shown; // in UTF-8, as the box shows it
    } rows[] = {
        { "a%sb", "a%sb" },
        { "/home/u/デスクトップ/Tintora.ini", "/home/u/デスクトップ/Tintora.ini" },
        { "/home/u/a郎/b郎/Tintora.ini", "/home/u/a郎/b郎/Tintora.ini" },
        { "/home/u/ﾀﾞｳﾝ\\x/Tintora.ini", "/home/u/ﾀﾞｳﾝ\\x/Tintora.ini" },
        { "/srv/Café/🎨/Tintora.ini", "/srv/Caf?/?/Tintora.ini" },
        { "/srv/\xFF\xE9x/Tintora.ini", "/srv/??x/Tintora.ini" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(WriteError(row.path).Message(), Sjis(row.shown + " に書き込めません"));
    }
}

} // namespace
