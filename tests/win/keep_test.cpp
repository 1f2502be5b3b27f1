// A count that outlives the program, in the real program: kept in the settings file when it
// changes, brought back at the next start, and never an action carried out late unasked.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/keep.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "tests/win/harness_win.h"
#include "text/text.h"

namespace
{

uint32_t Locked(const uint32_t& value)
{
    CountLockGuard lock;
    return value;
}

// A settings file whose kept count is a countdown of `target` that started `ago` ms ago.
SettingsRecord WithRunningCount(uint32_t target, uint64_t ago)
{
    SettingsRecord record = DefaultRecord();
    record.ShowTimeUpWindow = 0;
    record.FlashDisplay = 0;
    KeptCount kept = {};
    kept.Flags = KeptRunning | KeptDown;
    kept.Target = target;
    kept.KeptAt = WallClock() - ago / 2;
    kept.Count = WallClock() - ago;
    WriteKeptCount(record, kept);
    return record;
}

// The kept count the settings file in `folder` holds now.
bool KeptInFile(const std::string& folder, KeptCount& kept)
{
    const std::string image = ReadBytes(folder + "dMivo.dat");
    if (image.size() != SettingsFileSize) return false;
    SettingsRecord record = {};
    std::memcpy(&record, image.data() + SettingsMagicSize, sizeof record);
    return ReadKeptCount(record, kept);
}

std::vector<UINT> ExitCalls;
BOOL WINAPI RecordExitWindows(UINT flags, DWORD)
{
    ExitCalls.push_back(flags);
    return TRUE;
}

struct Question
{
    std::string message, first, second;
};

// A file to run whose time was up an hour ago, while the program was closed: it is not run;
// the time-up window says when the time was up and asks; "Run Now" runs it, once.
TEST(KeptCount, AFileWhoseTimeCameWhileClosedRunsOnlyWhenTold)
{
    const std::string folder = NewTempFolder();
    const std::string marker = MarkerProgram(folder);
    ASSERT_FALSE(marker.empty());
    MarkerMode mode;
    SettingsRecord record = WithRunningCount(60000, 3600000);
    record.AlarmAction = 4;
    CopyText(marker.c_str(), record.AlarmPath);
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    bool ranBeforeTheAnswer = true;
    Question seen;
    AsUser([&] {
        const HWND prompt = WaitForWindow("Mivo 1.9", 20000);
        if (prompt == nullptr) return;
        Sleep(500); // a file run unasked would have started by now
        ranBeforeTheAnswer = FileExists(folder + "marker.txt");
        seen.message = WindowText(GetDlgItem(prompt, 1601));
        seen.first = WindowText(GetDlgItem(prompt, IDOK));
        seen.second = WindowText(GetDlgItem(prompt, IDCANCEL));
        PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    });
    EXPECT_FALSE(ranBeforeTheAnswer);
    EXPECT_EQ(seen.message.rfind("Time was up at ", 0), 0u) << seen.message;
    EXPECT_NE(seen.message.find(" while Mivo was closed."), std::string::npos) << seen.message;
    EXPECT_EQ(seen.first, "Run Now");
    EXPECT_EQ(seen.second, "Cancel");
    EXPECT_TRUE(PumpUntil([&] { return FileExists(folder + "marker.txt"); }, 20000));
    PumpMessagesFor(1000);
    EXPECT_EQ(ReadBytes(folder + "marker.txt"), "ran") << "once";
    EXPECT_EQ(Locked(Count.TimeIsUp), 0u);
}

// A shutdown whose time came while closed calls nothing until "Shut Down Now"; carried out, it
// leaves no kept count behind, in memory or in the file, not even after the session's last save.
TEST(KeptCount, AShutdownFoundAtStartWaitsAndLeavesNoCountBehind)
{
    SettingsRecord record = WithRunningCount(60000, 3600000);
    record.AlarmAction = 5;
    ExitWindowsProc = RecordExitWindows;
    ExitCalls.clear();
    const std::string folder = StartInTempFolder("Mivo.exe", SettingsImage(record));
    ASSERT_FALSE(folder.empty());
    bool calledBeforeTheAnswer = true;
    AsUser([&] {
        const HWND prompt = WaitForWindow("Mivo 1.9", 20000);
        if (prompt == nullptr) return;
        Sleep(500);
        calledBeforeTheAnswer = !ExitCalls.empty();
        EXPECT_EQ(WindowText(GetDlgItem(prompt, IDOK)), "Shut Down Now");
        PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    });
    EXPECT_FALSE(calledBeforeTheAnswer);
    EXPECT_TRUE(PumpUntil([] { return !ExitCalls.empty(); }, 10000));
    KeptCount kept;
    EXPECT_FALSE(KeptInFile(folder, kept)) << "the next start finds no count";
    EXPECT_FALSE(ReadKeptCount(Settings, kept));
    SendMessageA(MainWindow, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(KeptInFile(folder, kept)) << "not even the session's last save keeps one";
    EXPECT_EQ(ExitCalls.size(), 1u);
}

// A time given on the command line starts afresh: the kept count is dropped.
TEST(KeptCount, ATimeOnTheCommandLineDropsTheKeptCount)
{
    ASSERT_FALSE(
        StartInTempFolder("Mivo.exe /m=5", SettingsImage(WithRunningCount(600000, 60000)))
            .empty());
    PumpMessagesFor(300);
    CountLockGuard lock;
    EXPECT_EQ(Count.Running, 0u);
    EXPECT_EQ(Count.TargetTime, 300000u);
}

std::vector<std::wstring> RestartCalls;

HRESULT WINAPI RecordRegisterRestart(PCWSTR commandLine, DWORD flags)
{
    RestartCalls.push_back(std::wstring(L"register '") + commandLine + L"' " +
                           std::to_wstring(flags));
    return S_OK;
}
HRESULT WINAPI RecordUnregisterRestart()
{
    RestartCalls.push_back(L"unregister");
    return S_OK;
}

// "Resume the count after a restart" unticked: nothing resumed, nothing kept, nothing written
// for the count, no restart asked for.
TEST(KeptCount, ForgetCountKeepsNothing)
{
    SettingsRecord record = WithRunningCount(600000, 60000);
    record.ForgetCount = 1;
    RestartCalls.clear();
    RegisterRestartProc = RecordRegisterRestart;
    UnregisterRestartProc = RecordUnregisterRestart;
    const std::string folder = StartInTempFolder("Mivo.exe", SettingsImage(record));
    ASSERT_FALSE(folder.empty());
    PumpMessagesFor(300);
    EXPECT_EQ(Locked(Count.Running), 0u) << "not resumed";
    const uint32_t before = SettingsSaves;
    Command(CmdStartStop);
    PumpMessagesFor(1500);
    EXPECT_EQ(SettingsSaves, before);
    EXPECT_TRUE(RestartCalls.empty());
    SaveWithKeptCount(); // as at exit
    KeptCount kept;
    EXPECT_FALSE(KeptInFile(folder, kept));
}

// A second copy, started while another holds the keeper's mutex: it resumes nothing, keeps
// nothing of its own, and when it saves, the kept bytes are the file's as they are then, the
// keeper's count, never its own.
TEST(KeptCount, ASecondCopyLeavesTheKeepersCountAlone)
{
    char name[64];
    std::snprintf(name, sizeof name, "Local\\Mivo.KeptCount.%lu", GetCurrentProcessId());
    const HANDLE keeper = CreateMutexA(nullptr, FALSE, name);
    ASSERT_NE(keeper, nullptr);
    const std::string folder =
        StartInTempFolder("Mivo.exe", SettingsImage(WithRunningCount(600000, 60000)));
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(Locked(Count.Running), 0u) << "not resumed";

    // The keeper writes a count of its own meanwhile.
    SettingsRecord theirs = WithRunningCount(900000, 1000);
    WriteBytes(folder + "dMivo.dat", SettingsImage(theirs));
    Command(CmdStartStop);
    Command(CmdReverse);
    SaveWithKeptCount();
    KeptCount kept;
    ASSERT_TRUE(KeptInFile(folder, kept));
    EXPECT_EQ(kept.Target, 900000u);
    EXPECT_EQ(std::memcmp(Settings.KeptBytes, theirs.KeptBytes, sizeof theirs.KeptBytes), 0);
    CloseHandle(keeper);
}

// The file is written when the count changes, at most once a second (the last state is the
// one written), never as a count runs on; Windows is asked to restart the program while a
// count runs, and no longer when it stops.
TEST(KeptCount, TheFileIsWrittenWhenTheCountChangesAndNeverPerTick)
{
    RegisterRestartProc = RecordRegisterRestart;
    UnregisterRestartProc = RecordUnregisterRestart;
    SettingsRecord record = DefaultRecord();
    record.CountUntil = 0; // reversed, it counts up to the set time
    const std::string folder = StartInTempFolder("Mivo.exe /m=5 b", SettingsImage(record));
    ASSERT_FALSE(folder.empty());
    PumpMessagesFor(1200);
    const uint32_t before = SettingsSaves;
    Command(CmdStartStop);
    EXPECT_TRUE(PumpUntil([&] { return SettingsSaves == before + 1; }));
    KeptCount kept;
    ASSERT_TRUE(KeptInFile(folder, kept));
    EXPECT_EQ(kept.Flags, KeptRunning | KeptDown);
    PumpMessagesFor(3000);
    EXPECT_EQ(SettingsSaves, before + 1) << "the count ran on: nothing to write";

    // Three changes within a second: one write at once, one when the second is over, holding
    // the last of them.
    Command(CmdReverse);
    Command(CmdReverse);
    Command(CmdReverse);
    EXPECT_EQ(SettingsSaves, before + 2);
    EXPECT_TRUE(PumpUntil([&] { return SettingsSaves == before + 3; }));
    PumpMessagesFor(1500);
    EXPECT_EQ(SettingsSaves, before + 3);
    ASSERT_TRUE(KeptInFile(folder, kept));
    EXPECT_EQ(kept.Flags, KeptRunning) << "three Reverses: counting up";

    Command(CmdStartStop);
    EXPECT_TRUE(PumpUntil([&] { return SettingsSaves == before + 4; }));
    PumpMessagesFor(1500);
    EXPECT_EQ(SettingsSaves, before + 4) << "a stopped program writes nothing";
    ASSERT_TRUE(KeptInFile(folder, kept));
    EXPECT_EQ(kept.Flags & KeptRunning, 0u);
    EXPECT_EQ(RestartCalls,
              (std::vector<std::wstring>{L"register '' 3", L"unregister"}));
}

// The clock's value, as a screen reader in another process reads it.
std::wstring ClockValue(HWND window)
{
    IAccessible* clock = nullptr;
    if (AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                   reinterpret_cast<void**>(&clock)) != S_OK)
        return L"";
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    std::wstring value;
    if (clock->get_accValue(self, &text) == S_OK && text != nullptr) value = text;
    SysFreeString(text);
    clock->Release();
    return value;
}

// "01:54.3" in milliseconds.
uint32_t Milliseconds(const std::wstring& shown)
{
    unsigned minutes = 0, seconds = 0, tenths = 0;
    if (std::swscanf(shown.c_str(), L"%u:%u.%u", &minutes, &seconds, &tenths) != 3) return 0;
    return (minutes * 60 + seconds) * 1000 + tenths * 100;
}

struct RealProgram
{
    std::string folder = NewTempFolder();
    HANDLE process = nullptr;
    HWND window = nullptr;

    RealProgram()
    {
        CopyFileA(ProductExePath().c_str(), (folder + "Mivo.exe").c_str(), FALSE);
        SettingsRecord record = DefaultRecord();
        record.ShowTimeUpWindow = 0;
        WriteBytes(folder + "dMivo.dat", SettingsImage(record));
    }
    ~RealProgram() { End(); }

    bool Start(const char* arguments)
    {
        DWORD id = 0;
        process = StartProgram(folder + "Mivo.exe", arguments, folder, "", id);
        window = process != nullptr ? MainWindowOf(id, 20000) : nullptr;
        return window != nullptr;
    }
    void End()
    {
        if (process == nullptr) return;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 20000);
        CloseHandle(process);
        process = nullptr;
    }
    void Close()
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(process, 20000);
        CloseHandle(process);
        process = nullptr;
    }
};

// A two-minute countdown started, its process ended without a word 5 s later, started again:
// it runs, where the wall clock says it is, within a second.
TEST(KeptCountRealProgram, ACountEndedWithItsProcessRunsOnWhereTheClockSays)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RealProgram mivo;
    const uint64_t before = WallClock();
    ASSERT_TRUE(mivo.Start(" /m=2 b g"));
    KeptCount kept;
    ASSERT_TRUE(PumpUntil([&] { return KeptInFile(mivo.folder, kept); }, 20000));
    const uint64_t after = WallClock(); // the start lies between `before` and here
    PumpMessagesFor(5000);
    mivo.End();

    ASSERT_TRUE(mivo.Start(""));
    std::wstring first, second;
    uint64_t readBefore = 0, readAfter = 0;
    // Read while it shows a running count (the first pass may still be to come).
    EXPECT_TRUE(PumpUntil(
        [&] {
            readBefore = WallClock();
            first = ClockValue(mivo.window);
            readAfter = WallClock();
            return Milliseconds(first) != 0 && Milliseconds(first) < 119000;
        },
        20000))
        << std::string(first.begin(), first.end());
    const int64_t shown = Milliseconds(first);
    const int64_t most = 120000 - static_cast<int64_t>(readBefore - after);
    const int64_t least = 120000 - static_cast<int64_t>(readAfter - before);
    EXPECT_LE(shown, most + 1000);
    EXPECT_GE(shown, least - 1000);
    PumpMessagesFor(1500);
    second = ClockValue(mivo.window);
    EXPECT_LT(Milliseconds(second), Milliseconds(first)) << "still running";
    mivo.Close();
    if (SUCCEEDED(com)) CoUninitialize();
}

// Stopped part-way and closed as usual: at the next start it is stopped at the same place.
TEST(KeptCountRealProgram, ACountStoppedPartWayComesBackStoppedThere)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RealProgram mivo;
    ASSERT_TRUE(mivo.Start(" /m=2 b g"));
    PumpMessagesFor(1500);
    SendMessageA(mivo.window, WM_COMMAND, CmdStartStop, 0);
    const std::wstring stopped = ClockValue(mivo.window);
    ASSERT_LT(Milliseconds(stopped), 120000u);
    ASSERT_GT(Milliseconds(stopped), 100000u);
    mivo.Close();

    ASSERT_TRUE(mivo.Start(""));
    EXPECT_TRUE(PumpUntil([&] { return ClockValue(mivo.window) == stopped; }, 10000))
        << std::string(stopped.begin(), stopped.end());
    PumpMessagesFor(1000);
    EXPECT_EQ(ClockValue(mivo.window), stopped) << "stopped";
    mivo.Close();
    if (SUCCEEDED(com)) CoUninitialize();
}

} // namespace
