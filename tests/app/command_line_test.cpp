// Reading the command line: which action, its value, what goes to Qt, and the refusals.

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "platform/codepage.h"

namespace {

struct Read
{
    CommandLine command;
    std::vector<std::string> qt;
};

Read ReadWords(std::initializer_list<const char*> words)
{
    std::vector<std::string> storage { "tintora" };
    storage.insert(storage.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& word : storage) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    Read read { ReadCommandLine(static_cast<int>(storage.size()), argv.data()), {} };
    for (const char* argument : read.command.qtArguments) {
        read.qt.emplace_back(argument);
    }
    return read;
}

struct Case
{
    std::initializer_list<const char*> words;
    CommandAction action;
    const char* value; // nullptr: none given
    std::vector<std::string> qt;
};

} // namespace

TEST(CommandLine, ReadsActionsValuesAndQtOptions)
{
    using A = CommandAction;
    const Case cases[] = {
        { {}, A::Window, nullptr, {} },
        { { "#FF8000" }, A::Window, "#FF8000", {} },
        { { "" }, A::Window, "", {} },
        { { "--print", "red" }, A::Print, "red", {} },
        { { "--print=rgb(1, 2, 3)" }, A::Print, "rgb(1, 2, 3)", {} },
        { { "--print=" }, A::Print, "", {} },
        // The option's argument is the next word whatever it looks like.
        { { "--print", "--help" }, A::Print, "--help", {} },
        { { "--print", "-1,0,0" }, A::Print, "-1,0,0", {} },
        { { "--pick" }, A::Pick, nullptr, {} },
        { { "--pick-in-window" }, A::PickInWindow, nullptr, {} },
        { { "--pick-frozen" }, A::PickFrozen, nullptr, {} },
        { { "--pick-from", "shot.png" }, A::PickFrom, "shot.png", {} },
        { { "--history" }, A::History, nullptr, {} },
        { { "--export-palette", "a b.gpl" }, A::ExportPalette, "a b.gpl", {} },
        { { "--import-palette=x.gpl" }, A::ImportPalette, "x.gpl", {} },
        // Unambiguous abbreviations, as GNU programs take them.
        { { "--pr", "red" }, A::Print, "red", {} },
        { { "--pick-i" }, A::PickInWindow, nullptr, {} },
        { { "--pick-froz" }, A::PickFrozen, nullptr, {} },
        { { "--pick-from=a.png" }, A::PickFrom, "a.png", {} },
        { { "--vers" }, A::Version, nullptr, {} },
        { { "--he" }, A::Help, nullptr, {} },
        { { "--hi" }, A::History, nullptr, {} },
        // --help and --version act as soon as they are read.
        { { "--help", "--nonsense" }, A::Help, nullptr, {} },
        { { "a", "b", "--version" }, A::Version, nullptr, {} },
        // "--" ends the options; a lone "-" is an operand.
        { { "--", "--help" }, A::Window, "--help", {} },
        { { "--", "-" }, A::Window, "-", {} },
        { { "-" }, A::Window, "-", {} },
        { { "--print", "red", "--" }, A::Print, "red", {} },
        // Qt's own options keep their order and values, with one dash or two, anywhere.
        { { "-platform", "offscreen", "FF8000", "-reverse" }, A::Window, "FF8000",
            { "-platform", "offscreen", "-reverse" } },
        { { "--style", "fusion", "--pick-in-window", "-style=windows", "-qwindowgeometry",
              "100x100+0+0" },
            A::PickInWindow, nullptr,
            { "--style", "fusion", "-style=windows", "-qwindowgeometry", "100x100+0+0" } },
        { { "--pick", "-display", ":1" }, A::Pick, nullptr, { "-display", ":1" } },
        { { "-platform" }, A::Window, nullptr, { "-platform" } },
        // After "--" nothing is Qt's either.
        { { "--", "-reverse" }, A::Window, "-reverse", {} },
    };
    for (const Case& c : cases) {
        std::string words;
        for (const char* word : c.words) {
            words += std::string(" [") + word + "]";
        }
        SCOPED_TRACE(words);
        const Read read = ReadWords(c.words);
        EXPECT_EQ(read.command.action, c.action) << Cp932ToUtf8(read.command.error);
        EXPECT_EQ(read.command.hasValue, c.value != nullptr);
        EXPECT_EQ(read.command.value, c.value ? c.value : "");
        EXPECT_EQ(read.qt, c.qt);
    }
}

TEST(CommandLine, RefusesWithTheReason)
{
    const struct
    {
        std::initializer_list<const char*> words;
        const char8_t* reason;
    } cases[] = {
        { { "--nonsense" }, u8"不明なオプションです: '--nonsense'" },
        { { "--print=red", "--colour" }, u8"不明なオプションです: '--colour'" },
        { { "-x" }, u8"不明なオプションです: '-x'" },
        { { "-pick" }, u8"不明なオプションです: '-pick'" },
        { { "--=x" }, u8"不明なオプションです: '--=x'" },
        { { "--platform=xcb" }, u8"不明なオプションです: '--platform=xcb'" },
        { { "--pi" },
            u8"オプション '--pi' はあいまいです（候補: '--pick' '--pick-in-window' "
            u8"'--pick-frozen' '--pick-from'）" },
        { { "--pick-f" },
            u8"オプション '--pick-f' はあいまいです（候補: '--pick-frozen' '--pick-from'）" },
        { { "--h" }, u8"オプション '--h' はあいまいです（候補: '--history' '--help'）" },
        { { "--pick-from" }, u8"オプション '--pick-from' には引数が必要です" },
        { { "--history=x" }, u8"オプション '--history' は引数をとりません" },
        { { "--print" }, u8"オプション '--print' には引数が必要です" },
        { { "--import-palette" }, u8"オプション '--import-palette' には引数が必要です" },
        { { "--pick=1" }, u8"オプション '--pick' は引数をとりません" },
        { { "--vers=2" }, u8"オプション '--version' は引数をとりません" },
        { { "--print", "red", "--pick" }, u8"オプション '--print' と '--pick' は一緒に使えません" },
        { { "red", "blue", "green" },
            u8"余分な引数があります: 'blue'（色は一つだけ指定できます）" },
        { { "--pick", "red" }, u8"余分な引数があります: 'red'" },
        { { "--print", "red", "blue" }, u8"余分な引数があります: 'blue'" },
        { { "--", "--pick-in-window", "x" },
            u8"余分な引数があります: 'x'（色は一つだけ指定できます）" },
        { { "--contrast", "red" },
            u8"オプション '--contrast' には文字色と背景色の二つの色が必要です" },
        { { "--contrast", "a", "b", "c" }, u8"余分な引数があります: 'c'" },
        { { "--contrast=red", "blue" }, u8"オプション '--contrast' は引数をとりません" },
        { { "--level=AA", "red" }, u8"オプション '--level' は '--contrast' と一緒に使ってください" },
        { { "--print", "red", "--suggest" },
            u8"オプション '--suggest' は '--contrast' と一緒に使ってください" },
        { { "--pick", "--vision=tritan" },
            u8"オプション '--vision' は '--print' か '--contrast' と一緒に使ってください" },
        { { "--contrast", "a", "b", "--suggest", "--vision=protan" },
            u8"オプション '--suggest' と '--vision' は一緒に使えません" },
        { { "--contrast", "a", "b", "--level" }, u8"オプション '--level' には引数が必要です" },
        { { "--suggest=1" }, u8"オプション '--suggest' は引数をとりません" },
        { { "--v" }, u8"オプション '--v' はあいまいです（候補: '--vision' '--version'）" },
        // What the reason quotes stays one short line of CP932.
        { { "--no\nline" }, u8"不明なオプションです: '--no?line'" },
        { { "--色\xff" }, u8"不明なオプションです: '--色?'" },
        { { "--abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz" },
            u8"不明なオプションです: '--abcdefghijklmnopqrstuvwxyzabcdefghijkl...'" },
    };
    for (const auto& c : cases) {
        const Read read = ReadWords(c.words);
        EXPECT_EQ(read.command.action, CommandAction::Error) << *c.words.begin();
        EXPECT_EQ(
            Cp932ToUtf8(read.command.error), std::string(reinterpret_cast<const char*>(c.reason)));
    }
}

// --contrast takes its two colours as operands, wherever they stand; --level, --suggest and
// --vision only shape the action, the last of each given counting.
TEST(CommandLine, ReadsContrastAndItsModifiers)
{
    const struct
    {
        std::initializer_list<const char*> words;
        CommandAction action;
        const char* first;
        const char* second;
        const char* level; // nullptr: none given
        const char* vision;
        bool suggest;
    } cases[] = {
        { { "--contrast", "#777", "white" }, CommandAction::Contrast, "#777", "white", nullptr,
            nullptr, false },
        { { "#777", "--contrast", "--level", "AAA", "white", "--suggest" }, CommandAction::Contrast,
            "#777", "white", "AAA", nullptr, true },
        { { "--con", "a", "b", "--level=ui", "--lev=", "--vision", "tritan:0.5" },
            CommandAction::Contrast, "a", "b", "", "tritan:0.5", false },
        { { "--vision=achroma", "--print", "red" }, CommandAction::Print, "red", "", nullptr,
            "achroma", false },
        { { "--contrast", "--", "-1,0,0", "--level" }, CommandAction::Contrast, "-1,0,0", "--level",
            nullptr, nullptr, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(*c.words.begin());
        const CommandLine command = ReadWords(c.words).command;
        EXPECT_EQ(command.action, c.action) << Cp932ToUtf8(command.error);
        EXPECT_EQ(command.value, c.first);
        EXPECT_EQ(command.secondValue, c.second);
        EXPECT_EQ(command.level, c.level ? std::optional<std::string>(c.level) : std::nullopt);
        EXPECT_EQ(command.vision, c.vision ? std::optional<std::string>(c.vision) : std::nullopt);
        EXPECT_EQ(command.suggest, c.suggest);
    }
}
