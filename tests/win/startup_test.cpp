#include <windows.h>

#include <gtest/gtest.h>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/switches.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "tests/win/harness_win.h"
#include "text/text.h"

namespace
{

// Both folders pinned to a fresh folder that holds a default settings file.
void PinTempFolder()
{
    const std::string folder = NewTempFolder();
    WriteBytes(folder + "dMivo.dat", DefaultSettingsImage());
    PinFolders(folder.c_str(), folder.c_str());
}

TEST(StartUp, CreatesTheCentredMainWindow)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    PumpMessages();

    char className[64] = {};
    GetClassNameA(MainWindow, className, sizeof className);
    EXPECT_STREQ(className, "MivoTime");
    char title[64] = {};
    GetWindowTextA(MainWindow, title, sizeof title);
    EXPECT_STREQ(title, "Mivo");

    RECT r;
    GetWindowRect(MainWindow, &r);
    EXPECT_EQ(r.right - r.left, 165);
    EXPECT_EQ(r.bottom - r.top, 120);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 165) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 120) / 2);
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_EQ(GetWindowLongA(MainWindow, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(GetWindowLongA(MainWindow, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_LAYERED), 0);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(Instance, "MivoTime", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_BYTEALIGNWINDOW));
    EXPECT_NE(wc.hIcon, nullptr);
    EXPECT_NE(wc.hIconSm, nullptr);
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

// A placement that was never captured (length 0, as after defaults) keeps the centred window
// (the test above); a captured one is applied, in the normal state.
TEST(StartUp, SavedPlacementIsApplied)
{
    PinTempFolder();
    ASSERT_TRUE(PrepareStart("Mivo.exe"));
    Settings.WindowPlacement = {};
    Settings.WindowPlacement.length = sizeof(WINDOWPLACEMENT);
    Settings.WindowPlacement.showCmd = SW_SHOWMAXIMIZED;
    Settings.WindowPlacement.normalLeft = 40;
    Settings.WindowPlacement.normalTop = 50;
    Settings.WindowPlacement.normalRight = 40 + 480;
    Settings.WindowPlacement.normalBottom = 50 + 320;
    ASSERT_TRUE(OpenMainWindow());
    PumpMessages();

    RECT r;
    GetWindowRect(MainWindow, &r);
    EXPECT_FALSE(IsZoomed(MainWindow)); // saved maximised, started normal
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 480);
    EXPECT_EQ(r.bottom - r.top, 320);
}

TEST(StartUp, PlacementIsIgnoredWhenNotRemembered)
{
    PinTempFolder();
    ASSERT_TRUE(PrepareStart("Mivo.exe"));
    Settings.RememberPosition = 0;
    Settings.WindowPlacement.length = sizeof(WINDOWPLACEMENT);
    Settings.WindowPlacement.normalRight = 480;
    Settings.WindowPlacement.normalBottom = 320;
    ASSERT_TRUE(OpenMainWindow());
    RECT r;
    GetWindowRect(MainWindow, &r);
    EXPECT_EQ(r.right - r.left, 165);
    EXPECT_EQ(r.bottom - r.top, 120);
}

TEST(StartUp, CommandLineReachesTheCount)
{
    PinTempFolder();
    ASSERT_TRUE(StartMivo("Mivo.exe b /m=5 g"));
    EXPECT_EQ(Count.TargetTime, 300000u);
    EXPECT_EQ(Settings.SetTime, 300000u);
    EXPECT_EQ(Settings.CountDirection, 1u);
    EXPECT_EQ(Switches.StartAtLaunch, 0u); // turned into a posted start

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, MainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(CmdStartStop));
    EXPECT_EQ(msg.lParam, 0);
}

TEST(StartUp, SystemMenuCarriesStartAndReset)
{
    PinTempFolder();
    ASSERT_TRUE(PrepareStart("Mivo.exe"));
    ASSERT_TRUE(OpenMainWindow());
    const HMENU menu = GetSystemMenu(MainWindow, FALSE);
    char text[64] = {};
    ASSERT_GT(GetMenuStringA(menu, CmdStartStop, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ(text, "Start");
    ASSERT_GT(GetMenuStringA(menu, CmdReset, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ(text, "Reset");

    // Choosing them posts the commands of the buttons.
    SendMessageA(MainWindow, WM_SYSCOMMAND, CmdReset, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, MainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(CmdReset));
}

struct KeyCase
{
    WPARAM key;
    bool control;
    UINT message; // 0: nothing is posted
    WPARAM wParam;
    bool repeated = false; // an auto-repeat of a key held down
};

const KeyCase KeyCases[] = {
    {VK_F1, false, WM_COMMAND, CmdHelp},
    {'S', false, WM_COMMAND, CmdStartStop},
    {VK_ESCAPE, false, WM_COMMAND, CmdStartStop},
    {'R', false, WM_COMMAND, CmdReset},
    {'O', false, WM_COMMAND, CmdOptions},
    {'M', false, WM_RBUTTONUP, 0},
    {'Q', false, WM_LBUTTONUP, 0},
    {'V', false, WM_COMMAND, CmdReverse},
    {'V', true, 0, 0},
    {'S', true, WM_COMMAND, CmdStartStop},
    {'X', false, 0, 0},
    {VK_F2, false, 0, 0},
    {VK_ADD, false, WM_COMMAND, CmdAddTime},
    {VK_OEM_PLUS, false, WM_COMMAND, CmdAddTime},
    {VK_ADD, true, 0, 0},
    {VK_ADD, false, 0, 0, true},
    {VK_OEM_PLUS, false, 0, 0, true},
    {'S', false, WM_COMMAND, CmdStartStop, true},
};

// Key presses go through the real loop step, whichever window they are addressed to.
TEST(MessageLoop, KeysPostTheirMessages)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    PumpMessages();
    const HWND other = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, MainWindow, nullptr,
                                       Instance, nullptr);
    for (const KeyCase& c : KeyCases)
    {
        for (const HWND target : {MainWindow, other})
        {
            SCOPED_TRACE(testing::Message() << "key " << c.key << " control " << c.control);
            SetControlHeld(c.control);
            PostMessageA(target, WM_KEYDOWN, c.key, c.repeated ? 0x40000001 : 0x00000001);
            MSG msg;
            ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
            ASSERT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
            ProcessLoopMessage(msg);

            // The dialog manager may translate a key it does not use into WM_CHAR; only
            // commands and clicks count.
            MSG posted;
            UINT seen = 0;
            WPARAM seenParam = 0;
            LPARAM seenLParam = -1;
            HWND seenWindow = nullptr;
            int commands = 0;
            while (PeekMessageA(&posted, nullptr, 0, 0, PM_REMOVE))
            {
                if (posted.message != WM_COMMAND && posted.message != WM_LBUTTONUP &&
                    posted.message != WM_RBUTTONUP)
                    continue;
                ++commands;
                seen = posted.message;
                seenParam = posted.wParam;
                seenLParam = posted.lParam;
                seenWindow = posted.hwnd;
            }
            if (c.message == 0)
            {
                EXPECT_EQ(commands, 0) << "posted " << seen;
                continue;
            }
            EXPECT_EQ(commands, 1);
            EXPECT_EQ(seenWindow, MainWindow);
            EXPECT_EQ(seen, c.message);
            EXPECT_EQ(seenParam, c.wParam);
            EXPECT_EQ(seenLParam, 0);
        }
    }
    SetControlHeld(false);
}

} // namespace
