#pragma once

#include <functional>
#include <map>
#include <string>

#include "colour/conversions.h"
#include "platform/wintypes.h"
#include "settings/component.h"

// The platform colour dialog's record and call, with a Qt dialog standing in for the platform's.
struct CHOOSECOLORA
{
    DWORD lStructSize = 36;
    void* hwndOwner = nullptr;
    void* hInstance = nullptr;
    DWORD rgbResult = 0; // 0x00BBGGRR
    DWORD* lpCustColors = nullptr; // 16 slots
    DWORD Flags = 0;
    // Moves the dialog once it is initialised: (x, y) for a dialog of the given size on a screen.
    std::function<void(
        int& x, int& y, int dialogWidth, int dialogHeight, int screenWidth, int screenHeight)>
        lpfnHook;
};

inline constexpr DWORD CC_RGBINIT = 0x1;
inline constexpr DWORD CC_ENABLEHOOK = 0x10;

/// Runs the dialog modally. Non-zero when the user chose a colour with OK.
BOOL ChooseColorA(CHOOSECOLORA* record);

/// The window's colour dialog component: remembers the last colour and the custom colours.
class TColorDialog : public TComponent
{
public:
    explicit TColorDialog(TComponent* owner)
        : TComponent(owner)
    {
    }

    TColor Color = clWhite;
    /// Name=value texts "ColorA".."ColorP", hexadecimal values.
    std::map<std::string, std::string> CustomColors;

    /// True when the user chose a colour with OK; Color and CustomColors then hold the choice.
    bool RunDialog();
};
