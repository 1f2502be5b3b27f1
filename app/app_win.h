// The application shell: start-up, message loop and main window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/count.h"
#include "app/counting.h"
#include "app/keep.h"
#include "app/power.h"
#include "display/outside.h"

// The program's name and version: the tray tip, the options window's and the file chooser's
// caption.
constexpr char ProgramCaption[] = "Mivo 1.9";

// Process-wide handles, set during start-up.
extern HINSTANCE Instance;
extern HWND MainWindow;
extern HICON SmallIcon; // SM_CXSMICON at the window's DPI: window class and tray icon
extern HICON LargeIcon; // SM_CXICON at the window's DPI

// True while start-up puts the window back where it was saved: that rectangle is in the pixels of
// the screen it was saved on, so a scale change on the way keeps it rather than scale it again.
extern bool ApplyingSavedPlacement;
// SetWindowPlacement; tests put in its place one that also does what Windows does on the way.
extern BOOL(WINAPI* SetWindowPlacementProc)(HWND window, const WINDOWPLACEMENT* placement);

// Loads the icons again at WindowDpi and gives them to `window`, its class and the globals.
void ReloadProgramIcons(HWND window);

// Runs the start-up steps up to the message loop: PrepareStart, then OpenMainWindow.
// Returns false when the process must end at once (exit code 0).
bool StartMivo(const char* commandLine);

// Start-up before any window: strings, folders, settings, common controls, the Windows
// version and the command line.
bool PrepareStart(const char* commandLine);

// Start-up from the window class to the system menu; the window is shown.
bool OpenMainWindow();

// Fetches and handles messages until WM_QUIT.
void RunMessageLoop();

// The loop's handling of one message: timer keys become posted commands, other key presses
// go to the dialog manager, everything else is translated and dispatched.
void ProcessLoopMessage(MSG& msg);

// The message a key press stands for; false when the key is not one of the timer's keys (or
// not now: Ctrl held for V and +, an auto-repeat for +).
bool TimerKeyMessage(WPARAM virtualKey, bool controlHeld, bool repeated, UINT& message,
                     WPARAM& wParam);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The count lock: held around every count operation and every counting pass, never while
// calling into a window.
void LockCount();
void UnlockCount();

struct CountLockGuard
{
    CountLockGuard() { LockCount(); }
    ~CountLockGuard() { UnlockCount(); }
    CountLockGuard(const CountLockGuard&) = delete;
    CountLockGuard& operator=(const CountLockGuard&) = delete;
};

// Tells the main window what a count operation asked for (Effect* bits), from any thread. The
// minimised title is set on the window's thread from DisplayText as it is then, and only while
// the window is still minimised. Call without the lock.
void ApplyCountEffects(uint32_t effects);

// DisplayText as it is now; call under the lock.
void CopyCountTitle(char (&title)[64]);

// Runs a count operation, given the tick, under the lock; then applies its effects.
template <typename Operation> void RunCountOperation(Operation operation)
{
    uint32_t effects;
    {
        CountLockGuard lock;
        const uint32_t tick = GetTickCount();
        effects = TakeCountEffects(operation(tick));
        effects |=
            StretchEffects(tick, false) | OutsideEffects(tick) | PowerEffects(tick) | KeepEffects();
    }
    ApplyCountEffects(effects);
}

// Sleep (app/power.h), on the window's thread: asks Windows for what AwakeShown and
// WakeTimerShown say, each call made only when what it asks changes. RearmWakeTimer sets an
// armed timer again for the same end (the wall clock was changed); EndPowerRequests lets go of
// both at exit.
void ApplyPowerRequests();
void RearmWakeTimer();
void EndPowerRequests();

// The calls behind them; tests put recorders in their place. A test never lets the computer
// sleep, wake or shut down.
extern EXECUTION_STATE(WINAPI* SetExecutionStateProc)(EXECUTION_STATE flags);
extern BOOL(WINAPI* SetWakeTimerProc)(HANDLE timer, const LARGE_INTEGER* due, LONG period,
                                      PTIMERAPCROUTINE routine, LPVOID argument, BOOL resume);
extern BOOL(WINAPI* CancelWakeTimerProc)(HANDLE timer);

// The counting thread, started once when the main window is created; it never ends. It and the
// time-up threads talk to MainWindow.
void StartCountingThread();
// Time-up windows whose answers have been carried out (posted); the tests wait for it.
extern volatile LONG TimeUpAnswersCarried;
// Closes, without an answer, every time-up window whose time-up has been overtaken
// (EffectCloseTimeUpWindows); from any thread, without the lock.
void CloseOvertakenTimeUpWindows();

// The keys from anywhere (app/hotkeys.h), on the main window under the program's own ids: each
// stored key that can work (TakeStoredHotKey), registered as Settings.HotKeys has it now
// (those registered before are let go first). HotKeyRegistered tells whether an action's key
// is; HotKeyRefused whether the latest registration of it failed (until the next one);
// HotKeyFree whether no other program holds `word` (tried under a spare id and let go at once).
void RegisterProgramHotKeys();
void UnregisterProgramHotKeys();
bool HotKeyRegistered(uint32_t action);
bool HotKeyRefused(uint32_t action);
bool HotKeyFree(uint32_t word);
// RegisterHotKey; tests put a recorder in its place.
extern BOOL(WINAPI* RegisterHotKeyProc)(HWND window, int id, UINT modifiers, UINT key);

// The count kept between runs (app/keep.h), on the window's thread. TakeKeeperRole at start-up
// decides whether this copy keeps counts (it holds the mutex KeeperMutexName; a second copy
// keeps none and resumes none) and plans the kept count's return, which ResumeKeptCount
// carries out once the window exists. KeepCountSoon keeps the count now or, within a second of
// the last keeping, when that second is over; KeepCountNow at once (exit, the end of the
// session, a new wall clock). ForgetKeptCount clears it for good, before a shutdown or restart.
// The restart after an update is asked for while a count runs (ApplyRestartRequest).
// SaveWithKeptCount is how the program saves its settings: the kept bytes as they must be.
void TakeKeeperRole();
void ResumeKeptCount();
// The wall clock (UTC) in ms since 1601, as the kept count holds its moments.
uint64_t WallClock();
bool SaveWithKeptCount();
void KeepCountSoon();
void KeepCountNow();
void ForgetKeptCount();
void ApplyRestartRequest();
extern const char* KeeperMutexName;
// RegisterApplicationRestart and UnregisterApplicationRestart, looked up at run time (Vista and
// later); tests put recorders in their place.
extern HRESULT(WINAPI* RegisterRestartProc)(PCWSTR commandLine, DWORD flags);
extern HRESULT(WINAPI* UnregisterRestartProc)();

// Makes the counting thread look at once, whatever it waits for: after the computer wakes, when
// its wait may not have counted the time asleep.
void WakeCountingThread();

// Window options (main window).
void ApplyTopMost(uint32_t flag);
void MakeTransparent(uint32_t alpha);
// The window see-through or not as Transparent says (see-through only where the system can).
void ApplyTransparency();
void RebuildSystemMenu();
