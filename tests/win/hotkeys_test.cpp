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
    std::atomic<bool> opened{false};
    std::atomic<bool> another{false};
    AsUser([&] {
        TypeKeys("ctrl+shift+u");
        const HWND grid =
            WaitForWindow(nullptr, [](HWND window) { return GetDlgItem(window, 2640) != nullptr; });
        opened = grid != nullptr;
        if (grid == nullptr) return;
        TypeKeys("ctrl+shift+u");
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
    EXPECT_FALSE(another) << "a second grid";
}

} // namespace
