#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"

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
    const DWORD late = seen - started - 3000;
    std::printf("time-up seen %lu ms after the 3 s\n", late);
    // Within one update period plus the tick's resolution.
    EXPECT_LE(late, Settings.UpdateFrequency + 20);
    EXPECT_EQ(Snapshot().text, "0");

    const HWND window = FindTimeUpWindow(5000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DialogText(window, 1601), "Mivo Finished");
    EXPECT_EQ(DialogText(window, 1), "OK");
    EXPECT_EQ(DialogText(window, 2), "Repeat Time");
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    Press(window, 1);

    // "OK" acknowledges: the set time shows again, stopped.
    ASSERT_TRUE(PumpUntil([] { return Snapshot().timeIsUp == 0; }, 3000));
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
    Press(window, 2);
    ASSERT_TRUE(PumpUntil([] { return Snapshot().running != 0; }, 3000));
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
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 6000));
    PumpMessagesFor(300);
    EXPECT_EQ(Snapshot().running, 1u);

    // "Stop Repeat" on the next one stops the count.
    const HWND next = FindTimeUpWindow(6000);
    ASSERT_NE(next, nullptr);
    Press(next, 2);
    ASSERT_TRUE(PumpUntil([] { return Snapshot().running == 0; }, 3000));
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

    Command(CmdStartStop);
    EXPECT_GT(PassesWhilePumping(500), 2u) << "running";
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
    const DWORD seen = TickWhen([before] { return Passes() != before; }, 3000);
    ASSERT_NE(seen, 0u);
    std::printf("first pass %lu ms after the start\n", seen - started);
    EXPECT_LT(seen - started, 500u);
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
    // Each change within an update period and the tick's resolution of the interval.
    const DWORD slack = record.UpdateFrequency + 40;
    for (int i = 1; i < 3; ++i)
    {
        EXPECT_GE(changes[i] - changes[i - 1] + 20, record.RepeatInterval) << i;
        EXPECT_LE(changes[i] - changes[i - 1], record.RepeatInterval + slack) << i;
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
    // Seen one period apart, give or take an update period and the tick's resolution.
    EXPECT_LE(second - first, 3000u + record.UpdateFrequency + 40);
    EXPECT_GE(second - first + record.UpdateFrequency + 40, 3000u);
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
    Press(first, 2);
    Press(second, 2);
    PumpMessagesFor(500);
    EXPECT_EQ(Snapshot().running, 0u);
}

// A final time-up acknowledged elsewhere first (Esc, the tray menu), then "OK" on its window:
// the count stays stopped.
TEST(RealCount, OkAfterTheTimeUpWasAcknowledgedLeavesTheCountStopped)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b g", SettingsImage(Quiet())).empty());
    const HWND window = FindTimeUpWindow(6000);
    ASSERT_NE(window, nullptr);
    Command(CmdStartStop); // acknowledged from the tray menu
    ASSERT_EQ(Snapshot().timeIsUp, 0u);
    Press(window, 1);
    PumpMessagesFor(500);
    EXPECT_EQ(Snapshot().running, 0u);
    EXPECT_EQ(Snapshot().text, "3.0");
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
    ASSERT_NE(WaitForTimeUp(6000), 0u);
    uint32_t late;
    {
        CountLockGuard lock;
        late = TimeUpLateness;
    }
    std::printf("time-up %u ms after due\n", late);
    EXPECT_LE(late, 20u);
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
