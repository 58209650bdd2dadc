#include "platform/file_replace.h"
#include "platform/file_replace_p.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

// A write killed at any moment leaves the old file whole. Its temporary file is unnamed until the
// content is complete, so a kill leaves at most the short-lived named one from just before the
// rename; the next write removes it, since its writer no longer runs. A temporary file of a writer
// that still runs stays, unless it is older than any write can take; one of another computer
// stays however old, since its writer cannot be seen from here.

namespace {

namespace fs = std::filesystem;

class FileReplace : public testing::Test
{
protected:
    void SetUp() override { WriteBytes(m_path, "old"); }

    std::string Stored() const { return ReadBytes(m_path); }
    std::vector<fs::path> Others() const
    {
        std::vector<fs::path> others;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            if (entry.path() != m_path)
                others.push_back(entry.path());
        }
        return others;
    }

    ScratchDir m_scratch { "file-replace-" };
    const fs::path m_dir = m_scratch.Dir();
    const std::string m_path = m_scratch.File("Tintora.ini");
};

// Runs a write in a child that is killed the moment before its rename; returns the child's pid.
pid_t WriteKilledBeforeRename(const std::string& path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        RenameForReplace() = [](const char*, const char*) {
            ::raise(SIGKILL);
            return -1;
        };
        ReplaceFileContents(*ResolveWriteTarget(path), "new");
        ::_exit(0);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    return child;
}

TEST_F(FileReplace, KilledWriteLeavesTheOldFileAndTheNextWriteRemovesItsLeftover)
{
    const pid_t child = WriteKilledBeforeRename(m_path);
    EXPECT_EQ(Stored(), "old");
    ASSERT_EQ(Others().size(), 1u);

    const auto make = [&](std::string_view base, std::string_view host, pid_t writer) {
        const fs::path path = m_dir / TemporaryFileName(base, host, writer);
        std::ofstream(path) << "x";
        return path;
    };
    const fs::path running = make("Tintora.ini", ThisHostName(), ::getppid());
    const fs::path unrelated = make("Other.ini", ThisHostName(), child);
    // Another computer's, whose process id means nothing here, however old.
    const fs::path remote = make("Tintora.ini", "elsewhere.example", child);
    fs::last_write_time(remote, fs::file_time_type::clock::now() - std::chrono::hours(24));
    const auto target = ResolveWriteTarget(m_path);
    ASSERT_TRUE(target && ReplaceFileContents(*target, "newer"));
    EXPECT_EQ(Stored(), "newer");
    std::vector<fs::path> others = Others();
    std::sort(others.begin(), others.end());
    std::vector<fs::path> expected { unrelated, running, remote };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(others, expected);

    fs::last_write_time(running, fs::file_time_type::clock::now() - std::chrono::hours(1));
    ASSERT_TRUE(ReplaceFileContents(*target, "newest"));
    others = Others();
    std::sort(others.begin(), others.end());
    expected = { unrelated, remote };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(others, expected);
}

TEST_F(FileReplace, WritesKilledOneAfterAnotherLeaveOneLeftoverAtMost)
{
    for (int kill = 0; kill < 3; ++kill) {
        WriteKilledBeforeRename(m_path);
        EXPECT_EQ(Others().size(), 1u) << "after kill " << kill;
    }
    EXPECT_EQ(Stored(), "old");
}

} // namespace
