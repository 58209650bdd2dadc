// Users sharing one settings file: root, its owner, a member of its group and nobody register a
// colour in turn, in a plain and in a sticky world-writable folder, with no lock file yet and with
// one left behind by an older program for a user who could not write the settings file. Each may
// write exactly when the file system lets them replace the settings file; whoever is refused gets
// the settings file's own write error and makes no lock file; nobody's attempt never shuts out
// the others.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "colour/exception.h"
#include "platform/profile_lock_p.h"
#include "settings/inibrel.h"
#include "settings/profile_file.h"
#include "settings/usercolor_store.h"
#include "tests/support/forked_child.h"
#include "tests/support/ini_on_file.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr gid_t SharedGroup = 4100; // the settings file's group
constexpr uid_t OwnerId = 4101; // owns the settings file, in its group
constexpr uid_t MemberId = 4102; // in the settings file's group besides a group of its own
constexpr gid_t MemberOwnGroup = 4103;

struct User
{
    const char* name;
    uid_t uid;
    gid_t gid;
    std::vector<gid_t> groups;
};

const User Root { "root", 0, 0, {} };
const User Owner { "owner", OwnerId, SharedGroup, {} };
const User Member { "member", MemberId, MemberOwnGroup, { SharedGroup } };
const User Nobody { "nobody", NobodyId, NobodyGroupId, {} };

enum Outcome {
    Written = 0,
    WriteRefused = 1, // the settings file's own write error
    OtherError = 2,
    CannotBecomeTheUser = 3,
};

// Continues as user (nothing to do for root); false when the system does not allow it.
bool Become(const User& user)
{
    return user.uid == 0
        || (::setgroups(user.groups.size(), user.groups.data()) == 0 && ::setgid(user.gid) == 0
            && ::setuid(user.uid) == 0);
}

// True when a child process can become every user of the table (a container may not map them).
bool CanBecomeEveryUser()
{
    for (const User* user : { &Owner, &Member, &Nobody }) {
        ForkedChild child(::fork());
        if (child.InChild())
            ::_exit(Become(*user) ? 0 : 1);
        const int status = child.Wait();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return false;
    }
    return true;
}

// Registers entry in the settings file at path as user, in a child process; how it went.
Outcome RegisterAs(const User& user, const std::string& path, const std::string& entry)
{
    ForkedChild child(::fork());
    if (child.InChild()) {
        ProfileLockTimeout() = std::chrono::milliseconds(1000);
        if (!Become(user))
            ::_exit(CannotBecomeTheUser);
        TIniBrel ini(nullptr);
        IniOn(ini, path);
        try {
            RegisterUserColor(ini, entry);
        } catch (const Exception& error) {
            ::_exit(error.Message() == WriteError(path).Message() ? WriteRefused : OtherError);
        }
        ::_exit(Written);
    }
    const int status = child.Wait();
    return WIFEXITED(status) ? static_cast<Outcome>(WEXITSTATUS(status)) : OtherError;
}

TEST(SettingsUsers, EveryoneWhoMayReplaceTheSettingsFileWritesAndNobodyIsLockedOut)
{
    if (::geteuid() != 0 || !CanBecomeEveryUser())
        GTEST_SKIP() << "needs root, able to act as several users";
    const struct
    {
        const char* what;
        mode_t folderMode;
        bool oldLockFile; // left by nobody, who may not write the settings file, as 0644
        Outcome member; // the group member may not rename over the owner's file in a sticky folder
    } rows[] = {
        { "plain folder", 0777, false, Written },
        { "plain folder, old lock file", 0777, true, Written },
        { "sticky folder", 01777, false, WriteRefused },
        { "sticky folder, old lock file", 01777, true, WriteRefused },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const ScratchDir scratch("tintora-users-");
        const std::string path = scratch.File("Tintora.ini");
        const std::string lockFile = scratch.File(".Tintora.ini.lock");
        ASSERT_EQ(::chmod(scratch.Dir().c_str(), row.folderMode), 0);
        {
            const int made = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            ASSERT_GE(made, 0);
            ASSERT_EQ(::write(made, "[UserColor]\r\nCount=0\r\n", 22), 22);
            ASSERT_EQ(::fchown(made, OwnerId, SharedGroup), 0);
            ASSERT_EQ(::fchmod(made, 0664), 0);
            ::close(made);
        }
        if (row.oldLockFile) {
            const int made = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            ASSERT_GE(made, 0);
            ASSERT_EQ(::fchown(made, NobodyId, NobodyGroupId), 0);
            ASSERT_EQ(::fchmod(made, 0644), 0);
            ::close(made);
        }

        // nobody first, as in a folder where anyone may make files: refused, leaving no lock file.
        EXPECT_EQ(RegisterAs(Nobody, path, "000000nobody"), WriteRefused);
        EXPECT_EQ(fs::exists(lockFile), row.oldLockFile);

        std::vector<std::string> stored;
        const struct
        {
            const User& user;
            Outcome expected;
        } turns[] = { { Member, row.member }, { Owner, Written }, { Root, Written },
            { Nobody, WriteRefused }, { Owner, Written } };
        for (const auto& turn : turns) {
            SCOPED_TRACE(turn.user.name);
            const std::string entry = "FF8000" + std::string(turn.user.name);
            const Outcome outcome = RegisterAs(turn.user, path, entry);
            ASSERT_NE(outcome, CannotBecomeTheUser);
            EXPECT_EQ(outcome, turn.expected);
            if (outcome == Written)
                stored.push_back(entry);
        }

        TIniBrel ini(nullptr);
        IniOn(ini, path);
        const UserColorLoad load = LoadUserColors(ini);
        EXPECT_EQ(std::vector<std::string>(load.entries.begin(), load.entries.end()), stored);
        // The file stays in its group, so the group may go on writing it.
        struct stat settings = {};
        ASSERT_EQ(::stat(path.c_str(), &settings), 0);
        EXPECT_EQ(settings.st_gid, SharedGroup);
        EXPECT_EQ(settings.st_mode & 07777, 0664u);
    }
}

} // namespace
