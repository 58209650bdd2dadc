#pragma once

#include <string>

#include "settings/inibrel.h"

/// Points a bare settings object straight at path (no folder put in front of it) with no fence
/// characters, as the program's window sets its own up; gives it back for use in one expression.
inline TIniBrel& IniOn(TIniBrel& ini, const std::string& path)
{
    ini.SetDefaultDir(ddNone);
    ini.SetFence(fnNone);
    ini.SetFileName(path);
    return ini;
}
