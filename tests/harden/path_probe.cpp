// Prints the settings file path that the settings component resolves for this program file, as the
// window's component does at start (default directory mode, no file name stored). Given "register",
// it then loads the user colours and registers one more (FF8000 "probe") through the store
// functions the window's commands call, and prints the error message on a second line if one ends
// the command.
//
//   path_probe [register]

#include <cstdio>
#include <string>

#include "colour/exception.h"
#include "settings/inibrel.h"
#include "settings/usercolor_store.h"
#include "settings/window_ini.h"

int main(int argc, char* argv[])
{
    TIniBrel ini(nullptr);
    SetWindowIniProperties(ini);
    ini.LoadingComplete();
    std::fputs(ini.Path().c_str(), stdout);
    if (argc > 1 && std::string(argv[1]) == "register") {
        LoadUserColors(ini);
        try {
            RegisterUserColor(ini, "FF8000probe");
        } catch (const Exception& e) {
            std::printf("\n%s", e.Message().c_str());
        }
    }
    return 0;
}
