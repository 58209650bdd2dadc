#include "app/command_line.h"

#include <array>
#include <optional>
#include <string_view>

#include "app/qt_options.h"
#include "app/quoted_argument.h"
#include "platform/codepage.h"

namespace {

// Options that change how an action is done rather than choosing one.
enum class Modifier { None, Format, Level, Suggest, Vision };

struct LongOption
{
    std::string_view name;
    CommandAction action;
    bool takesValue;
    Modifier modifier = Modifier::None;
};

constexpr std::array<LongOption, 15> LongOptions = { {
    { "pick", CommandAction::Pick, false },
    { "print", CommandAction::Print, true },
    { "format", CommandAction::Print, true, Modifier::Format },
    { "pick-in-window", CommandAction::PickInWindow, false },
    { "pick-frozen", CommandAction::PickFrozen, false },
    { "pick-from", CommandAction::PickFrom, true },
    { "history", CommandAction::History, false },
    { "export-palette", CommandAction::ExportPalette, true },
    { "import-palette", CommandAction::ImportPalette, true },
    { "contrast", CommandAction::Contrast, false },
    { "level", CommandAction::Contrast, true, Modifier::Level },
    { "suggest", CommandAction::Contrast, false, Modifier::Suggest },
    { "vision", CommandAction::Contrast, true, Modifier::Vision },
    { "help", CommandAction::Help, false },
    { "version", CommandAction::Version, false },
} };

CommandLine Failed(std::string reason)
{
    CommandLine failed;
    failed.action = CommandAction::Error;
    failed.error = std::move(reason);
    return failed;
}

std::string Dashed(std::string_view name)
{
    return "'--" + std::string(name) + "'";
}

// The option that name stands for: itself, or the one option it abbreviates. Null when there is
// none; ambiguous is set when it abbreviates several, which are listed in candidates.
const LongOption* FindOption(std::string_view name, bool& ambiguous, std::string& candidates)
{
    const LongOption* found = nullptr;
    int matches = 0;
    for (const LongOption& option : LongOptions) {
        if (option.name == name) {
            return &option;
        }
        if (option.name.starts_with(name)) {
            found = &option;
            ++matches;
            if (!candidates.empty()) {
                candidates += ' ';
            }
            candidates += Dashed(option.name);
        }
    }
    ambiguous = matches > 1;
    return matches == 1 ? found : nullptr;
}

} // namespace

CommandLine ReadCommandLine(int argc, char* argv[])
{
    CommandLine command;
    const LongOption* chosen = nullptr;
    std::vector<std::string_view> operands;
    std::vector<const LongOption*> modifiers;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            operands.push_back(word);
            continue;
        }
        if (const int words = QtOptionWords(word)) {
            command.qtArguments.push_back(argv[i]);
            if (words == 2 && i + 1 < argc) {
                command.qtArguments.push_back(argv[++i]);
            }
            continue;
        }
        if (!word.starts_with("--")) {
            return Failed(Sjis(u8"不明なオプションです: ") + QuotedArgument(word));
        }

        const std::string_view body = word.substr(2);
        const std::size_t equals = body.find('=');
        const std::string_view name = body.substr(0, equals);
        bool ambiguous = false;
        std::string candidates;
        const LongOption* option = name.empty() ? nullptr : FindOption(name, ambiguous, candidates);
        if (ambiguous) {
            return Failed(Sjis(u8"オプション ") + QuotedArgument(word)
                + Sjis(u8" はあいまいです（候補: ") + candidates + Sjis(u8"）"));
        }
        if (option == nullptr) {
            return Failed(Sjis(u8"不明なオプションです: ") + QuotedArgument(word));
        }
        if (!option->takesValue && equals != std::string_view::npos) {
            return Failed(
                Sjis(u8"オプション ") + Dashed(option->name) + Sjis(u8" は引数をとりません"));
        }
        if (option->action == CommandAction::Help || option->action == CommandAction::Version) {
            CommandLine answer;
            answer.action = option->action;
            return answer;
        }
        // The option's argument: joined with "=" or the next word.
        std::optional<std::string> argument;
        if (option->takesValue) {
            if (equals != std::string_view::npos) {
                argument = std::string(body.substr(equals + 1));
            } else if (i + 1 < argc) {
                argument = argv[++i];
            } else {
                return Failed(
                    Sjis(u8"オプション ") + Dashed(option->name) + Sjis(u8" には引数が必要です"));
            }
        }
        if (option->modifier != Modifier::None) {
            modifiers.push_back(option);
            if (option->modifier == Modifier::Format) {
                command.format = *argument;
                command.hasFormat = true;
            } else if (option->modifier == Modifier::Level) {
                command.level = *argument;
            } else if (option->modifier == Modifier::Vision) {
                command.vision = *argument;
            } else {
                command.suggest = true;
            }
            continue;
        }
        if (chosen != nullptr && chosen != option) {
            return Failed(Sjis(u8"オプション ") + Dashed(chosen->name) + Sjis(u8" と ")
                + Dashed(option->name) + Sjis(u8" は一緒に使えません"));
        }
        chosen = option;
        command.action = option->action;
        if (argument) {
            command.value = std::move(*argument);
            command.hasValue = true;
        }
    }

    // --format goes with --print, --vision with --print and --contrast, the others with
    // --contrast alone; --suggest changes the colours' meaning, which a simulated vision would
    // not keep.
    for (const LongOption* modifier : modifiers) {
        const bool print =
            modifier->modifier == Modifier::Format || modifier->modifier == Modifier::Vision;
        const bool contrast = modifier->modifier != Modifier::Format;
        const bool fits = (print && command.action == CommandAction::Print)
            || (contrast && command.action == CommandAction::Contrast);
        if (!fits) {
            return Failed(Sjis(u8"オプション ") + Dashed(modifier->name) + Sjis(u8" は ")
                + (print && contrast ? Sjis(u8"'--print' か '--contrast'")
                        : print      ? Sjis(u8"'--print'")
                                     : Sjis(u8"'--contrast'"))
                + Sjis(u8" と一緒に使ってください"));
        }
    }
    if (command.suggest && command.vision) {
        return Failed(Sjis(u8"オプション '--suggest' と '--vision' は一緒に使えません"));
    }

    // The window takes one colour, --contrast two; the other actions take none.
    const std::size_t allowed = chosen == nullptr   ? 1
        : command.action == CommandAction::Contrast ? 2
                                                    : 0;
    if (operands.size() > allowed) {
        // Where the extra word is a second colour, the message says so.
        return Failed(Sjis(u8"余分な引数があります: ") + QuotedArgument(operands[allowed])
            + (allowed == 1 ? Sjis(u8"（色は一つだけ指定できます）") : std::string()));
    }
    if (command.action == CommandAction::Contrast) {
        if (operands.size() < 2) {
            return Failed(Sjis(u8"オプション '--contrast' には文字色と背景色の二つの色が必要です"));
        }
        command.secondValue = std::string(operands[1]);
    }
    if (!operands.empty()) {
        command.value = std::string(operands.front());
        command.hasValue = true;
    }
    return command;
}
