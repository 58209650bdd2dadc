#include "platform/syscolor.h"

#include <array>

namespace {

constexpr DWORD Rgb(DWORD red, DWORD green, DWORD blue)
{
    return red | green << 8 | blue << 16;
}

// The classic grey Windows scheme: what an element looks like when no desktop gives its colour.
constexpr std::array<DWORD, 31> ClassicScheme = {
    Rgb(192, 192, 192), //  0 COLOR_SCROLLBAR
    Rgb(0, 128, 128), //  1 COLOR_BACKGROUND
    Rgb(0, 0, 128), //  2 COLOR_ACTIVECAPTION
    Rgb(128, 128, 128), //  3 COLOR_INACTIVECAPTION
    Rgb(192, 192, 192), //  4 COLOR_MENU
    Rgb(255, 255, 255), //  5 COLOR_WINDOW
    Rgb(0, 0, 0), //  6 COLOR_WINDOWFRAME
    Rgb(0, 0, 0), //  7 COLOR_MENUTEXT
    Rgb(0, 0, 0), //  8 COLOR_WINDOWTEXT
    Rgb(255, 255, 255), //  9 COLOR_CAPTIONTEXT
    Rgb(192, 192, 192), // 10 COLOR_ACTIVEBORDER
    Rgb(192, 192, 192), // 11 COLOR_INACTIVEBORDER
    Rgb(128, 128, 128), // 12 COLOR_APPWORKSPACE
    Rgb(0, 0, 128), // 13 COLOR_HIGHLIGHT
    Rgb(255, 255, 255), // 14 COLOR_HIGHLIGHTTEXT
    Rgb(192, 192, 192), // 15 COLOR_BTNFACE
    Rgb(128, 128, 128), // 16 COLOR_BTNSHADOW
    Rgb(128, 128, 128), // 17 COLOR_GRAYTEXT
    Rgb(0, 0, 0), // 18 COLOR_BTNTEXT
    Rgb(192, 192, 192), // 19 COLOR_INACTIVECAPTIONTEXT
    Rgb(255, 255, 255), // 20 COLOR_BTNHIGHLIGHT
    Rgb(0, 0, 0), // 21 COLOR_3DDKSHADOW
    Rgb(192, 192, 192), // 22 COLOR_3DLIGHT
    Rgb(0, 0, 0), // 23 COLOR_INFOTEXT
    Rgb(255, 255, 225), // 24 COLOR_INFOBK
    Rgb(0, 0, 0), // 25 (no element)
    Rgb(0, 0, 128), // 26 COLOR_HOTLIGHT
    Rgb(16, 132, 208), // 27 COLOR_GRADIENTACTIVECAPTION
    Rgb(181, 181, 181), // 28 COLOR_GRADIENTINACTIVECAPTION
    Rgb(0, 0, 128), // 29 COLOR_MENUHILIGHT
    Rgb(192, 192, 192), // 30 COLOR_MENUBAR
};

SysColorSource DesktopSource = nullptr;

} // namespace

DWORD GetSysColor(int index)
{
    if (index < 0 || index >= static_cast<int>(ClassicScheme.size())) {
        return 0;
    }
    if (DesktopSource) {
        if (const std::optional<DWORD> colour = DesktopSource(index)) {
            return *colour & 0x00FFFFFFu;
        }
    }
    return ClassicScheme[static_cast<std::size_t>(index)];
}

void SetSysColorSource(SysColorSource source)
{
    DesktopSource = source;
}
