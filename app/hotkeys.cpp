#include "app/hotkeys.h"

#include "app/commands.h"

namespace
{

constexpr uint32_t KeyTab = 0x09;
constexpr uint32_t KeyEscape = 0x1B;
constexpr uint32_t KeySpace = 0x20;
constexpr uint32_t KeyF1 = 0x70;
constexpr uint32_t KeyF4 = 0x73;
constexpr uint32_t KeyF11 = 0x7A;
constexpr uint32_t KeyF12 = 0x7B;
constexpr uint32_t KeyF13 = 0x7C;
constexpr uint32_t KeyF24 = 0x87;

// The combinations Windows keeps for itself, by their modifiers (the extended-key flag aside).
struct SystemKey
{
    uint32_t VirtualKey;
    uint32_t Flags;
};
constexpr SystemKey SystemKeys[] = {
    {KeyF4, HotKeyAlt},
    {KeyTab, HotKeyAlt},
    {KeySpace, HotKeyAlt},
    {KeyEscape, HotKeyControl},
};

struct Action
{
    const char* Name;
    uint32_t Command;
};
constexpr Action Actions[HotKeyCount] = {
    {"Start/Stop", CmdStartStop}, {"Reset", CmdReset},      {"QuickSet", CmdQuickSet},
    {"Show/Hide", CmdShowHide},   {"Add Time", CmdAddTime},
};

} // namespace

uint32_t HotKeyModifiers(uint32_t word, bool noRepeat)
{
    const uint32_t flags = HotKeyFlags(word);
    uint32_t modifiers = noRepeat ? ModNoRepeat : 0;
    if ((flags & HotKeyAlt) != 0) modifiers |= ModAlt;
    if ((flags & HotKeyControl) != 0) modifiers |= ModControl;
    if ((flags & HotKeyShift) != 0) modifiers |= ModShift;
    return modifiers;
}

uint32_t JudgeHotKey(uint32_t word)
{
    if (word == 0) return HotKeyNone;
    const uint32_t key = HotKeyVirtualKey(word);
    const uint32_t flags = HotKeyFlags(word);
    if (word > 0xFFFF || key == 0 ||
        (flags & ~(HotKeyShift | HotKeyControl | HotKeyAlt | HotKeyExtended)) != 0)
        return HotKeyNotAKey;
    const uint32_t modifiers = flags & ~HotKeyExtended;
    for (const SystemKey& kept : SystemKeys)
        if (key == kept.VirtualKey && modifiers == kept.Flags) return HotKeyKeptBySystem;
    if ((modifiers & (HotKeyControl | HotKeyAlt)) != 0) return HotKeyAllowed;
    if (key == KeyF12 && modifiers == 0) return HotKeyForDebuggers;
    const bool functionKey = (key >= KeyF1 && key <= KeyF11) || (key >= KeyF13 && key <= KeyF24);
    return functionKey ? HotKeyAllowed : HotKeyNeedsModifier;
}

const char* HotKeyRefusal(uint32_t verdict)
{
    switch (verdict)
    {
    case HotKeyNotAKey: return "Not a key";
    case HotKeyNeedsModifier: return "Needs Ctrl or Alt, or a function key";
    case HotKeyForDebuggers: return "F12 alone is kept for debuggers";
    case HotKeyKeptBySystem: return "Kept by Windows";
    default: return "";
    }
}

const char* HotKeyActionName(uint32_t action)
{
    return action < HotKeyCount ? Actions[action].Name : "";
}

bool SameHotKey(uint32_t a, uint32_t b)
{
    const uint32_t extended = HotKeyWord(0, HotKeyExtended);
    return (a & ~extended) == (b & ~extended);
}

uint32_t HotKeyHolder(const uint32_t (&words)[HotKeyCount], uint32_t action)
{
    if (action >= HotKeyCount || JudgeHotKey(words[action]) != HotKeyAllowed) return HotKeyCount;
    for (uint32_t other = 0; other < HotKeyCount; ++other)
        if (other != action && SameHotKey(words[other], words[action])) return other;
    return HotKeyCount;
}

TakenHotKey TakeStoredHotKey(const uint32_t (&stored)[HotKeyCount], uint32_t action)
{
    TakenHotKey taken = {0, HotKeyNone, HotKeyCount};
    if (action >= HotKeyCount) return taken;
    const uint32_t word = stored[action];
    taken.Verdict = JudgeHotKey(word);
    if (taken.Verdict != HotKeyAllowed) return taken;
    for (uint32_t earlier = 0; earlier < action; ++earlier)
        if (JudgeHotKey(stored[earlier]) == HotKeyAllowed && SameHotKey(stored[earlier], word))
        {
            taken.Holder = earlier;
            return taken;
        }
    taken.Word = word;
    return taken;
}

uint32_t HotKeyCommand(uint32_t id)
{
    if (id < HotKeyIdBase || id >= HotKeyIdBase + HotKeyCount) return 0;
    return Actions[id - HotKeyIdBase].Command;
}
