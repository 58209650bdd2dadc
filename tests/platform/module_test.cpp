#include "platform/module.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(GetModuleFileName, GivesThisProgramAndCutsAsWindows)
{
    char full[4096];
    const DWORD length = GetModuleFileNameA(nullptr, full, sizeof full);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(full[0], '/');
    EXPECT_EQ(fs::path(full).filename(), "test_platform_module_test");

    char exact[4096];
    EXPECT_EQ(GetModuleFileNameA(nullptr, exact, length + 1), length);
    EXPECT_STREQ(exact, full);

    char cut[4096];
    EXPECT_EQ(GetModuleFileNameA(nullptr, cut, length), length);
    EXPECT_EQ(std::string(cut), std::string(full, length - 1));
    EXPECT_EQ(GetModuleFileNameA(nullptr, cut, 1), 1u);
    EXPECT_STREQ(cut, "");
}

TEST(GetWindowsDirectory, GivesEtcOrTheSizeNeeded)
{
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 4), 5u);
    EXPECT_STREQ(buffer, "xxxxxxx");
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 5), 4u);
    EXPECT_STREQ(buffer, "/etc");
    EXPECT_EQ(GetWindowsDirectoryA(nullptr, 0), 5u);
}

class Files : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(At("a"), "A");
        WriteBytes(At("b"), "B");
    }
    std::string At(const char* name) const { return m_scratch.File(name); }

    ScratchDir m_scratch { "module_" };
};

TEST_F(Files, DeleteRemovesOnlyFiles)
{
    EXPECT_EQ(DeleteFileA(At("a").c_str()), 1);
    EXPECT_FALSE(fs::exists(At("a")));
    EXPECT_EQ(DeleteFileA(At("a").c_str()), 0);
    fs::create_directory(At("d"));
    EXPECT_EQ(DeleteFileA(At("d").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(At("d")));
}

TEST_F(Files, MoveReplacesOnlyWhenAsked)
{
    EXPECT_EQ(MoveFileExA(At("a").c_str(), At("b").c_str(), 0), 0);
    EXPECT_EQ(ReadBytes(At("a")), "A");
    EXPECT_EQ(ReadBytes(At("b")), "B");

    EXPECT_EQ(MoveFileExA(At("a").c_str(), At("b").c_str(), MOVEFILE_REPLACE_EXISTING), 1);
    EXPECT_FALSE(fs::exists(At("a")));
    EXPECT_EQ(ReadBytes(At("b")), "A");

    EXPECT_EQ(MoveFileExA(At("b").c_str(), At("c").c_str(), 0), 1);
    EXPECT_EQ(ReadBytes(At("c")), "A");
    EXPECT_EQ(MoveFileExA(At("missing").c_str(), At("d").c_str(), MOVEFILE_REPLACE_EXISTING), 0);
}

} // namespace
