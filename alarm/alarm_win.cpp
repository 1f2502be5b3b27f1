#include <windows.h>

#include <shellapi.h>
#include <vfw.h>
#include <wincrypt.h>

#include "alarm/alarm.h"
#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "text/text.h"

std::atomic<HWND> SoundPlayerWindow{nullptr};
std::atomic<uint32_t> SoundEndPosition{0};
BOOL(WINAPI* ExitWindowsProc)(UINT, DWORD) = ExitWindowsEx;
BOOL(WINAPI* MessageBeepProc)(UINT) = MessageBeep;

namespace
{

void ListFolder(const char* search, NameList& names)
{
    WIN32_FIND_DATAA found;
    const HANDLE listing = FindFirstFileA(search, &found);
    if (listing == INVALID_HANDLE_VALUE) return;
    // A folder with more names than slots: the choice is made among the first ones.
    while (KeepName(names, found.cFileName) && FindNextFileA(listing, &found))
    {
    }
    FindClose(listing);
}

// A file that another program holds without sharing cannot be played either.
bool OpensForReading(const char* path)
{
    const HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

void PlaySoundFile(const char* path)
{
    if (IsWaveSound(path))
    {
        // Returns at once; a later call cuts a sound still playing.
        PlaySoundLate(path, nullptr, SND_FILENAME | SND_ASYNC);
        return;
    }
    StopSoundPlayer();
    // A hidden player: no parent, no visible style, and no error box when the file will
    // not open.
    const HWND player = SoundPlayerCreateLate(
        nullptr, Instance, MCIWNDF_NOERRORDLG | MCIWNDF_NOPLAYBAR | MCIWNDF_NOMENU, path);
    if (player == nullptr) return;
    // Wine gives a file that will not open a device id all the same, with an error.
    if (MCIWndGetDeviceID(player) == 0 || MCIWndGetError(player, nullptr, 0) != 0)
    {
        DestroyWindow(player);
        return;
    }
    const auto end = static_cast<uint32_t>(SendMessageA(player, MCIWNDM_GETEND, 0, 0));
    SendMessageA(player, MCI_PLAY, 0, 0);
    SoundEndPosition = end;
    SoundPlayerWindow = player;
}

void ShutDownWindows(UINT flags)
{
    HANDLE token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
    {
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    // Asked to end after the other programs.
    SetProcessShutdownParameters(0x100, 0);
    ExitWindowsProc(flags, 0);
}

// The provider's key container "MIVO" is opened, or made, once: opening it costs far more than
// the four bytes drawn from it.
HCRYPTPROV RandomProvider;
INIT_ONCE ProviderOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK OpenRandomProvider(PINIT_ONCE, PVOID, PVOID*)
{
    if (!CryptAcquireContextA(&RandomProvider, "MIVO", nullptr, PROV_RSA_FULL, 0) &&
        !CryptAcquireContextA(&RandomProvider, "MIVO", nullptr, PROV_RSA_FULL, CRYPT_NEWKEYSET))
        RandomProvider = 0;
    return TRUE;
}

} // namespace

void PrepareAlarmSound()
{
    char path[600];
    {
        CountLockGuard lock;
        CopyText(Settings.AlarmPath, path);
    }
    if (Settings.AlarmAction == 3) PickRandomSound(path);
    SetAlarmSoundPath(path);
}

void SetAlarmSoundPath(const char* path)
{
    CountLockGuard lock;
    CopyText(path, Settings.AlarmSoundPath);
}

void CopyAlarmSoundPath(char (&path)[600])
{
    CountLockGuard lock;
    CopyText(Settings.AlarmSoundPath, path);
}

void PerformAlarmAction(const char* path)
{
    const AlarmKind kind = AlarmKindOf(Settings.AlarmAction);
    switch (kind)
    {
    case AlarmBeep: MessageBeepProc(0); break;
    case AlarmPlay: PlaySoundFile(path); break;
    case AlarmRunFile:
        ShellExecuteLate(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWDEFAULT);
        break;
    case AlarmShutdown:
    case AlarmRestart: ShutDownWindows(ShutdownFlags(kind)); break;
    case AlarmNothing: break;
    }
}

HWND FinishedSoundPlayer()
{
    const HWND player = SoundPlayerWindow;
    if (player == nullptr) return nullptr;
    const uint32_t end = SoundEndPosition;
    if (static_cast<uint32_t>(SendMessageA(player, MCIWNDM_GETPOSITION, 0, 0)) == end)
        return player;
    // Wine's player goes back to position 0 when the sound ends, so its end is told by the
    // mode. A player that was closed meanwhile answers 0, which is no mode.
    return SendMessageA(player, MCIWNDM_GETMODEA, 0, 0) == MCI_MODE_STOP ? player : nullptr;
}

void StopSoundPlayer()
{
    const HWND player = SoundPlayerWindow.exchange(nullptr);
    SoundEndPosition = 0;
    if (player != nullptr) SendMessageA(player, WM_CLOSE, 0, 0);
}

void StopSoundPlayerIfCurrent(HWND player)
{
    if (player != nullptr && player == SoundPlayerWindow) StopSoundPlayer();
}

void PickRandomSound(char (&path)[600])
{
    PickRandomSoundWith(path, PickRandomFile, RandomNumber);
}

uint32_t PickRandomFile(char (&path)[600], const char* pattern)
{
    // Room for ten thousand names, for this call only.
    auto* names = static_cast<NameList*>(GlobalAlloc(GPTR, sizeof(NameList)));
    if (names == nullptr) return 0;
    const uint32_t count =
        PickRandomFileWith(path, pattern, *names, ListFolder, RandomNumber, OpensForReading);
    GlobalFree(names);
    return count;
}

uint32_t RandomNumber(uint32_t n)
{
    if (n <= 1) return 1;
    InitOnceExecuteOnce(&ProviderOnce, OpenRandomProvider, nullptr, nullptr);
    if (RandomProvider == 0) return FallbackRandom(GetTickCount(), n);
    uint32_t bytes = RandomState;
    CryptGenRandom(RandomProvider, sizeof bytes, reinterpret_cast<BYTE*>(&bytes));
    return MapProviderRandom(bytes, n);
}
