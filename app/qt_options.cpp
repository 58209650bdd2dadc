#include "app/qt_options.h"

#include <algorithm>
#include <array>

namespace {

// The options that Qt's application object, its X11 platform and its widgets read on Linux.
constexpr std::array<std::string_view, 16> WithValue = { "platform", "platformpluginpath",
    "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
    "display", "geometry", "title", "icon", "name", "visual", "style", "stylesheet" };
constexpr std::array<std::string_view, 6> Switches = { "reverse", "widgetcount", "nograb", "dograb",
    "sync", "testability" };
constexpr std::array<std::string_view, 3> Joined = { "style=", "stylesheet=", "qmljsdebugger=" };

template <std::size_t N>
bool Holds(const std::array<std::string_view, N>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

int QtOptionWords(std::string_view word)
{
    if (word.size() < 2 || word[0] != '-') {
        return 0;
    }
    std::string_view name = word.substr(word.starts_with("--") ? 2 : 1);
    if (Holds(WithValue, name)) {
        return 2;
    }
    if (Holds(Switches, name)) {
        return 1;
    }
    for (std::string_view prefix : Joined) {
        if (name.starts_with(prefix)) {
            return 1;
        }
    }
    return 0;
}
