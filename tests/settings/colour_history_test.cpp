#include "settings/colour_history.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/forked_child.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using State = ColourHistory::State;

const Rgb Orange { 255, 128, 0 };
const Rgb Green { 0, 255, 0 };
const Rgb Navy { 0, 0, 128 };

// The n-th of many distinct colours.
Rgb Numbered(int n)
{
    return { n & 0xFF, (n >> 8) & 0xFF, 7 };
}

struct ParseRow
{
    const char* name;
    std::string text;
    State state;
    std::vector<Rgb> colours;
    int damagedLine;
};

TEST(ColourHistoryParse, ReadsColoursAndFindsTheFirstDamagedLine)
{
    const std::vector<ParseRow> rows = {
        { "empty", "", State::Read, {}, 0 },
        { "blanks, CRLF and lower case", "  #FF8000 \r\n\n#00ff00\r\n", State::Read,
            { Orange, Green }, 0 },
        { "a repeat counts where it first appears", "#FF8000\n#00FF00\n#ff8000\n", State::Read,
            { Orange, Green }, 0 },
        { "no final line end", "#000080", State::Read, { Navy }, 0 },
        { "damaged lines are skipped", "#FF8000\nFF8000\n#00FF00\n#GG0000\n", State::Damaged,
            { Orange, Green }, 2 },
        { "seven digits", "#FF80001\n", State::Damaged, {}, 1 },
        { "binary", std::string("\0\x82\xA0#FF8000", 10), State::Damaged, {}, 1 },
    };
    for (const ParseRow& row : rows) {
        SCOPED_TRACE(row.name);
        const ColourHistory history = ParseColourHistory(row.text);
        EXPECT_EQ(history.state, row.state);
        EXPECT_EQ(history.colours, row.colours);
        EXPECT_EQ(history.damagedLine, row.damagedLine);
    }
}

TEST(ColourHistoryParse, KeepsTheNewestFiftyOfALongerFile)
{
    std::vector<Rgb> sixty;
    for (int i = 0; i < 60; ++i)
        sixty.push_back(Numbered(i));
    const ColourHistory history = ParseColourHistory(ColourHistoryText(sixty));
    EXPECT_EQ(history.state, State::Read);
    EXPECT_EQ(history.colours, std::vector<Rgb>(sixty.begin(), sixty.begin() + 50));
}

TEST(ColourHistoryEdit, ARepeatMovesToTheTopAndTheOldestFallsOffAtTheLimit)
{
    EXPECT_EQ(
        WithColourOnTop({ Orange, Green, Navy }, Navy), (std::vector<Rgb> { Navy, Orange, Green }));
    EXPECT_EQ(WithColourOnTop({ Orange }, Orange), std::vector<Rgb> { Orange });

    std::vector<Rgb> full;
    for (int i = 0; i < 50; ++i)
        full.push_back(Numbered(i));
    const std::vector<Rgb> added = WithColourOnTop(full, Orange);
    ASSERT_EQ(added.size(), 50u);
    EXPECT_EQ(added.front(), Orange);
    EXPECT_EQ(added.back(), Numbered(48));
}

TEST(ColourHistoryPlace, UsesAnAbsoluteXdgStateHomeElseTheHomeFolder)
{
    const std::optional<std::string> savedState = std::getenv("XDG_STATE_HOME")
        ? std::optional<std::string>(std::getenv("XDG_STATE_HOME"))
        : std::nullopt;
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/home/someone", 1);
    const struct
    {
        const char* state;
        std::string path;
    } rows[] = {
        { "/var/state/", "/var/state/tintora/recent-colours" },
        { "", "/home/someone/.local/state/tintora/recent-colours" },
        { "relative/state", "/home/someone/.local/state/tintora/recent-colours" },
        { nullptr, "/home/someone/.local/state/tintora/recent-colours" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.state ? row.state : "(unset)");
        if (row.state)
            ::setenv("XDG_STATE_HOME", row.state, 1);
        else
            ::unsetenv("XDG_STATE_HOME");
        EXPECT_EQ(ColourHistoryPath(), row.path);
    }
    ::setenv("HOME", savedHome.c_str(), 1);
    if (savedState)
        ::setenv("XDG_STATE_HOME", savedState->c_str(), 1);
    else
        ::unsetenv("XDG_STATE_HOME");
}

class ColourHistoryFile : public testing::Test
{
protected:
    ScratchDir m_scratch { "history-" };
    const std::string m_path = m_scratch.File("state/tintora/recent-colours");
};

TEST_F(ColourHistoryFile, FirstColourMakesAPrivateFolderAndLaterOnesGoOnTop)
{
    EXPECT_EQ(ReadColourHistory(m_path).colours, std::vector<Rgb> {});
    ASSERT_TRUE(RememberColour(m_path, Orange));
    ASSERT_TRUE(RememberColour(m_path, Green));
    ASSERT_TRUE(RememberColour(m_path, Orange));
    EXPECT_EQ(ReadBytes(m_path), "#FF8000\n#00FF00\n");
    struct stat st = {};
    ASSERT_EQ(::stat(fs::path(m_path).parent_path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    ASSERT_TRUE(ClearColourHistory(m_path));
    EXPECT_EQ(ReadBytes(m_path), "");
    EXPECT_EQ(ReadColourHistory(m_path).state, State::Read);
}

TEST_F(ColourHistoryFile, DamagedFileIsReportedAndRewrittenFromWhatItStillHolds)
{
    fs::create_directories(fs::path(m_path).parent_path());
    WriteBytes(m_path, "#00FF00\n\x82\xA0\x82\xA2\n#000080\n");
    const ColourHistory damaged = ReadColourHistory(m_path);
    EXPECT_EQ(damaged.state, State::Damaged);
    EXPECT_EQ(damaged.damagedLine, 2);
    EXPECT_EQ(damaged.colours, (std::vector<Rgb> { Green, Navy }));

    ASSERT_TRUE(RememberColour(m_path, Orange));
    EXPECT_EQ(ReadBytes(m_path), "#FF8000\n#00FF00\n#000080\n");
}

TEST_F(ColourHistoryFile, UnreadableFileIsReportedAndLeftAsItIs)
{
    fs::create_directories(fs::path(m_path).parent_path());
    // A folder in the file's place, and a file far too large to be a history.
    fs::create_directory(m_path);
    EXPECT_EQ(ReadColourHistory(m_path).state, State::Unreadable);
    EXPECT_FALSE(RememberColour(m_path, Orange));
    EXPECT_FALSE(ClearColourHistory(m_path));
    EXPECT_TRUE(fs::is_directory(m_path));
    fs::remove(m_path);

    const std::string large(1 << 20, '#');
    WriteBytes(m_path, large);
    const ColourHistory history = ReadColourHistory(m_path);
    EXPECT_EQ(history.state, State::Unreadable);
    EXPECT_TRUE(history.colours.empty());
    EXPECT_FALSE(RememberColour(m_path, Orange));
    EXPECT_EQ(ReadBytes(m_path), large);
}

TEST_F(ColourHistoryFile, TwoProcessesAddingAtOnceKeepEveryColour)
{
    constexpr int each = 25;
    std::vector<ForkedChild> children;
    for (int process = 0; process < 2; ++process) {
        children.emplace_back(::fork());
        ASSERT_GE(children.back().Pid(), 0);
        if (children.back().InChild()) {
            bool stored = true;
            for (int i = 0; i < each; ++i)
                stored = RememberColour(m_path, Numbered(process * each + i)) && stored;
            ::_exit(stored ? 0 : 1);
        }
    }
    for (ForkedChild& child : children) {
        const int status = child.Wait();
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    const ColourHistory history = ReadColourHistory(m_path);
    EXPECT_EQ(history.state, State::Read);
    ASSERT_EQ(history.colours.size(), 2u * each);
    for (int i = 0; i < 2 * each; ++i)
        EXPECT_NE(std::find(history.colours.begin(), history.colours.end(), Numbered(i)),
            history.colours.end())
            << i;
}

} // namespace
