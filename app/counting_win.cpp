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
#include "display/menu.h"
#include "display/timetext.h"
#include "text/text.h"

volatile LONG TimeUpAnswersCarried;

namespace
{

CRITICAL_SECTION CountLockSection;
INIT_ONCE CountLockOnce = INIT_ONCE_STATIC_INIT;
// Auto-reset: set when a change makes something due sooner than the counting thread waits for.
// A set that comes before the thread waits is kept, so no wake is lost.
HANDLE CountingWake;
// Signalled at the due moment of a long wait on the wall clock. A wait's timeout, like a
// relative timer, does not run while the computer sleeps (Windows 8 and later), so after a
// night asleep the thread would first sit out the rest of its wait; an absolute timer is
// signalled on waking once its moment has passed. Set back, the wall clock could make it late:
// the timeout still ends the wait on time. Set forward, it only makes a pass early.
HANDLE CountingAlarm;
// Waits shorter than this are left to the timeout alone: one is over soon after a wake anyway,
// and setting the timer costs a call on every pass of a fast display.
constexpr uint32_t AlarmAfter = 1000;

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
        PostMessageA(MainWindow, WM_COMMAND, requests.Posts[i], requests.PostSerials[i]);
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
                  uint32_t{PromptSecond} == TimeUpWindowSecond &&
                  uint32_t{PromptThird} == TimeUpWindowThird &&
                  uint32_t{PromptWithdrawn} == TimeUpWindowWithdrawn,
              "the time-up window answers with the prompt's results");

// The time-up windows open now that a change elsewhere can overtake (under the count lock):
// once their time-up is acknowledged, or the count started or stopped, by a key, the tray or
// the menu, their buttons could only do nothing, so they close (EffectCloseTimeUpWindows). A
// question before a shutdown is never among them: it stays until it is answered.
struct OvertakableWindow
{
    uint32_t InUse;
    uint32_t Serial; // of its time-up
    HWND Window;     // null until the window exists
};
OvertakableWindow TimeUpWindows[8];
constexpr uint32_t NoTimeUpSlot = sizeof TimeUpWindows / sizeof TimeUpWindows[0];

// A slot for a window about to open for the time-up `serial`, NoTimeUpSlot when all are taken
// (that window then simply stays until answered). Under the lock.
uint32_t TakeTimeUpSlot(uint32_t serial)
{
    for (uint32_t slot = 0; slot < NoTimeUpSlot; ++slot)
        if (TimeUpWindows[slot].InUse == 0)
        {
            TimeUpWindows[slot] = {1, serial, nullptr};
            return slot;
        }
    return NoTimeUpSlot;
}

// The prompt's window exists: from now on it can be closed. Overtaken already, it closes at once.
void TimeUpWindowOpened(HWND window, UINT_PTR slot)
{
    bool overtaken;
    {
        CountLockGuard lock;
        TimeUpWindows[slot].Window = window;
        overtaken = TimeUpWindows[slot].Serial != Count.Serial;
    }
    if (overtaken) PostMessageA(window, PromptWithdrawMessage, 0, 0);
}

// A time-up thread's parameter: the serial of its time-up (30 bits), whether it asks before a
// late shutdown or restart, and whether it came from an automatic repeat (the lowest bit).
LPVOID TimeUpParameter(uint32_t serial, uint32_t asks, uint32_t fromRepeat)
{
    return reinterpret_cast<LPVOID>(
        static_cast<UINT_PTR>(serial << 2 | (asks & 1) << 1 | (fromRepeat & 1)));
}

// "Time was up at 14:05 while the computer slept.": the moment `due` in the user's short time
// format, with its date when it was not today, and where the user was (`while`).
void LateMessage(const FILETIME& due, const char* during, char (&message)[100])
{
    FILETIME local, now;
    SYSTEMTIME when, today;
    GetSystemTimeAsFileTime(&now);
    char time[40], date[40];
    time[0] = date[0] = 0;
    if (FileTimeToLocalFileTime(&due, &local) && FileTimeToSystemTime(&local, &when))
    {
        if (GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &when, nullptr, time,
                           sizeof time) == 0)
            time[0] = 0;
        FileTimeToLocalFileTime(&now, &local);
        FileTimeToSystemTime(&local, &today);
        const bool otherDay =
            when.wYear != today.wYear || when.wMonth != today.wMonth || when.wDay != today.wDay;
        if (otherDay && GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, date,
                                       sizeof date) == 0)
            date[0] = 0;
    }
    CopyText("Time was up at ", message);
    AppendText(message, time);
    if (date[0] != 0)
    {
        AppendText(message, " on ");
        AppendText(message, date);
    }
    AppendText(message, during);
}

// A wall-clock moment, ms since 1601, as a FILETIME.
FILETIME FileTimeAt(uint64_t milliseconds)
{
    ULARGE_INTEGER at;
    at.QuadPart = milliseconds * 10000; // in 100 ns
    return {at.LowPart, at.HighPart};
}

DWORD WINAPI TimeUpThread(LPVOID parameter)
{
    const auto packed = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(parameter));
    const uint32_t fromRepeat = packed & 1;
    const uint32_t asks = packed >> 1 & 1;
    const uint32_t serial = packed >> 2;
    // The prompt keeps pointers: its texts must not change under it while it is open.
    char message[sizeof Settings.TimeUpText];
    char late[100];
    static_assert(sizeof late <= sizeof message, "a late message fits where the text goes");
    char addTime[32];
    uint32_t thenAction, onTop, action, lateness, overtaken;
    uint64_t closedAt;
    uint32_t slot = NoTimeUpSlot;
    {
        CountLockGuard lock;
        CopyText(Settings.TimeUpText, message);
        thenAction = Settings.ThenAction;
        onTop = Settings.OnTopAlarm;
        action = Settings.AlarmAction;
        closedAt = TimeUpClosedSerial == serial ? ClosedTimeUpAt : 0;
        FormatAddTimeLabel(addTime);
        lateness = GetTickCount() - TimeUpDueTick;
        overtaken = asks == 0 && serial != Count.Serial;
        if (asks == 0 && !overtaken) slot = TakeTimeUpSlot(serial);
    }
    PromptRequest request;
    request.Mode = PromptQuestion;
    if (onTop == 0) request.PromptKeepOnTop = 0;
    // A time that was up while the program was closed, or while the computer slept, says so.
    if (closedAt != 0)
    {
        LateMessage(FileTimeAt(closedAt), " while Mivo was closed.", late);
        CopyText(late, message);
    }
    else if (asks != 0 && lateness >= LateAfterSleep)
    {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER at;
        at.LowPart = now.dwLowDateTime;
        at.HighPart = now.dwHighDateTime;
        LateMessage(FileTimeAt(at.QuadPart / 10000 - lateness), " while the computer slept.", late);
        CopyText(late, message);
    }
    if (asks != 0)
    {
        // Nothing ends the session, or starts a program, late and unasked; nor on time while
        // such a question is still open.
        request.Message = message;
        request.FirstCaption = action == 6   ? "Restart Now"
                               : action == 5 ? "Shut Down Now"
                                             : "Run Now";
        request.SecondCaption = "Cancel";
    }
    else
    {
        request.Message = message;
        request.FirstCaption = "OK";
        request.SecondCaption = UiString(thenAction == 0 ? 144 : 145);
        request.PromptAutoCloseSeconds = fromRepeat != 0 ? 3 : 0;
        // A final time-up can be given more time; a repeat's count runs on by itself.
        if (fromRepeat == 0) request.ThirdCaption = addTime;
    }
    if (slot != NoTimeUpSlot)
    {
        request.Opened = TimeUpWindowOpened;
        request.OpenedContext = slot;
    }
    // A time-up overtaken before its window could open needs no window.
    const uint32_t result =
        overtaken != 0 ? TimeUpWindowWithdrawn : ShowPrompt(MainWindow, request);

    CountRequests requests;
    RECT timeBand;
    {
        CountLockGuard lock;
        if (slot != NoTimeUpSlot) TimeUpWindows[slot].InUse = 0;
        requests = asks != 0 ? LateTimeUpClosed(result, serial, GetTickCount())
                             : TimeUpWindowClosed(result, fromRepeat, serial);
        timeBand = TimeBand;
    }
    CarryOut(requests, timeBand);
    InterlockedIncrement(&TimeUpAnswersCarried);
    return 0;
}

void StartTimeUpThread(const CountRequests& requests)
{
    DWORD id;
    const HANDLE thread = CreateThread(
        nullptr, 0, TimeUpThread,
        TimeUpParameter(requests.TimeUpSerial, requests.TimeUpAsks, requests.TimeUpAutoClose), 0,
        &id);
    if (thread != nullptr) CloseHandle(thread);
}

// Until `wait` ms have passed, the wall clock reaches the same moment (a long wait), or a change
// makes something due sooner.
void WaitForDue(DWORD wait)
{
    DWORD count = 1;
    const HANDLE handles[2] = {CountingWake, CountingAlarm};
    if (wait != INFINITE && wait >= AlarmAfter && CountingAlarm != nullptr)
    {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        LARGE_INTEGER due;
        due.LowPart = now.dwLowDateTime;
        due.HighPart = static_cast<LONG>(now.dwHighDateTime);
        due.QuadPart += LONGLONG{wait} * 10000; // in 100 ns
        if (SetWaitableTimer(CountingAlarm, &due, 0, nullptr, nullptr, FALSE)) count = 2;
    }
    // Without its event the thread falls back to looking at least twice a second.
    if (WaitForMultipleObjects(count, handles, FALSE, wait) == WAIT_FAILED)
        Sleep(wait < 500 ? wait : 500);
    if (count == 2) CancelWaitableTimer(CountingAlarm);
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
        if (requests.StartTimeUpThread != 0) StartTimeUpThread(requests);
        // Until the next thing is due, measured now that the requests are carried out.
        const uint32_t left = WaitLeft(requests, GetTickCount());
        WaitForDue(left == NothingDue ? INFINITE : left);
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

void CloseOvertakenTimeUpWindows()
{
    HWND overtaken[NoTimeUpSlot];
    uint32_t count = 0;
    {
        CountLockGuard lock;
        for (const OvertakableWindow& entry : TimeUpWindows)
            if (entry.InUse != 0 && entry.Window != nullptr && entry.Serial != Count.Serial)
                overtaken[count++] = entry.Window;
    }
    for (uint32_t i = 0; i < count; ++i)
        PostMessageA(overtaken[i], PromptWithdrawMessage, 0, 0);
}

void CopyCountTitle(char (&title)[64])
{
    CopyText(DisplayText, title);
}

void WakeCountingThread()
{
    if (CountingWake != nullptr) SetEvent(CountingWake);
}

void StartCountingThread()
{
    CountingWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CountingAlarm = CreateWaitableTimerA(nullptr, FALSE, nullptr);
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, CountingThread, nullptr, 0, &id);
    Settings.ThreadWord = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(thread));
    if (thread != nullptr) CloseHandle(thread);
}
