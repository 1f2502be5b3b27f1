// The last stretch before the end and Add Time, in the real program: what the user sees and
// hears, and each way to give a count more time.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/hotkeys.h"
#include "data/settings.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"
#include "tests/win/menus_win.h"

namespace
{

std::vector<UINT> Beeps;
BOOL WINAPI RecordBeep(UINT type)
{
    Beeps.push_back(type);
    return TRUE;
}

uint32_t Locked(const uint32_t& value)
{
    CountLockGuard lock;
    return value;
}

// Pixels of the warning colour in the main window as it is painted now.
int OrangePixels(const char* name)
{
    RedrawWindow(MainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const Capture c = CaptureClient(MainWindow, name);
    return Lit(c, 0, c.height, 0xFF8000).count;
}

SettingsRecord Quiet()
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 0;
    record.FlashDisplay = 0;
    record.ShowTimeUpWindow = 0;
    return record;
}

// A 6-second countdown warned 3 seconds before its end: white digits until the crossing, then
// orange ones and one short sound; at the time-up the colour goes, and nothing sounds again.
TEST(LastStretch, ASixSecondCountdownTurnsOrangeAndSoundsOnceAtTheCrossing)
{
    SettingsRecord record = Quiet();
    record.WarnBefore = 3000;
    Beeps.clear();
    MessageBeepProc = RecordBeep;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=6 b g", SettingsImage(record)).empty());
    PumpMessages();
    {
        CountLockGuard lock;
        ASSERT_GT(TimeLeft(GetTickCount()), 3000u) << "started a while ago already";
    }
    EXPECT_EQ(OrangePixels("stretch-before"), 0);
    EXPECT_TRUE(Beeps.empty());

    ASSERT_TRUE(PumpUntil([] { return Locked(Count.InStretch) != 0; }, 10000));
    {
        CountLockGuard lock;
        EXPECT_LE(TimeLeft(GetTickCount()), 3000u) << "not before the crossing";
    }
    // The crossing reaches the window's thread as a message of its own.
    EXPECT_TRUE(PumpUntil([] { return !Beeps.empty(); }));
    EXPECT_GT(OrangePixels("stretch-inside"), 100);
    EXPECT_EQ(Beeps, std::vector<UINT>{MB_ICONEXCLAMATION});

    ASSERT_TRUE(PumpUntil([] { return Locked(Count.TimeIsUp) != 0; }, 10000));
    PumpMessages();
    EXPECT_EQ(Locked(Count.InStretch), 0u);
    EXPECT_EQ(OrangePixels("stretch-after"), 0);
    EXPECT_EQ(Beeps.size(), 1u);
}

// The end as it is: what is left, and the target, read at one moment.
uint32_t Left()
{
    CountLockGuard lock;
    return TimeLeft(GetTickCount());
}

// Each way to give a running countdown more time adds one step, at once; an older settings
// file (no step stored) adds a minute and the menu says so. SetTime stays, so Reset counts
// the set time again.
TEST(AddTime, TheKeyTheMenuAndTheKeyFromAnywhereEachAddAMinuteAtOnce)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 b g").empty());
    PumpMessages();
    ASSERT_TRUE(PumpUntil([] { return Locked(Count.Running) != 0; }));

    // "+" on the keypad, through the program's own loop step.
    uint32_t before = Left();
    MSG key = {MainWindow, WM_KEYDOWN, VK_ADD, 1, 0, {}};
    ProcessLoopMessage(key);
    PumpMessages();
    uint32_t after = Left();
    EXPECT_GT(after, before + 55000);
    EXPECT_LE(after, before + 60000);
    EXPECT_TRUE(PumpUntil([] {
        CountLockGuard lock;
        return std::string(DisplayText).rfind("05:5", 0) == 0;
    })) << DisplayText;

    // The context menu's entry, chosen with the keyboard: the twelfth entry of a running count's
    // menu in a normal window.
    before = Left();
    const std::vector<std::string> lines =
        OpenReadAndChoose([] { PostMessageA(MainWindow, WM_RBUTTONUP, 0, 0); }, 12);
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[11], "Add 1:00 #2032");
    after = Left();
    EXPECT_GT(after, before + 55000);
    EXPECT_LE(after, before + 60000);

    // The fifth key from anywhere, as Windows delivers it.
    before = Left();
    SendMessageA(MainWindow, WM_HOTKEY, HotKeyIdBase + HotKeyAddTime, 0);
    after = Left();
    EXPECT_GT(after, before + 55000);
    EXPECT_LE(after, before + 60000);

    EXPECT_EQ(Settings.SetTime, 300000u);
    Command(CmdReset);
    EXPECT_LE(Left(), 300000u);
    EXPECT_GT(Left(), 295000u);
}

} // namespace
