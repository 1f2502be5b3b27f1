#include <windows.h>

#include "alarm/alarm_win.h"
#include "alarm/prompt_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "display/display_win.h"
#include "display/timetext.h"
#include "text/text.h"

namespace
{

CRITICAL_SECTION CountLockSection;
INIT_ONCE CountLockOnce = INIT_ONCE_STATIC_INIT;
// Auto-reset: set when a change makes something due sooner than the counting thread waits for.
// A set that comes before the thread waits is kept, so no wake is lost.
HANDLE CountingWake;

BOOL CALLBACK InitCountLock(PINIT_ONCE, PVOID, PVOID*)
{
    InitializeCriticalSection(&CountLockSection);
    return TRUE;
}

// What a pass or a closed time-up window asked for, done outside the lock and in the order
// the requests give: the sound first, then the posts, then what the window shows.
void CarryOut(const CountRequests& requests, const RECT& timeBand)
{
    if (requests.PrepareAlarmSound != 0) PrepareAlarmSound();
    for (uint32_t i = 0; i < requests.PostCount; ++i)
        PostMessageA(MainWindow, WM_COMMAND, requests.Posts[i], 0);
    if ((requests.Effects & EffectInvalidateTimeBand) != 0)
        InvalidateRect(MainWindow, &timeBand, FALSE);
    ApplyCountEffects(requests.Effects & ~EffectInvalidateTimeBand);
    // Each stop request names its player: by the time the window's thread takes it, a new
    // sound may be playing in another.
    const HWND player = requests.StopSoundPlayer != 0    ? SoundPlayerWindow.load()
                        : requests.CheckSoundPlayer != 0 ? FinishedSoundPlayer()
                                                         : nullptr;
    if (player != nullptr)
        PostMessageA(MainWindow, WM_COMMAND, CmdStopSound, reinterpret_cast<LPARAM>(player));
}

static_assert(uint32_t{PromptNoAnswer} == TimeUpWindowNotShown &&
                  uint32_t{PromptFirst} == TimeUpWindowFirst &&
                  uint32_t{PromptSecond} == TimeUpWindowSecond,
              "the time-up window answers with the prompt's results");

DWORD WINAPI TimeUpThread(LPVOID parameter)
{
    const uint32_t fromRepeat = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(parameter));
    // The prompt keeps pointers: its texts must not change under it while it is open.
    char message[sizeof Settings.TimeUpText];
    CopyText(Settings.TimeUpText, message);
    PromptRequest request;
    request.Message = message;
    request.FirstCaption = "OK";
    request.SecondCaption = UiString(Settings.ThenAction == 0 ? 144 : 145);
    request.Mode = PromptQuestion;
    if (Settings.OnTopAlarm == 0) request.PromptKeepOnTop = 0;
    request.PromptAutoCloseSeconds = fromRepeat != 0 ? 3 : 0;
    const uint32_t result = ShowPrompt(MainWindow, request);

    CountRequests requests;
    RECT timeBand;
    {
        CountLockGuard lock;
        requests = TimeUpWindowClosed(result, fromRepeat);
        timeBand = TimeBand;
    }
    CarryOut(requests, timeBand);
    return 0;
}

void StartTimeUpThread(uint32_t autoClose)
{
    DWORD id;
    const HANDLE thread =
        CreateThread(nullptr, 0, TimeUpThread,
                     reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(autoClose)), 0, &id);
    if (thread != nullptr) CloseHandle(thread);
}

DWORD WINAPI CountingThread(LPVOID)
{
    CountingThreadState state;
    {
        CountLockGuard lock;
        BeginCounting(state);
    }
    for (;;)
    {
        CountRequests requests;
        RECT timeBand;
        {
            CountLockGuard lock;
            requests = CountingPass(GetTickCount(), state);
            // With a fraction shown every update counts as a change, but at 50 ms updates and
            // tenths only every other one shows a new text, and most show one new digit:
            // repaint only the characters that differ from the screen's.
            timeBand = TickRepaintRect();
            if (IsRectEmpty(&timeBand)) requests.Effects &= ~EffectInvalidateTimeBand;
        }
        CarryOut(requests, timeBand);
        if (requests.StartTimeUpThread != 0) StartTimeUpThread(requests.TimeUpAutoClose);
        // Until the next thing is due, or until a change makes something due sooner.
        const DWORD wait = requests.WaitForWork != 0 ? INFINITE : requests.SleepMs;
        // Without its event the thread falls back to looking at least twice a second.
        if (WaitForSingleObject(CountingWake, wait) == WAIT_FAILED) Sleep(wait < 500 ? wait : 500);
    }
}

} // namespace

void LockCount()
{
    InitOnceExecuteOnce(&CountLockOnce, InitCountLock, nullptr, nullptr);
    EnterCriticalSection(&CountLockSection);
}

void UnlockCount()
{
    // Every change the counting thread depends on is made under the lock, so its release is
    // where the waiting thread learns that something is due sooner, whoever changed it.
    const bool wake = TakeCountingWake(GetTickCount());
    LeaveCriticalSection(&CountLockSection);
    if (wake) SetEvent(CountingWake);
}

void CopyCountTitle(char (&title)[64])
{
    CopyText(DisplayText, title);
}

void StartCountingThread()
{
    CountingWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, CountingThread, nullptr, 0, &id);
    Settings.ThreadWord = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(thread));
    if (thread != nullptr) CloseHandle(thread);
}
