// Kills a child that registers and deletes user colours (store_driver, the store functions the
// window's commands call) with SIGKILL at random moments, hundreds of times. After every kill the
// settings file must load and hold either the colours before the interrupted command or those
// after it, never fewer, and the directory must hold no more than one leftover temporary file
// (besides the lock file that a driver killed while holding the lock leaves for the next write to
// take over).

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "settings/inibrel.h"
#include "settings/usercolor_store.h"
#include "tests/support/forked_child.h"
#include "tests/support/ini_on_file.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using Colours = std::vector<std::string>;

// What the driver reported before it was killed.
struct Reports
{
    Colours done; // the colours after the last command that reported "ok"
    std::optional<Colours> pending; // the colours the interrupted command would leave
    int completed = 0;
    std::string error;
};

void Apply(Reports& reports, const std::string& line)
{
    if (line == "ok") {
        reports.done = *reports.pending;
        reports.pending.reset();
        ++reports.completed;
    } else if (line.rfind("register ", 0) == 0) {
        reports.pending = reports.done;
        reports.pending->push_back(line.substr(9));
    } else if (line.rfind("delete ", 0) == 0) {
        const auto index = static_cast<std::size_t>(std::stoul(line.substr(7)));
        reports.pending = reports.done;
        if (index < reports.pending->size())
            reports.pending->erase(reports.pending->begin() + static_cast<std::ptrdiff_t>(index));
    } else {
        reports.error = line;
    }
}

// On the disk rather than tmpfs where there is one, so the syncs really wait.
ScratchDir OnDisk()
{
    try {
        return ScratchDir("tintora-kill-", "/var/tmp");
    } catch (const std::runtime_error&) {
        return ScratchDir("tintora-kill-");
    }
}

class KillTest : public testing::Test
{
public:
    const std::string& Path() const { return m_path; }

    Colours Load() const
    {
        TIniBrel ini(nullptr);
        const UserColorLoad load = LoadUserColors(IniOn(ini, m_path));
        EXPECT_FALSE(load.damaged);
        EXPECT_EQ(load.count, static_cast<std::int32_t>(load.entries.size()));
        return Colours(load.entries.begin(), load.entries.end());
    }

    std::vector<std::string> Leftovers() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            const fs::path name = entry.path().filename();
            if (name != "Tintora.ini" && name != ".Tintora.ini.lock")
                names.push_back(name.string());
        }
        return names;
    }

    // Starts the driver, lets it work until it has begun a command and then for a random while
    // longer, kills it and collects everything it reported.
    Reports RunAndKill(unsigned seed, std::chrono::microseconds extra, const Colours& before)
    {
        int channel[2];
        EXPECT_EQ(::pipe(channel), 0);
        ForkedChild child(::fork());
        if (child.InChild()) {
            ::dup2(channel[1], STDOUT_FILENO);
            ::close(channel[0]);
            ::close(channel[1]);
            const std::string seedText = std::to_string(seed);
            ::execl(STORE_DRIVER, STORE_DRIVER, m_path.c_str(), seedText.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(channel[1]);

        Reports reports;
        reports.done = before;
        std::string buffer;
        bool started = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        auto killAt = deadline;
        for (;;) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= killAt)
                break;
            pollfd poller { channel[0], POLLIN, 0 };
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(killAt - now);
            if (::poll(&poller, 1, static_cast<int>(std::max<long long>(wait.count(), 0))) <= 0)
                continue;
            char chunk[4096];
            const ssize_t got = ::read(channel[0], chunk, sizeof chunk);
            if (got <= 0)
                break; // the driver ended on its own
            buffer.append(chunk, static_cast<std::size_t>(got));
            if (!started && buffer.find('\n') != std::string::npos) {
                started = true;
                killAt = std::chrono::steady_clock::now() + extra;
            }
        }
        child.Kill();
        char chunk[4096];
        for (ssize_t got; (got = ::read(channel[0], chunk, sizeof chunk)) > 0;)
            buffer.append(chunk, static_cast<std::size_t>(got));
        ::close(channel[0]);

        // Only whole lines count: a line is written in one call, so a cut one cannot occur.
        for (std::size_t start = 0, end; (end = buffer.find('\n', start)) != std::string::npos;
             start = end + 1)
            Apply(reports, buffer.substr(start, end - start));
        return reports;
    }

private:
    ScratchDir m_scratch = OnDisk();
    const fs::path m_dir = m_scratch.Dir();
    const std::string m_path = m_scratch.File("Tintora.ini");
};

// Kills the driver kills times on a file that starts as initial; after every kill the file holds
// the colours before or after the interrupted command and keeps its encoding.
void KillRepeatedly(KillTest& test, const std::string& initial, int kills)
{
    if (const char* wanted = std::getenv("TINTORA_KILLS"))
        kills = std::max(1, std::atoi(wanted));
    const bool utf16 = initial.rfind("\xFF\xFE", 0) == 0;
    WriteBytes(test.Path(), initial);
    Colours colours = test.Load();
    ASSERT_EQ(colours.size(), 3u);

    std::mt19937 random(20240611);
    int interruptedBefore = 0, interruptedAfter = 0, commands = 0, mostLeftovers = 0;
    for (int kill = 0; kill < kills; ++kill) {
        // Mostly within the first command or two; now and then after a longer run.
        const auto extra = std::chrono::microseconds(random() % (kill % 8 == 0 ? 40000 : 4000));
        const Reports reports = test.RunAndKill(static_cast<unsigned>(kill), extra, colours);
        ASSERT_EQ(reports.error, "") << "kill " << kill;
        commands += reports.completed;

        const Colours now = test.Load();
        if (reports.pending && now == *reports.pending) {
            ++interruptedAfter;
        } else {
            ASSERT_EQ(now, reports.done) << "kill " << kill << ": neither before nor after";
            interruptedBefore += reports.pending ? 1 : 0;
        }
        colours = now;
        ASSERT_EQ(ReadBytes(test.Path()).rfind("\xFF\xFE", 0) == 0, utf16) << "kill " << kill;
        const auto leftovers = test.Leftovers();
        mostLeftovers = std::max(mostLeftovers, static_cast<int>(leftovers.size()));
        ASSERT_LE(leftovers.size(), 1u) << "kill " << kill << ": " << leftovers.front();
    }
    std::printf("%d kills, %d commands completed, %d interrupted before their change landed, %d "
                "after, at most %d leftover file(s)\n",
        kills, commands, interruptedBefore, interruptedAfter, mostLeftovers);
}

const char ThreeColours[] =
    "[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000orange\r\n2=87CEEBsky\r\n3=336699sea\r\n";

TEST_F(KillTest, EveryKillLeavesTheColoursBeforeOrAfterTheCommand)
{
    KillRepeatedly(*this, ThreeColours, 200);
}

TEST_F(KillTest, EveryKillLeavesAUtf16LeFileWithTheColoursBeforeOrAfter)
{
    KillRepeatedly(*this, "\xFF\xFE" + Cp932ToUtf16Le(ThreeColours), 60);
}

} // namespace
