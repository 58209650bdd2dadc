#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/colour_argument.h"
#include "app/console.h"
#include "app/contrast_command.h"
#include "app/help_text.h"
#include "app/history_command.h"
#include "app/palette_commands.h"
#include "app/pick_command.h"
#include "app/print_command.h"
#include "app/version_text.h"
#include "app/window_command.h"

// Without arguments the window starts at once. The commands that print (--print, --help,
// --version) and the palette options run without the window system; Qt's own options go to the
// application object of the window and of --pick.
int main(int argc, char* argv[])
{
    const CommandLine command = ReadCommandLine(argc, argv);
    std::vector<char*> qtArguments { argv[0] };
    qtArguments.insert(qtArguments.end(), command.qtArguments.begin(), command.qtArguments.end());

    switch (command.action) {
    case CommandAction::Window: {
        WindowStart start;
        if (command.hasValue) {
            std::string reason;
            start.colour = ReadColourArgument(command.value, reason);
            if (!start.colour) {
                return ReportFailure(reason);
            }
        }
        return RunWindow(qtArguments, start);
    }
    case CommandAction::PickInWindow:
        return RunWindow(qtArguments, WindowStart { std::nullopt, true });
    case CommandAction::Pick:
    case CommandAction::PickFrozen: {
        int pickArgc = static_cast<int>(qtArguments.size());
        qtArguments.push_back(nullptr);
        return RunPickCommand(
            pickArgc, qtArguments.data(), command.action == CommandAction::PickFrozen);
    }
    case CommandAction::PickFrom: {
        int pickArgc = static_cast<int>(qtArguments.size());
        qtArguments.push_back(nullptr);
        return RunPickFromCommand(command.value, pickArgc, qtArguments.data());
    }
    case CommandAction::History:
        return RunHistoryCommand();
    case CommandAction::Print:
        return RunPrintCommand(command.value,
            command.hasFormat ? std::optional<std::string_view>(command.format) : std::nullopt,
            command.vision);
    case CommandAction::Contrast:
        return RunContrastCommand(command);
    case CommandAction::ExportPalette:
        return RunExportPalette(command.value);
    case CommandAction::ImportPalette:
        return RunImportPalette(command.value);
    case CommandAction::Help:
        return PrintResult(HelpText());
    case CommandAction::Version:
        return PrintResult(VersionText());
    case CommandAction::Error:
        ReportFailure(command.error);
        PrintText(stderr, UsageLine());
        return 2;
    }
    return 2;
}
