#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "colour/rgb.h"

// The colours the user took last (by a pick, a paste or from an image), kept in a small text file
// of their own under the user's state folder, never in the settings file: one upper-case #RRGGBB
// a line, newest first.

/// How many colours the history keeps.
inline constexpr std::size_t ColourHistoryLimit = 50;

/// What reading the history found.
struct ColourHistory
{
    enum class State {
        Read, // the file held only colours, or there is no file yet
        Damaged, // some lines are no colour: colours holds the others
        Unreadable, // the file cannot be read: colours is empty
    };
    State state = State::Read;
    std::vector<Rgb> colours; // newest first, each once, at most ColourHistoryLimit
    int damagedLine = 0; // the first line that is no colour (1 for the first), when Damaged
};

/// The history file: "tintora/recent-colours" in the user's state folder.
std::string ColourHistoryPath();

/// The colours of a history file's text. Blank lines, blanks around a code and lower-case digits
/// are accepted; a repeated colour counts once, where it first appears; colours past the limit
/// are dropped.
ColourHistory ParseColourHistory(std::string_view text);

/// The file's text for colours.
std::string ColourHistoryText(const std::vector<Rgb>& colours);

/// colours with colour first (moved there when it was further down), cut to the limit.
std::vector<Rgb> WithColourOnTop(std::vector<Rgb> colours, Rgb colour);

/// Reads the file at path. A missing file is an empty history; a file that cannot be opened or
/// read, or is too large to be a history, is Unreadable.
ColourHistory ReadColourHistory(const std::string& path);

/// Puts colour at the top of the history at path, under the file's write lock (read, edit,
/// replace in one step), making its folder (mode 0700) when missing. A damaged file is written
/// anew from the colours it still holds; an unreadable one is left as it is. False when nothing
/// was stored.
bool RememberColour(const std::string& path, Rgb colour);

/// Empties the history at path, under the same lock. False when it could not be done.
bool ClearColourHistory(const std::string& path);
