#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "tests/win/harness_win.h"

namespace
{

TEST(Commands, HelpOpensTheReadMe)
{
    const std::string folder = StartInTempFolder();
    RecordShellOpens();
    Command(CmdHelp);
    EXPECT_EQ(OpenedFile, folder + "ReadMe.htm");
}

TEST(Commands, HideButtonsTogglesTheRowWhileRunning)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    const HWND start = GetDlgItem(MainWindow, CmdStartStop);
    Command(CmdHideButtons);
    EXPECT_EQ(Settings.HideButtons, 1u);
    EXPECT_TRUE(IsWindowVisible(start)); // stopped: the row stays
    Command(CmdStartStop);
    EXPECT_FALSE(IsWindowVisible(start));
    Command(CmdHideButtons);
    EXPECT_EQ(Settings.HideButtons, 0u);
    EXPECT_TRUE(IsWindowVisible(start));
}

TEST(Commands, StopSoundClosesThePlayer)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    const HWND player = CreateWindowExA(0, "STATIC", "player", WS_POPUP, 0, 0, 1, 1, nullptr,
                                        nullptr, Instance, nullptr);
    SoundPlayerWindow = player;
    SoundEndPosition = 1234;
    Command(CmdStopSound);
    EXPECT_FALSE(IsWindow(player));
    EXPECT_EQ(SoundPlayerWindow, nullptr);
    EXPECT_EQ(SoundEndPosition, 0u);
    Command(CmdStopSound); // without a player: nothing happens
    EXPECT_EQ(SoundPlayerWindow, nullptr);
}

TEST(Commands, LeftClickAcknowledgesATimeUp)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=30 b").empty());
    {
        CountLockGuard lock;
        Count.TimeIsUp = 1;
    }
    SendMessageA(MainWindow, WM_LBUTTONUP, 0, 0);
    PumpMessages();
    CountLockGuard lock;
    EXPECT_EQ(Count.TimeIsUp, 0u);
    EXPECT_EQ(Count.Running, 0u); // acknowledged, not started
}

TEST(Commands, ExitSavesAndEndsTheLoop)
{
    const std::string folder = StartInTempFolder();
    DeleteFileA((folder + "dMivo.dat").c_str());
    PostMessageA(MainWindow, WM_COMMAND, CmdExit, 0);
    RunMessageLoop(); // returns once the quit message arrives
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_EQ(ReadBytes(folder + "dMivo.dat").size(), 3008u);
}

TEST(About, ShowsNameDescriptionAndIconAndClosesWithEsc)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    std::atomic<bool> closed{false};
    std::string name, description, owner;
    bool icon = false;
    std::thread user([&] {
        const HWND about = WaitForWindow("About Mivo");
        if (about == nullptr) return;
        name = WindowText(GetDlgItem(about, 101));
        description = WindowText(GetDlgItem(about, 102));
        owner = GetWindow(about, GW_OWNER) == MainWindow ? "main" : "other";
        for (HWND c = GetWindow(about, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
            if (SendMessageA(c, STM_GETICON, 0, 0) != 0) icon = true;
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetWindowThreadProcessId(about, nullptr), &thread);
        PostMessageA(thread.hwndFocus != nullptr ? thread.hwndFocus : about, WM_KEYDOWN, VK_ESCAPE,
                     0x00010001);
        for (int i = 0; i < 300 && IsWindow(about); ++i)
            Sleep(10);
        closed = !IsWindow(about);
    });
    SendMessageA(MainWindow, WM_COMMAND, CmdAbout, 0); // modal: returns when it closes
    user.join();
    EXPECT_EQ(name, "Mivo 1.9");
    EXPECT_EQ(description, "Desktop Timer");
    EXPECT_EQ(owner, "main");
    EXPECT_TRUE(icon);
    EXPECT_TRUE(closed);
}

// The real program, closed three ways: each writes the settings, placement included, and
// ends the process with the module handle's value.
TEST(Closing, EveryWaySavesAndEnds)
{
    const std::string exe = ProductExePath();
    ASSERT_FALSE(exe.empty());
    const struct
    {
        const char* name;
        UINT message;
        WPARAM wParam;
    } ways[] = {{"close button", WM_SYSCOMMAND, SC_CLOSE},
                {"Exit", WM_COMMAND, CmdExit},
                {"end of session", WM_QUERYENDSESSION, 0}};
    for (const auto& way : ways)
    {
        SCOPED_TRACE(way.name);
        const std::string folder = NewTempFolder();
        ASSERT_TRUE(CopyFileA(exe.c_str(), (folder + "Mivo.exe").c_str(), FALSE));
        WriteBytes(folder + "dMivo.dat", DefaultSettingsImage());
        std::string commandLine = "\"" + folder + "Mivo.exe\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &process));
        CloseHandle(process.hThread);
        const HWND window = MainWindowOf(process.dwProcessId, 10000);
        ASSERT_NE(window, nullptr);
        SetWindowPos(window, nullptr, 100, 120, 300, 200, SWP_NOZORDER);

        if (way.message == WM_QUERYENDSESSION)
            EXPECT_NE(SendMessageA(window, way.message, way.wParam, 0), 0); // Windows may end it
        else
            PostMessageA(window, way.message, way.wParam, 0);
        ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        EXPECT_EQ(code, 0x00400000u);

        const std::string saved = ReadBytes(folder + "dMivo.dat");
        ASSERT_EQ(saved.size(), 3008u);
        SettingsRecord back = {};
        ApplySettingsBody(back, reinterpret_cast<const uint8_t*>(saved.data()) + 8, 3000);
        EXPECT_EQ(back.WindowPlacement.length, 44u);
        EXPECT_EQ(back.WindowPlacement.normalLeft, 100);
        EXPECT_EQ(back.WindowPlacement.normalTop, 120);
        EXPECT_EQ(back.WindowPlacement.normalRight, 400);
        EXPECT_EQ(back.WindowPlacement.normalBottom, 320);
    }
}

} // namespace

namespace
{

uint32_t Shown()
{
    CountLockGuard lock;
    return ShownValue(GetTickCount());
}

// Reset and Sync through the window; their arithmetic is tested on its own elsewhere. Each is
// checked on values read together under the lock, however long the machine took in between.
TEST(Commands, ResetAndSyncRunningCounts)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=7 b g").empty());
    PumpMessagesFor(300);
    ASSERT_LT(Shown(), 420000u);
    Command(CmdReset);
    {
        // Started over from the full time at the tick of the reset, and running on.
        CountLockGuard lock;
        EXPECT_EQ(Count.Running, 1u);
        EXPECT_EQ(Count.CountOffset, 0u);
        EXPECT_EQ(ShownValue(Count.StartTick), 420000u);
    }

    // Sync: the countdown keeps its minutes and passes each whole minute when the clock does.
    // The clock's time of day at the sync lies between the two read around it. On a quick
    // machine the sync can come in the very millisecond of the reset, when the count still
    // shows seven whole minutes: it is taken once the count has gone below them.
    ASSERT_TRUE(PumpUntil([] { return Shown() < 420000u; }));
    const auto clockNow = [] {
        SYSTEMTIME now;
        GetLocalTime(&now);
        return (now.wHour * 3600u + now.wMinute * 60u + now.wSecond) * 1000u + now.wMilliseconds;
    };
    uint32_t before, after;
    do
    {
        // Again when the clock's minute turned in between: which minute it read is unknown.
        before = clockNow();
        Command(CmdSync);
        after = clockNow();
    } while (before / 60000 != after / 60000);
    CountLockGuard lock;
    // The count at the sync's tick: six whole minutes and what was left of the clock's minute.
    const uint32_t atSync = ShownValue(Count.StartTick);
    EXPECT_EQ(atSync / 60000, 6u);
    EXPECT_GE(atSync % 60000, 60000 - after % 60000);
    EXPECT_LE(atSync % 60000, 60000 - before % 60000);
}

} // namespace
