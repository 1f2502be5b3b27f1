#include <windows.h>

#include "data/data_win.h"
#include "display/display_win.h"

uint32_t WindowDpi = BaseDpi;

uint32_t SystemDpi()
{
    const UINT dpi = DpiForSystemLate();
    if (dpi != 0) return dpi;
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) return BaseDpi;
    const int logical = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return logical > 0 ? static_cast<uint32_t>(logical) : BaseDpi;
}

uint32_t DpiOfWindow(HWND window)
{
    const UINT dpi = DpiForWindowLate(window);
    return dpi != 0 ? dpi : SystemDpi();
}

int ScaledForWindow(int pixels)
{
    return ScaleToDpi(pixels, WindowDpi);
}

int MetricAtDpi(int index, uint32_t dpi)
{
    return SystemMetricForDpiLate(index, dpi);
}
