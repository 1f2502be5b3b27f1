#include <windows.h>

#include "app/app_win.h"
#include "app/power.h"

EXECUTION_STATE(WINAPI* SetExecutionStateProc)(EXECUTION_STATE) = SetThreadExecutionState;
BOOL(WINAPI* SetWakeTimerProc)
(HANDLE, const LARGE_INTEGER*, LONG, PTIMERAPCROUTINE, LPVOID, BOOL) = SetWaitableTimer;
BOOL(WINAPI* CancelWakeTimerProc)(HANDLE) = CancelWaitableTimer;

namespace
{

// What the window's thread has asked of Windows so far: the request (AwakeNothing until the
// first change, as Windows has it), and the timer it armed.
uint32_t AwakeApplied;
WakeTimerPlan TimerApplied;
// Made the first time the timer is armed, kept for the run.
HANDLE WakeTimer;

EXECUTION_STATE ExecutionStateOf(uint32_t awake)
{
    EXECUTION_STATE state = ES_CONTINUOUS;
    if ((awake & AwakeSystem) != 0) state |= ES_SYSTEM_REQUIRED;
    if ((awake & AwakeDisplay) != 0) state |= ES_DISPLAY_REQUIRED;
    return state;
}

// Arms the timer by `plan`: WakeLead before the count's end, at the same moment on the wall
// clock (UTC), which is what a timer that wakes the computer counts by.
void ArmWakeTimer(const WakeTimerPlan& plan)
{
    if (WakeTimer == nullptr) WakeTimer = CreateWaitableTimerA(nullptr, TRUE, nullptr);
    if (WakeTimer == nullptr) return;
    // The clock and the tick read at one moment: again if the tick moved on in between.
    FILETIME now;
    uint32_t tick = GetTickCount();
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        GetSystemTimeAsFileTime(&now);
        const uint32_t after = GetTickCount();
        if (after == tick) break;
        tick = after;
    }
    ULARGE_INTEGER at;
    at.LowPart = now.dwLowDateTime;
    at.HighPart = now.dwHighDateTime;
    at.QuadPart += WakeTimerDelay(plan, tick) * 10000; // in 100 ns
    LARGE_INTEGER due;
    due.QuadPart = static_cast<LONGLONG>(at.QuadPart);
    SetWakeTimerProc(WakeTimer, &due, 0, nullptr, nullptr, TRUE);
}

void CancelWakeTimer()
{
    if (WakeTimer != nullptr) CancelWakeTimerProc(WakeTimer);
}

} // namespace

void ApplyPowerRequests()
{
    uint32_t awake;
    WakeTimerPlan timer;
    {
        CountLockGuard lock;
        awake = AwakeShown;
        timer = WakeTimerShown;
    }
    if (awake != AwakeApplied)
    {
        SetExecutionStateProc(ExecutionStateOf(awake));
        AwakeApplied = awake;
    }
    if (timer.Armed == TimerApplied.Armed && timer.EndTick == TimerApplied.EndTick) return;
    if (timer.Armed != 0)
        ArmWakeTimer(timer);
    else
        CancelWakeTimer();
    TimerApplied = timer;
}

void RearmWakeTimer()
{
    if (TimerApplied.Armed != 0) ArmWakeTimer(TimerApplied);
}

void EndPowerRequests()
{
    if (AwakeApplied != AwakeNothing) SetExecutionStateProc(ES_CONTINUOUS);
    AwakeApplied = AwakeNothing;
    if (TimerApplied.Armed != 0) CancelWakeTimer();
    TimerApplied = {0, 0, 0, 0};
}
