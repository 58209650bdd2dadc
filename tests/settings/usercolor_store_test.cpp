#include "settings/usercolor_store.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/codepage_p.h"
#include "platform/file_replace_p.h"
#include "platform/profile.h"
#include "platform/profile_lock_p.h"
#include "settings/inibrel.h"
#include "settings/profile_file.h"
#include "tests/support/ini_on_file.h"
#include "tests/support/restore.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string WriteRefused =
    " \x82\xC9\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1";

// Each test gets its own directory holding at most the settings file Tintora.ini.
class UserColorStore : public testing::Test
{
protected:
    void SetUp() override { IniOn(m_ini, m_path); }

    void Store(const std::string& bytes) const { WriteBytes(m_path, bytes); }
    std::string Stored() const { return ReadBytes(m_path); }
    // The files in the directory but the writes' lock files, which stay there for good.
    std::size_t FilesInDirectory() const
    {
        std::size_t files = 0;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            const std::string name = entry.path().filename().string();
            files += name.starts_with('.') && name.ends_with(".lock") ? 0 : 1;
        }
        return files;
    }

    ScratchDir m_scratch { "usercolor-" };
    const fs::path m_dir = m_scratch.Dir();
    const std::string m_path = m_scratch.File("Tintora.ini");
    TIniBrel m_ini { nullptr };
    // A test that makes the rename fail leaves the real one to the next.
    const Restore<std::function<int(const char*, const char*)>> m_rename { RenameForReplace() };
};

struct LoadCase
{
    const char* name;
    std::string file; // empty: no file at all
    std::int32_t count;
    TStringList entries;
};

TEST_F(UserColorStore, LoadsWhatTheSectionHolds)
{
    const std::string longName(1500, 'n');
    const std::vector<LoadCase> cases = {
        { "no file", "", 0, {} },
        { "no section", "[Other]\r\nUsercolcnt=2\r\n1=FF8000orange\r\n", 0, {} },
        { "count 0", "[Usercolor]\r\nUsercolcnt=0\r\n1=FF8000orange\r\n", 0, {} },
        { "count 2, only key 1", "[Usercolor]\r\nUsercolcnt=2\r\n1=FF8000orange\r\n", 2,
            { "FF8000orange", "" } },
        { "negative count", "[Usercolor]\r\nUsercolcnt=-3\r\n1=FF8000orange\r\n", -3, {} },
        { "count 0x2", "[Usercolor]\r\nUsercolcnt=0x2\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n", 2,
            { "AAAAAAa", "BBBBBBb" } },
        { "short entries", "[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000\r\n2=FF80\r\n3=\r\n", 3,
            { "FF8000", "FF80", "" } },
        { "Japanese name", "[Usercolor]\r\nUsercolcnt=1\r\n1=87CEEB\x8B\xF3\x90\x46\r\n", 1,
            { "87CEEB\x8B\xF3\x90\x46" } },
        { "entry over 1023 bytes", "[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000" + longName + "\r\n", 1,
            { "FF8000" + longName.substr(0, 1017) } },
        // How the profile read finds keys: case, blanks, quotes, comments, repeats, line ends.
        { "profile read rules",
            "k=v\r\n[usercolor]\r\nUSERCOLCNT=6\r\n ; 1=comment\r\n\t1 = ' FF0000 red ' \r\n"
            "2=\"AAAAAA\r\n2=second\r\n3\r\n4=x=y\r\n[Usercolor]\r\n5=hidden\r\n",
            6, { " FF0000 red ", "\"AAAAAA", "", "x=y", "", "" } },
        { "CR and LF line ends", "[Usercolor]\rUsercolcnt=2\n1=AAAAAAa\r2=BBBBBBb", 2,
            { "AAAAAAa", "BBBBBBb" } },
        // Keys out of file order, repeated or written with a leading zero: the first line that
        // is exactly the key's number counts, wherever it stands.
        { "keys out of file order",
            "[Usercolor]\r\nUsercolcnt=4\r\n2=BBBBBBb\r\n1=AAAAAAa\r\n4=DDDDDDd\r\n", 4,
            { "AAAAAAa", "BBBBBBb", "", "DDDDDDd" } },
        { "leading zero before the key",
            "[Usercolor]\r\nUsercolcnt=3\r\n1=AAAAAAa\r\n02=zero\r\n3=CCCCCCc\r\n2=BBBBBBb\r\n", 3,
            { "AAAAAAa", "BBBBBBb", "CCCCCCc" } },
        { "first key missing", "[Usercolor]\r\nUsercolcnt=2\r\n2=BBBBBBb\r\n1=AAAAAAa\r\n2=x\r\n",
            2, { "AAAAAAa", "BBBBBBb" } },
        { "other names between, last key missing",
            "[Usercolor]\r\n1=AAAAAAa\r\nUsercolcnt=3\r\nx2=no\r\n2 =BBBBBBb\r\n", 3,
            { "AAAAAAa", "BBBBBBb", "" } },
        { "repeat after the last counted key",
            "[Usercolor]\r\nUsercolcnt=1\r\n1=AAAAAAa\r\n1=again\r\n2=BBBBBBb\r\n", 1,
            { "AAAAAAa" } },
        { "header on a BOM line is not seen", "\xEF\xBB\xBF[Usercolor]\r\nUsercolcnt=1\r\n", 0,
            {} },
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(m_path);
        if (!c.file.empty()) {
            Store(c.file);
        }
        const UserColorLoad load = LoadUserColors(m_ini);
        EXPECT_EQ(load.count, c.count);
        EXPECT_EQ(load.entries, c.entries);
        EXPECT_FALSE(load.damaged);
        // The single-pass read must agree with reading each key through the profile functions.
        for (std::size_t i = 0; i < load.entries.size(); ++i) {
            char buffer[1024];
            const DWORD n = GetPrivateProfileStringA("Usercolor", std::to_string(i + 1).c_str(), "",
                buffer, sizeof buffer, m_path.c_str());
            EXPECT_EQ(load.entries[i], std::string(buffer, n)) << "key " << i + 1;
        }
    }
}

TEST_F(UserColorStore, NamesStartAtTheSeventhByte)
{
    EXPECT_EQ(UserColorName("FF8000orange"), "orange");
    EXPECT_EQ(UserColorName("87CEEB\x8B\xF3\x90\x46"), "\x8B\xF3\x90\x46");
    EXPECT_EQ(UserColorName("FF8000"), "");
    EXPECT_EQ(UserColorName("F"), "");
    EXPECT_EQ(UserColorName("1000000sea"), "0sea");
}

TEST_F(UserColorStore, DamagedCountLoadsTheNumberedEntriesPresentAndLeavesTheFile)
{
    const std::string file = "[Usercolor]\r\nUsercolcnt=2147483647\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n"
                             "05=zero\r\n4=DDDDDDd\r\n100001=beyond\r\n";
    Store(file);
    const UserColorLoad load = LoadUserColors(m_ini);
    EXPECT_TRUE(load.damaged);
    EXPECT_EQ(load.storedCount, 2147483647);
    EXPECT_EQ(load.count, 4);
    EXPECT_EQ(load.entries, (TStringList { "AAAAAAa", "BBBBBBb", "", "DDDDDDd" }));
    EXPECT_EQ(Stored(), file);
    EXPECT_EQ(DamagedCountText(load),
        Sjis(u8"設定ファイルの色の数（Usercolcnt="
             u8"2147483647）が多すぎるため、実際に保存されている4色を"
             u8"読み込みました。このまま使えます。"));
}

TEST_F(UserColorStore, CountsUpToTheLimitAreTakenAsStored)
{
    Store("[Usercolor]\r\nUsercolcnt=100000\r\n1=AAAAAAa\r\n");
    UserColorLoad load = LoadUserColors(m_ini);
    EXPECT_FALSE(load.damaged);
    EXPECT_EQ(load.entries.size(), 100000u);

    Store("[Usercolor]\r\nUsercolcnt=100001\r\n1=AAAAAAa\r\n");
    load = LoadUserColors(m_ini);
    EXPECT_TRUE(load.damaged);
    EXPECT_EQ(load.entries, TStringList { "AAAAAAa" });
}

struct RegisterCase
{
    const char* name;
    std::string before; // empty: no file
    std::string entry;
    std::int32_t count;
    std::string after;
};

TEST_F(UserColorStore, RegisterLeavesWhatCountThenEntryWritesLeave)
{
    const std::vector<RegisterCase> cases = {
        { "no file", "", "FF8000orange", 1, "[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n" },
        { "other section only", "[Other]\r\nk=v", "FF8000orange", 1,
            "[Other]\r\nk=v\r\n[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n" },
        { "count and keys present, a section after",
            "[Usercolor]\r\nUsercolcnt=2\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n;note\r\n[Other]\r\nk=v\r\n",
            "87CEEB\x8B\xF3\x90\x46", 3,
            "[Usercolor]\r\nUsercolcnt=3\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n3=87CEEB\x8B\xF3\x90\x46\r\n"
            ";note\r\n[Other]\r\nk=v\r\n" },
        { "no count key: key 1 is overwritten after the new count line",
            "[Usercolor]\r\n1=AAAAAAa\r\n", "FF8000orange", 1,
            "[Usercolor]\r\n1=FF8000orange\r\nUsercolcnt=1\r\n" },
        { "a name is cut at its first line end, so it cannot add lines to the file",
            "[Usercolor]\r\nUsercolcnt=1\r\n1=AAAAAAa\r\n",
            "FF8000red\r\n[Usercolor]\r\nUsercolcnt=99\n2=x", 2,
            "[Usercolor]\r\nUsercolcnt=2\r\n1=AAAAAAa\r\n2=FF8000red\r\n" },
        { "a name cut at a lone CR", "", "FF8000red\rblue", 1,
            "[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000red\r\n" },
        { "negative count", "[Usercolor]\r\nUsercolcnt=-3\r\n", "FF8000orange", -2,
            "[Usercolor]\r\nUsercolcnt=-2\r\n-2=FF8000orange\r\n" },
        { "damaged count continues after the highest entry",
            "[Usercolor]\r\nUsercolcnt=2147483647\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n", "1000000sea", 3,
            "[Usercolor]\r\nUsercolcnt=3\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n3=1000000sea\r\n" },
    };
    for (const RegisterCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(m_path);
        if (!c.before.empty()) {
            Store(c.before);
        }
        EXPECT_EQ(RegisterUserColor(m_ini, c.entry), c.count);
        EXPECT_EQ(Stored(), c.after);
        EXPECT_EQ(FilesInDirectory(), 1u);
    }
}

TEST_F(UserColorStore, RefusedRegisterLeavesTheOldFile)
{
    const std::string file = "[Usercolor]\r\nUsercolcnt=1\r\n1=AAAAAAa\r\n";
    Store(file);
    RenameForReplace() = [](const char*, const char*) { return -1; };
    try {
        RegisterUserColor(m_ini, "FF8000orange");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), m_path + WriteRefused);
    }
    EXPECT_EQ(Stored(), file);
    EXPECT_EQ(FilesInDirectory(), 1u);
    EXPECT_EQ(LoadUserColors(m_ini).entries, TStringList { "AAAAAAa" });
}

TEST_F(UserColorStore, RegisterIntoAMissingDirectoryFailsWithThePath)
{
    const std::string path = (m_dir / "missing" / "Tintora.ini").string();
    m_ini.SetFileName(path);
    try {
        RegisterUserColor(m_ini, "FF8000orange");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), path + WriteRefused);
    }
    EXPECT_EQ(FilesInDirectory(), 0u);
}

TEST_F(UserColorStore, RegisterRefusesBeyondTheLimit)
{
    const std::string file = "[Usercolor]\r\nUsercolcnt=100000\r\n";
    Store(file);
    try {
        RegisterUserColor(m_ini, "FF8000orange");
        FAIL() << "no error";
    } catch (const UserColorsFull& e) {
        EXPECT_EQ(e.Message(),
            Sjis(u8"ユーザカラーは10万色までしか登録できません。使わない色を削除してから登録して"
                 u8"ください。"));
    }
    EXPECT_EQ(Stored(), file);
}

struct DeleteCase
{
    const char* name;
    std::string before;
    std::int32_t index;
    std::string after;
};

TEST_F(UserColorStore, DeleteLeavesTheSectionAloneRenumbered)
{
    const std::vector<DeleteCase> cases = {
        { "middle entry, other sections dropped",
            ";top\r\n[Other]\r\nk=v\r\n[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000orange\r\n"
            "2=87CEEB\x8B\xF3\x90\x46\r\n3=336699sea\r\n[More]\r\nj=w\r\n",
            1, "[Usercolor]\r\nUsercolcnt=2\r\n1=FF8000orange\r\n2=336699sea\r\n" },
        { "only entry", "[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n", 0,
            "[Usercolor]\r\nUsercolcnt=0\r\n" },
        { "missing key kept as an empty entry",
            "[Usercolor]\r\nUsercolcnt=3\r\n1=AAAAAAa\r\n3=CCCCCCc\r\n", 0,
            "[Usercolor]\r\nUsercolcnt=2\r\n1=\r\n2=CCCCCCc\r\n" },
        { "values as read: blanks and quotes off, cut at 1023 bytes",
            "[Usercolor]\r\nUsercolcnt=2\r\n1= \"AAAAAA a \" \r\n2=B" + std::string(1100, 'b')
                + "\r\n",
            0, "[Usercolor]\r\nUsercolcnt=1\r\n1=B" + std::string(1022, 'b') + "\r\n" },
        { "damaged count", "[Usercolor]\r\nUsercolcnt=2147483647\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n", 0,
            "[Usercolor]\r\nUsercolcnt=1\r\n1=BBBBBBb\r\n" },
    };
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(c.name);
        Store(c.before);
        const UserColorLoad before = LoadUserColors(m_ini);
        const UserColorLoad after =
            DeleteUserColor(m_ini, c.index, std::string(before.entries[c.index]));
        EXPECT_EQ(Stored(), c.after);
        EXPECT_EQ(FilesInDirectory(), 1u);

        std::vector<std::string> expected(before.entries.begin(), before.entries.end());
        expected.erase(expected.begin() + c.index);
        EXPECT_EQ(after.entries, TStringList(expected.begin(), expected.end()));
        EXPECT_EQ(after.count, static_cast<std::int32_t>(expected.size()));

        // Byte for byte what removing the file and writing the count and then each key gives.
        const std::string fresh = (m_dir / "fresh.ini").string();
        WritePrivateProfileStringA(
            "Usercolor", "Usercolcnt", std::to_string(expected.size()).c_str(), fresh.c_str());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            WritePrivateProfileStringA(
                "Usercolor", std::to_string(i + 1).c_str(), expected[i].c_str(), fresh.c_str());
        }
        EXPECT_EQ(Stored(), ReadBytes(fresh));
        fs::remove(fresh);
    }
}

// A hand-edited entry that reads back differently when written bare (outer blanks, or a pair of
// like quotes of its own) is written between double quotes, so deleting one colour never changes
// another.
TEST_F(UserColorStore, DeleteKeepsTheOtherEntriesAsTheyRead)
{
    Store("[Usercolor]\r\nUsercolcnt=4\r\n1=\"'AAAAAAa'\"\r\n2=BBBBBBb\r\n3=\"CCCCCCc \"\r\n"
          "4=\"\"DDDDDDd\"\"\r\n");
    const TStringList entries = { "'AAAAAAa'", "CCCCCCc ", "\"DDDDDDd\"" };
    EXPECT_EQ(DeleteUserColor(m_ini, 1, "BBBBBBb").entries, entries);
    EXPECT_EQ(LoadUserColors(m_ini).entries, entries);
    EXPECT_EQ(Stored(),
        "[Usercolor]\r\nUsercolcnt=3\r\n1=\"'AAAAAAa'\"\r\n2=\"CCCCCCc "
        "\"\r\n3=\"\"DDDDDDd\"\"\r\n");
}

TEST_F(UserColorStore, DeleteKeepsTheFileMode)
{
    Store("[Usercolor]\r\nUsercolcnt=2\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n");
    fs::permissions(m_path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    DeleteUserColor(m_ini, 0, "AAAAAAa");
    EXPECT_EQ(fs::status(m_path).permissions(),
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

struct StaleDeleteCase
{
    const char* name;
    std::vector<std::string> stored; // the file's entries when the delete runs
    std::int32_t index; // in the list as loaded earlier
    std::string chosen;
    TStringList after; // empty with deleted == false: the file stays as it was
    bool deleted;
};

// The list was loaded before another window (or an editor) changed the file: the delete removes
// the colour the user chose from the file as it is now, or nothing when it is gone.
TEST_F(UserColorStore, DeleteFindsTheChosenEntryInTheFileAsItIsNow)
{
    const std::vector<StaleDeleteCase> cases = {
        { "one registered since", { "AAAAAAa", "BBBBBBb", "CCCCCCc" }, 1, "BBBBBBb",
            { "AAAAAAa", "CCCCCCc" }, true },
        { "one before it deleted since", { "BBBBBBb", "CCCCCCc" }, 2, "CCCCCCc", { "BBBBBBb" },
            true },
        { "beyond the stored entries", { "CCCCCCc" }, 2, "CCCCCCc", {}, true },
        { "deleted elsewhere", { "AAAAAAa", "CCCCCCc" }, 1, "BBBBBBb", { "AAAAAAa", "CCCCCCc" },
            false },
        { "twice stored: the one at its place", { "BBBBBBb", "AAAAAAa", "BBBBBBb" }, 2, "BBBBBBb",
            { "BBBBBBb", "AAAAAAa" }, true },
        { "twice stored: the nearer one", { "BBBBBBb", "AAAAAAa", "CCCCCCc", "BBBBBBb" }, 2,
            "BBBBBBb", { "BBBBBBb", "AAAAAAa", "CCCCCCc" }, true },
        { "edited by hand", { "AAAAAAa", "BBBBBBx" }, 1, "BBBBBBb", { "AAAAAAa", "BBBBBBx" },
            false },
    };
    for (const StaleDeleteCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = "[Usercolor]\r\nUsercolcnt=" + std::to_string(c.stored.size()) + "\r\n";
        for (std::size_t i = 0; i < c.stored.size(); ++i)
            file += std::to_string(i + 1) + "=" + c.stored[i] + "\r\n";
        Store(file);
        const UserColorLoad after = DeleteUserColor(m_ini, c.index, c.chosen);
        EXPECT_EQ(after.entries, c.after);
        EXPECT_EQ(after.count, static_cast<std::int32_t>(c.after.size()));
        EXPECT_EQ(LoadUserColors(m_ini).entries, c.after);
        if (!c.deleted) {
            EXPECT_EQ(Stored(), file);
        }
    }
}

// A writer that holds the lock (hung) makes register and delete give up with the write error after
// the timeout, changing nothing; loading does not wait for it.
TEST_F(UserColorStore, HeldLockRefusesWritesAfterTheTimeoutButNotLoads)
{
    const std::string file = "[Usercolor]\r\nUsercolcnt=1\r\n1=AAAAAAa\r\n";
    Store(file);
    std::promise<void> locked, release;
    std::thread holder([&] {
        const ProfileLock lock(m_path.c_str());
        locked.set_value();
        release.get_future().wait();
    });
    locked.get_future().wait();
    {
        const Restore keep(ProfileLockTimeout());
        ProfileLockTimeout() = std::chrono::milliseconds(200);
        const auto started = std::chrono::steady_clock::now();
        for (const auto& command :
            std::vector<std::function<void()>> { [&] { RegisterUserColor(m_ini, "BBBBBBb"); },
                [&] { DeleteUserColor(m_ini, 0, "AAAAAAa"); } }) {
            try {
                command();
                ADD_FAILURE() << "no error";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), m_path + WriteRefused);
            }
        }
        EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(400));
        EXPECT_EQ(LoadUserColors(m_ini).entries, TStringList { "AAAAAAa" });
        EXPECT_EQ(Stored(), file);
        release.set_value();
        holder.join();
    }

    // Once the lock is free again, both go through.
    RegisterUserColor(m_ini, "BBBBBBb");
    EXPECT_EQ(DeleteUserColor(m_ini, 0, "AAAAAAa").entries, TStringList { "BBBBBBb" });
    EXPECT_EQ(FilesInDirectory(), 1u);
}

// A settings file saved as UTF-16LE with its byte-order mark is read in CP932 and stays UTF-16LE:
// a register changes the bytes of the count and adds those of the entry, every other character
// (even one CP932 lacks) stays; a delete rewrites the section in UTF-16LE.
TEST_F(UserColorStore, Utf16LeFileIsReadAndWrittenAsUtf16Le)
{
    const auto utf16 = [](const std::string& cp932) { return "\xFF\xFE" + Cp932ToUtf16Le(cp932); };
    // The comment "; café ☕" holds é and ☕, which CP932 lacks; 空色 is CP932 8B F3 90 46.
    const std::string utf16Comment = "\xFF\xFE;\0 \0c\0a\0f\0\xE9\0 \0\x15\x26\r\0\n\0"s;
    const std::string section = "[Usercolor]\r\nUsercolcnt=2\r\n1=FF8000orange\r\n"
                                "2=87CEEB\x8B\xF3\x90\x46\r\n";
    Store(utf16Comment + Cp932ToUtf16Le(section));
    ASSERT_EQ(Cp932ToUtf8(Utf16LeToCp932(std::string_view(Stored()).substr(2))),
        "; caf? ?\r\n" + Cp932ToUtf8(section));

    const UserColorLoad load = LoadUserColors(m_ini);
    EXPECT_EQ(load.count, 2);
    EXPECT_EQ(load.entries, (TStringList { "FF8000orange", "87CEEB\x8B\xF3\x90\x46" }));

    EXPECT_EQ(RegisterUserColor(m_ini, "336699\x8A\x43"), 3); // 海
    EXPECT_EQ(Stored(),
        utf16Comment
            + Cp932ToUtf16Le("[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000orange\r\n"
                             "2=87CEEB\x8B\xF3\x90\x46\r\n3=336699\x8A\x43\r\n"));

    const UserColorLoad after = DeleteUserColor(m_ini, 0, "FF8000orange");
    EXPECT_EQ(after.entries, (TStringList { "87CEEB\x8B\xF3\x90\x46", "336699\x8A\x43" }));
    EXPECT_EQ(Stored(),
        utf16("[Usercolor]\r\nUsercolcnt=2\r\n1=87CEEB\x8B\xF3\x90\x46\r\n2=336699\x8A\x43\r\n"));
    EXPECT_EQ(FilesInDirectory(), 1u);
}

// Where the system cannot set up the code-page conversions, a load says so instead of passing for
// an empty or whole list, and a register or a delete fails with the error that says so, leaving
// the file as it was, in either encoding.
TEST_F(UserColorStore, WithoutCodePageConversionsNothingPassesForDone)
{
    const std::string section = "[Usercolor]\r\nUsercolcnt=2\r\n1=FF8000orange\r\n2=87CEEBsky\r\n";
    const struct
    {
        const char* what;
        std::string bytes;
    } rows[] = {
        { "CP932", section },
        { "UTF-16LE", "\xFF\xFE" + Cp932ToUtf16Le(section) },
    };
    {
        const Restore keep(IconvOpenForConversions());
        IconvOpenForConversions() = [](const char*, const char*) {
            errno = EINVAL;
            return reinterpret_cast<iconv_t>(-1);
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            Store(row.bytes);
            // A thread of its own sets up its conversions afresh, through the failing call.
            std::thread([&] {
                EXPECT_FALSE(CodePageConversionsWork());
                EXPECT_TRUE(LoadUserColors(m_ini).unconverted);
                const auto failsSayingSo = [](const std::function<void()>& command) {
                    try {
                        command();
                        ADD_FAILURE() << "reported as done";
                    } catch (const Exception& error) {
                        EXPECT_EQ(error.Message(), CodePageError().Message());
                        EXPECT_NE(error.Message().find("iconv"), std::string::npos);
                    }
                };
                failsSayingSo([&] { RegisterUserColor(m_ini, "336699sea"); });
                failsSayingSo([&] { DeleteUserColor(m_ini, 0, "FF8000orange"); });
            }).join();
            EXPECT_EQ(Stored(), row.bytes);
        }
    }
    EXPECT_FALSE(LoadUserColors(m_ini).unconverted);
}

TEST_F(UserColorStore, RefusedDeleteLeavesTheOldFileWhole)
{
    const std::string file =
        "[Other]\r\nk=v\r\n[Usercolor]\r\nUsercolcnt=2\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n";
    Store(file);
    std::string replacedFrom;
    RenameForReplace() = [&](const char* from, const char*) {
        replacedFrom = from;
        return -1;
    };
    try {
        DeleteUserColor(m_ini, 0, "AAAAAAa");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), m_path + WriteRefused);
    }
    EXPECT_EQ(fs::path(replacedFrom).parent_path(), m_dir);
    EXPECT_EQ(Stored(), file);
    EXPECT_EQ(FilesInDirectory(), 1u);
}

} // namespace
