#include <windows.h>

#include "app/app_win.h"
#include "app/hotkeys.h"
#include "data/settings.h"

BOOL(WINAPI* RegisterHotKeyProc)(HWND, int, UINT, UINT) = RegisterHotKey;

namespace
{

// Which stored keys are registered now, and which the latest registration tried and failed
// (another program holds them): the Keys page says so the next time it opens.
bool Registered[HotKeyCount];
bool Refused[HotKeyCount];

// Registers `word` as hotkey `id` of the main window: without repeats where Windows knows that
// (7 and later), else as Vista takes it.
bool RegisterWord(int id, uint32_t word)
{
    const UINT key = HotKeyVirtualKey(word);
    return RegisterHotKeyProc(MainWindow, id, HotKeyModifiers(word, true), key) ||
           RegisterHotKeyProc(MainWindow, id, HotKeyModifiers(word, false), key);
}

} // namespace

void RegisterProgramHotKeys()
{
    UnregisterProgramHotKeys();
    for (uint32_t action = 0; action < HotKeyCount; ++action)
    {
        // A damaged, refused or doubled stored key is none: nothing is registered for it.
        const uint32_t word = TakeStoredHotKey(Settings.HotKeys, action).Word;
        Registered[action] =
            word != 0 && RegisterWord(static_cast<int>(HotKeyIdBase + action), word);
        Refused[action] = word != 0 && !Registered[action];
    }
}

void UnregisterProgramHotKeys()
{
    for (uint32_t action = 0; action < HotKeyCount; ++action)
    {
        if (Registered[action])
            UnregisterHotKey(MainWindow, static_cast<int>(HotKeyIdBase + action));
        Registered[action] = false;
    }
}

bool HotKeyRegistered(uint32_t action)
{
    return action < HotKeyCount && Registered[action];
}

bool HotKeyRefused(uint32_t action)
{
    return action < HotKeyCount && Refused[action];
}

bool HotKeyFree(uint32_t word)
{
    if (!RegisterWord(static_cast<int>(HotKeySpareId), word)) return false;
    UnregisterHotKey(MainWindow, static_cast<int>(HotKeySpareId));
    return true;
}
