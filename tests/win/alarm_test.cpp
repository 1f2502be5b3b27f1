#include <windows.h>

#include <vfw.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "data/settings.h"
#include "tests/win/harness_win.h"
#include "tests/win/sounds_win.h"
#include "text/text.h"

namespace
{

// Media-control windows made on this thread, seen as they are created; and whether any
// earlier one was still a window at that moment.
std::vector<HWND> PlayersMade;
bool EarlierPlayerOpenAtCreation = false;

LRESULT CALLBACK WatchCreations(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
    {
        char name[64] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        if (lstrcmpiA(name, "MCIWndClass") == 0)
        {
            for (HWND earlier : PlayersMade)
                if (IsWindow(earlier)) EarlierPlayerOpenAtCreation = true;
            PlayersMade.push_back(reinterpret_cast<HWND>(wParam));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct CreationWatch
{
    HHOOK hook = SetWindowsHookExA(WH_CBT, WatchCreations, nullptr, GetCurrentThreadId());
    CreationWatch()
    {
        PlayersMade.clear();
        EarlierPlayerOpenAtCreation = false;
    }
    ~CreationWatch() { UnhookWindowsHookEx(hook); }
};

SettingsRecord Quiet(uint32_t action, const std::string& path)
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = action;
    record.FlashDisplay = 0;
    record.ShowTimeUpWindow = 0;
    CopyText(path.c_str(), record.AlarmPath);
    return record;
}

TEST(AlarmSounds, WaveGoesToTheSoundPlayerEveryOtherPathToAMediaWindow)
{
    const std::string folder = StartInTempFolder();
    ASSERT_FALSE(folder.empty());
    for (const char* name : {"a.wav", "b.WAV", "c.Wav"})
        WriteBytes(folder + name, SilentWave());
    WriteBytes(folder + "tone.mp3", SilentMp3(OneSecondOfFrames));
    ASSERT_TRUE(CreateDirectoryA((folder + "Sounds.old").c_str(), nullptr));
    WriteBytes(folder + "Sounds.old\\bell", SilentMp3(OneSecondOfFrames));
    Settings.AlarmAction = 2;

    const struct
    {
        const char* name;
        size_t players;
    } cases[] = {{"a.wav", 0},
                 {"b.WAV", 0},
                 {"c.Wav", 0},
                 {"tone.mp3", 1},
                 // The extension is ".old\bell": not a wave.
                 {"Sounds.old\\bell", 1}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CreationWatch watch;
        PerformAlarmAction((folder + c.name).c_str());
        PumpMessagesFor(50);
        EXPECT_EQ(PlayersMade.size(), c.players);
        if (c.players == 0)
        {
            EXPECT_EQ(SoundPlayerWindow, nullptr);
        }
        StopSoundPlayer();
        for (HWND player : PlayersMade)
            EXPECT_FALSE(IsWindow(player));
    }
}

TEST(AlarmSounds, ASecondSoundClosesTheFirstPlayerBeforeTheNextOpens)
{
    const std::string folder = StartInTempFolder();
    WriteBytes(folder + "one.mp3", SilentMp3(4 * OneSecondOfFrames));
    WriteBytes(folder + "two.mp3", SilentMp3(4 * OneSecondOfFrames));
    Settings.AlarmAction = 2;
    CreationWatch watch;
    PerformAlarmAction((folder + "one.mp3").c_str());
    const HWND first = SoundPlayerWindow;
    ASSERT_NE(first, nullptr);
    EXPECT_GT(SoundEndPosition, 3000u);
    PerformAlarmAction((folder + "two.mp3").c_str());
    ASSERT_EQ(PlayersMade.size(), 2u);
    EXPECT_FALSE(EarlierPlayerOpenAtCreation);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(SoundPlayerWindow, PlayersMade[1]);
    // A file that does not open leaves no player behind.
    PerformAlarmAction((folder + "missing.mp3").c_str());
    EXPECT_EQ(SoundPlayerWindow, nullptr);
    EXPECT_FALSE(IsWindow(PlayersMade[1]));
}

// Whether the player being told to play was already the published one at that moment.
bool PublishedBeforePlaying = false;

LRESULT CALLBACK WatchPlay(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == MCI_PLAY && SoundPlayerWindow == sent->hwnd)
        PublishedBeforePlaying = true;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The counting thread sees a player only once it plays, and a stop request names the player
// it is about: one that comes late, about a player since replaced, leaves the new sound
// playing.
TEST(AlarmSounds, AStopRequestNamesItsPlayerAndAPlayerIsKnownOnlyOncePlaying)
{
    const std::string folder = StartInTempFolder();
    WriteBytes(folder + "one.mp3", SilentMp3(4 * OneSecondOfFrames));
    WriteBytes(folder + "two.mp3", SilentMp3(4 * OneSecondOfFrames));
    Settings.AlarmAction = 2;
    PublishedBeforePlaying = false;
    const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchPlay, nullptr, GetCurrentThreadId());
    PerformAlarmAction((folder + "one.mp3").c_str());
    const HWND first = SoundPlayerWindow;
    PerformAlarmAction((folder + "two.mp3").c_str());
    const HWND second = SoundPlayerWindow;
    UnhookWindowsHookEx(hook);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(PublishedBeforePlaying);

    SendMessageA(MainWindow, WM_COMMAND, CmdStopSound, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(SoundPlayerWindow, second);
    EXPECT_TRUE(IsWindow(second));
    EXPECT_GT(SoundEndPosition, 3000u);
    SendMessageA(MainWindow, WM_COMMAND, CmdStopSound, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(SoundPlayerWindow, nullptr);
    EXPECT_FALSE(IsWindow(second));
}

TEST(AlarmSounds, PlayerClosesWhenTheSoundHasPlayedToItsEnd)
{
    // The counting thread watches the player while a count runs.
    const std::string folder = StartInTempFolder("Mivo.exe /s=60 b g", SettingsImage(Quiet(2, "")));
    ASSERT_FALSE(folder.empty());
    WriteBytes(folder + "tone.mp3", SilentMp3(OneSecondOfFrames));
    ASSERT_TRUE(PumpUntil([] { return Count.Running != 0; }));
    CopyText((folder + "tone.mp3").c_str(), Settings.AlarmSoundPath);

    const DWORD start = GetTickCount();
    Command(CmdAlarmAction);
    const HWND player = SoundPlayerWindow;
    ASSERT_NE(player, nullptr);
    EXPECT_NEAR(static_cast<double>(SoundEndPosition), 1000.0, 60.0);
    uint32_t furthest = 0;
    const bool closed = PumpUntil(
        [&] {
            if (SoundPlayerWindow != nullptr)
            {
                const auto at =
                    static_cast<uint32_t>(SendMessageA(SoundPlayerWindow, WM_USER + 102, 0, 0));
                if (at > furthest && at <= SoundEndPosition) furthest = at;
            }
            return SoundPlayerWindow == nullptr;
        },
        15000);
    const DWORD took = GetTickCount() - start;
    std::printf("the 1 s sound's player closed after %lu ms\n", took);
    ASSERT_TRUE(closed);
    EXPECT_GT(furthest, 0u); // the position advanced
    EXPECT_GE(took, 900u);
    EXPECT_FALSE(IsWindow(player));
    EXPECT_EQ(SoundEndPosition, 0u);
}

TEST(RandomSound, FindsTheOnlySoundFileOrKeepsTheFolder)
{
    const std::string base = NewTempFolder();
    const struct
    {
        const char* name;
        std::vector<std::string> files;
        const char* chosen; // null: the folder stays
    } cases[] = {
        {"one mp3", {"readme.txt", "only.mp3"}, "only.mp3"},
        {"one mid", {"tune.mid"}, "tune.mid"},
        {"no sound file", {"readme.txt", "song.ogg", "x.wv"}, nullptr},
        {"empty folder", {}, nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string folder = base + c.name;
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        for (const std::string& file : c.files)
            WriteBytes(folder + "\\" + file, "x");
        for (int round = 0; round < 3; ++round)
        {
            char path[600];
            CopyText(folder.c_str(), path);
            PickRandomSound(path);
            EXPECT_EQ(path, c.chosen != nullptr ? folder + "\\" + c.chosen : folder);
        }
    }
}

TEST(RandomSound, AFileHeldWithoutSharingIsPassedOver)
{
    const std::string folder = NewTempFolder();
    WriteBytes(folder + "held.wav", "x");
    WriteBytes(folder + "free.wav", "x");
    const HANDLE held = CreateFileA((folder + "held.wav").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string base = folder.substr(0, folder.size() - 1);
    int found = 0;
    for (int round = 0; round < 30; ++round)
    {
        char path[600];
        CopyText(base.c_str(), path);
        const uint32_t count = PickRandomFile(path, "\\*.wav");
        // Three draws of the held file in a row fail the call (1 in 8); it never yields it.
        if (count == 0)
        {
            EXPECT_EQ(path, base);
        }
        else
        {
            EXPECT_EQ(count, 2u);
            EXPECT_EQ(path, folder + "free.wav");
            ++found;
        }
    }
    EXPECT_GT(found, 10);
    CloseHandle(held);
}

TEST(RandomSound, TwelveThousandMatchesYieldAKeptName)
{
    // s0.wav .. s11999.wav, made by the build beside Mivo.exe.
    std::string base = ProductExePath();
    ASSERT_FALSE(base.empty());
    base.erase(base.find_last_of('\\') + 1);
    base += "manyfiles";
    ASSERT_TRUE(FileExists(base + "\\s11999.wav"));
    char path[600];
    CopyText(base.c_str(), path);
    EXPECT_EQ(PickRandomFile(path, "\\*.wav"), 10000u);
    const std::string chosen = path;
    EXPECT_EQ(chosen.rfind(base + "\\s", 0), 0u) << chosen;
    EXPECT_TRUE(FileExists(chosen)) << chosen;

    CopyText(base.c_str(), path);
    PickRandomSound(path);
    EXPECT_TRUE(FileExists(path)) << path;
    EXPECT_NE(std::string(path), base);
}

TEST(RandomNumbers, OneForZeroAndOneAndEvenOverOneToN)
{
    EXPECT_EQ(RandomNumber(0), 1u);
    EXPECT_EQ(RandomNumber(1), 1u);
    // Chi-square over 6 outcomes: 5 degrees of freedom, 20.5 is the 0.1 % bound.
    const uint32_t n = 6, draws = 1200;
    std::vector<uint32_t> seen(n + 1, 0);
    for (uint32_t i = 0; i < draws; ++i)
    {
        const uint32_t r = RandomNumber(n);
        ASSERT_GE(r, 1u);
        ASSERT_LE(r, n);
        ++seen[r];
    }
    const double expected = static_cast<double>(draws) / n;
    double chi = 0;
    for (uint32_t v = 1; v <= n; ++v)
        chi += std::pow(seen[v] - expected, 2) / expected;
    EXPECT_LT(chi, 20.5);
    // A large n is reached across its range, not only at its bottom.
    uint32_t highest = 0;
    for (int i = 0; i < 200; ++i)
        highest = std::max(highest, RandomNumber(1000000));
    EXPECT_GT(highest, 500000u);
}

bool WaitForFile(const std::string& path, DWORD milliseconds)
{
    return PumpUntil([&] { return FileExists(path); }, milliseconds);
}

TEST(AlarmActions, RunFileStartsTheNamedProgram)
{
    const std::string folder = StartInTempFolder();
    const std::string exe = MarkerProgram(folder);
    Settings.AlarmAction = 4;
    MarkerMode marker;
    PerformAlarmAction(exe.c_str());
    EXPECT_TRUE(WaitForFile(folder + "marker.txt", 20000));
}

// The shutdown seam's record of each call, with the privilege and the shutdown level in force
// at that moment.
struct ExitCall
{
    UINT flags;
    bool privilegeEnabled;
    DWORD level;
};
std::vector<ExitCall> ExitCalls;

bool ShutdownPrivilegeEnabled()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    LUID shutdown;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown);
    char buffer[2048];
    DWORD size = 0;
    bool enabled = false;
    if (GetTokenInformation(token, TokenPrivileges, buffer, sizeof buffer, &size))
    {
        const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer);
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i)
        {
            const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
            if (p.Luid.LowPart == shutdown.LowPart && p.Luid.HighPart == shutdown.HighPart)
                enabled = (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    CloseHandle(token);
    return enabled;
}

BOOL WINAPI RecordExitWindows(UINT flags, DWORD)
{
    DWORD level = 0, shutdownFlags = 0;
    GetProcessShutdownParameters(&level, &shutdownFlags);
    ExitCalls.push_back({flags, ShutdownPrivilegeEnabled(), level});
    return FALSE;
}

TEST(AlarmActions, ShutdownAndRestartReachTheSeamAfterThePrivilegeSteps)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    ExitWindowsProc = RecordExitWindows;
    const struct
    {
        uint32_t action;
        bool reaches;
        UINT flags;
    } cases[] = {{5, true, EWX_POWEROFF}, {6, true, EWX_REBOOT},   {7, false, 0},
                 {9, false, 0},           {0xFFFFFFFFu, false, 0}, {0, false, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.action);
        ExitCalls.clear();
        Settings.AlarmAction = c.action;
        PerformAlarmAction("C:\\whatever.wav");
        ASSERT_EQ(ExitCalls.size(), c.reaches ? 1u : 0u);
        if (!c.reaches) continue;
        EXPECT_EQ(ExitCalls[0].flags, c.flags);
        EXPECT_TRUE(ExitCalls[0].privilegeEnabled);
        EXPECT_EQ(ExitCalls[0].level, 0x100u);
    }
}

// With Mute the count's own time-up posts no sound action, but still runs a file.
TEST(AlarmActions, MuteSilencesSoundsButRunFileStillRuns)
{
    const std::string folder = NewTempFolder();
    const std::string exe = MarkerProgram(folder);
    SettingsRecord record = Quiet(4, exe);
    record.Mute = 1;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b g", SettingsImage(record)).empty());
    MarkerMode marker;
    EXPECT_TRUE(WaitForFile(folder + "marker.txt", 20000));

    // The same count with a sound file: no player opens at the time-up.
    WriteBytes(folder + "tone.mp3", SilentMp3(OneSecondOfFrames));
    CopyText((folder + "tone.mp3").c_str(), Settings.AlarmPath);
    Settings.AlarmAction = 2;
    CreationWatch watch;
    Command(CmdStartStop); // acknowledges the time-up
    Command(CmdStartStop); // starts the 3 s again
    ASSERT_TRUE(PumpUntil([] { return Count.TimeIsUp != 0; }, 8000));
    PumpMessagesFor(300);
    EXPECT_TRUE(PlayersMade.empty());
    EXPECT_EQ(SoundPlayerWindow, nullptr);
}

// The real program: a copy of Mivo.exe with its settings file beside it.
HANDLE StartMivo(const std::string& folder, const SettingsRecord& record, const char* arguments,
                 const std::string& environment, DWORD& id)
{
    EXPECT_TRUE(CopyFileA(ProductExePath().c_str(), (folder + "Mivo.exe").c_str(), FALSE));
    WriteBytes(folder + "dMivo.dat", SettingsImage(record));
    return StartProgram(folder + "Mivo.exe", arguments, folder, environment, id);
}

void CloseMivo(HANDLE process, DWORD id)
{
    const HWND window = MainWindowOf(id, 5000);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    EXPECT_EQ(code, 0x00400000u);
    CloseHandle(process);
}

TEST(RealProgram, RunsTheFileAtTheTimeUp)
{
    const std::string folder = NewTempFolder();
    const std::string exe = MarkerProgram(folder);
    DWORD id = 0;
    const DWORD start = GetTickCount();
    const HANDLE process = StartMivo(folder, Quiet(4, exe), " /s=3 b g", "MIVO_CHILD=marker", id);
    ASSERT_NE(process, nullptr);
    ASSERT_NE(MainWindowOf(id, 10000), nullptr);
    ASSERT_TRUE(WaitForFile(folder + "marker.txt", 20000));
    EXPECT_GE(GetTickCount() - start, 3000u); // not before the time-up
    CloseMivo(process, id);
}

TEST(RealProgram, AnActionOutsideTheListDoesNothingAtTheTimeUp)
{
    const std::string folder = NewTempFolder();
    DWORD id = 0;
    const HANDLE process = StartMivo(folder, Quiet(7, "C:\\x.exe"), " /s=3 b g", "", id);
    ASSERT_NE(process, nullptr);
    const HWND window = MainWindowOf(id, 10000);
    ASSERT_NE(window, nullptr);
    // Started, then well past the time-up.
    ASSERT_TRUE(PumpUntil(
        [&] {
            char text[16] = {};
            GetDlgItemTextA(window, CmdStartStop, text, sizeof text);
            return std::string(text) == "Stop";
        },
        5000));
    PumpMessagesFor(5000);
    EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseMivo(process, id);
}

} // namespace
