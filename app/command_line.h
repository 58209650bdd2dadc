#pragma once

#include <optional>
#include <string>
#include <vector>

/// What the program was asked to do.
enum class CommandAction {
    Window, // the window, showing the operand's colour when one was given
    PickInWindow, // the window, picking a colour from the screen at once
    Pick, // one pick from the screen, printed
    PickFrozen, // one pick on a frame of the screen in the picking view, printed
    PickFrom, // one pick from an image file, printed
    History, // the colours taken last, printed
    Print, // the forms of a colour, printed
    Contrast, // the contrast of two colours (the operands), or suggestions for the first
    ExportPalette,
    ImportPalette,
    Help,
    Version,
    Error, // a wrong command line: error holds the reason (CP932)
};

struct CommandLine
{
    CommandAction action = CommandAction::Window;
    /// The option's argument (the colour of --print, the file of the palette options) or the
    /// colour operand of Window; has_value tells an empty argument from none.
    std::string value;
    bool hasValue = false;
    /// The second colour of Contrast (the first is value).
    std::string secondValue;
    /// What modifies Contrast and Print, as given: --level's and --vision's arguments (has_value
    /// tells an empty one from none) and --suggest.
    std::optional<std::string> level;
    std::optional<std::string> vision;
    bool suggest = false;
    /// Qt's own options with their values, in the order given, for the application object.
    std::vector<char*> qtArguments;
    /// --format's word for --print (hasFormat tells an empty word from none).
    std::string format;
    bool hasFormat = false;
    /// The reason of an Error, CP932, without the program's name.
    std::string error;
};

/// Reads the command line as GNU programs do: long options with their argument in the next word
/// or after "=", unambiguous abbreviations of them, options and operands in any order, "--"
/// ending the options. Qt's own options (-platform, -style, -reverse ..., with one or two dashes)
/// are set aside for the application object. --help and --version act as soon as they are read;
/// anything wrong before them is an Error.
CommandLine ReadCommandLine(int argc, char* argv[]);
