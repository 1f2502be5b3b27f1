#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "alarm/alarm_win.h"
#include "alarm/prompt_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "app/hotkeys.h"
#include "data/settings.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"
#include "tests/win/sounds_win.h"
#include "text/text.h"

namespace
{

struct CountSnapshot
{
    uint32_t running, timeIsUp, target;
    std::string text;
};

CountSnapshot Snapshot()
{
    CountLockGuard lock;
    return {Count.Running, Count.TimeIsUp, Count.TargetTime, DisplayText};
}

// Pumps until `changed` holds; the tick at which it was seen, 0 when it did not in time.
template <typename Condition> DWORD TickWhen(Condition changed, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds)
    {
        if (changed()) return GetTickCount();
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return 0;
}

// The tick at which the time was seen up, 0 when it was not in time.
DWORD WaitForTimeUp(DWORD milliseconds)
{
    return TickWhen([] { return Snapshot().timeIsUp != 0; }, milliseconds);
}

std::string DialogText(HWND dialog, int id)
{
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The time-up window, looked for from a helper thread while this thread pumps.
HWND FindTimeUpWindow(DWORD milliseconds)
{
    HWND found = nullptr;
    std::atomic<bool> done{false};
    std::thread finder([&] {
        found = WaitForWindow("Mivo 1.9", milliseconds);
        done = true;
    });
    while (!done)
        PumpMessagesFor(5);
    finder.join();
    return found;
}

void Press(HWND dialog, int button)
{
    std::atomic<bool> done{false};
    std::thread presser([&] {
        SendMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        done = true;
    });
    while (!done)
        PumpMessagesFor(5);
    presser.join();
}

// Presses a time-up window's button and waits until its thread has carried the answer out,
// then handles what it posted.
void Answer(HWND dialog, int button)
{
    const LONG before = TimeUpAnswersCarried;
    Press(dialog, button);
    EXPECT_TRUE(PumpUntil([before] { return TimeUpAnswersCarried != before; }, 10000));
    PumpMessages();
}

uint32_t Passes()
{
    CountLockGuard lock;
    return CountingPasses;
}

// The counting thread's passes while this thread pumps for `milliseconds`.
uint32_t PassesWhilePumping(DWORD milliseconds)
{
    const uint32_t before = Passes();
    PumpMessagesFor(milliseconds);
    return Passes() - before;
}

SettingsRecord Quiet()
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 0;
    record.FlashDisplay = 0;
    return record;
}

TEST(RealCount, ThreeSecondCountdownEndsOnTimeAndOkAcknowledges)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b", SettingsImage(Quiet())).empty());
    SendMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0);
    uint32_t started;
    {
        CountLockGuard lock;
        started = Count.StartTick;
    }
    const DWORD seen = WaitForTimeUp(6000);
    ASSERT_NE(seen, 0u);
    std::printf("time-up seen %lu ms after the 3 s\n", seen - started - 3000);
    {
        // The thread woke for the time-up itself: the wait before it ended on its due tick.
        CountLockGuard lock;
        EXPECT_EQ(TimeUpDueTick, started + 3001);
        EXPECT_EQ(TimeUpWakeAsked, TimeUpDueTick);
    }
    EXPECT_EQ(Snapshot().text, "0");

    const HWND window = FindTimeUpWindow(5000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DialogText(window, 1601), "Mivo Finished");
    EXPECT_EQ(DialogText(window, 1), "OK");
    EXPECT_EQ(DialogText(window, 2), "Repeat Time");
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    Answer(window, 1);

    // "OK" acknowledges: the set time shows again, stopped.
    EXPECT_EQ(Snapshot().timeIsUp, 0u);
    const CountSnapshot after = Snapshot();
    EXPECT_EQ(after.running, 0u);
    EXPECT_EQ(after.text, "3.0");
}

TEST(RealCount, RepeatTimeStartsTheSameTimeAgain)
{
    SettingsRecord record = Quiet();
    record.OnTopAlarm = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b g", SettingsImage(record)).empty());
    ASSERT_NE(WaitForTimeUp(6000), 0u);
    const HWND window = FindTimeUpWindow(5000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0); // an ordinary window
    Answer(window, 2);
    EXPECT_EQ(Snapshot().running, 1u);
    const CountSnapshot after = Snapshot();
    EXPECT_EQ(after.timeIsUp, 0u);
    EXPECT_EQ(after.target, 3000u);
}

// An automatic repeat opens a window that closes itself after 3 s while the count goes on;
// its closing must not stop the count.
TEST(RealCount, AutomaticRepeatKeepsRunningWhenItsWindowClosesItself)
{
    SettingsRecord record = Quiet();
    record.ThenAction = 2; // Repeat
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=4 b g", SettingsImage(record)).empty());
    const HWND window = FindTimeUpWindow(8000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DialogText(window, 2), "Stop Repeat");
    EXPECT_EQ(Snapshot().running, 1u);
    EXPECT_EQ(Snapshot().timeIsUp, 0u);
    // It closes by itself after 3 s.
    const LONG answered = TimeUpAnswersCarried;
    ASSERT_TRUE(PumpUntil([&] { return TimeUpAnswersCarried != answered; }, 8000));
    PumpMessages();
    EXPECT_EQ(Snapshot().running, 1u);

    // "Stop Repeat" on the next one stops the count.
    const HWND next = FindTimeUpWindow(6000);
    ASSERT_NE(next, nullptr);
    Answer(next, 2);
    EXPECT_EQ(Snapshot().running, 0u);
}

std::vector<UINT> Beeps;
BOOL WINAPI RecordBeep(UINT type)
{
    Beeps.push_back(type);
    return TRUE;
}

// A final time-up's window offers "Add 1:00" below its two buttons: it answers the time-up
// and counts the minute down; that count ends with the same action, and SetTime stays.
TEST(RealCount, TheTimeUpWindowsAddCountsTheStepAndEndsWithTheSameAction)
{
    SettingsRecord record = Quiet();
    record.AlarmAction = 1; // a beep
    record.CountUntil = 0;  // reversed, it counts up to its end
    std::vector<UINT>& beeps = Beeps;
    MessageBeepProc = RecordBeep;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b g", SettingsImage(record)).empty());
    const HWND window = FindTimeUpWindow(8000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DialogText(window, 1), "OK");
    EXPECT_EQ(DialogText(window, 2), "Repeat Time");
    EXPECT_EQ(DialogText(window, 3), "Add 1:00");
    RECT repeat, add;
    GetWindowRect(GetDlgItem(window, 2), &repeat);
    GetWindowRect(GetDlgItem(window, 3), &add);
    EXPECT_GE(add.top, repeat.bottom) << "below the two, which keep their places";
    EXPECT_EQ(add.left, repeat.left);
    EXPECT_TRUE(PumpUntil([&] { return beeps.size() == 1; }));
    Answer(window, 3);
    {
        CountLockGuard lock;
        EXPECT_EQ(Count.Running, 1u);
        EXPECT_EQ(Count.TimeIsUp, 0u);
        EXPECT_EQ(Count.TargetTime, 60000u);
        EXPECT_GT(TimeLeft(GetTickCount()), 55000u);
        EXPECT_EQ(Settings.SetTime, 3000u);
    }
    // Reversed, it counts up to its end from where it is, which comes as soon as it has run.
    Command(CmdReverse);
    ASSERT_NE(WaitForTimeUp(10000), 0u);
    EXPECT_TRUE(PumpUntil([&] { return beeps.size() == 2; })) << "the same action at its end";
    const HWND next = FindTimeUpWindow(8000);
    ASSERT_NE(next, nullptr);
    Answer(next, 1);
    EXPECT_EQ(Snapshot().target, 3000u) << "OK shows the set time again";
}

// Stopped and quiet, the counting thread rests: over two seconds it makes no pass at all,
// fresh from the start-up, after a stop and after an acknowledged time-up alike.
TEST(RealCount, StoppedCountingThreadMakesNoPasses)
{
    SettingsRecord record = Quiet();
    record.ShowTimeUpWindow = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b", SettingsImage(record)).empty());
    PumpMessagesFor(300);
    EXPECT_EQ(PassesWhilePumping(2000), 0u) << "fresh";

    const uint32_t resting = Passes();
    Command(CmdStartStop);
    EXPECT_TRUE(PumpUntil([resting] { return Passes() > resting + 2; })) << "running";
    Command(CmdStartStop);
    PumpMessagesFor(200);
    EXPECT_EQ(Snapshot().running, 0u);
    EXPECT_EQ(PassesWhilePumping(2000), 0u) << "stopped";

    Command(CmdReset);
    Command(CmdStartStop);
    ASSERT_NE(WaitForTimeUp(6000), 0u);
    Command(CmdStartStop); // acknowledges
    PumpMessagesFor(200);
    EXPECT_EQ(Snapshot().timeIsUp, 0u);
    EXPECT_EQ(Snapshot().text, "3.0");
    EXPECT_EQ(PassesWhilePumping(2000), 0u) << "acknowledged";
}

// A start wakes the resting thread at once, not at its next look: with a one-second update
// period the first pass comes well inside the first period.
TEST(RealCount, StartWakesTheRestingThreadAtOnce)
{
    SettingsRecord record = Quiet();
    record.UpdateFrequency = 1000;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b", SettingsImage(record)).empty());
    PumpMessagesFor(300);
    ASSERT_EQ(PassesWhilePumping(1200), 0u); // resting, not looking now and then
    const uint32_t before = Passes();
    const DWORD started = GetTickCount();
    Command(CmdStartStop);
    // Resting, it waits for nothing but a wake: any pass at all is the start's.
    const DWORD seen = TickWhen([before] { return Passes() != before; }, 10000);
    ASSERT_NE(seen, 0u);
    std::printf("first pass %lu ms after the start\n", seen - started);
}

// After a final time-up the display flashes at every repeat interval until the time-up is
// acknowledged; then it shows normally again and the thread rests.
TEST(RealCount, FlashGoesOnUntilAcknowledgedThenTheThreadRests)
{
    SettingsRecord record = Quiet();
    record.FlashDisplay = 1;
    record.RepeatInterval = 700;
    record.ShowTimeUpWindow = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b g", SettingsImage(record)).empty());
    const DWORD timeUp = WaitForTimeUp(6000);
    ASSERT_NE(timeUp, 0u);
    DWORD changes[3] = {};
    uint32_t phases[3] = {};
    uint32_t phase = 0;
    for (int i = 0; i < 3; ++i)
    {
        const uint32_t last = phase;
        changes[i] = TickWhen(
            [&] {
                CountLockGuard lock;
                phase = FlashPhase;
                return phase != last;
            },
            3000);
        ASSERT_NE(changes[i], 0u) << i;
        phases[i] = phase;
    }
    EXPECT_EQ(phases[0], 1u); // inverted first
    EXPECT_EQ(phases[1], 2u);
    EXPECT_EQ(phases[2], 1u);
    // Never sooner than the interval (seen at the tick's resolution); how much later is the
    // machine's figure.
    for (int i = 1; i < 3; ++i)
    {
        std::printf("flash step %d after %lu ms\n", i, changes[i] - changes[i - 1]);
        EXPECT_GE(changes[i] - changes[i - 1] + 20, record.RepeatInterval) << i;
    }

    Command(CmdStartStop);
    PumpMessagesFor(200);
    {
        CountLockGuard lock;
        EXPECT_EQ(FlashPhase, 0u);
        EXPECT_EQ(Settings.AlarmCycleActive, 0u);
    }
    EXPECT_EQ(PassesWhilePumping(1500), 0u);
}

// Repeat without a window: each period starts exactly where the last ended, and the count is
// still running after two time-ups.
TEST(RealCount, AutomaticRepeatRunsOnWithoutGaps)
{
    SettingsRecord record = Quiet();
    record.ThenAction = 2; // Repeat
    record.ShowTimeUpWindow = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b", SettingsImage(record)).empty());
    PumpMessagesFor(1000); // resting first
    Command(CmdStartStop);
    uint32_t start;
    {
        CountLockGuard lock;
        start = Count.StartTick;
    }
    const auto startTick = [] {
        CountLockGuard lock;
        return Count.StartTick;
    };
    const DWORD first = TickWhen([&] { return startTick() == start + 3000; }, 5000);
    ASSERT_NE(first, 0u);
    const DWORD second = TickWhen([&] { return startTick() == start + 6000; }, 5000);
    ASSERT_NE(second, 0u);
    EXPECT_EQ(Snapshot().running, 1u);
    EXPECT_EQ(Snapshot().timeIsUp, 0u);
    // The periods follow on exactly (the start ticks above); when they were seen is a figure.
    std::printf("periods seen %lu ms apart\n", second - first);
}

// A time-up window's answer never starts a count. Two automatic repeats 2.5 s apart have two
// windows open at once (each closes itself after 3 s): "Stop Repeat" on both leaves the count
// stopped.
TEST(RealCount, StopRepeatOnTwoOpenWindowsLeavesTheCountStopped)
{
    SettingsRecord record = Quiet();
    record.ThenAction = 2; // Repeat
    record.SetTime = 2500;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b g", SettingsImage(record)).empty());
    const HWND first = FindTimeUpWindow(6000);
    ASSERT_NE(first, nullptr);
    HWND second = nullptr;
    std::atomic<bool> done{false};
    std::thread finder([&] {
        second = WaitForWindow(
            "Mivo 1.9", [first](HWND w) { return w != first; }, 6000);
        done = true;
    });
    while (!done)
        PumpMessagesFor(5);
    finder.join();
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(IsWindow(first));
    Answer(first, 2);
    Answer(second, 2);
    EXPECT_EQ(Snapshot().running, 0u);
}

// Waits until a time-up window has closed with nobody pressing its buttons, and its thread has
// ended after it.
bool ClosesByItself(HWND window, LONG answeredBefore)
{
    return PumpUntil([&] { return !IsWindow(window) && TimeUpAnswersCarried != answeredBefore; },
                     10000);
}

// A final time-up acknowledged elsewhere (Esc, the tray menu, the Start/Stop key from anywhere):
// its window, whose buttons could no longer do anything, closes without an answer, and its
// sound stops as for "OK"; the count stays stopped at its set time.
void ExpectTheWindowClosesWhenAcknowledgedBy(UINT message, WPARAM wParam)
{
    const std::string folder = NewTempFolder();
    WriteBytes(folder + "long.mp3", SilentMp3(20 * OneSecondOfFrames));
    SettingsRecord record = Quiet();
    record.AlarmAction = 2;
    CopyText((folder + "long.mp3").c_str(), record.AlarmPath);
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b g", SettingsImage(record)).empty());
    const HWND window = FindTimeUpWindow(8000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PumpUntil([] { return SoundPlayerWindow.load() != nullptr; }, 10000));
    const LONG answered = TimeUpAnswersCarried;
    SendMessageA(MainWindow, message, wParam, 0);
    EXPECT_TRUE(ClosesByItself(window, answered));
    EXPECT_EQ(PromptResult.load(), uint32_t{PromptWithdrawn});
    PumpMessages();
    EXPECT_EQ(SoundPlayerWindow.load(), nullptr);
    const CountSnapshot after = Snapshot();
    EXPECT_EQ(after.timeIsUp, 0u);
    EXPECT_EQ(after.running, 0u);
    EXPECT_EQ(after.text, "3.0");
}

TEST(RealCount, AWindowWhoseTimeUpIsAcknowledgedFromTheTrayCloses)
{
    ExpectTheWindowClosesWhenAcknowledgedBy(WM_COMMAND, CmdStartStop);
}

TEST(RealCount, AWindowWhoseTimeUpIsAcknowledgedByAKeyFromAnywhereCloses)
{
    ExpectTheWindowClosesWhenAcknowledgedBy(WM_HOTKEY, HotKeyIdBase + HotKeyStartStop);
}

// A time-up acknowledged from the main window (Esc) and a new count started (S) while its
// window is open: the window closes without an answer, and the new count runs on, in its
// direction, whatever the "and then" step.
void ExpectTheNextCountRunsOnAndTheWindowCloses(uint32_t thenAction, uint32_t waitMode)
{
    SettingsRecord record = Quiet();
    record.ThenAction = thenAction;
    record.WaitMode = waitMode;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b g", SettingsImage(record)).empty());
    const HWND window = FindTimeUpWindow(8000);
    ASSERT_NE(window, nullptr);
    const LONG answered = TimeUpAnswersCarried;
    Command(CmdStartStop); // Esc
    Command(CmdStartStop); // S
    uint32_t started;
    {
        CountLockGuard lock;
        ASSERT_EQ(Count.Running, 1u);
        started = Count.StartTick;
    }
    EXPECT_TRUE(ClosesByItself(window, answered));
    PumpMessages();
    CountLockGuard lock;
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(Count.StartTick, started);
    EXPECT_EQ(Settings.CountDirection, 1u);
}

TEST(RealCount, AfterEscAndSTheWindowClosesAndTheNextCountRuns)
{
    ExpectTheNextCountRunsOnAndTheWindowCloses(0, 0);
}

TEST(RealCount, AfterEscAndSTheWindowClosesWhenWaitingForTheButton)
{
    ExpectTheNextCountRunsOnAndTheWindowCloses(2, 1); // and then Repeat
}

TEST(RealCount, AfterEscAndSTheWindowClosesAndNothingReverses)
{
    ExpectTheNextCountRunsOnAndTheWindowCloses(1, 1); // and then Reverse
}

// An automatic repeat's window, stopped from the tray while it shows: it closes at once instead
// of waiting out its seconds with a "Stop Repeat" that could no longer stop anything.
TEST(RealCount, ARepeatsWindowClosesWhenTheCountIsStoppedElsewhere)
{
    SettingsRecord record = Quiet();
    record.ThenAction = 2; // Repeat
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=4 b g", SettingsImage(record)).empty());
    const HWND window = FindTimeUpWindow(8000);
    ASSERT_NE(window, nullptr);
    const LONG answered = TimeUpAnswersCarried;
    Command(CmdStartStop);
    EXPECT_TRUE(ClosesByItself(window, answered));
    EXPECT_EQ(PromptResult.load(), uint32_t{PromptWithdrawn}) << "closed, not timed out";
    PumpMessages();
    EXPECT_EQ(Snapshot().running, 0u);
}

// Whether the running count's thread waits half a minute or more for its next pass.
bool WaitsHalfAMinute()
{
    CountLockGuard lock;
    const uint32_t left = CountingWakeTick - GetTickCount();
    return Count.Running != 0 && left >= 30000 && left < 0x80000000u;
}

// Minimised while a count runs in No Seconds, the title shows the count at once, not at the
// next minute; restored, it is the program's name again. With Auto Minimise the same at Start.
void ExpectTheMinimisedTitleAtOnce(bool autoMinimise)
{
    SettingsRecord record = Quiet();
    record.SecondsMode = 0;
    record.AutoMinimise = autoMinimise ? 1 : 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=10 b", SettingsImage(record)).empty());
    Command(CmdStartStop);
    // Its first texts shown, the thread waits for the next minute.
    ASSERT_TRUE(PumpUntil(WaitsHalfAMinute));
    if (!autoMinimise) ShowWindow(MainWindow, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(MainWindow));
    EXPECT_TRUE(PumpUntil([] { return WindowText(MainWindow) == Snapshot().text; }, 10000))
        << WindowText(MainWindow);
    EXPECT_EQ(WindowText(MainWindow), "09");
    ShowWindow(MainWindow, SW_RESTORE);
    PumpMessages();
    EXPECT_EQ(WindowText(MainWindow), "Mivo");
}

TEST(RealCount, TheMinimisedTitleShowsTheCountAtOnce)
{
    ExpectTheMinimisedTitleAtOnce(false);
}

TEST(RealCount, AutoMinimiseShowsTheCountInTheTitleAtOnce)
{
    ExpectTheMinimisedTitleAtOnce(true);
}

// A new days mode shows at once on a running count that waits for its next minute.
TEST(RealCount, ANewDaysModeShowsAtOnce)
{
    SettingsRecord record = Quiet();
    record.SecondsMode = 0;
    record.DaysMode = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /d=3 b g", SettingsImage(record)).empty());
    ASSERT_TRUE(PumpUntil(WaitsHalfAMinute));
    const std::string hours = Snapshot().text;
    Command(CmdDaysMode + 2); // Always
    EXPECT_TRUE(PumpUntil([&] { return Snapshot().text != hours; }, 10000)) << hours;
    std::printf("%s, then %s\n", hours.c_str(), Snapshot().text.c_str());
}

// Back from sleep the thread looks at once, though its wait has not run out: a wait's timeout
// does not count the time asleep.
TEST(RealCount, WakingFromSleepMakesTheThreadLookAtOnce)
{
    SettingsRecord record = Quiet();
    record.SecondsMode = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=10 b g", SettingsImage(record)).empty());
    for (const WPARAM event : {PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND})
    {
        SCOPED_TRACE(event);
        ASSERT_TRUE(PumpUntil(WaitsHalfAMinute));
        const uint32_t before = Passes();
        SendMessageA(MainWindow, WM_POWERBROADCAST, event, 0);
        EXPECT_TRUE(PumpUntil([before] { return Passes() != before; }, 10000));
    }
}

// A 3 s countdown: the time-up comes on its millisecond whatever the display's frequency,
// measured from inside (the tick of the pass against the due tick).
void ExpectTimeUpOnTime(uint32_t frequency) // 0: Auto
{
    SettingsRecord record = Quiet();
    record.ShowTimeUpWindow = 0;
    record.AutoFrequency = frequency == 0 ? 1 : 0;
    if (frequency != 0) record.UpdateFrequency = frequency;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b g", SettingsImage(record)).empty());
    uint32_t started;
    {
        CountLockGuard lock;
        started = Count.StartTick;
    }
    ASSERT_NE(WaitForTimeUp(6000), 0u);
    CountLockGuard lock;
    std::printf("time-up %u ms after due\n", TimeUpLateness);
    // The thread asked to wake on the due tick, and the pass that came then found it.
    EXPECT_EQ(TimeUpDueTick, started + 3001);
    EXPECT_EQ(TimeUpWakeAsked, TimeUpDueTick);
}

TEST(RealCount, TimeUpIsOnTimeAtAuto)
{
    ExpectTimeUpOnTime(0);
}

TEST(RealCount, TimeUpIsOnTimeAtA1900MsFrequency)
{
    ExpectTimeUpOnTime(1900);
}

} // namespace
