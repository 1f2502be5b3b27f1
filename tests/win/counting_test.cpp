#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
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

// Pumps in 1 ms steps until the time is up; returns the tick at which it was seen.
DWORD WaitForTimeUp(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds)
    {
        if (Snapshot().timeIsUp != 0) return GetTickCount();
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return 0;
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

} // namespace
