#include "app/history_command.h"

#include <cstdio>
#include <string>

#include "app/console.h"
#include "platform/codepage.h"
#include "settings/colour_history.h"

int RunHistoryCommand()
{
    const std::string path = ColourHistoryPath();
    const ColourHistory history = ReadColourHistory(path);
    if (history.state == ColourHistory::State::Unreadable) {
        std::fprintf(stderr, "tintora: %s: %s\n", path.c_str(),
            Cp932ToUtf8(Sjis(u8"最近の色のファイルを読み取れません")).c_str());
        return 2;
    }
    if (PrintResult(ColourHistoryText(history.colours)) != 0)
        return 2;
    if (history.state == ColourHistory::State::Damaged) {
        std::fprintf(stderr, "tintora: %s:%d: %s\n", path.c_str(), history.damagedLine,
            Cp932ToUtf8(Sjis(u8"色として読み取れない行は飛ばしました")).c_str());
        return 1;
    }
    return 0;
}
