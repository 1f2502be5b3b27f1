#include "tests/win/harness_win.h"

#include "app/app_win.h"

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT) continue;
        ProcessLoopMessage(msg);
    }
}

void PumpMessagesFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do
    {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

void SetControlHeld(bool held)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    keys[VK_LCONTROL] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}
