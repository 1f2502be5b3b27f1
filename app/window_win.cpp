#include <windows.h>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "data/data_win.h"
#include "data/uistrings.h"

namespace
{

using SetLayeredWindowAttributesProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

LRESULT MainWindowOnCreate(HWND)
{
    return 0;
}

// Closing, logging off and shutting down all end here: the program ends with the loop.
LRESULT MainWindowOnClosing(UINT message)
{
    SaveSettings();
    PostQuitMessage(0);
    return message == WM_QUERYENDSESSION ? TRUE : 0;
}

LRESULT MainWindowOnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case CmdExit: DestroyWindow(window); return 0;
    default: return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    }
}

LRESULT MainWindowOnSysCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (wParam == CmdStartStop || wParam == CmdReset)
    {
        PostMessageA(window, WM_COMMAND, wParam, 0);
        return 0;
    }
    return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

} // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE: return MainWindowOnCreate(window);
    case WM_CLOSE:
    case WM_DESTROY:
    case WM_QUERYENDSESSION: return MainWindowOnClosing(message);
    case WM_COMMAND: return MainWindowOnCommand(window, wParam, lParam);
    case WM_SYSCOMMAND: return MainWindowOnSysCommand(window, wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ApplyTopMost(uint32_t flag)
{
    SetWindowPos(MainWindow, flag == 1 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void MakeTransparent(uint32_t alpha)
{
    // Replaces the whole extended style.
    SetWindowLongA(MainWindow, GWL_EXSTYLE, WS_EX_LAYERED);
    // Looked up at run time: the call is missing on the oldest systems.
    const FARPROC found =
        GetProcAddress(GetModuleHandleA("USER32.dll"), "SetLayeredWindowAttributes");
    if (found == nullptr) return;
    const auto setLayered =
        reinterpret_cast<SetLayeredWindowAttributesProc>(reinterpret_cast<void (*)()>(found));
    setLayered(MainWindow, 0, static_cast<BYTE>(alpha & 0xFF), LWA_ALPHA);
}

void RebuildSystemMenu()
{
    GetSystemMenu(MainWindow, TRUE);
    const HMENU menu = GetSystemMenu(MainWindow, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, CmdStartStop, UiString(Count.Running != 0 ? 1 : 0));
    AppendMenuA(menu, MF_STRING, CmdReset, UiString(2));
}
