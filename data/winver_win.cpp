#include <windows.h>

#include "data/data_win.h"
#include "data/winver.h"
#include "text/text.h"

uint32_t IdentifyWindows(char* name)
{
    WindowsVersion version = {};
    OSVERSIONINFOEXA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)))
    {
        version.Extended = 1;
        version.ProductType = info.wProductType;
        version.SuiteMask = info.wSuiteMask;
    }
    else
    {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
    }
    version.Platform = info.dwPlatformId;
    version.Major = info.dwMajorVersion;
    version.Minor = info.dwMinorVersion;
    version.Build = info.dwBuildNumber;
    version.TabletPc = GetSystemMetrics(SM_TABLETPC) != 0;
    version.MediaCenter = GetSystemMetrics(SM_MEDIACENTER) != 0;
    CopyText(info.szCSDVersion, version.ServicePack);
    return ClassifyWindows(version, name, 600);
}
