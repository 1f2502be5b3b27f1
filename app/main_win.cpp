#include "app/app_win.h"
#include "display/display_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (!StartMivo(GetCommandLineA())) ExitProcess(0);
    RunMessageLoop();
    EndWindowCom();
    EndPowerRequests();
    // The exit code is the module handle's value.
    ExitProcess(static_cast<UINT>(reinterpret_cast<UINT_PTR>(Instance)));
}
