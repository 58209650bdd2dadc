// An export into a shared sticky folder (as /tmp is) where another user planted a link under the
// name: the link is refused, whoever exports, and nothing outside the folder is replaced, whatever
// the kernel's own protection of such links is set to. Needs root, which plays the other users.

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "settings/palette_error.h"
#include "settings/palette_file.h"
#include "tests/support/forked_child.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t DaemonId = 1;
constexpr gid_t DaemonGroupId = 1;

/// Runs body in a child process as the user uid (root's groups dropped); its exit status, or -1
/// when the child did not end normally.
int AsUser(uid_t uid, gid_t gid, const std::function<int()>& body)
{
    ForkedChild child(::fork());
    if (child.InChild()) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(100);
        ::_exit(body());
    }
    const int status = child.Wait();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// 0 when the export to path is refused as a foreign link, 1 when it wrote, 2 for another refusal.
int ExportRefusedAsForeignLink(const std::string& path)
{
    try {
        WritePaletteFile(path, "GIMP Palette\nName: planted\n");
        return 1;
    } catch (const PaletteError& e) {
        const std::u8string expected =
            u8"書き出せません（共有のフォルダーにある、ほかのアカウントが作ったリンクです）";
        return e.Reason() == std::string(expected.begin(), expected.end()) ? 0 : 2;
    }
}

class PaletteLinks : public testing::Test
{
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root to act as other users";
        fs::permissions(m_scratch.Dir(), fs::perms(0755));
        fs::create_directory(m_shared);
        fs::permissions(m_shared, fs::perms(01777));
    }

    /// Makes the file at path, owned by uid, with content, in a folder only uid may enter.
    void Victim(const fs::path& path, uid_t uid, gid_t gid, const std::string& content)
    {
        fs::create_directory(path.parent_path());
        WriteBytes(path, content);
        ASSERT_EQ(::chown(path.parent_path().c_str(), uid, gid), 0);
        ASSERT_EQ(::chown(path.c_str(), uid, gid), 0);
        fs::permissions(path.parent_path(), fs::perms(0700));
        fs::permissions(path, fs::perms(0600));
    }

    /// nobody plants a link named name in the shared folder, pointing at target.
    void Plant(const std::string& name, const fs::path& target)
    {
        const std::string link = (m_shared / name).string();
        ASSERT_EQ(AsUser(NobodyId, NobodyGroupId,
                      [&] { return ::symlink(target.c_str(), link.c_str()) == 0 ? 0 : 1; }),
            0);
    }

    ScratchDir m_scratch { "palette-links-" };
    const fs::path m_shared = m_scratch.Dir() / "shared";
};

TEST_F(PaletteLinks, RootRefusesALinkPlantedByAnotherUser)
{
    const fs::path secret = m_scratch.Dir() / "root-only" / "secret";
    Victim(secret, 0, 0, "root's secret");
    Plant("colours.gpl", secret);
    EXPECT_EQ(ExportRefusedAsForeignLink((m_shared / "colours.gpl").string()), 0);
    EXPECT_EQ(ReadBytes(secret), "root's secret");
    EXPECT_TRUE(fs::is_symlink(m_shared / "colours.gpl"));
}

// A link planted as a folder on the way is refused too: the export would otherwise put its file
// into the folder the link names.
TEST_F(PaletteLinks, RootRefusesAPlantedLinkOnTheWay)
{
    const fs::path secret = m_scratch.Dir() / "root-only" / "secret.gpl";
    Victim(secret, 0, 0, "root's secret");
    Plant("folder", secret.parent_path());
    EXPECT_EQ(ExportRefusedAsForeignLink((m_shared / "folder" / "secret.gpl").string()), 0);
    EXPECT_EQ(ReadBytes(secret), "root's secret");
    EXPECT_EQ(std::distance(fs::directory_iterator(secret.parent_path()), {}), 1);
}

TEST_F(PaletteLinks, AnOrdinaryUserRefusesALinkPlantedByAnotherUser)
{
    const fs::path profile = m_scratch.Dir() / "daemon-home" / ".profile";
    Victim(profile, DaemonId, DaemonGroupId, "PATH=/usr/bin\n");
    Plant("colours.css", profile);
    const std::string link = (m_shared / "colours.css").string();
    EXPECT_EQ(AsUser(DaemonId, DaemonGroupId, [&] { return ExportRefusedAsForeignLink(link); }), 0);
    EXPECT_EQ(ReadBytes(profile), "PATH=/usr/bin\n");

    // The user's own link there is written through, into the user's own file, as the shell would.
    const std::string own = (m_shared / "own.gpl").string();
    EXPECT_EQ(AsUser(DaemonId, DaemonGroupId,
                  [&] { return ::symlink(profile.c_str(), own.c_str()) == 0 ? 0 : 1; }),
        0);
    EXPECT_EQ(AsUser(DaemonId, DaemonGroupId, [&] { return ExportRefusedAsForeignLink(own); }), 1);
    EXPECT_EQ(ReadBytes(profile), "GIMP Palette\nName: planted\n");
}

} // namespace
