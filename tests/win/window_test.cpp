#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_win.h"
#include "app/appstate.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "display/display_win.h"
#include "display/layout.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"

namespace
{

std::string Shown()
{
    CountLockGuard lock;
    return DisplayText;
}

RECT ClientRectOf(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The sizes of the tool records handed to the tooltip control, seen in its window procedure.
WNDPROC TooltipProc;
std::vector<UINT> ToolRecordSizes;

LRESULT CALLBACK WatchToolRecords(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_ADDTOOLA || message == TTM_DELTOOLA)
        ToolRecordSizes.push_back(reinterpret_cast<const TOOLINFOA*>(lParam)->cbSize);
    return CallWindowProcA(TooltipProc, window, message, wParam, lParam);
}

// Every tool record the program hands the tooltip control, added or removed, is 44 bytes.
TEST(Buttons, ToolRecordsAre44Bytes)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    const HWND tooltip = TooltipRecord->Tooltip;
    TooltipProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchToolRecords)));
    RemoveTooltip(MainWindow, TooltipRecord, CmdReset);
    AddTooltip(MainWindow, TooltipRecord, CmdReset, "Resets the time");
    SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TooltipProc));
    EXPECT_EQ(ToolRecordSizes, (std::vector<UINT>{44, 44}));
}

struct ButtonCase
{
    int id;
    const char* text;
    int x, width;
    const char* tooltip;
};

TEST(Buttons, IdsTextsPlacesOrderAndTooltips)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    const ButtonCase buttons[] = {
        {1001, "Start", 3, 70, "Start/Stop the count"},
        {1002, "Reset", 74, 70, "Resets the time"},
        {1007, "Down", 172, 60, "Reverses the direction of the count"},
        {1003, "Options", 234, 60, "Shows the \"Options\" window"},
        {1004, "Help", 296, 60, "Shows the ReadMe"},
        {1005, "About", 358, 60, "Shows the About window"},
    };
    HWND child = GetWindow(MainWindow, GW_CHILD);
    for (const ButtonCase& b : buttons)
    {
        SCOPED_TRACE(b.text);
        // Creation order is the tab order.
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), b.id);
        const HWND button = GetDlgItem(MainWindow, b.id);
        EXPECT_EQ(WindowText(button), b.text);
        const RECT r = ClientRectOf(button);
        EXPECT_EQ(r.left, b.x);
        EXPECT_EQ(r.top, 3);
        EXPECT_EQ(r.right - r.left, b.width);
        EXPECT_EQ(r.bottom - r.top, 25);
        const LONG style = GetWindowLongA(button, GWL_STYLE);
        EXPECT_EQ(style & (WS_TABSTOP | WS_BORDER | WS_VISIBLE),
                  WS_TABSTOP | WS_BORDER | WS_VISIBLE);
        EXPECT_EQ(style & 0x0F, BS_PUSHBUTTON);

        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        char tip[128] = {};
        tool.lpszText = tip;
        tool.hwnd = button;
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        ASSERT_TRUE(SendMessageA(TooltipRecord->Tooltip, TTM_GETTOOLINFOA, 0,
                                 reinterpret_cast<LPARAM>(&tool)));
        EXPECT_STREQ(tip, b.tooltip);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(SendMessageA(TooltipRecord->Tooltip, TTM_GETTOOLCOUNT, 0, 0), 6);
    // Tab moves along the row as in a dialog.
    EXPECT_EQ(GetNextDlgTabItem(MainWindow, GetDlgItem(MainWindow, 1002), FALSE),
              GetDlgItem(MainWindow, 1007));
}

TEST(Buttons, DirectionLabelFollowsRevRev)
{
    SettingsRecord record = DefaultRecord();
    record.RevRev = 1;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    const HWND direction = GetDlgItem(MainWindow, CmdReverse);
    EXPECT_EQ(WindowText(direction), "Up"); // the current direction
    Command(CmdReverse);
    EXPECT_EQ(WindowText(direction), "Down");
    Settings.RevRev = 0;
    Command(CmdReverse);
    EXPECT_EQ(WindowText(direction), "Down"); // the direction a press gives
    Command(CmdReverse);
    EXPECT_EQ(WindowText(direction), "Up");
}

bool RowVisible()
{
    for (int id : {1001, 1002, 1003, 1004, 1005, 1007})
        if (!IsWindowVisible(GetDlgItem(MainWindow, id))) return false;
    return true;
}

bool RowHidden()
{
    for (int id : {1001, 1002, 1003, 1004, 1005, 1007})
        if (IsWindowVisible(GetDlgItem(MainWindow, id))) return false;
    return true;
}

LONG TimeBandTop()
{
    CountLockGuard lock;
    return TimeBand.top;
}

TEST(Buttons, HiddenWhileRunningAndUntilTheTimeUpIsAcknowledged)
{
    SettingsRecord record = DefaultRecord();
    record.HideButtons = 1;
    record.ShowTimeUpWindow = 0;
    record.AlarmAction = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b", SettingsImage(record)).empty());
    EXPECT_TRUE(RowVisible());
    EXPECT_EQ(TimeBandTop(), 30);

    Command(CmdStartStop);
    EXPECT_TRUE(RowHidden());
    EXPECT_EQ(TimeBandTop(), 0);
    Command(CmdStartStop);
    EXPECT_TRUE(RowVisible());
    EXPECT_EQ(TimeBandTop(), 30);

    // A count that ends by itself keeps the row hidden until the time-up is acknowledged.
    Command(CmdStartStop);
    ASSERT_TRUE(PumpUntil([] { return Count.TimeIsUp != 0; }, 6000));
    PumpMessagesFor(100);
    EXPECT_TRUE(RowHidden());
    EXPECT_EQ(TimeBandTop(), 0);
    Command(CmdStartStop);
    EXPECT_TRUE(RowVisible());
    EXPECT_EQ(TimeBandTop(), 30);
    EXPECT_EQ(Count.TimeIsUp, 0u);
}

TEST(Commands, SecondsAndDaysModes)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    EXPECT_EQ(Shown(), "05:00.0");
    const struct
    {
        uint32_t id;
        const char* text;
        uint32_t frequency;
    } modes[] = {{2013, "05", 500},
                 {2014, "05:00", 500},
                 {2015, "05:00.0", 50},
                 {2016, "05:00.00", 5},
                 {2017, "05:00.000", 1}};
    for (const auto& m : modes)
    {
        Command(m.id);
        EXPECT_EQ(Settings.SecondsMode, m.id - 2013);
        EXPECT_EQ(Shown(), m.text);
        EXPECT_EQ(Settings.UpdateFrequency, m.frequency);
    }
    Settings.AutoFrequency = 0;
    Command(2015);
    EXPECT_EQ(Settings.UpdateFrequency, 1u); // no longer chosen by the mode

    Command(CmdPresetTime + 2); // 12 days 14:43:05.8
    EXPECT_EQ(Shown(), "12:14:43:05.8");
    Command(CmdDaysMode + 0);
    EXPECT_EQ(Shown(), "302:43:05.8");
    Command(CmdDaysMode + 2);
    EXPECT_EQ(Shown(), "12:14:43:05.8");
    EXPECT_EQ(Settings.DaysMode, 2u);

    // A paused countdown shows the full selected time again after a mode change.
    Command(CmdPresetTime + 0);
    {
        CountLockGuard lock;
        Count.StartTick = 180000; // 2 minutes left of 5, paused
    }
    Command(2014);
    EXPECT_EQ(Shown(), "05:00");
    EXPECT_EQ(ElapsedCount(GetTickCount()), 0u);

    // While running only the format changes.
    Command(CmdStartStop);
    const uint32_t target = Count.TargetTime;
    Command(2016);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(Count.TargetTime, target);
    EXPECT_EQ(Settings.SecondsMode, 3u);
}

TEST(Commands, PresetsSelectAndLoad)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    const uint32_t presets[3] = {300000, 16200000, 1089785800};
    for (uint32_t i = 0; i < 3; ++i)
    {
        Command(CmdPresetTime + i);
        EXPECT_EQ(Settings.SelectedTime, i);
        EXPECT_EQ(Count.TargetTime, presets[i]);
        EXPECT_EQ(Settings.SetTime, presets[i]);
    }
}

TEST(Commands, WindowSizesRestoreAMaximisedWindowFirst)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    RECT before;
    GetWindowRect(MainWindow, &before);
    ShowWindow(MainWindow, SW_MAXIMIZE);
    PumpMessages();
    ASSERT_TRUE(IsZoomed(MainWindow));
    const struct
    {
        uint32_t id;
        int width, height;
    } sizes[] = {{CmdSizeLarge, 800, 600}, {CmdSizeMedium, 480, 320}, {CmdSizeSmall, 165, 120}};
    for (const auto& s : sizes)
    {
        Command(s.id);
        RECT r;
        GetWindowRect(MainWindow, &r);
        EXPECT_FALSE(IsZoomed(MainWindow));
        EXPECT_EQ(r.left, before.left);
        EXPECT_EQ(r.top, before.top);
        EXPECT_EQ(r.right - r.left, s.width);
        EXPECT_EQ(r.bottom - r.top, s.height);
    }
}

bool TopMost()
{
    return (GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST(Commands, FullScreenOnTopMuteAndTransparency)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    Command(CmdSizeMedium);
    RECT normal;
    GetWindowRect(MainWindow, &normal);

    Command(CmdFullScreen);
    EXPECT_EQ(FullScreen, 1u);
    EXPECT_TRUE(IsZoomed(MainWindow));
    EXPECT_TRUE(TopMost());
    RECT client;
    GetClientRect(MainWindow, &client);
    POINT origin = {0, 0};
    ClientToScreen(MainWindow, &origin);
    // The caption and frame lie off the screen; the client area covers it.
    EXPECT_LE(origin.x, 0);
    EXPECT_LE(origin.y, 0);
    EXPECT_GE(origin.x + client.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(origin.y + client.bottom, GetSystemMetrics(SM_CYSCREEN));

    Command(CmdFullScreen);
    EXPECT_EQ(FullScreen, 0u);
    EXPECT_FALSE(IsZoomed(MainWindow));
    EXPECT_FALSE(TopMost()); // back to the saved on-top setting
    RECT back;
    GetWindowRect(MainWindow, &back);
    EXPECT_EQ(back.right - back.left, normal.right - normal.left);
    EXPECT_EQ(back.bottom - back.top, normal.bottom - normal.top);

    Command(CmdOnTop);
    EXPECT_EQ(Settings.OnTopTimer, 1u);
    EXPECT_TRUE(TopMost());
    Command(CmdOnTop);
    EXPECT_EQ(Settings.OnTopTimer, 0u);
    EXPECT_FALSE(TopMost());

    Command(CmdMute);
    EXPECT_EQ(Settings.Mute, 1u);
    Command(CmdMute);
    EXPECT_EQ(Settings.Mute, 0u);

    Command(CmdOnTop);
    Command(CmdTransparent);
    EXPECT_EQ(Settings.Transparent, 1u);
    EXPECT_EQ(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_LAYERED, WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(MainWindow, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 65);
    EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
    Command(CmdTransparent);
    EXPECT_EQ(Settings.Transparent, 0u);
    // Every extended style is cleared; top-most is not a style SetWindowLong can change, and it
    // still follows the on-top setting.
    EXPECT_EQ(GetWindowLongA(MainWindow, GWL_EXSTYLE) & ~(WS_EX_WINDOWEDGE | WS_EX_TOPMOST), 0);
    EXPECT_TRUE(TopMost());
}

// Turning transparency off repaints the whole window at once.
TEST(Commands, TransparencyOffRepaintsTheWindow)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    Command(CmdTransparent);
    ASSERT_EQ(Settings.Transparent, 1u);
    ValidateRect(MainWindow, nullptr);
    SendMessageA(MainWindow, WM_COMMAND, CmdTransparent, 0);
    ASSERT_EQ(Settings.Transparent, 0u);
    RECT update = {}, client = {};
    GetClientRect(MainWindow, &client);
    EXPECT_TRUE(GetUpdateRect(MainWindow, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &client));
}

TEST(Commands, SystemMenuFollowsTheState)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    char text[64] = {};
    const auto label = [&] {
        GetMenuStringA(GetSystemMenu(MainWindow, FALSE), CmdStartStop, text, sizeof text,
                       MF_BYCOMMAND);
        return std::string(text);
    };
    EXPECT_EQ(label(), "Start");
    SendMessageA(MainWindow, WM_SYSCOMMAND, CmdStartStop, 0);
    PumpMessages();
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(label(), "Stop");
    EXPECT_EQ(WindowText(GetDlgItem(MainWindow, CmdStartStop)), "Stop");
    SendMessageA(MainWindow, WM_SYSCOMMAND, CmdStartStop, 0);
    PumpMessages();
    EXPECT_EQ(Count.Running, 0u);
    EXPECT_EQ(label(), "Start");
    EXPECT_EQ(WindowText(GetDlgItem(MainWindow, CmdStartStop)), "Start");
}

TEST(Commands, MinimisedTitleShowsTheRunningCount)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 b").empty());
    Command(CmdStartStop);
    ShowWindow(MainWindow, SW_MINIMIZE);
    PumpMessages();
    EXPECT_EQ(WindowState, static_cast<uint32_t>(WindowMinimised));
    ASSERT_TRUE(PumpUntil([] { return WindowText(MainWindow).rfind("04:5", 0) == 0; }, 3000))
        << WindowText(MainWindow);
    const std::string first = WindowText(MainWindow);
    ASSERT_TRUE(PumpUntil([&] { return WindowText(MainWindow) != first; }, 1000));
    ShowWindow(MainWindow, SW_RESTORE);
    PumpMessages();
    EXPECT_EQ(WindowState, static_cast<uint32_t>(WindowNormal));
    EXPECT_EQ(WindowText(MainWindow), "Mivo");
}

// The counting thread may decide on a minimised title just before a restore reaches the
// window: the restored window keeps "Mivo" all the same. Here the window thread is busy for a
// moment after each minimise, so that the decision is made while it is minimised and reaches
// the window only after the restore; 200 rounds, the count running with its title set three
// times a second.
TEST(Commands, RestoredWindowKeepsItsTitleHoweverTheCountMeetsTheRestore)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 b").empty());
    Command(CmdStartStop);
    int wrong = 0;
    std::string seen;
    for (int round = 0; round < 200; ++round)
    {
        ShowWindow(MainWindow, SW_MINIMIZE);
        Sleep(round % 4 == 0 ? 170 : 5 * (round % 4));
        ShowWindow(MainWindow, SW_RESTORE);
        PumpMessagesFor(15);
        const std::string title = WindowText(MainWindow);
        if (title != "Mivo")
        {
            ++wrong;
            seen = title;
        }
    }
    EXPECT_EQ(wrong, 0) << "last wrong title: " << seen;
    EXPECT_EQ(WindowState, static_cast<uint32_t>(WindowNormal));
}

// The pixels of the count: white on black at 480 x 320, centred in the time band and as tall
// as the time font's digits.

TEST(Painting, CountCentredAndScaled)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    Command(CmdSizeMedium);
    UpdateWindow(MainWindow);
    PumpMessagesFor(100);
    const Capture shot = CaptureClient(MainWindow, "count-480x320");
    ASSERT_GT(shot.width, 400);

    const RECT band = TimeBand;
    const LitBox box = Lit(shot, band.top, band.bottom, 0xFFFFFF);
    ASSERT_GT(box.count, 100);
    const int centreX2 = box.left + box.right; // doubled, to stay in whole pixels
    const int centreY2 = box.top + box.bottom;
    EXPECT_NEAR(centreX2, band.left + band.right, 6);
    EXPECT_NEAR(centreY2, band.top + band.bottom, 6);
    // The tallest glyphs of "05:00.0" are the digits: the box is as tall as a digit of the
    // font the band allows (width class 3).
    const RECT client = {0, 0, shot.width, shot.height};
    const int fontHeight =
        static_cast<int>(TimeFontHeight(0, 100, {0, 0, client.right, client.bottom - 30}, 3));
    EXPECT_NEAR(box.bottom - box.top, DigitHeight(fontHeight), 2);
    // Nothing else is white; the background is black.
    EXPECT_EQ(shot.at(shot.width - 2, shot.height - 2), 0u);
}

// Hide Buttons toggled while a time-up waits to be acknowledged: the row, the layout and the
// painted count follow one rule, so the "0" stays centred in its band each time.
TEST(Painting, HideButtonsWhileTheTimeIsUpMovesRowLayoutAndCountTogether)
{
    SettingsRecord record = DefaultRecord();
    record.ShowTimeUpWindow = 0;
    record.FlashDisplay = 0;
    record.AlarmAction = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b", SettingsImage(record)).empty());
    Command(CmdSizeMedium);
    Command(CmdStartStop);
    ASSERT_TRUE(PumpUntil([] { return Count.TimeIsUp != 0; }, 6000));
    for (const bool hidden : {true, false, true})
    {
        SCOPED_TRACE(hidden ? "hidden" : "shown");
        Command(CmdHideButtons);
        UpdateWindow(MainWindow);
        PumpMessagesFor(100);
        EXPECT_TRUE(hidden ? RowHidden() : RowVisible());
        EXPECT_EQ(TimeBandTop(), hidden ? 0 : 30);
        const Capture shot = CaptureClient(MainWindow, "time-up-hide-buttons");
        const RECT band = TimeBand;
        const LitBox box = Lit(shot, band.top, band.bottom, 0xFFFFFF);
        ASSERT_GT(box.count, 100);
        EXPECT_NEAR(box.top + box.bottom, band.top + band.bottom, 6);
    }
    EXPECT_EQ(Count.TimeIsUp, 1u);
}

TEST(Painting, FlashSwapsTheColours)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    Command(CmdSizeMedium);
    {
        CountLockGuard lock;
        FlashPhase = 1;
    }
    InvalidateRect(MainWindow, nullptr, FALSE);
    UpdateWindow(MainWindow);
    const Capture shot = CaptureClient(MainWindow, "flash-phase-1");
    EXPECT_EQ(shot.at(shot.width - 2, shot.height - 2), 0xFFFFFFu);
    EXPECT_GT(Lit(shot, TimeBand.top, TimeBand.bottom, 0).count, 100);

    {
        CountLockGuard lock;
        FlashPhase = 2;
    }
    InvalidateRect(MainWindow, nullptr, FALSE);
    UpdateWindow(MainWindow);
    const Capture normal = CaptureClient(MainWindow, "flash-phase-2");
    EXPECT_EQ(normal.at(normal.width - 2, normal.height - 2), 0u);
}

TEST(Painting, HeaderAboveTheTime)
{
    SettingsRecord record = DefaultRecord();
    record.ShowHeader = 1;
    std::strcpy(record.HeaderText, "Kitchen");
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b", SettingsImage(record)).empty());
    Command(CmdSizeMedium);
    UpdateWindow(MainWindow);
    const Capture shot = CaptureClient(MainWindow, "header");
    const RECT band = TimeBand;
    const LitBox header = Lit(shot, 30, band.top, 0xFFFFFF);
    const LitBox time = Lit(shot, band.top, band.bottom, 0xFFFFFF);
    ASSERT_GT(header.count, 20);
    ASSERT_GT(time.count, 100);
    EXPECT_LT(header.bottom, time.top);
    EXPECT_LT(header.bottom - header.top, time.bottom - time.top);
}

// The time font is kept from paint to paint, and made anew the moment any of what it is made
// from changes: each change shows in the very next paint.
TEST(Painting, TheTimeFontFollowsEachOfItsSettingsAtOnce)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    Command(CmdSizeMedium);
    const auto paint = [](const char* name) {
        LayoutDisplay(MainWindow); // as the options window does when it closes
        UpdateWindow(MainWindow);
        const Capture shot = CaptureClient(MainWindow, name);
        const RECT band = TimeBand;
        return Lit(shot, band.top, band.bottom, 0xFFFFFF);
    };
    const LitBox plain = paint("font-plain");
    ASSERT_GT(plain.count, 100);
    struct Case
    {
        const char* name;
        void (*change)();
        void (*undo)();
    } const cases[] = {
        {"font-bold", [] { Settings.FontWeight = 700; }, [] { Settings.FontWeight = 400; }},
        {"font-italic", [] { Settings.FontItalic = 1; }, [] { Settings.FontItalic = 0; }},
        {"font-face", [] { std::strcpy(Settings.FontFace, "Tahoma"); },
         [] { std::strcpy(Settings.FontFace, "Arial"); }},
    };
    ASSERT_STREQ(Settings.FontFace, "Arial");
    ASSERT_EQ(Settings.FontWeight, 400u);
    for (const Case& c : cases)
    {
        c.change();
        const LitBox changed = paint(c.name);
        EXPECT_TRUE(changed.count != plain.count || changed.left != plain.left ||
                    changed.right != plain.right)
            << c.name << " painted as before";
        c.undo();
        const LitBox back = paint("font-back");
        EXPECT_EQ(back.count, plain.count) << c.name;
        EXPECT_EQ(back.left, plain.left) << c.name;
    }
}

TEST(Painting, NoGdiObjectsLeak)
{
    const int Paints = 10000;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    SettingsRecord& s = Settings;
    s.ShowHeader = 1;
    s.ShowTimeUpText = 1;
    Command(CmdSizeMedium);
    UpdateWindow(MainWindow);
    const int before = LiveGdiObjects();
    const DWORD start = GetTickCount();
    RECT client;
    GetClientRect(MainWindow, &client);
    // The display area below the button row: full paints (header and time-up text included)
    // without repainting the buttons each time.
    const RECT display = {0, 30, client.right, client.bottom};
    for (int i = 0; i < Paints; ++i)
    {
        InvalidateRect(MainWindow, &display, FALSE);
        UpdateWindow(MainWindow);
        if (i % 1000 == 0) LayoutDisplay(MainWindow);
    }
    UpdateWindow(MainWindow);
    std::printf("%d paints: %lu ms\n", Paints, GetTickCount() - start);
    EXPECT_EQ(LiveGdiObjects(), before);
}

} // namespace

namespace
{

// A tick repaints only when the text on the screen would change: tenths change every other
// 50 ms update, so half the updates need no paint.
TEST(Painting, TicksRepaintOnlyNewTexts)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 b").empty());
    Command(CmdSizeMedium);
    PumpMessagesFor(100);
    Command(CmdStartStop);
    PumpMessagesFor(100);

    std::vector<std::string> painted;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500)
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            ProcessLoopMessage(msg);
            if (msg.message == WM_PAINT && msg.hwnd == MainWindow)
            {
                CountLockGuard lock;
                painted.push_back(PaintedText);
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    ASSERT_GE(painted.size(), 5u);
    for (size_t i = 1; i < painted.size(); ++i)
        EXPECT_NE(painted[i], painted[i - 1]) << "paint " << i;
    // The screen keeps up: what was painted last is the count's text or the one before it.
    CountLockGuard lock;
    EXPECT_EQ(std::string(PaintedText).substr(0, 4), std::string(DisplayText).substr(0, 4));
}

} // namespace
