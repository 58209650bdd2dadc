// Where the settings file lies for a real program file: copies of a small program that resolves the
// path as the window does are placed in folders of every kind a user may have (Japanese, accented,
// emoji, a byte that is not UTF-8) and in installed layouts, and run with the environment a user
// may have.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "tests/support/scratch_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

using Environment = std::map<std::string, std::optional<std::string>>; // nullopt: unset

const std::string OneColour = "[Usercolor]\r\nUsercolcnt=1\r\n1=87CEEBsky\r\n";
const std::string TwoColours = "[Usercolor]\r\nUsercolcnt=2\r\n1=87CEEBsky\r\n2=FF8000probe\r\n";
const std::string Registered = "[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000probe\r\n";

// The probe's output lines: the resolved path, then the error that ended a register, if any.
std::vector<std::string> RunProbe(
    const fs::path& program, bool registers, const Environment& changes = {})
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (!changes.contains(variable.substr(0, variable.find('='))))
            variables.push_back(variable);
    }
    for (const auto& [name, value] : changes)
        if (value)
            variables.push_back(name + "=" + *value);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string path = program.string();
    std::string command = "register";
    std::vector<char*> argv { path.data() };
    if (registers)
        argv.push_back(command.data());
    argv.push_back(nullptr);

    int pipe[2];
    if (::pipe(pipe) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe[0]);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, path.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    std::string output;
    char chunk[512];
    for (ssize_t got; (got = ::read(pipe[0], chunk, sizeof chunk)) > 0;)
        output.append(chunk, static_cast<std::size_t>(got));
    ::close(pipe[0]);
    if (spawned != 0)
        return {};
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = output.find('\n', start);
        lines.push_back(output.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

fs::path Install(const fs::path& dir)
{
    fs::create_directories(dir);
    const fs::path program = dir / "tintora";
    fs::copy_file(PATH_PROBE, program, fs::copy_options::overwrite_existing);
    return program;
}

// What an install puts beside the program for it to know that it is installed.
void MarkInstalled(const fs::path& prefix)
{
    fs::create_directories(prefix / "share" / "tintora");
    WriteBytes(
        prefix / "share" / "tintora" / "installed", "This file marks an installed Tintora.\n");
}

std::vector<std::string> Entries(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string WriteError(const std::string& path)
{
    return Utf8ToCp932(path) + Sjis(u8" に書き込めません");
}

// Folder names this platform allows; the last holds a byte that is not UTF-8 and so shows as "?".
const char* const FolderNames[] = {
    "デスクトップ",
    "ダウンロード",
    "a郎/b郎",
    "Café",
    "🎨 colours",
    "\xFF"
    "名",
};

TEST(SettingsPath, BesideTheProgramInAnyFolder)
{
    const ScratchDir root("tintora-folders-");
    for (const char* name : FolderNames) {
        SCOPED_TRACE(name);
        const fs::path dir = root.Dir() / name;
        const fs::path program = Install(dir);
        const std::string settings = (dir / "Tintora.ini").string();
        WriteBytes(settings, OneColour);

        // The existing file is the one read and written: the colour lands beside the first.
        EXPECT_EQ(RunProbe(program, true), std::vector<std::string> { settings });
        EXPECT_EQ(ReadBytes(settings), TwoColours);
        EXPECT_EQ(Entries(dir),
            (std::vector<std::string> { ".Tintora.ini.lock", "Tintora.ini", "tintora" }));

        // A write that fails names the path so that it reads in the box.
        fs::remove(settings);
        fs::create_directory(settings);
        EXPECT_EQ(
            RunProbe(program, true), (std::vector<std::string> { settings, WriteError(settings) }));
    }
}

class Installed : public testing::Test
{
protected:
    void SetUp() override
    {
        MarkInstalled(m_root.Dir() / "usr");
        m_program = Install(m_root.Dir() / "usr" / "bin");
    }

    std::string Home(const std::string& name) const { return (m_root.Dir() / name).string(); }

    ScratchDir m_root { "tintora-installed-" };
    fs::path m_program;
};

std::string PasswordHome()
{
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? entry->pw_dir : "/";
}

TEST_F(Installed, EachUserHasAFileInTheirConfigurationFolder)
{
    const std::string home = Home("home");
    const std::string inConfig = "/.config/tintora/Tintora.ini";
    const struct
    {
        const char* what;
        Environment environment;
        std::string path;
    } rows[] = {
        { "XDG_CONFIG_HOME", { { "XDG_CONFIG_HOME", Home("cfg") }, { "HOME", home } },
            Home("cfg") + "/tintora/Tintora.ini" },
        { "XDG_CONFIG_HOME with a trailing slash",
            { { "XDG_CONFIG_HOME", Home("cfg") + "/" }, { "HOME", home } },
            Home("cfg") + "/tintora/Tintora.ini" },
        { "unset", { { "XDG_CONFIG_HOME", std::nullopt }, { "HOME", home } }, home + inConfig },
        { "empty", { { "XDG_CONFIG_HOME", "" }, { "HOME", home } }, home + inConfig },
        { "relative", { { "XDG_CONFIG_HOME", "cfg" }, { "HOME", home } }, home + inConfig },
        { "no HOME", { { "XDG_CONFIG_HOME", std::nullopt }, { "HOME", std::nullopt } },
            (PasswordHome() == "/" ? "" : PasswordHome()) + inConfig },
        { "relative HOME", { { "XDG_CONFIG_HOME", std::nullopt }, { "HOME", "home" } },
            (PasswordHome() == "/" ? "" : PasswordHome()) + inConfig },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(
            RunProbe(m_program, false, row.environment), std::vector<std::string> { row.path });
    }
}

TEST_F(Installed, FolderIsMadeAtTheFirstWriteOnly)
{
    const fs::path bin = m_program.parent_path();
    const std::string first = Home("first");
    const fs::path config = fs::path(first) / ".config";
    const std::string settings = (config / "tintora" / "Tintora.ini").string();
    const Environment user { { "XDG_CONFIG_HOME", std::nullopt }, { "HOME", first } };

    // Starting and loading leave nothing behind.
    EXPECT_EQ(RunProbe(m_program, false, user), std::vector<std::string> { settings });
    EXPECT_FALSE(fs::exists(first));

    EXPECT_EQ(RunProbe(m_program, true, user), std::vector<std::string> { settings });
    EXPECT_EQ(ReadBytes(settings), Registered);
    for (const fs::path& made : { fs::path(first), config, config / "tintora" }) {
        struct stat st = {};
        ASSERT_EQ(::stat(made.c_str(), &st), 0) << made;
        EXPECT_EQ(st.st_mode & 07777, 0700u) << made;
    }
    EXPECT_EQ(Entries(bin), std::vector<std::string> { "tintora" });

    // An existing folder keeps its mode; a second user has a file of their own.
    fs::permissions(config / "tintora", fs::perms(0750));
    EXPECT_EQ(RunProbe(m_program, true, user), std::vector<std::string> { settings });
    EXPECT_EQ(fs::status(config / "tintora").permissions(), fs::perms(0750));
    EXPECT_EQ(
        ReadBytes(settings), "[Usercolor]\r\nUsercolcnt=2\r\n1=FF8000probe\r\n2=FF8000probe\r\n");
    const std::string second = Home("second") + "/.config/tintora/Tintora.ini";
    EXPECT_EQ(RunProbe(m_program, true,
                  { { "XDG_CONFIG_HOME", std::nullopt }, { "HOME", Home("second") } }),
        std::vector<std::string> { second });
    EXPECT_EQ(ReadBytes(second), Registered);
    EXPECT_EQ(Entries(bin), std::vector<std::string> { "tintora" });
}

TEST_F(Installed, FolderThatCannotBeMadeEndsTheRegisterWithTheWriteError)
{
    WriteBytes(Home("file"), "not a folder");
    const std::string settings = Home("file") + "/cfg/tintora/Tintora.ini";
    EXPECT_EQ(RunProbe(m_program, true, { { "XDG_CONFIG_HOME", Home("file") + "/cfg" } }),
        (std::vector<std::string> { settings, WriteError(settings) }));
    EXPECT_EQ(ReadBytes(Home("file")), "not a folder");
    EXPECT_EQ(Entries(m_program.parent_path()), std::vector<std::string> { "tintora" });
}

TEST(NotInstalled, OtherLayoutsKeepTheFileBesideTheProgram)
{
    const ScratchDir root("tintora-layouts-");
    const struct
    {
        const char* what;
        std::string bin; // the program's folder below the root
        std::string share; // a folder made below the root, "" for none
        std::string shareFile; // a file made below the root, "" for none
    } rows[] = {
        { "bin without share", "a/bin", "", "" },
        { "share/tintora is a file", "b/bin", "", "b/share/tintora" },
        { "share/tintora without the install's file", "c/bin", "c/share/tintora", "" },
        { "the install's file is a folder", "d/bin", "d/share/tintora/installed", "" },
        { "share of another program", "e/bin", "", "e/share/other/installed" },
        { "folder not named bin", "f/bin2", "", "f/share/tintora/installed" },
        { "build tree", "g/build/app", "", "g/build/share/tintora/installed" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path program = Install(root.Dir() / row.bin);
        if (!row.share.empty())
            fs::create_directories(root.Dir() / row.share);
        if (!row.shareFile.empty()) {
            fs::create_directories((root.Dir() / row.shareFile).parent_path());
            WriteBytes(root.Dir() / row.shareFile, "");
        }
        const std::string beside = (program.parent_path() / "Tintora.ini").string();
        EXPECT_EQ(RunProbe(program, true, { { "HOME", (root.Dir() / "home").string() } }),
            std::vector<std::string> { beside });
        EXPECT_EQ(ReadBytes(beside), Registered);
    }
    EXPECT_FALSE(fs::exists(root.Dir() / "home"));
}

// A portable copy in ~/bin with its settings file, on a computer where ~/share/tintora happens to
// be a folder (of another copy's help page, say), keeps using the file beside it.
TEST(NotInstalled, PortableCopyInHomeBinKeepsItsFile)
{
    const ScratchDir root("tintora-home-bin-");
    const fs::path home = root.Dir() / "home";
    const fs::path program = Install(home / "bin");
    fs::create_directories(home / "share" / "tintora");
    WriteBytes(home / "share" / "tintora" / "help.html", "<html></html>");
    const std::string beside = (home / "bin" / "Tintora.ini").string();
    WriteBytes(beside, OneColour);
    EXPECT_EQ(
        RunProbe(program, true, { { "HOME", home.string() }, { "XDG_CONFIG_HOME", std::nullopt } }),
        std::vector<std::string> { beside });
    EXPECT_EQ(ReadBytes(beside), TwoColours);
    EXPECT_FALSE(fs::exists(home / ".config"));
}

TEST(InstalledUnderAnyFolder, JapanesePrefixCountsAsInstalled)
{
    const ScratchDir root("tintora-prefix-");
    for (const char* name : FolderNames) {
        SCOPED_TRACE(name);
        const fs::path prefix = root.Dir() / name / "usr";
        MarkInstalled(prefix);
        const fs::path program = Install(prefix / "bin");
        const std::string config = (root.Dir() / name / "cfg").string();
        EXPECT_EQ(RunProbe(program, true, { { "XDG_CONFIG_HOME", config } }),
            std::vector<std::string> { config + "/tintora/Tintora.ini" });
        EXPECT_EQ(ReadBytes(config + "/tintora/Tintora.ini"), Registered);
    }
}

} // namespace
