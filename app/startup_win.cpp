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
bool ApplyingSavedPlacement;
BOOL(WINAPI* SetWindowPlacementProc)(HWND, const WINDOWPLACEMENT*) = SetWindowPlacement;

namespace
{

constexpr int MainWidth = 165;
constexpr int MainHeight = 120;
const char MainClassName[] = "MivoTime";
const char MainTitle[] = "Mivo";

// The program icon drawn at the size the metric `index` asks for at `dpi`.
HICON LoadProgramIcon(int index, uint32_t dpi)
{
    const int size = MetricAtDpi(index, dpi);
    return static_cast<HICON>(
        LoadImageA(Instance, MAKEINTRESOURCEA(IDI_MIVO), IMAGE_ICON, size, size, 0));
}

void RegisterMainClass()
{
    WindowDpi = SystemDpi();
    LargeIcon = LoadProgramIcon(SM_CXICON, WindowDpi);
    SmallIcon = LoadProgramIcon(SM_CXSMICON, WindowDpi);

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
    const int width = ScaledForWindow(MainWidth);
    const int height = ScaledForWindow(MainHeight);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    // The buttons paint themselves: the display's whole-window repaints (layout, flashing, the
    // acknowledged time-up) neither erase under them nor make all six draw again.
    MainWindow = CreateWindowExA(0, MainClassName, MainTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                 x, y, width, height, nullptr, nullptr, Instance, nullptr);
}

// The saved pixels are restored as they were saved, on the screen they were saved on. A window
// that would come back on no screen at all (that screen is gone) comes back whole on the
// nearest one. `normal` is in workspace coordinates: screen coordinates less the offset of the
// main screen's work area.
void KeepOnAScreen(RECT& normal)
{
    MONITORINFO main = {};
    main.cbSize = sizeof main;
    if (!GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &main)) return;
    const int dx = main.rcWork.left - main.rcMonitor.left;
    const int dy = main.rcWork.top - main.rcMonitor.top;
    RECT onScreen = {normal.left + dx, normal.top + dy, normal.right + dx, normal.bottom + dy};
    if (MonitorFromRect(&onScreen, MONITOR_DEFAULTTONULL) != nullptr) return;
    MONITORINFO nearest = {};
    nearest.cbSize = sizeof nearest;
    if (!GetMonitorInfoA(MonitorFromRect(&onScreen, MONITOR_DEFAULTTONEAREST), &nearest)) return;
    const Band moved = MoveOntoArea(
        {onScreen.left, onScreen.top, onScreen.right, onScreen.bottom},
        {nearest.rcWork.left, nearest.rcWork.top, nearest.rcWork.right, nearest.rcWork.bottom});
    normal = {moved.left - dx, moved.top - dy, moved.right - dx, moved.bottom - dy};
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
        KeepOnAScreen(placement.rcNormalPosition);
        // Saved on a screen of another scale, the move there brings WM_DPICHANGED with the
        // saved size scaled once more: the saved pixels are already that screen's.
        ApplyingSavedPlacement = true;
        SetWindowPlacementProc(MainWindow, &placement);
        ApplyingSavedPlacement = false;
    }
    else
    {
        ShowWindow(MainWindow, SW_SHOW);
    }
}

} // namespace

void ReloadProgramIcons(HWND window)
{
    const HICON large = LoadProgramIcon(SM_CXICON, WindowDpi);
    const HICON small = LoadProgramIcon(SM_CXSMICON, WindowDpi);
    if (large == nullptr || small == nullptr)
    {
        // The icons of the old scale are better than none.
        if (large != nullptr) DestroyIcon(large);
        if (small != nullptr) DestroyIcon(small);
        return;
    }
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    // The class keeps the old ones until it has the new: no window is ever left pointing at an
    // icon that is gone.
    SetClassLongPtrA(window, GCLP_HICON, reinterpret_cast<LONG_PTR>(large));
    SetClassLongPtrA(window, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(small));
    DestroyIcon(LargeIcon);
    DestroyIcon(SmallIcon);
    LargeIcon = large;
    SmallIcon = small;
}

bool StartMivo(const char* commandLine)
{
    return PrepareStart(commandLine) && OpenMainWindow();
}

bool PrepareStart(const char* commandLine)
{
    RestrictLibrarySearch();
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
    TakeKeeperRole();
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
    // A count kept at the last exit comes back, running or not, unless the command line gave one.
    ResumeKeptCount();
    if (Switches.StartAtLaunch != 0)
    {
        Switches.StartAtLaunch = 0;
        PostMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0);
    }
    RebuildSystemMenu();
    // A key another program took meanwhile is not lost: the Keys page shows it so.
    RegisterProgramHotKeys();
    // After the placement: a window saved minimised or maximised starts in its normal state.
    ShowWindow(MainWindow, SW_SHOWNORMAL);
    return true;
}

bool TimerKeyMessage(WPARAM virtualKey, bool controlHeld, bool repeated, UINT& message,
                     WPARAM& wParam)
{
    message = WM_COMMAND;
    switch (virtualKey)
    {
    case VK_ADD:
    case VK_OEM_PLUS:
        // A key held down adds once.
        wParam = CmdAddTime;
        return !controlHeld && !repeated;
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
    // Bit 30: the key was down before, an auto-repeat.
    const bool repeated = (msg.lParam & 0x40000000) != 0;
    if (TimerKeyMessage(msg.wParam, control != 0 && control != 1, repeated, message, wParam))
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
