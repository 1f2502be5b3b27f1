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
    LONGLONG due;     // armed: its due time (UTC, 100 ns)
    LONGLONG armedAt; // the wall clock as it was armed
};
std::vector<PowerCall> Calls;

LONGLONG WallClock()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER at;
    at.LowPart = now.dwLowDateTime;
    at.HighPart = now.dwHighDateTime;
    return static_cast<LONGLONG>(at.QuadPart);
}

constexpr LONGLONG Millisecond = 10000; // in 100 ns

EXECUTION_STATE WINAPI RecordState(EXECUTION_STATE state)
{
    Calls.push_back({'S', state, 0, 0});
    return ES_CONTINUOUS;
}

BOOL WINAPI RecordArm(HANDLE, const LARGE_INTEGER* due, LONG period, PTIMERAPCROUTINE, LPVOID,
                      BOOL resume)
{
    EXPECT_EQ(period, 0);
    EXPECT_TRUE(resume) << "a timer that wakes the computer";
    EXPECT_GT(due->QuadPart, 0) << "an absolute time";
    Calls.push_back({'A', 0, due->QuadPart, WallClock()});
    return TRUE;
}

BOOL WINAPI RecordCancel(HANDLE)
{
    Calls.push_back({'C', 0, 0, 0});
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
// that order. Less than two minutes are ever left, so each timer is due at once: at the moment
// it was armed, which came after the test's first command. (90 s: however slow the machine, the
// count does not end before it is reversed; reversed, it counts up to its end from where it
// was, which takes as long as it had run.)
TEST(Power, ACountdownKeepsTheComputerAwakeAndArmsItsWakeTimer)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=90 b", SettingsImage(Quiet())).empty());
    RecordPowerCalls();
    const LONGLONG began = WallClock();
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
            EXPECT_GE(call.due, began);
            EXPECT_LE(call.due, call.armedAt);
        }
}

// A count of each length, started as the user starts it: its wake timer is due two minutes
// before the end the user set, on the wall clock (the start's moment lies between the clock
// read before and after the command; the tick the count is measured by moves in steps of up to
// 17 ms here, at the start and again as the timer is armed), or at once when less is left. The wall
// clock set anew: the same end again. Counts past 24.8 days (2^31 ms) and near the longest
// included.
void ExpectTheWakeTimerTwoMinutesBefore(const char* commandLine, uint64_t length)
{
    ASSERT_FALSE(StartInTempFolder(commandLine, SettingsImage(Quiet())).empty());
    RecordPowerCalls();
    const LONGLONG before = WallClock();
    Command(CmdStartStop);
    const LONGLONG after = WallClock();
    SendMessageA(MainWindow, WM_TIMECHANGE, 0, 0);
    ASSERT_EQ(Sequence(), "S1 A A ");
    const uint64_t lead = 2 * 60 * 1000;
    const uint64_t end = length + 1; // the time-up is due the first millisecond past the count
    const LONGLONG wait = static_cast<LONGLONG>(end > lead ? end - lead : 0) * Millisecond;
    const LONGLONG tickStep = 17 * Millisecond;
    for (const PowerCall& call : Calls)
        if (call.kind == 'A')
        {
            EXPECT_GE(call.due, before + wait - tickStep);
            EXPECT_LE(call.due, after + wait + tickStep);
        }
    Command(CmdStartStop);
    EXPECT_EQ(Sequence(), "S1 A A S0 C ");
}

constexpr uint64_t Day = 86400000;

TEST(Power, AFiveSecondCountArmsItsWakeTimerAtOnce)
{
    ExpectTheWakeTimerTwoMinutesBefore("Mivo.exe /s=5 b", 5000);
}

TEST(Power, AFiveMinuteCountArmsItsWakeTimerTwoMinutesBeforeItsEnd)
{
    ExpectTheWakeTimerTwoMinutesBefore("Mivo.exe /m=5 b", 5 * 60000);
}

TEST(Power, AThirtyDayCountArmsItsWakeTimerTwoMinutesBeforeItsEnd)
{
    ExpectTheWakeTimerTwoMinutesBefore("Mivo.exe /d=30 b", 30 * Day);
}

TEST(Power, AFortyNineDayCountArmsItsWakeTimerTwoMinutesBeforeItsEnd)
{
    ExpectTheWakeTimerTwoMinutesBefore("Mivo.exe /d=49 b", 49 * Day);
}

// In full screen a running count keeps the display on too; an unanswered time-up that flashes
// keeps the computer awake until acknowledged. (A minute's count, reversed once out of full
// screen: it ends as soon after as it had run, and never before, however slow the machine.)
TEST(Power, FullScreenKeepsTheDisplayOnAndARepeatingTimeUpStaysAwake)
{
    SettingsRecord record = Quiet();
    record.FlashDisplay = 1;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=1 b", SettingsImage(record)).empty());
    RecordPowerCalls();
    Command(CmdStartStop);
    Command(CmdFullScreen);
    EXPECT_EQ(Sequence(), "S1 A S3 ");
    Command(CmdFullScreen);
    Command(CmdReverse);
    ASSERT_TRUE(PumpUntil([] { return Locked(Count.TimeIsUp) != 0; }, 15000));
    EXPECT_TRUE(PumpUntil([] { return Calls.size() >= 6; }));
    EXPECT_EQ(Sequence(), "S1 A S3 S1 A C ") << "awake while it flashes";
    Command(CmdStartStop);
    EXPECT_EQ(Sequence(), "S1 A S3 S1 A C S0 ");
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
// asks; the count waits at its end meanwhile, even one that would repeat, and the computer is
// kept awake for the answer. Its answer decides; either leaves the count stopped.
std::vector<UINT> ExitCalls;
BOOL WINAPI RecordExitWindows(UINT flags, DWORD)
{
    ExitCalls.push_back(flags);
    return TRUE;
}

struct LateCase
{
    uint32_t action;
    uint32_t thenAction;
    const char* first; // the first button's caption
    int button;        // the one pressed
    bool escFirst;     // Esc on the main window while it asks: the question stays
    size_t exits;
};

void ExpectALateTimeUpAsks(const LateCase& c)
{
    SettingsRecord record = Quiet();
    record.AlarmAction = c.action;
    record.ThenAction = c.thenAction;
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
    std::string message, firstCaption, secondCaption, sequence;
    bool waits = false, stays = true;
    AsUser([&] {
        WakeCountingThread();
        const HWND prompt = WaitForWindow("Mivo 1.9", 10000);
        if (prompt == nullptr) return;
        message = WindowText(GetDlgItem(prompt, 1601));
        firstCaption = WindowText(GetDlgItem(prompt, IDOK));
        secondCaption = WindowText(GetDlgItem(prompt, IDCANCEL));
        {
            CountLockGuard lock;
            waits = Count.Running == 0 && Count.TimeIsUp != 0;
        }
        if (c.escFirst)
        {
            PostMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0);
            const DWORD start = GetTickCount();
            while (GetTickCount() - start < 10000)
            {
                CountLockGuard lock;
                if (Count.TimeIsUp == 0) break;
            }
            // Give a wrongly closing question every chance to go.
            Sleep(500);
            stays = IsWindow(prompt) != FALSE;
        }
        PostMessageA(prompt, WM_COMMAND, c.button, 0);
    });
    EXPECT_EQ(message.rfind("Time was up at ", 0), 0u) << message;
    EXPECT_NE(message.find(" while the computer slept."), std::string::npos) << message;
    EXPECT_GT(message.size(), std::string("Time was up at  while the computer slept.").size());
    EXPECT_EQ(firstCaption, c.first);
    EXPECT_EQ(secondCaption, "Cancel");
    EXPECT_TRUE(waits) << "the count waits at its end while it asks";
    EXPECT_TRUE(stays) << "a question before a shutdown waits for its answer";
    EXPECT_TRUE(PumpUntil([] { return TimeUpAnswersCarried != 0; }));
    PumpMessages();
    EXPECT_EQ(ExitCalls.size(), c.exits);
    // Awake and armed while counting; the timer gone at the time-up, awake for the question;
    // let go with the answer.
    EXPECT_EQ(Sequence(), "S1 A C S0 ");
    PumpMessagesFor(300);
    CountLockGuard lock;
    EXPECT_EQ(Count.TimeIsUp, 0u) << "either answer acknowledges";
    EXPECT_EQ(Count.Running, 0u) << "and the count stays stopped";
    EXPECT_EQ(LateQuestionsOpen, 0u);
}

TEST(Power, ALateShutdownAsksAndShutsDownOnlyWhenTold)
{
    ExpectALateTimeUpAsks({5, 0, "Shut Down Now", IDOK, false, 1});
}

TEST(Power, ALateShutdownCancelledDoesNothing)
{
    ExpectALateTimeUpAsks({5, 0, "Shut Down Now", IDCANCEL, false, 0});
}

TEST(Power, ALateRestartAsksToRestart)
{
    ExpectALateTimeUpAsks({6, 0, "Restart Now", IDOK, false, 1});
}

TEST(Power, ALateRepeatingShutdownWaitsAndCancelStopsIt)
{
    ExpectALateTimeUpAsks({5, 2, "Shut Down Now", IDCANCEL, false, 0});
}

TEST(Power, ALateQuestionStaysWhenTheTimeUpIsAcknowledgedElsewhere)
{
    ExpectALateTimeUpAsks({6, 1, "Restart Now", IDOK, true, 1});
}

} // namespace
