// Keys from anywhere, as a user has them: set on the Keys page, pressed on the real keyboard
// (xdotool, through the X server) while Wine's Notepad has the focus.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "app/app_win.h"
#include "app/appstate.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/hotkeys.h"
#include "data/settings.h"
#include "tests/win/harness_win.h"

namespace
{

uint32_t Locked(const uint32_t& value)
{
    CountLockGuard lock;
    return value;
}

// The keys from anywhere that reached the main window.
std::atomic<int> HotKeysSeen{0};

// Keys stored by an earlier session: each action on Ctrl+Shift and a letter.
SettingsRecord WithKeys()
{
    SettingsRecord record = DefaultRecord();
    record.CountDirection = 1;
    record.ShowTimeUpWindow = 0;
    record.MinimiseToTray = 1;
    record.HotKeys[HotKeyStartStop] = HotKeyWord('K', HotKeyControl | HotKeyShift);
    record.HotKeys[HotKeyReset] = HotKeyWord('J', HotKeyControl | HotKeyShift);
    record.HotKeys[HotKeyQuickSet] = HotKeyWord('U', HotKeyControl | HotKeyShift);
    record.HotKeys[HotKeyShowHide] = HotKeyWord('Y', HotKeyControl | HotKeyShift);
    return record;
}

// Typed while another program has the focus: the count starts, stops and resets, QuickSet
// opens, and the window goes to the tray and comes back.
TEST(KeysFromAnywhere, TypedInAnotherProgramTheyCommandTheTimer)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5", SettingsImage(WithKeys())).empty());
    Notepad notepad;
    ASSERT_NE(notepad.window, nullptr);
    ASSERT_TRUE(notepad.Focus());

    ASSERT_TRUE(TypeKeys("ctrl+shift+k"));
    EXPECT_TRUE(PumpUntil([] { return Locked(Count.Running) != 0; }, 10000)) << "started";
    PumpMessagesFor(300);
    ASSERT_TRUE(TypeKeys("ctrl+shift+k"));
    EXPECT_TRUE(PumpUntil([] { return Locked(Count.Running) == 0; }, 10000)) << "stopped";
    EXPECT_NE(Locked(Count.StartTick), 0u) << "paused part-way";
    ASSERT_TRUE(TypeKeys("ctrl+shift+j"));
    EXPECT_TRUE(PumpUntil([] { return Locked(Count.StartTick) == 0; }, 10000)) << "reset";

    // Show/Hide: Notepad in front, so the window comes to the front; there, it goes to the tray.
    ASSERT_TRUE(TypeKeys("ctrl+shift+y"));
    EXPECT_TRUE(PumpUntil([] { return GetForegroundWindow() == MainWindow; }, 10000))
        << "brought to the front";
    ASSERT_TRUE(TypeKeys("ctrl+shift+y"));
    EXPECT_TRUE(PumpUntil([] { return !IsWindowVisible(MainWindow); }, 10000)) << "in the tray";
    EXPECT_EQ(WindowState, WindowInTray);
    ASSERT_TRUE(notepad.Focus());
    ASSERT_TRUE(TypeKeys("ctrl+shift+y"));
    EXPECT_TRUE(PumpUntil([] { return IsWindowVisible(MainWindow) != FALSE; }, 10000))
        << "back from the tray";
    EXPECT_EQ(WindowState, WindowNormal);

    // QuickSet opens at the pointer, once however often its key is pressed; Esc closes it.
    ASSERT_TRUE(notepad.Focus());
    CountMainWindowMessages(WM_HOTKEY, HotKeysSeen);
    std::atomic<bool> opened{false};
    std::atomic<bool> pressedAgain{false};
    std::atomic<bool> another{false};
    AsUser([&] {
        TypeKeys("ctrl+shift+u");
        const HWND grid =
            WaitForWindow(nullptr, [](HWND window) { return GetDlgItem(window, 2640) != nullptr; });
        opened = grid != nullptr;
        if (grid == nullptr) return;
        const int seen = HotKeysSeen;
        TypeKeys("ctrl+shift+u");
        // The second key has reached the program while the grid is open, or the check below
        // would prove nothing.
        const DWORD start = GetTickCount();
        while (HotKeysSeen == seen && GetTickCount() - start < 10000)
            Sleep(10);
        pressedAgain = HotKeysSeen != seen;
        another = WaitForWindow(
                      nullptr,
                      [grid](HWND window) {
                          return window != grid && GetDlgItem(window, 2640) != nullptr;
                      },
                      2000) != nullptr;
        PostMessageA(grid, WM_COMMAND, IDCANCEL, 0);
    });
    PumpMessagesFor(300);
    EXPECT_TRUE(opened) << "QuickSet";
    EXPECT_TRUE(pressedAgain) << "the second key reached the program";
    EXPECT_FALSE(another) << "a second grid";
}

// The QuickSet key is the user's request for the grid: it opens it also when clicks do not
// ("Two Click QuickSet" off); during a time-up it answers the time-up instead, as a click does.
TEST(KeysFromAnywhere, TheQuickSetKeyOpensTheGridWhateverTwoClickQuickSetSays)
{
    SettingsRecord record = DefaultRecord();
    record.TwoClickQuickSet = 0;
    record.ShowTimeUpWindow = 0;
    record.FlashDisplay = 0;
    record.AlarmAction = 0;
    record.CountDirection = 1;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3", SettingsImage(record)).empty());
    std::atomic<bool> opened{false};
    AsUser(
        [&] {
            const HWND grid = WaitForWindow(
                nullptr, [](HWND window) { return GetDlgItem(window, 2640) != nullptr; });
            opened = grid != nullptr;
            if (grid != nullptr) PostMessageA(grid, WM_COMMAND, IDCANCEL, 0);
        },
        [] { SendMessageA(MainWindow, WM_HOTKEY, HotKeyIdBase + HotKeyQuickSet, 0); });
    EXPECT_TRUE(opened);

    Command(CmdStartStop);
    ASSERT_TRUE(PumpUntil([] { return Locked(Count.TimeIsUp) != 0; }, 10000));
    SendMessageA(MainWindow, WM_HOTKEY, HotKeyIdBase + HotKeyQuickSet, 0);
    EXPECT_TRUE(PumpUntil([] { return Locked(Count.TimeIsUp) == 0; }, 10000)) << "answered";
}

} // namespace
