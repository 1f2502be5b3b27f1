// Keys from anywhere: a global hotkey the user chooses for each of five actions, none by
// default. The rules: what a stored key is, which keys are refused, the modifier flags
// RegisterHotKey takes, and which command a hotkey posts. app/hotkeys_win.cpp registers them.
#pragma once

#include <cstdint>

// The actions, in the order of their words in the settings record and of the Keys page.
enum : uint32_t
{
    HotKeyStartStop,
    HotKeyReset,
    HotKeyQuickSet,
    HotKeyShowHide,
    HotKeyAddTime,
    HotKeyCount,
};

// A stored key is what the hotkey control gives: the virtual key in the low byte, its HOTKEYF_*
// flags in the next; 0 is none.
constexpr uint32_t HotKeyShift = 0x01;    // HOTKEYF_SHIFT
constexpr uint32_t HotKeyControl = 0x02;  // HOTKEYF_CONTROL
constexpr uint32_t HotKeyAlt = 0x04;      // HOTKEYF_ALT
constexpr uint32_t HotKeyExtended = 0x08; // HOTKEYF_EXT
constexpr uint32_t HotKeyWord(uint32_t virtualKey, uint32_t flags)
{
    return (flags & 0xFF) << 8 | (virtualKey & 0xFF);
}
constexpr uint32_t HotKeyVirtualKey(uint32_t word)
{
    return word & 0xFF;
}
constexpr uint32_t HotKeyFlags(uint32_t word)
{
    return word >> 8 & 0xFF;
}

// What RegisterHotKey takes (MOD_*), whose bits differ from the control's: Shift is 4 there.
constexpr uint32_t ModAlt = 0x0001;
constexpr uint32_t ModControl = 0x0002;
constexpr uint32_t ModShift = 0x0004;
constexpr uint32_t ModNoRepeat = 0x4000; // Windows 7 and later: a held key posts once
uint32_t HotKeyModifiers(uint32_t word, bool noRepeat);

// Whether a key may be used, and if not, why.
enum : uint32_t
{
    HotKeyAllowed,
    HotKeyNone,          // 0: no key
    HotKeyNotAKey,       // a word the control never gives (a damaged settings file)
    HotKeyNeedsModifier, // without Ctrl or Alt, only F1 to F11 and F13 to F24
    HotKeyForDebuggers,  // F12 alone
    HotKeyKeptBySystem,  // Alt+F4, Alt+Tab, Alt+Space, Ctrl+Esc
};
uint32_t JudgeHotKey(uint32_t word);
// The status line's words for a key refused so (empty for HotKeyAllowed and HotKeyNone).
const char* HotKeyRefusal(uint32_t verdict);

// The action's name on the Keys page and in "Already used for ...".
const char* HotKeyActionName(uint32_t action);

// Whether two words are one key to RegisterHotKey: the same key and modifiers, the
// extended-key flag aside (Ctrl+Enter and Ctrl+keypad Enter, Ctrl+Home and Ctrl+Num 7).
bool SameHotKey(uint32_t a, uint32_t b);

// Another action of `words` that has the key of `action`, else HotKeyCount.
uint32_t HotKeyHolder(const uint32_t (&words)[HotKeyCount], uint32_t action);

// A stored key as the program takes it: the word itself when it can work, else none (0) with
// the reason. A word that is no key or is refused (Verdict), and the key of an earlier action
// (Holder, else HotKeyCount), are none: they are neither registered nor shown as keys.
struct TakenHotKey
{
    uint32_t Word;
    uint32_t Verdict; // JudgeHotKey of the stored word
    uint32_t Holder;  // the earlier action that has the same key
};
TakenHotKey TakeStoredHotKey(const uint32_t (&stored)[HotKeyCount], uint32_t action);

// The program's hotkey ids: HotKeyIdBase + action; HotKeySpareId only while a key is tried.
constexpr uint32_t HotKeyIdBase = 0x4D10;
constexpr uint32_t HotKeySpareId = HotKeyIdBase + HotKeyCount;
// The command hotkey `id` posts (CmdStartStop ...), 0 for an id not the program's.
uint32_t HotKeyCommand(uint32_t id);
