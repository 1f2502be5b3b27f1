#include <windows.h>

#include "alarm/alarm_win.h"
#include "alarm/prompt_win.h"
#include "app/app_win.h"
#include "app/appstate.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/hotkeys.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "display/display_win.h"
#include "display/layout.h"
#include "display/quickset.h"
#include "display/timetext.h"
#include "options/options_win.h"
#include "resources/resource.h"
#include "text/text.h"

namespace
{

using SetLayeredWindowAttributesProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Posted by the counting thread when the system menu's Start/Stop entry must change: menus are
// rebuilt on the window's own thread.
constexpr UINT WM_REFRESHSYSTEMMENU = WM_APP + 1;

// The label the system menu shows: UI string 0 ("Start") or 1 ("Stop"); -1 before the first.
volatile LONG SystemMenuLabel = -1;

// Posted by the other threads when the minimised title must follow the count; 1 while one is
// on its way, so a fast count does not fill the queue.
constexpr UINT WM_REFRESHTITLE = WM_APP + 2;
volatile LONG TitlePending;

// Posted by the other threads when the taskbar's progress bar must change: the bar's object
// lives on the window's thread. 1 while one is on its way.
constexpr UINT WM_REFRESHPROGRESS = WM_APP + 3;
volatile LONG ProgressPending;

// Posted by the other threads when what the program asks of Windows about sleep must change:
// the request is the window's thread's own. 1 while one is on its way.
constexpr UINT WM_REFRESHPOWER = WM_APP + 4;
volatile LONG PowerPending;

// Posted by the other threads when the count entered or left its last stretch; wParam holds
// EffectWarn and EffectWarnSound. Not folded: a crossing's sound must not be lost.
constexpr UINT WM_SHOWSTRETCH = WM_APP + 5;

// Posted by the other threads when the kept count must follow the count; 1 while one is on its
// way.
constexpr UINT WM_KEEPCOUNT = WM_APP + 6;
volatile LONG KeepPending;

// 1 while a warning balloon shows from the tray icon.
bool BalloonShown;

constexpr char MainTitle[] = "Mivo";

// Broadcast by a taskbar that has (re)started and forgotten every icon.
UINT TaskbarCreatedMessage;

uint32_t Toggled(uint32_t flag)
{
    return flag == 0 ? 1 : 0;
}

bool OnWindowThread()
{
    return GetWindowThreadProcessId(MainWindow, nullptr) == GetCurrentThreadId();
}

// On the window's thread, where a restore sets the plain title: a title decided while the
// window was minimised is dropped once it has been restored.
void ShowCountTitle()
{
    InterlockedExchange(&TitlePending, 0);
    char title[64];
    {
        CountLockGuard lock;
        if (WindowState != WindowMinimised) return;
        CopyCountTitle(title);
    }
    SetWindowTextA(MainWindow, title);
}

// `width` x `height` at 96 DPI, drawn at the window's.
void SetWindowSize(int width, int height)
{
    ShowWindow(MainWindow, SW_SHOWNORMAL);
    SetWindowPos(MainWindow, nullptr, 0, 0, ScaledForWindow(width), ScaledForWindow(height),
                 SWP_NOMOVE | SWP_NOZORDER);
}

void SetFullScreen(uint32_t flag)
{
    // The counting thread reads it for what to ask of Windows about sleep.
    CountLockGuard lock;
    FullScreen = flag;
}

void ToggleFullScreen()
{
    if (FullScreen == 0)
    {
        ShowWindow(MainWindow, SW_RESTORE);
        SetFullScreen(1);
        ShowWindow(MainWindow, SW_MAXIMIZE);
        ApplyTopMost(1);
    }
    else
    {
        SetFullScreen(0);
        ShowWindow(MainWindow, SW_RESTORE);
        ApplyTopMost(Settings.OnTopTimer);
    }
    // A running count in full screen keeps the display on too.
    RunCountOperation([](uint32_t) { return 0u; });
}

void ClearTransparency()
{
    // Replaces the whole extended style, as making it transparent does.
    SetWindowLongA(MainWindow, GWL_EXSTYLE, 0);
    // What the layered window showed is not the window's own picture: draw it anew.
    InvalidateRect(MainWindow, nullptr, TRUE);
}

void ToggleTransparency()
{
    if (Settings.Transparent == 0)
    {
        MakeTransparent(Settings.Opacity);
        Settings.Transparent = 1;
    }
    else
    {
        ClearTransparency();
        Settings.Transparent = 0;
    }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
    {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

LRESULT MainWindowOnCreate(HWND window)
{
    MainWindow = window;
    // The window takes the DPI of the screen it opens on.
    WindowDpi = DpiOfWindow(window);
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    TaskbarButtonCreatedMessage = RegisterWindowMessageA("TaskbarButtonCreated");
    CreateControlButtons(window);
    return 0;
}

// Closing, logging off and shutting down all end here: the program ends with the loop.
LRESULT MainWindowOnClosing(UINT message)
{
    KeepCountNow();
    UnregisterProgramHotKeys();
    // Sent whether or not there is an icon: the shell drops a delete it cannot match.
    NotifyTrayIcon(MainWindow, SmallIcon, 0, WM_TRAYNOTIFY, ProgramCaption, NIM_DELETE);
    // The player is a window of its own: it would outlive the program's window.
    StopSoundPlayer();
    PostQuitMessage(0);
    return message == WM_QUERYENDSESSION ? TRUE : 0;
}

bool PutIconInTray(HWND window)
{
    return NotifyTrayIcon(window, SmallIcon, 0, WM_TRAYNOTIFY, ProgramCaption, NIM_ADD);
}

LRESULT MainWindowOnSize(HWND window, WPARAM kind)
{
    SetWindowTextA(window, MainTitle);
    // Hidden only behind an icon the shell took: else it stays minimised, within reach.
    const bool toTray =
        kind == SIZE_MINIMIZED && Settings.MinimiseToTray != 0 && PutIconInTray(window);
    if (toTray) ShowWindow(window, SW_HIDE);
    {
        // The counting thread decides on the title by it.
        CountLockGuard lock;
        TakeCountEffects(ChangeWindowState(toTray                   ? WindowInTray
                                           : kind == SIZE_MINIMIZED ? WindowMinimised
                                                                    : WindowNormal));
    }
    LayoutDisplay(window);
    return 0;
}

// The window moved to a screen of another scale, or the scale changed: everything measured in
// pixels is measured again, and only here.
LRESULT MainWindowOnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam)
{
    WindowDpi = HIWORD(wParam);
    PlaceControlButtons(window);
    ReloadProgramIcons(window);
    if (WindowState == WindowInTray)
        NotifyTrayIcon(window, SmallIcon, 0, WM_TRAYNOTIFY, ProgramCaption, NIM_MODIFY);
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    if (!ApplyingSavedPlacement)
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    // A suggested rectangle of the same size brings no WM_SIZE; the fonts and the off-screen
    // bitmap are made again all the same.
    LayoutDisplay(window);
    return 0;
}

LRESULT MainWindowOnTaskbarButtonCreated(HWND window)
{
    OnTaskbarButtonCreated(window);
    return 0;
}

LRESULT MainWindowOnRefreshProgress(HWND window)
{
    InterlockedExchange(&ProgressPending, 0);
    ShowTaskbarProgress(window);
    return 0;
}

LRESULT MainWindowOnRefreshPower()
{
    InterlockedExchange(&PowerPending, 0);
    ApplyPowerRequests();
    return 0;
}

// The last stretch began or ended (EffectStretch), and at a crossing (EffectWarn) the user is
// told: a short sound, the taskbar button flashing when the window is not in front, a balloon
// saying what is left in the tray. The count is drawn in its colour at once; a balloon comes
// down with the stretch.
LRESULT MainWindowOnShowStretch(HWND window, uint32_t effects)
{
    uint32_t inside, left;
    {
        CountLockGuard lock;
        inside = Count.InStretch;
        left = TimeLeft(GetTickCount());
    }
    if ((effects & EffectWarnSound) != 0) MessageBeepProc(MB_ICONEXCLAMATION);
    if ((effects & EffectWarn) != 0 && inside != 0)
    {
        if (WindowState == WindowInTray)
        {
            char time[16];
            FormatShortTime(left, time);
            char text[32];
            CopyText(time, text);
            AppendText(text, " left");
            BalloonShown = NotifyTrayBalloon(window, 0, text);
        }
        else if (GetForegroundWindow() != window)
        {
            FLASHWINFO flash = {sizeof flash, window, FLASHW_TRAY, 3, 0};
            FlashWindowEx(&flash);
        }
    }
    if (inside == 0 && BalloonShown)
    {
        NotifyTrayBalloon(window, 0, "");
        BalloonShown = false;
    }
    InvalidateRect(window, nullptr, FALSE);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    return 0;
}

// The wall clock was set: the wake timer and the kept count count by it, the count does not.
LRESULT MainWindowOnTimeChange()
{
    RearmWakeTimer();
    KeepCountNow();
    return 0;
}

// The session ends: what is kept is what the next start finds.
LRESULT MainWindowOnEndSession(WPARAM ending)
{
    if (ending != FALSE) KeepCountNow();
    return 0;
}

LRESULT MainWindowOnKeepCount()
{
    InterlockedExchange(&KeepPending, 0);
    KeepCountSoon();
    return 0;
}

LRESULT MainWindowOnTaskbarCreated(HWND window)
{
    if (WindowState != WindowInTray || PutIconInTray(window)) return 0;
    // The new taskbar will not take the icon: the window comes back, minimised.
    {
        CountLockGuard lock;
        TakeCountEffects(ChangeWindowState(WindowMinimised));
    }
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    return 0;
}

// The window back from behind its tray icon, in front.
void RestoreFromTray(HWND window)
{
    {
        CountLockGuard lock;
        TakeCountEffects(ChangeWindowState(WindowNormal));
    }
    NotifyTrayIcon(window, SmallIcon, 0, WM_TRAYNOTIFY, ProgramCaption, NIM_DELETE);
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

// Show/Hide: in the tray, minimised or behind another window, it comes to the front; in front,
// it is minimised (to the tray when "Minimise To Tray" is on).
void ShowOrHide(HWND window)
{
    if (WindowState == WindowInTray)
        RestoreFromTray(window);
    else if (IsIconic(window) || GetForegroundWindow() != window)
    {
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
    }
    else
        ShowWindow(window, SW_MINIMIZE);
}

LRESULT MainWindowOnTrayNotify(HWND window, WPARAM id, LPARAM mouseMessage)
{
    if (id != 0) return 0;
    // Every notification refreshes the tip, mouse moves included: hovering shows the count.
    char tip[64];
    {
        CountLockGuard lock;
        if (Count.Running != 0)
            CopyCountTitle(tip);
        else
            CopyText(ProgramCaption, tip);
    }
    NotifyTrayIcon(window, SmallIcon, 0, WM_TRAYNOTIFY, tip, NIM_MODIFY);
    if (mouseMessage == WM_LBUTTONDBLCLK)
        RestoreFromTray(window);
    else if (mouseMessage == WM_RBUTTONDOWN)
        PostMessageA(window, WM_RBUTTONUP, 0, 0);
    return 0;
}

// 1 while the QuickSet window is open: a key from anywhere can ask for it again meanwhile, and
// one grid at a time is enough.
uint32_t QuickSetShowing;

// The chosen time is a one-off: SelectedTime keeps its value and the reset skips it once.
void RunQuickSet(HWND window)
{
    if (QuickSetShowing != 0) return;
    QuickSetShowing = 1;
    const INT_PTR chosen = DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_QUICKSET), window,
                                           QuickSetProc, reinterpret_cast<LPARAM>(TooltipRecord));
    QuickSetShowing = 0;
    // Cancel (2) and a window that could not be shown (-1, 0) lie below every time button's id.
    if (chosen <= static_cast<INT_PTR>(QuickSetIdBase)) return;
    const uint32_t result = static_cast<uint32_t>(chosen);
    bool start = false;
    RunCountOperation([result, &start](uint32_t tick) {
        const uint32_t effects = LoadAndReset(QuickSetMilliseconds(result), tick);
        if (Settings.AutoStartQuickSet != 0 && Count.Running == 0)
        {
            if (Settings.AutoReset != 0) Settings.AutoReset = 99;
            start = true;
        }
        return effects;
    });
    if (start) PostMessageA(window, WM_COMMAND, CmdStartStop, 0);
}

// Whether a time-up waits for its answer, and its serial.
bool WaitingTimeUp(uint32_t& serial)
{
    CountLockGuard lock;
    serial = Count.Serial;
    return Count.TimeIsUp != 0;
}

LRESULT MainWindowOnLeftClick(HWND window)
{
    // The click answers this time-up, not one that may come before the command is taken.
    uint32_t serial;
    if (WaitingTimeUp(serial))
        PostMessageA(window, WM_COMMAND, CmdAcknowledgeTimeUp, serial);
    else if (Settings.TwoClickQuickSet != 0)
        RunQuickSet(window);
    return 0;
}

// The QuickSet key, chosen by the user for QuickSet: the grid whatever "Two Click QuickSet"
// says of clicks. During a time-up it answers it, as a click does.
LRESULT MainWindowOnQuickSet(HWND window)
{
    uint32_t serial;
    if (WaitingTimeUp(serial))
        PostMessageA(window, WM_COMMAND, CmdAcknowledgeTimeUp, serial);
    else
        RunQuickSet(window);
    return 0;
}

// Whether HideButtons hides the row now: the count runs or its time-up waits.
bool HideButtonsMovesTheRow()
{
    CountLockGuard lock;
    return ButtonRowHidden(1, Count.Running, Count.TimeIsUp);
}

void OpenOptions(HWND window)
{
    if (OptionsOpen != 0) return;
    ShowOptions(window);
    // Stay awake while counting may have changed.
    RunCountOperation([](uint32_t) { return 0u; });
    if (HideButtonsMovesTheRow()) ApplyButtonVisibility(window);
    ApplyTopMost(Settings.OnTopTimer);
    LabelDirectionButton(window);
}

LRESULT MainWindowOnMinMaxInfo(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (FullScreen == 0) return DefWindowProcA(window, WM_GETMINMAXINFO, wParam, lParam);
    // Caption and frame lie outside the screen; the client area covers it.
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    const int caption = MetricAtDpi(SM_CYCAPTION, WindowDpi);
    const int frame = ScaledForWindow(7);
    info->ptMaxSize = {GetSystemMetrics(SM_CXSCREEN) + 2 * frame,
                       GetSystemMetrics(SM_CYSCREEN) + caption + 2 * frame};
    info->ptMaxPosition = {-frame, -(caption + frame)};
    info->ptMinTrackSize = {0, 0};
    info->ptMaxTrackSize = {5000, 5000};
    return 0;
}

// The time-up action. A shutdown or restart first answers the time-up, stops the count and
// clears the kept count, in memory and on disk: the next start must not run it again.
LRESULT MainWindowOnAlarmAction()
{
    if (Settings.AlarmAction == 5 || Settings.AlarmAction == 6)
    {
        RunCountOperation([](uint32_t tick) { return AcknowledgeTimeUp() | StopCount(tick); });
        ForgetKeptCount();
    }
    char path[600];
    CopyAlarmSoundPath(path);
    PerformAlarmAction(path);
    return 0;
}

LRESULT MainWindowOnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    const uint32_t id = LOWORD(wParam);
    switch (id)
    {
    case CmdStartStop:
    case CmdAcknowledgeTimeUp:
    case CmdStopCount:
    case CmdStartCount:
    case CmdAddTime: {
        const auto serial = static_cast<uint32_t>(lParam);
        RunCountOperation(
            [id, serial](uint32_t tick) { return ApplyCountCommand(id, tick, serial); });
        return 0;
    }
    case CmdReset: RunCountOperation(ResetCount); return 0;
    case CmdOptions: OpenOptions(window); return 0;
    case CmdHelp: ShowReadMe(); return 0;
    case CmdAbout:
        DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutProc, 0);
        return 0;
    case CmdReverse: RunCountOperation(ReverseCount); return 0;
    case CmdSync:
        RunCountOperation([](uint32_t tick) {
            SYSTEMTIME now;
            GetLocalTime(&now);
            return SyncCount(tick, now.wSecond, now.wMilliseconds);
        });
        return 0;
    case CmdHideButtons: {
        Settings.HideButtons = Toggled(Settings.HideButtons);
        if (HideButtonsMovesTheRow()) ApplyButtonVisibility(window);
        return 0;
    }
    case CmdFullScreen: ToggleFullScreen(); return 0;
    case CmdOnTop:
        Settings.OnTopTimer = Toggled(Settings.OnTopTimer);
        ApplyTopMost(Settings.OnTopTimer);
        return 0;
    case CmdMute: {
        CountLockGuard lock;
        Settings.Mute = Toggled(Settings.Mute);
        return 0;
    }
    case CmdStopSound:
        // The menu's Stop Sound names no player; the other threads' requests do.
        if (lParam != 0)
            StopSoundPlayerIfCurrent(reinterpret_cast<HWND>(lParam));
        else
            StopSoundPlayer();
        return 0;
    case CmdTransparent: ToggleTransparency(); return 0;
    case CmdExit: DestroyWindow(window); return 0;
    case CmdQuickSet: return MainWindowOnQuickSet(window);
    case CmdShowHide: ShowOrHide(window); return 0;
    case CmdSizeSmall: SetWindowSize(165, 120); return 0;
    case CmdSizeMedium: SetWindowSize(480, 320); return 0;
    case CmdSizeLarge: SetWindowSize(800, 600); return 0;
    case CmdAlarmAction: return MainWindowOnAlarmAction();
    default: break;
    }
    if (id >= CmdSecondsMode && id <= CmdSecondsMode + 4)
        RunCountOperation([id](uint32_t) { return ChangeSecondsMode(id - CmdSecondsMode); });
    else if (id >= CmdPresetTime && id <= CmdPresetTime + 2)
        RunCountOperation([id](uint32_t tick) {
            Settings.SelectedTime = id - CmdPresetTime;
            return LoadAndReset(Settings.SelectedTime, tick);
        });
    else if (id >= CmdDaysMode && id <= CmdDaysMode + 2)
        RunCountOperation([id](uint32_t) { return ChangeDaysMode(id - CmdDaysMode); });
    else
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    return 0;
}

// Back from sleep or hibernation: the counting thread's wait has not counted the time asleep.
LRESULT MainWindowOnPowerBroadcast(HWND window, WPARAM event, LPARAM data)
{
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) WakeCountingThread();
    return DefWindowProcA(window, WM_POWERBROADCAST, event, data);
}

// A key from anywhere: the command of its action, as the window's own would.
LRESULT MainWindowOnHotKey(HWND window, WPARAM id)
{
    const uint32_t command = HotKeyCommand(static_cast<uint32_t>(id));
    if (command != 0) MainWindowOnCommand(window, command, 0);
    return 0;
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
    if (message == TaskbarCreatedMessage && message != 0) return MainWindowOnTaskbarCreated(window);
    if (message == TaskbarButtonCreatedMessage && message != 0)
        return MainWindowOnTaskbarButtonCreated(window);
    switch (message)
    {
    case WM_CREATE: return MainWindowOnCreate(window);
    case WM_CLOSE:
    case WM_DESTROY:
    case WM_QUERYENDSESSION: return MainWindowOnClosing(message);
    case WM_SIZE: return MainWindowOnSize(window, wParam);
    case WM_PAINT: PaintDisplay(window); return 0;
    case WM_COMMAND: return MainWindowOnCommand(window, wParam, lParam);
    case WM_SYSCOMMAND: return MainWindowOnSysCommand(window, wParam, lParam);
    case WM_LBUTTONUP: return MainWindowOnLeftClick(window);
    case WM_RBUTTONUP: ShowContextMenu(window); return 0;
    case WM_TRAYNOTIFY: return MainWindowOnTrayNotify(window, wParam, lParam);
    case WM_GETMINMAXINFO: return MainWindowOnMinMaxInfo(window, wParam, lParam);
    case WM_DPICHANGED: return MainWindowOnDpiChanged(window, wParam, lParam);
    case WM_REFRESHSYSTEMMENU: RebuildSystemMenu(); return 0;
    case WM_REFRESHTITLE: ShowCountTitle(); return 0;
    case WM_REFRESHPROGRESS: return MainWindowOnRefreshProgress(window);
    case WM_GETOBJECT: return AccessibleClockObject(window, wParam, lParam);
    case WM_POWERBROADCAST: return MainWindowOnPowerBroadcast(window, wParam, lParam);
    case WM_REFRESHPOWER: return MainWindowOnRefreshPower();
    case WM_HOTKEY: return MainWindowOnHotKey(window, wParam);
    case WM_TIMECHANGE: return MainWindowOnTimeChange();
    case WM_ENDSESSION: return MainWindowOnEndSession(wParam);
    case WM_KEEPCOUNT: return MainWindowOnKeepCount();
    case WM_SHOWSTRETCH: return MainWindowOnShowStretch(window, static_cast<uint32_t>(wParam));
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ApplyCountEffects(uint32_t effects)
{
    if ((effects & EffectCloseSoundPlayer) != 0) StopSoundPlayer();
    if ((effects & EffectCloseTimeUpWindows) != 0) CloseOvertakenTimeUpWindows();
    if ((effects & EffectStartLabel) != 0) SetDlgItemTextA(MainWindow, CmdStartStop, UiString(0));
    if ((effects & EffectStopLabel) != 0) SetDlgItemTextA(MainWindow, CmdStartStop, UiString(1));
    if ((effects & EffectTitle) != 0)
    {
        if (OnWindowThread())
            ShowCountTitle();
        else if (InterlockedExchange(&TitlePending, 1) == 0)
            PostMessageA(MainWindow, WM_REFRESHTITLE, 0, 0);
    }
    if ((effects & EffectDirectionUp) != 0) SetDlgItemTextA(MainWindow, CmdReverse, UiString(16));
    if ((effects & EffectDirectionDown) != 0) SetDlgItemTextA(MainWindow, CmdReverse, UiString(17));
    if ((effects & EffectButtonVisibility) != 0) ApplyButtonVisibility(MainWindow);
    if ((effects & EffectInvalidateErase) != 0)
        InvalidateRect(MainWindow, nullptr, TRUE);
    else if ((effects & EffectInvalidate) != 0)
        InvalidateRect(MainWindow, nullptr, FALSE);
    if ((effects & EffectInvalidateTimeBand) != 0)
    {
        RECT band;
        {
            CountLockGuard lock;
            band = TimeBand;
        }
        InvalidateRect(MainWindow, &band, FALSE);
    }
    if ((effects & EffectMinimise) != 0) ShowWindow(MainWindow, SW_MINIMIZE);
    if ((effects & EffectProgress) != 0)
    {
        if (OnWindowThread())
            ShowTaskbarProgress(MainWindow);
        else if (InterlockedExchange(&ProgressPending, 1) == 0)
            PostMessageA(MainWindow, WM_REFRESHPROGRESS, 0, 0);
    }
    if ((effects & EffectPower) != 0)
    {
        if (OnWindowThread())
            ApplyPowerRequests();
        else if (InterlockedExchange(&PowerPending, 1) == 0)
            PostMessageA(MainWindow, WM_REFRESHPOWER, 0, 0);
    }
    if ((effects & EffectStretch) != 0)
    {
        const uint32_t warn = effects & (EffectWarn | EffectWarnSound);
        if (OnWindowThread())
            MainWindowOnShowStretch(MainWindow, warn);
        else
            PostMessageA(MainWindow, WM_SHOWSTRETCH, warn, 0);
    }
    if ((effects & EffectKeep) != 0)
    {
        if (OnWindowThread())
            KeepCountSoon();
        else if (InterlockedExchange(&KeepPending, 1) == 0)
            PostMessageA(MainWindow, WM_KEEPCOUNT, 0, 0);
    }
    // Any thread may tell; a screen reader asks for the value when it wants it.
    if ((effects & EffectAnnounce) != 0)
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, MainWindow, OBJID_CLIENT, CHILDID_SELF);
    if ((effects & EffectSystemMenu) != 0)
    {
        if (OnWindowThread())
            RebuildSystemMenu();
        else if (SystemMenuLabel != (Count.Running != 0 ? 1 : 0))
            // The running count asks on every update; the menu only changes with the state.
            PostMessageA(MainWindow, WM_REFRESHSYSTEMMENU, 0, 0);
    }
}

void ApplyTopMost(uint32_t flag)
{
    SetWindowPos(MainWindow, flag == 1 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void ApplyTransparency()
{
    if (Settings.Transparent != 0 && Settings.LayeredAvailable == 1)
        MakeTransparent(Settings.Opacity);
    else if ((GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_LAYERED) != 0)
        ClearTransparency();
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
    const LONG label = Count.Running != 0 ? 1 : 0;
    GetSystemMenu(MainWindow, TRUE);
    const HMENU menu = GetSystemMenu(MainWindow, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, CmdStartStop, UiString(static_cast<uint32_t>(label)));
    AppendMenuA(menu, MF_STRING, CmdReset, UiString(2));
    InterlockedExchange(&SystemMenuLabel, label);
}
