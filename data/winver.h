// Which Windows the program runs on, from the numbers the version query reports.
#pragma once

#include <cstdint>

struct WindowsVersion
{
    uint32_t Platform; // 2 = NT
    uint32_t Major;
    uint32_t Minor;
    uint32_t Build;
    uint32_t Extended;    // the extended query worked: ProductType and SuiteMask are known
    uint32_t ProductType; // 1 workstation, 2 domain controller, 3 server
    uint32_t SuiteMask;
    uint32_t TabletPc;    // GetSystemMetrics(SM_TABLETPC) != 0
    uint32_t MediaCenter; // GetSystemMetrics(SM_MEDIACENTER) != 0
    char ServicePack[128];
};

// The code (0 unknown, 16 Windows 2000 ... 31 Windows 11) and the readable name in `name`.
uint32_t ClassifyWindows(const WindowsVersion& version, char* name, uint32_t nameSize);

// Layered (transparent) windows exist from Windows 2000 on; an unknown system gets none.
inline uint32_t LayeredAvailableFor(uint32_t code)
{
    return code == 16 || code > 18 ? 1 : 0;
}
