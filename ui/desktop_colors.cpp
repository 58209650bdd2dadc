#include "ui/desktop_colors.h"

#include <optional>

#include <QGuiApplication>
#include <QPalette>

#include "colour/rgb.h"
#include "platform/syscolor.h"
#include "ui/desktop_colors_p.h"

namespace {

struct ElementRole
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette role that plays each display element's part, by element index. The window's face
// is the palette's window colour, so the window matches the desktop's own dialogs beside it; the
// elements without a counterpart (the desktop background, the inactive caption and its text, the
// caption gradients) keep their classic colours.
std::optional<ElementRole> RoleOf(int index)
{
    constexpr QPalette::ColorGroup Active = QPalette::Active;
    switch (index) {
    case 0: // COLOR_SCROLLBAR
        return ElementRole { Active, QPalette::Button };
    case 2: // COLOR_ACTIVECAPTION
    case 13: // COLOR_HIGHLIGHT
    case 29: // COLOR_MENUHILIGHT
        return ElementRole { Active, QPalette::Highlight };
    case 4: // COLOR_MENU
    case 10: // COLOR_ACTIVEBORDER
    case 11: // COLOR_INACTIVEBORDER
    case 15: // COLOR_BTNFACE
    case 30: // COLOR_MENUBAR
        return ElementRole { Active, QPalette::Window };
    case 5: // COLOR_WINDOW
        return ElementRole { Active, QPalette::Base };
    case 6: // COLOR_WINDOWFRAME
    case 21: // COLOR_3DDKSHADOW
        return ElementRole { Active, QPalette::Shadow };
    case 7: // COLOR_MENUTEXT
    case 8: // COLOR_WINDOWTEXT: the text drawn on the window's face
        return ElementRole { Active, QPalette::WindowText };
    case 9: // COLOR_CAPTIONTEXT
    case 14: // COLOR_HIGHLIGHTTEXT
        return ElementRole { Active, QPalette::HighlightedText };
    case 12: // COLOR_APPWORKSPACE
    case 16: // COLOR_BTNSHADOW
        return ElementRole { Active, QPalette::Dark };
    case 17: // COLOR_GRAYTEXT
        return ElementRole { QPalette::Disabled, QPalette::Text };
    case 18: // COLOR_BTNTEXT
        return ElementRole { Active, QPalette::ButtonText };
    case 20: // COLOR_BTNHIGHLIGHT
        return ElementRole { Active, QPalette::Light };
    case 22: // COLOR_3DLIGHT
        return ElementRole { Active, QPalette::Midlight };
    case 23: // COLOR_INFOTEXT
        return ElementRole { Active, QPalette::ToolTipText };
    case 24: // COLOR_INFOBK
        return ElementRole { Active, QPalette::ToolTipBase };
    case 26: // COLOR_HOTLIGHT
        return ElementRole { Active, QPalette::Link };
    default:
        return std::nullopt;
    }
}

std::optional<DWORD> DesktopColor(int index)
{
    const std::optional<ElementRole> element = RoleOf(index);
    if (!element || !qGuiApp) {
        return std::nullopt;
    }
    const QColor colour = QGuiApplication::palette().color(element->group, element->role);
    return static_cast<DWORD>(ColorOf({ colour.red(), colour.green(), colour.blue() }));
}

} // namespace

void InstallDesktopColorSource()
{
    SetSysColorSource(DesktopColor);
}

void FollowDesktopColors()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        return;
    }
    InstallDesktopColorSource();
}
