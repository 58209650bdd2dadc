// Several processes register and delete user colours in one settings file at the same moment, each
// through the store functions the window's commands call (store_driver) and each deleting from the
// list as it last loaded it, as windows do. Afterwards the stored count must match the entries, and
// every colour registered and not chosen for a delete must be stored exactly once. The same holds
// for an ordinary user in a folder that can be written but not listed, and for two threads of one
// process. A writer that holds the lock past the wait makes a command fail with the write error,
// changing nothing and leaving nothing running.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "colour/exception.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/profile_lock_p.h"
#include "settings/inibrel.h"
#include "settings/profile_file.h"
#include "settings/usercolor_store.h"
#include "tests/support/forked_child.h"
#include "tests/support/ini_on_file.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/restore.h"
#include "tests/support/scratch_dir.h"

namespace {

struct Child
{
    ForkedChild process;
    int output;
    std::string buffer;
};

// Starts a driver; as nobody when asked and run as root, so that file permissions bind it. The
// driver is opened before the drop and run from that descriptor, so nobody runs it wherever the
// build lies, also under a folder that only its owner may enter.
Child Start(const std::string& path, int seed, int commands, bool asNobody = false)
{
    int channel[2];
    EXPECT_EQ(::pipe(channel), 0);
    ForkedChild process(::fork());
    if (process.InChild()) {
        const int driver = ::open(STORE_DRIVER, O_RDONLY | O_CLOEXEC);
        if (driver < 0 || (asNobody && !DropRootToNobody()))
            ::_exit(126);
        ::dup2(channel[1], STDOUT_FILENO);
        ::close(channel[0]);
        ::close(channel[1]);
        const std::string seedText = std::to_string(seed);
        const std::string commandsText = std::to_string(commands);
        char* const arguments[] = { const_cast<char*>(STORE_DRIVER),
            const_cast<char*>(path.c_str()), const_cast<char*>(seedText.c_str()),
            const_cast<char*>(commandsText.c_str()), nullptr };
        ::fexecve(driver, arguments, environ);
        ::_exit(127);
    }
    ::close(channel[1]);
    return { std::move(process), channel[0], {} };
}

// Reads every child's reports until all have ended.
void Collect(std::vector<Child>& children)
{
    std::vector<pollfd> open;
    for (const Child& child : children)
        open.push_back({ child.output, POLLIN, 0 });
    for (std::size_t left = children.size(); left > 0;) {
        ASSERT_GT(::poll(open.data(), open.size(), 60000), 0) << "the drivers hang";
        for (std::size_t i = 0; i < open.size(); ++i) {
            if (open[i].fd < 0 || open[i].revents == 0)
                continue;
            char chunk[4096];
            const ssize_t got = ::read(open[i].fd, chunk, sizeof chunk);
            if (got > 0) {
                children[i].buffer.append(chunk, static_cast<std::size_t>(got));
                continue;
            }
            ::close(open[i].fd);
            open[i].fd = -1;
            --left;
        }
    }
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The names in dir: after the writes, the settings file and the lock file that stays beside it.
std::set<std::string> Entries(const std::filesystem::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

const std::set<std::string> SettingsAndLock = { "Tintora.ini", ".Tintora.ini.lock" };

struct Fixture
{
    const char* name;
    std::string bytes;
    bool unlistable = false; // the folder is mode 0333 and the drivers run as an ordinary user
};

void PrintTo(const Fixture& fixture, std::ostream* out)
{
    *out << fixture.name;
}

class ConcurrentStore : public testing::TestWithParam<Fixture>
{
};

TEST_P(ConcurrentStore, ProcessesRegisteringAndDeletingAtOnceLoseNothing)
{
    constexpr int processes = 4, commands = 250;
    ScratchDir scratch("tintora-concurrent-");
    const std::string path = scratch.File("Tintora.ini");
    WriteBytes(path, GetParam().bytes);
    TIniBrel ini(nullptr);
    IniOn(ini, path);
    const TStringList initialList = LoadUserColors(ini).entries;
    const std::vector<std::string> initial(initialList.begin(), initialList.end());
    const bool unlistable = GetParam().unlistable;
    if (unlistable) {
        ASSERT_TRUE(::geteuid() != 0 || ::chown(path.c_str(), NobodyId, NobodyGroupId) == 0);
        ASSERT_EQ(::chmod(scratch.Dir().c_str(), 0333), 0);
    }

    const auto start = std::chrono::steady_clock::now();
    std::vector<Child> children;
    for (int seed = 1; seed <= processes; ++seed)
        children.push_back(Start(path, seed, commands, unlistable));
    ASSERT_NO_FATAL_FAILURE(Collect(children));
    ::chmod(scratch.Dir().c_str(), 0700);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::set<std::string> registered(initial.begin(), initial.end());
    std::set<std::string> chosen; // every entry some process asked to delete
    int registers = 0, deletes = 0;
    for (Child& child : children) {
        const int status = child.process.Wait();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << child.buffer;
        for (const std::string& line : Lines(child.buffer)) {
            ASSERT_NE(line.rfind("error ", 0), 0u) << Cp932ToUtf8(line);
            if (line.rfind("register ", 0) == 0) {
                registered.insert(line.substr(9));
                ++registers;
            } else if (line.rfind("delete ", 0) == 0) {
                chosen.insert(line.substr(line.find(' ', 7) + 1));
                ++deletes;
            }
        }
    }
    ASSERT_EQ(registers + deletes, processes * commands);

    const UserColorLoad after = LoadUserColors(ini);
    EXPECT_FALSE(after.damaged);
    EXPECT_EQ(after.count, static_cast<std::int32_t>(after.entries.size()));
    std::map<std::string, int> stored;
    for (const std::string_view entry : after.entries)
        ++stored[std::string(entry)];
    for (const auto& [entry, times] : stored) {
        EXPECT_EQ(times, 1) << entry;
        EXPECT_TRUE(registered.count(entry)) << "never registered: " << entry;
    }
    int kept = 0;
    for (const std::string& entry : registered) {
        if (!chosen.count(entry)) {
            EXPECT_EQ(stored.count(entry), 1u) << "lost: " << entry;
            ++kept;
        }
    }
    if (GetParam().bytes.rfind("\xFF\xFE", 0) == 0) {
        EXPECT_EQ(ReadBytes(path).rfind("\xFF\xFE", 0), 0u) << "no longer UTF-16LE";
    }
    EXPECT_EQ(Entries(scratch.Dir()), SettingsAndLock) << "files left beside the settings file";
    std::printf("%d processes x %d commands in %.2f s: %d registers, %d deletes, %zu colours "
                "stored (%d never chosen for a delete, all there)\n",
        processes, commands, seconds, registers, deletes, after.entries.size(), kept);
}

INSTANTIATE_TEST_SUITE_P(Files, ConcurrentStore,
    testing::Values(Fixture { "Cp932", "[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n" },
        Fixture { "Utf16le",
            "\xFF\xFE" + Cp932ToUtf16Le("[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n") },
        Fixture { "UnlistableFolder", "[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n", true }),
    [](const testing::TestParamInfo<Fixture>& info) { return std::string(info.param.name); });

// What the writers of the two-user case tell the test, in memory they share with it.
struct HolderCounts
{
    std::atomic<int> inside; // writers holding the lock right now
    std::atomic<int> overlaps; // times a writer took the lock while another held it
    std::atomic<int> refused; // locks not had, registers that failed
    std::atomic<int> counter; // raised under the lock by a separate load and store
    std::atomic<int> registered;
};

// Root and nobody register in one settings file in a folder that both write, as users sharing a
// portable copy or a group folder do. Whoever makes the lock file first, it lets the other user
// lock too; at no moment do two writers hold the lock, none is refused, and no register is lost.
// The same holds where an older program left a lock file of root's that nobody may only read:
// then every nobody writer holds it shared, excluding the other nobody writers by flock. Most rounds
// only raise a counter under the lock, so that the lock changes hands often; every few rounds a
// writer registers a colour.
class ConcurrentUsers : public testing::TestWithParam<bool>
{
};

TEST_P(ConcurrentUsers, RootAndNobodyNeverHoldTheLockTogether)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    constexpr int writers = 8, rounds = 1500, registerEvery = 25;
    ScratchDir scratch("tintora-users-");
    ASSERT_EQ(::chmod(scratch.Dir().c_str(), 0777), 0);
    const std::string path = scratch.File("Tintora.ini");
    WriteBytes(path, "[Usercolor]\r\nUsercolcnt=0\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    if (GetParam()) {
        const std::string lockFile = scratch.File(".Tintora.ini.lock");
        WriteBytes(lockFile, "");
        ASSERT_EQ(::chmod(lockFile.c_str(), 0644), 0);
    }

    void* shared = ::mmap(
        nullptr, sizeof(HolderCounts), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* counts = new (shared) HolderCounts {};
    std::vector<ForkedChild> children;
    for (int writer = 0; writer < writers; ++writer) {
        ForkedChild child(::fork());
        if (child.InChild()) {
            // Every other writer is nobody, who makes the lock file as often as root does.
            if (writer % 2 == 1 && !DropRootToNobody())
                ::_exit(126);
            TIniBrel ini(nullptr);
            IniOn(ini, path);
            for (int round = 0; round < rounds; ++round) {
                const ProfileLock lock(path.c_str());
                if (!lock) {
                    ++counts->refused;
                    continue;
                }
                if (counts->inside.fetch_add(1) != 0)
                    ++counts->overlaps;
                counts->counter.store(counts->counter.load() + 1);
                try {
                    if (round % registerEvery == 0) {
                        RegisterUserColor(
                            ini, "00000" + std::to_string(writer) + "-" + std::to_string(round));
                        ++counts->registered;
                    }
                } catch (const Exception&) {
                    ++counts->refused;
                }
                --counts->inside;
            }
            ::_exit(0);
        }
        children.push_back(std::move(child));
    }
    for (ForkedChild& child : children) {
        const int status = child.Wait();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    TIniBrel ini(nullptr);
    const UserColorLoad after = LoadUserColors(IniOn(ini, path));
    const int lost = counts->registered.load() - static_cast<int>(after.entries.size());
    const int lostRaises = writers * rounds - counts->refused.load() - counts->counter.load();
    std::printf("%d writers (root and nobody) x %d rounds: %d overlapping holders, %d lost "
                "registers of %d, %d lost raises, %d refused\n",
        writers, rounds, counts->overlaps.load(), lost, counts->registered.load(), lostRaises,
        counts->refused.load());
    EXPECT_EQ(counts->overlaps.load(), 0);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(lostRaises, 0);
    EXPECT_EQ(counts->refused.load(), 0);
    EXPECT_EQ(after.count, static_cast<std::int32_t>(after.entries.size()));
    ::munmap(shared, sizeof(HolderCounts));
}

INSTANTIATE_TEST_SUITE_P(
    LockFiles, ConcurrentUsers, testing::Bool(), [](const testing::TestParamInfo<bool>& info) {
        return std::string(info.param ? "RootsLockFileThatNobodyMayOnlyRead" : "NoLockFileYet");
    });

TEST(ConcurrentThreads, TwoThreadsRegisteringAtOnceKeepEveryColour)
{
    constexpr int perThread = 150;
    ScratchDir scratch("tintora-threads-");
    const std::string path = scratch.File("Tintora.ini");
    const auto registerMany = [&](char tag) {
        TIniBrel ini(nullptr);
        IniOn(ini, path);
        for (int i = 0; i < perThread; ++i)
            RegisterUserColor(ini, "00000" + std::string(1, tag) + std::to_string(i));
    };
    std::thread first(registerMany, 'A'), second(registerMany, 'B');
    first.join();
    second.join();

    TIniBrel ini(nullptr);
    const UserColorLoad after = LoadUserColors(IniOn(ini, path));
    EXPECT_FALSE(after.damaged);
    EXPECT_EQ(after.count, 2 * perThread);
    const std::set<std::string> stored(after.entries.begin(), after.entries.end());
    for (const char tag : { 'A', 'B' }) {
        for (int i = 0; i < perThread; ++i)
            EXPECT_EQ(stored.count("00000" + std::string(1, tag) + std::to_string(i)), 1u);
    }
}

// The threads of this process, as the kernel lists them.
std::size_t ThreadCount()
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/task"), {}));
}

TEST(ConcurrentThreads, WriterHoldingTheLockPastTheWaitMakesTheCommandFailCleanly)
{
    ScratchDir scratch("tintora-held-");
    const std::string path = scratch.File("Tintora.ini");
    const std::string before = "[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n";
    WriteBytes(path, before);

    // Another process takes the lock and hangs on to it.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    ForkedChild holder(::fork());
    if (holder.InChild()) {
        const ProfileLock lock(path.c_str());
        const char held = lock ? 'y' : 'n';
        if (::write(ready[1], &held, 1) != 1)
            ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]); // a holder that ends without a word ends the read below
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ASSERT_EQ(held, 'y');

    const std::size_t threads = ThreadCount();
    TIniBrel ini(nullptr);
    IniOn(ini, path);
    std::chrono::steady_clock::duration waited {};
    {
        const Restore keep(ProfileLockTimeout());
        ProfileLockTimeout() = std::chrono::milliseconds(300);
        const auto started = std::chrono::steady_clock::now();
        try {
            RegisterUserColor(ini, "336699sea");
            ADD_FAILURE() << "the register went ahead without the lock";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), WriteError(path).Message());
        }
        waited = std::chrono::steady_clock::now() - started;
    }
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::seconds(3));
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(ThreadCount(), threads) << "the wait left a thread behind";

    // Once the holder is gone (killed, leaving its lock file), the next register goes through and
    // leaves nothing else beside the settings file.
    holder.Kill();
    ::close(ready[0]);
    EXPECT_EQ(RegisterUserColor(ini, "336699sea"), 2);
    EXPECT_EQ(Entries(scratch.Dir()), SettingsAndLock);
}

} // namespace
