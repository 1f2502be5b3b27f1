// Sleep and the real count: what the program asks of Windows, recorded at the seams, and the
// question a shutdown found late after a sleep asks. Nothing here lets the computer sleep,
// wake or shut down.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "app/power.h"
#include "data/settings.h"
#include "tests/win/harness_win.h"

namespace
{

// One call at a seam: the execution state asked for, or the wake timer armed or cancelled.
struct PowerCall
{
    char kind; // 'S' SetThreadExecutionState, 'A' armed, 'C' cancelled
    EXECUTION_STATE state;
    LONGLONG error; // armed: its due time less the count's end, in 100 ns
};
std::vector<PowerCall> Calls;

EXECUTION_STATE WINAPI RecordState(EXECUTION_STATE state)
{
    Calls.push_back({'S', state, 0});
    return ES_CONTINUOUS;
}

// The count's end on the wall clock, from its state and the tick read with the clock.
LONGLONG CountEndNow()
{
    CountLockGuard lock;
    FILETIME now;
    uint32_t tick;
    do
    {
        // The clock and the tick of one moment.
        tick = GetTickCount();
        GetSystemTimeAsFileTime(&now);
    } while (GetTickCount() != tick);
    const uint32_t due = Count.StartTick - Count.CountOffset + Count.TargetTime + 1;
    ULARGE_INTEGER at;
    at.LowPart = now.dwLowDateTime;
    at.HighPart = now.dwHighDateTime;
    return static_cast<LONGLONG>(at.QuadPart) + LONGLONG{static_cast<int32_t>(due - tick)} * 10000;
}

BOOL WINAPI RecordArm(HANDLE, const LARGE_INTEGER* due, LONG period, PTIMERAPCROUTINE, LPVOID,
                      BOOL resume)
{
    EXPECT_EQ(period, 0);
    EXPECT_TRUE(resume) << "a timer that wakes the computer";
    EXPECT_GT(due->QuadPart, 0) << "an absolute time";
    Calls.push_back({'A', 0, due->QuadPart - CountEndNow()});
    return TRUE;
}

BOOL WINAPI RecordCancel(HANDLE)
{
    Calls.push_back({'C', 0, 0});
    return TRUE;
}

void RecordPowerCalls()
{
    SetExecutionStateProc = RecordState;
    SetWakeTimerProc = RecordArm;
    CancelWakeTimerProc = RecordCancel;
    Calls.clear();
}

// The calls as letters: S0 (let go), S1 (awake), S3 (awake, display on), A (armed), C.
std::string Sequence()
{
    std::string out;
    for (const PowerCall& call : Calls)
    {
        out += call.kind;
        if (call.kind == 'S')
            out += (call.state & ES_DISPLAY_REQUIRED) != 0  ? "3"
                   : (call.state & ES_SYSTEM_REQUIRED) != 0 ? "1"
                                                            : "0";
        out += ' ';
        if (call.kind == 'S')
        {
            EXPECT_NE(call.state & ES_CONTINUOUS, 0u);
        }
    }
    return out;
}

SettingsRecord Quiet()
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 0;
    record.FlashDisplay = 0;
    record.RepeatSound = 0;
    record.ShowTimeUpWindow = 0;
    record.CountUntil = 0; // reversed, the count goes up to the set time
    return record;
}

uint32_t Locked(const uint32_t& value)
{
    CountLockGuard lock;
    return value;
}

// A real countdown started, paused, resumed, reversed, ended and acknowledged: the requests in
// that order, each timer due within 16 ms of the count's end on the wall clock.
TEST(Power, ACountdownKeepsTheComputerAwakeAndArmsItsWakeTimer)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=5 b", SettingsImage(Quiet())).empty());
    RecordPowerCalls();
    PumpMessagesFor(300);
    EXPECT_EQ(Sequence(), "") << "a stopped program asks nothing";
    Command(CmdStartStop);
    EXPECT_EQ(Sequence(), "S1 A ");
    Command(CmdStartStop);
    EXPECT_EQ(Sequence(), "S1 A S0 C ");
    Command(CmdStartStop);
    Command(CmdReverse);
    EXPECT_EQ(Sequence(), "S1 A S0 C S1 A A ");
    // The wall clock set: the same end again, by the new clock.
    SendMessageA(MainWindow, WM_TIMECHANGE, 0, 0);
    EXPECT_EQ(Sequence(), "S1 A S0 C S1 A A A ");
    ASSERT_TRUE(PumpUntil([] { return Locked(Count.TimeIsUp) != 0; }, 15000));
    EXPECT_TRUE(PumpUntil([] { return Calls.size() >= 10; }));
    Command(CmdStartStop); // acknowledged
    PumpMessagesFor(200);
    EXPECT_EQ(Sequence(), "S1 A S0 C S1 A A A S0 C ");
    for (const PowerCall& call : Calls)
        if (call.kind == 'A')
        {
            EXPECT_LE(call.error < 0 ? -call.error : call.error, 16 * 10000);
        }
}

// In full screen a running count keeps the display on too; an unanswered time-up that flashes
// keeps the computer awake until acknowledged.
TEST(Power, FullScreenKeepsTheDisplayOnAndARepeatingTimeUpStaysAwake)
{
    SettingsRecord record = Quiet();
    record.FlashDisplay = 1;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b", SettingsImage(record)).empty());
    RecordPowerCalls();
    Command(CmdStartStop);
    Command(CmdFullScreen);
    EXPECT_EQ(Sequence(), "S1 A S3 ");
    Command(CmdFullScreen);
    ASSERT_TRUE(PumpUntil([] { return Locked(Count.TimeIsUp) != 0; }, 15000));
    EXPECT_TRUE(PumpUntil([] { return Calls.size() >= 5; }));
    EXPECT_EQ(Sequence(), "S1 A S3 S1 C ") << "awake while it flashes";
    Command(CmdStartStop);
    EXPECT_EQ(Sequence(), "S1 A S3 S1 C S0 ");
}

// Started and stopped a thousand times: every request let go and every timer cancelled; with
// the setting off, nothing asked at all.
TEST(Power, ManyStartsAndStopsLeaveNothingBehindAndTheSettingOffAsksNothing)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 b", SettingsImage(Quiet())).empty());
    RecordPowerCalls();
    for (int i = 0; i < 1000; ++i)
    {
        SendMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0);
        SendMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0);
    }
    PumpMessages();
    ASSERT_EQ(Calls.size(), 4000u);
    EXPECT_EQ(Sequence().substr(Sequence().size() - 10), "S1 A S0 C ");
    {
        CountLockGuard lock;
        EXPECT_EQ(AwakeShown, AwakeNothing);
        EXPECT_EQ(WakeTimerShown.Armed, 0u);
    }

    Calls.clear();
    {
        CountLockGuard lock;
        Settings.AllowSleep = 1;
    }
    Command(CmdStartStop);
    Command(CmdFullScreen);
    Command(CmdReverse);
    Command(CmdFullScreen);
    Command(CmdStartStop);
    PumpMessages();
    EXPECT_EQ(Sequence(), "");
}

// A shutdown countdown whose time-up is found more than a minute late, as after a night's
// sleep: no shutdown, but the time-up window, shown although "Show Time-Up Window" is off,
// asks; its answer decides.
std::vector<UINT> ExitCalls;
BOOL WINAPI RecordExitWindows(UINT flags, DWORD)
{
    ExitCalls.push_back(flags);
    return TRUE;
}

void ExpectALateTimeUpAsks(uint32_t action, const char* first, int button, size_t exits)
{
    SettingsRecord record = Quiet();
    record.AlarmAction = action;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b", SettingsImage(record)).empty());
    ExitWindowsProc = RecordExitWindows;
    ExitCalls.clear();
    RecordPowerCalls();
    Command(CmdStartStop);
    {
        // The count started 70 s before its 3 s were up, and the thread slept through it.
        CountLockGuard lock;
        Count.StartTick -= 70000;
    }
    std::string message, firstCaption, secondCaption;
    AsUser([&] {
        WakeCountingThread();
        const HWND prompt = WaitForWindow("Mivo 1.9", 10000);
        if (prompt == nullptr) return;
        message = WindowText(GetDlgItem(prompt, 1601));
        firstCaption = WindowText(GetDlgItem(prompt, IDOK));
        secondCaption = WindowText(GetDlgItem(prompt, IDCANCEL));
        PostMessageA(prompt, WM_COMMAND, button, 0);
    });
    EXPECT_EQ(message.rfind("Time was up at ", 0), 0u) << message;
    EXPECT_NE(message.find(" while the computer slept."), std::string::npos) << message;
    EXPECT_GT(message.size(), std::string("Time was up at  while the computer slept.").size());
    EXPECT_EQ(firstCaption, first);
    EXPECT_EQ(secondCaption, "Cancel");
    EXPECT_TRUE(PumpUntil([] { return TimeUpAnswersCarried != 0; }));
    PumpMessages();
    EXPECT_EQ(ExitCalls.size(), exits);
    CountLockGuard lock;
    EXPECT_EQ(Count.TimeIsUp, 0u) << "either answer acknowledges";
}

TEST(Power, ALateShutdownAsksAndShutsDownOnlyWhenTold)
{
    ExpectALateTimeUpAsks(5, "Shut Down Now", IDOK, 1);
}

TEST(Power, ALateShutdownCancelledDoesNothing)
{
    ExpectALateTimeUpAsks(5, "Shut Down Now", IDCANCEL, 0);
}

TEST(Power, ALateRestartAsksToRestart)
{
    ExpectALateTimeUpAsks(6, "Restart Now", IDOK, 1);
}

} // namespace
