#include <windows.h>

#include "app/app_win.h"
#include "app/keep.h"
#include "app/switches.h"
#include "data/data_win.h"
#include "data/settings.h"

const char* KeeperMutexName = "Local\\Mivo.KeptCount";
HRESULT(WINAPI* RegisterRestartProc)(PCWSTR, DWORD) = nullptr;
HRESULT(WINAPI* UnregisterRestartProc)() = nullptr;

namespace
{

// This copy holds the keeper's mutex: it keeps, resumes and asks for the restart. Another copy
// started beside it writes the kept bytes as the file holds them, never its own.
bool Keeper;
// Cleared for good: a shutdown or restart is being carried out, and no later save, not even the
// one at the end of the session, may keep a count that the next start would run again.
bool KeepingEnded;
// What start-up found kept, to bring back once the window exists.
ResumePlan Plan;
// The last keeping, and a keeping put off to the end of its second.
DWORD KeptTick;
bool KeptOnce;
constexpr UINT_PTR KeepTimer = 0x4B43;
// Whether Windows was asked to start the program again after an update restart.
bool RestartAsked;

bool Keeps()
{
    return Keeper && !KeepingEnded && Settings.ForgetCount == 0;
}

// The kept bytes a save writes: the count as it is now (a time-up waiting for its answer is
// kept as answered), none when counts are forgotten, or for a copy that is not the keeper, the
// bytes the file holds now.
void TakeKeptBytes()
{
    if (!Keeper)
    {
        uint8_t bytes[sizeof Settings.KeptBytes];
        if (ReadSavedKeptBytes(bytes))
            for (uint32_t i = 0; i < sizeof bytes; ++i)
                Settings.KeptBytes[i] = bytes[i];
        return;
    }
    CountLockGuard lock;
    if (!Keeps())
        ClearKeptCount(Settings);
    else
    {
        // The tick and the wall clock of one moment.
        uint64_t now = WallClock();
        uint32_t tick = GetTickCount();
        for (int attempt = 0; attempt < 3 && GetTickCount() != tick; ++attempt)
        {
            now = WallClock();
            tick = GetTickCount();
        }
        WriteKeptCount(Settings, KeepCount(tick, now));
    }
}

// Binds the restart calls once, where Windows has them.
void BindRestartCalls()
{
    static bool bound;
    if (bound) return;
    bound = true;
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return;
    if (RegisterRestartProc == nullptr)
        RegisterRestartProc = reinterpret_cast<HRESULT(WINAPI*)(PCWSTR, DWORD)>(
            reinterpret_cast<void (*)()>(GetProcAddress(kernel, "RegisterApplicationRestart")));
    if (UnregisterRestartProc == nullptr)
        UnregisterRestartProc = reinterpret_cast<HRESULT(WINAPI*)()>(
            reinterpret_cast<void (*)()>(GetProcAddress(kernel, "UnregisterApplicationRestart")));
}

VOID CALLBACK KeepWhenTheSecondIsOver(HWND, UINT, UINT_PTR, DWORD)
{
    KeepCountNow();
}

} // namespace

uint64_t WallClock()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER at;
    at.LowPart = now.dwLowDateTime;
    at.HighPart = now.dwHighDateTime;
    return at.QuadPart / 10000;
}

void TakeKeeperRole()
{
    // The handle stays open for the run: the mutex lives while this copy does.
    CreateMutexA(nullptr, FALSE, KeeperMutexName);
    Keeper = GetLastError() != ERROR_ALREADY_EXISTS;
    KeptCount kept;
    const bool valid = ReadKeptCount(Settings, kept);
    const ResumeRules rules = {Switches.GivesCount, Settings.WaitMode, Settings.ThenAction,
                               Settings.AlarmAction};
    Plan = {};
    if (Keeper && Settings.ForgetCount == 0) Plan = PlanResume(kept, valid, WallClock(), rules);
}

void ResumeKeptCount()
{
    const ResumePlan plan = Plan;
    Plan = {};
    {
        // The count as start-up made it is what is kept already: a start that resumes nothing
        // writes nothing.
        CountLockGuard lock;
        KeepEffects();
    }
    RunCountOperation([&plan](uint32_t tick) { return ResumeCount(plan, tick); });
}

bool SaveWithKeptCount()
{
    TakeKeptBytes();
    return SaveSettings();
}

void KeepCountNow()
{
    KillTimer(MainWindow, KeepTimer);
    KeptTick = GetTickCount();
    KeptOnce = true;
    SaveWithKeptCount();
    ApplyRestartRequest();
}

void KeepCountSoon()
{
    ApplyRestartRequest();
    if (!Keeps()) return;
    const DWORD since = GetTickCount() - KeptTick;
    if (!KeptOnce || since >= 1000)
        KeepCountNow();
    else
        SetTimer(MainWindow, KeepTimer, 1000 - since, KeepWhenTheSecondIsOver);
}

void ForgetKeptCount()
{
    KillTimer(MainWindow, KeepTimer);
    {
        CountLockGuard lock;
        KeepingEnded = true;
        ClearKeptCount(Settings);
    }
    SaveSettings();
    ApplyRestartRequest();
}

void ApplyRestartRequest()
{
    bool running;
    {
        CountLockGuard lock;
        running = Count.Running != 0;
    }
    const bool wanted = running && Keeps();
    if (wanted == RestartAsked) return;
    BindRestartCalls();
    // An empty command line: the kept count is what comes back.
    if (wanted && RegisterRestartProc != nullptr)
        RestartAsked = SUCCEEDED(RegisterRestartProc(L"", RESTART_NO_CRASH | RESTART_NO_HANG));
    else if (!wanted && UnregisterRestartProc != nullptr)
    {
        UnregisterRestartProc();
        RestartAsked = false;
    }
}
