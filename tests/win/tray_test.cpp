#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_win.h"
#include "app/appstate.h"
#include "app/commands.h"
#include "app/count.h"
#include "data/settings.h"
#include "display/display_win.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"
#include "tests/win/menus_win.h"

namespace
{

// One call of the shell as the program made it, with the real shell's answer.
struct TrayCall
{
    DWORD Action;
    NOTIFYICONDATAA Record;
    BOOL Answer;
};
std::vector<TrayCall> TrayCalls;

BOOL WINAPI RecordTrayCall(DWORD action, NOTIFYICONDATAA* record)
{
    TrayCall call = {action, {}, FALSE};
    // Only the 488 bytes the program describes are its record.
    memcpy(&call.Record, record, record->cbSize <= sizeof call.Record ? record->cbSize : 0);
    call.Answer = Shell_NotifyIconA(action, record);
    TrayCalls.push_back(call);
    return call.Answer;
}

std::string TrayTip(size_t index)
{
    return index < TrayCalls.size() ? TrayCalls[index].Record.szTip : "(no call)";
}

// Whether the shell still holds the program's icon: modifying a missing icon fails.
bool IconInTray()
{
    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = MainWindow;
    record.uID = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

void Notify(WPARAM id, UINT mouseMessage)
{
    PostMessageA(MainWindow, WM_TRAYNOTIFY, id, mouseMessage);
    PumpMessagesFor(50);
}

std::string TraySettings(uint32_t minimiseToTray)
{
    SettingsRecord record = DefaultRecord();
    record.MinimiseToTray = minimiseToTray;
    record.SecondsMode = 0; // the running text holds still for a minute: the tip can be compared
    return SettingsImage(record);
}

void MinimiseToTheTray()
{
    ShowWindow(MainWindow, SW_MINIMIZE);
    PumpMessagesFor(100);
}

TEST(TrayIcon, MinimisingHidesTheWindowBehindAnIconWhoseTipFollowsTheCount)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", TraySettings(1)).empty());
    ShellNotifyIconProc = RecordTrayCall;

    MinimiseToTheTray();
    EXPECT_FALSE(IsWindowVisible(MainWindow));
    EXPECT_EQ(WindowState, static_cast<uint32_t>(WindowInTray));
    ASSERT_EQ(TrayCalls.size(), 1u);
    const TrayCall& add = TrayCalls[0];
    EXPECT_EQ(add.Action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(add.Record.cbSize, 488u);
    EXPECT_EQ(add.Record.hWnd, MainWindow);
    EXPECT_EQ(add.Record.uID, 0u);
    EXPECT_EQ(add.Record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(add.Record.uCallbackMessage, WM_TRAYNOTIFY);
    EXPECT_EQ(add.Record.hIcon, SmallIcon);
    EXPECT_STREQ(add.Record.szTip, "Mivo 1.9");
    EXPECT_TRUE(add.Answer) << "the shell refused the icon";
    EXPECT_TRUE(IconInTray());
    // Without a tray on the X display, Wine's shell shows its own tray window.
    const HWND tray = FindWindowA(nullptr, "Wine System Tray");
    EXPECT_TRUE(tray != nullptr && IsWindowVisible(tray));

    // Hovering while stopped, then while the count runs.
    Notify(0, WM_MOUSEMOVE);
    ASSERT_EQ(TrayCalls.size(), 2u);
    EXPECT_EQ(TrayCalls[1].Action, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(TrayTip(1), "Mivo 1.9");
    Command(CmdStartStop);
    PumpMessagesFor(200);
    Notify(0, WM_MOUSEMOVE);
    ASSERT_EQ(TrayCalls.size(), 3u);
    std::string shown;
    {
        CountLockGuard lock;
        shown = DisplayText;
    }
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(TrayTip(2), shown);

    // Another icon's notification is not the program's.
    Notify(1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(TrayCalls.size(), 3u);
    EXPECT_FALSE(IsWindowVisible(MainWindow));

    // The right button opens the menu with the tray's tail; Esc closes it.
    const std::vector<std::string> lines =
        OpenReadAndChoose([] { PostMessageA(MainWindow, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN); }, -1);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{"-", "Stop #1001", "Reset #1002", "Exit #2012"}));
    EXPECT_EQ(Count.Running, 1u);

    // A double click brings the window back and takes the icon away.
    const size_t before = TrayCalls.size();
    Notify(0, WM_LBUTTONDBLCLK);
    PumpMessagesFor(100);
    ASSERT_EQ(TrayCalls.size(), before + 2);
    EXPECT_EQ(TrayCalls[before].Action, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(TrayCalls[before + 1].Action, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(TrayCalls[before + 1].Answer);
    EXPECT_FALSE(IconInTray());
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_FALSE(IsIconic(MainWindow));
    EXPECT_EQ(WindowState, static_cast<uint32_t>(WindowNormal));
}

TEST(TrayIcon, EndingTheProgramInTheTrayRemovesTheIcon)
{
    const std::string folder = StartInTempFolder("Mivo.exe", TraySettings(1));
    ASSERT_FALSE(folder.empty());
    ShellNotifyIconProc = RecordTrayCall;
    MinimiseToTheTray();
    ASSERT_TRUE(IconInTray());
    DeleteFileA((folder + "dMivo.dat").c_str());

    SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    ASSERT_FALSE(TrayCalls.empty());
    EXPECT_EQ(TrayCalls.back().Action, static_cast<DWORD>(NIM_DELETE));
    EXPECT_STREQ(TrayCalls.back().Record.szTip, "Mivo 1.9");
    EXPECT_TRUE(TrayCalls.back().Answer);
    EXPECT_FALSE(IconInTray());
    EXPECT_TRUE(FileExists(folder + "dMivo.dat")) << "the settings are saved first";
}

TEST(TrayIcon, WithoutMinimiseToTrayTheWindowOnlyMinimises)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", TraySettings(0)).empty());
    ShellNotifyIconProc = RecordTrayCall;
    MinimiseToTheTray();
    EXPECT_TRUE(TrayCalls.empty());
    EXPECT_TRUE(IsIconic(MainWindow));
    EXPECT_EQ(WindowState, static_cast<uint32_t>(WindowMinimised));
}

TEST(TrayIcon, ALongTipIsCutTo127Characters)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", TraySettings(1)).empty());
    ShellNotifyIconProc = RecordTrayCall;
    const std::string tip(300, 'x');
    NotifyTrayIcon(MainWindow, SmallIcon, 0, WM_TRAYNOTIFY, tip.c_str(), NIM_ADD);
    ASSERT_EQ(TrayCalls.size(), 1u);
    EXPECT_EQ(TrayTip(0), tip.substr(0, 127));
    NotifyTrayIcon(MainWindow, SmallIcon, 0, WM_TRAYNOTIFY, "", NIM_DELETE);
    EXPECT_FALSE(IconInTray());
}

void DeleteIconAsTheShellDoes()
{
    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = MainWindow;
    record.uID = 0;
    Shell_NotifyIconA(NIM_DELETE, &record);
}

void TaskbarRestarted()
{
    SendMessageA(MainWindow, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    PumpMessagesFor(50);
}

// A restarted taskbar has forgotten every icon and says "TaskbarCreated": the program in the
// tray puts its icon back; out of the tray it adds none.
TEST(TrayIcon, ARestartedTaskbarGetsTheIconBack)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", TraySettings(1)).empty());
    MinimiseToTheTray();
    ASSERT_TRUE(IconInTray());
    DeleteIconAsTheShellDoes();
    ASSERT_FALSE(IconInTray());
    TaskbarRestarted();
    EXPECT_TRUE(IconInTray());
    EXPECT_FALSE(IsWindowVisible(MainWindow));
    EXPECT_EQ(WindowState, static_cast<uint32_t>(WindowInTray));

    Notify(0, WM_LBUTTONDBLCLK);
    ASSERT_FALSE(IconInTray());
    TaskbarRestarted();
    EXPECT_FALSE(IconInTray());
}

BOOL WINAPI RefuseAdds(DWORD action, NOTIFYICONDATAA* record)
{
    return action == NIM_ADD ? FALSE : Shell_NotifyIconA(action, record);
}

// An icon the shell refuses must not leave a hidden window with no way back: it stays
// minimised where the user can reach it, on minimising and after a taskbar restart alike.
TEST(TrayIcon, AnIconTheShellRefusesLeavesTheWindowReachable)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", TraySettings(1)).empty());
    const ShellNotifyIconCall shell = ShellNotifyIconProc;
    ShellNotifyIconProc = RefuseAdds;
    MinimiseToTheTray();
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_TRUE(IsIconic(MainWindow));
    EXPECT_EQ(WindowState, static_cast<uint32_t>(WindowMinimised));

    ShowWindow(MainWindow, SW_RESTORE);
    PumpMessagesFor(50);
    ShellNotifyIconProc = shell;
    MinimiseToTheTray();
    ASSERT_FALSE(IsWindowVisible(MainWindow));
    DeleteIconAsTheShellDoes();
    ShellNotifyIconProc = RefuseAdds;
    TaskbarRestarted();
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_TRUE(IsIconic(MainWindow));
    EXPECT_EQ(WindowState, static_cast<uint32_t>(WindowMinimised));
    ShellNotifyIconProc = shell;
}

int NullsTaken;

LRESULT CALLBACK WatchNulls(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_NULL &&
        msg->hwnd == MainWindow)
        ++NullsTaken;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// After its menu the window posts itself WM_NULL: the documented step that lets the menu of a
// tray icon close when the user clicks elsewhere.
TEST(TrayIcon, TheMenuIsFollowedByANullMessage)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", TraySettings(1)).empty());
    MinimiseToTheTray();
    NullsTaken = 0;
    const HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchNulls, nullptr, GetCurrentThreadId());
    const std::vector<std::string> lines =
        OpenReadAndChoose([] { PostMessageA(MainWindow, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN); }, -1);
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(NullsTaken, 1);
}

} // namespace
