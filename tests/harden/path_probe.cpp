// Prints the settings file path that the settings component resolves for this program file, as the
// window's component does at start (default directory mode, no file name stored).

#include <cstdio>

#include "settings/inibrel.h"

int main()
{
    TIniBrel ini(nullptr);
    ini.SetDefaultDir(ddApplication);
    ini.SetFence(fnNone);
    ini.LoadingComplete();
    std::fputs(ini.Path().c_str(), stdout);
    return 0;
}
