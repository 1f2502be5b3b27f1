#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/switches.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "data/winver.h"
#include "display/display_win.h"
#include "resources/resource.h"

HINSTANCE Instance;
HWND MainWindow;
HICON SmallIcon;
HICON LargeIcon;

namespace
{

constexpr int MainWidth = 165;
constexpr int MainHeight = 120;
const char MainClassName[] = "MivoTime";
const char MainTitle[] = "Mivo";

void RegisterMainClass()
{
    LargeIcon =
        static_cast<HICON>(LoadImageA(Instance, MAKEINTRESOURCEA(IDI_MIVO), IMAGE_ICON, 32, 32, 0));
    SmallIcon =
        static_cast<HICON>(LoadImageA(Instance, MAKEINTRESOURCEA(IDI_MIVO), IMAGE_ICON, 16, 16, 0));

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = Instance;
    wc.hIcon = LargeIcon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = MainClassName;
    wc.hIconSm = SmallIcon;
    RegisterClassExA(&wc);
}

void CreateMainWindow()
{
    const int x = (GetSystemMetrics(SM_CXSCREEN) - MainWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - MainHeight) / 2;
    // The buttons paint themselves: the display's whole-window repaints (layout, flashing, the
    // acknowledged time-up) neither erase under them nor make all six draw again.
    MainWindow = CreateWindowExA(0, MainClassName, MainTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                 x, y, MainWidth, MainHeight, nullptr, nullptr, Instance, nullptr);
}

// A placement that was never captured (all zero after defaults) has no size or position:
// keep the centred window instead of handing it to Windows.
void ApplySavedPlacement()
{
    static_assert(sizeof(WINDOWPLACEMENT) == sizeof(PlacementRecord), "placement layout");
    if (Settings.RememberPosition != 0 &&
        Settings.WindowPlacement.length == sizeof(WINDOWPLACEMENT))
    {
        WINDOWPLACEMENT placement;
        std::memcpy(&placement, &Settings.WindowPlacement, sizeof placement);
        SetWindowPlacement(MainWindow, &placement);
    }
    else
    {
        ShowWindow(MainWindow, SW_SHOW);
    }
}

} // namespace

bool StartMivo(const char* commandLine)
{
    return PrepareStart(commandLine) && OpenMainWindow();
}

bool PrepareStart(const char* commandLine)
{
    if (CreateTooltipControl() == nullptr) return false;
    Instance = GetModuleHandleA(nullptr);
    UiStrings = static_cast<char*>(GlobalAlloc(GPTR, UiStringsSize));
    if (UiStrings == nullptr) return false;

    PrepareFolders(1);
    LoadUiStrings();
    LoadSettings();
    InitCommonControls();
    char systemName[600];
    Settings.LayeredAvailable = LayeredAvailableFor(IdentifyWindows(systemName));

    Count.TargetTime = 0;
    ApplyCommandLine(commandLine, Settings, Count, Switches);
    return true;
}

bool OpenMainWindow()
{
    RegisterMainClass();
    CreateMainWindow();
    if (MainWindow == nullptr) return false;

    ApplyTransparency();
    ApplySavedPlacement();
    ApplyTopMost(Settings.OnTopTimer);
    if (Switches.StartAtLaunch != 0)
    {
        Switches.StartAtLaunch = 0;
        PostMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0);
    }
    RebuildSystemMenu();
    // After the placement: a window saved minimised or maximised starts in its normal state.
    ShowWindow(MainWindow, SW_SHOWNORMAL);
    return true;
}

bool TimerKeyMessage(WPARAM virtualKey, bool controlHeld, UINT& message, WPARAM& wParam)
{
    message = WM_COMMAND;
    switch (virtualKey)
    {
    case VK_F1: wParam = CmdHelp; return true;
    case 'S':
    case VK_ESCAPE: wParam = CmdStartStop; return true;
    case 'R': wParam = CmdReset; return true;
    case 'O': wParam = CmdOptions; return true;
    case 'V': wParam = CmdReverse; return !controlHeld; // Ctrl+V is left alone
    case 'M':
        message = WM_RBUTTONUP;
        wParam = 0;
        return true;
    case 'Q':
        message = WM_LBUTTONUP;
        wParam = 0;
        return true;
    default: return false;
    }
}

void ProcessLoopMessage(MSG& msg)
{
    if (msg.message != WM_KEYDOWN)
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        return;
    }
    // Whichever window of the thread has the focus, the timer's keys command the main window.
    const SHORT control = GetKeyState(VK_CONTROL);
    UINT message;
    WPARAM wParam;
    if (TimerKeyMessage(msg.wParam, control != 0 && control != 1, message, wParam))
        PostMessageA(MainWindow, message, wParam, 0);
    else
        IsDialogMessageA(MainWindow, &msg); // Tab and Space move between and press the buttons
}

void RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        ProcessLoopMessage(msg);
}
