#include "settings/window_ini.h"

#include "settings/inibrel.h"

void SetWindowIniProperties(TIniBrel& ini)
{
    ini.SetLoading(true);
    ini.SetDefaultDir(ddApplication);
    ini.SetFence(fnNone);
}
