#include "platform/file_replace.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

// A write killed at any moment leaves the old file whole. Its temporary file is unnamed until the
// content is complete, so a kill leaves at most the short-lived named one from just before the
// rename; the next write removes it, since its writer no longer runs. A temporary file of a writer
// that still runs stays, unless it is older than any write can take.

namespace {

namespace fs = std::filesystem;

class FileReplace : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "file-replace-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_path = (m_dir / "Tintora.ini").string();
        std::ofstream(m_path, std::ios::binary) << "old";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Stored() const
    {
        std::ifstream in(m_path, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    std::vector<fs::path> Others() const
    {
        std::vector<fs::path> others;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            if (entry.path() != m_path)
                others.push_back(entry.path());
        }
        return others;
    }

    fs::path m_dir;
    std::string m_path;
};

TEST_F(FileReplace, KilledWriteLeavesTheOldFileAndTheNextWriteRemovesItsLeftover)
{
    // The child is killed the moment before its rename.
    const pid_t child = ::fork();
    if (child == 0) {
        RenameForReplace() = [](const char*, const char*) {
            ::raise(SIGKILL);
            return -1;
        };
        ReplaceFileContents(m_path, "new");
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Stored(), "old");
    ASSERT_EQ(Others().size(), 1u);

    const fs::path running =
        m_dir / (".Tintora.ini." + std::to_string(::getppid()) + "-abcdefgh.tmp");
    const fs::path unrelated = m_dir / (".Other.ini." + std::to_string(child) + "-abcdefgh.tmp");
    std::ofstream(running) << "x";
    std::ofstream(unrelated) << "x";
    ASSERT_TRUE(ReplaceFileContents(m_path, "newer"));
    EXPECT_EQ(Stored(), "newer");
    std::vector<fs::path> others = Others();
    std::sort(others.begin(), others.end());
    EXPECT_EQ(others, (std::vector<fs::path> { unrelated, running }));

    fs::last_write_time(running, fs::file_time_type::clock::now() - std::chrono::hours(1));
    ASSERT_TRUE(ReplaceFileContents(m_path, "newest"));
    EXPECT_EQ(Others(), std::vector<fs::path> { unrelated });
}

} // namespace
