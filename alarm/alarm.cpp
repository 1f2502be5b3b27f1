#include "alarm/alarm.h"

const char* const SoundPatterns[SoundPatternCount] = {"\\*.mid", "\\*.mp3", "\\*.wma", "\\*.wav"};

uint32_t RandomState;

AlarmKind AlarmKindOf(uint32_t alarmAction)
{
    switch (alarmAction)
    {
    case 1: return AlarmBeep;
    case 2:
    case 3: return AlarmPlay;
    case 4: return AlarmRunFile;
    case 5: return AlarmShutdown;
    case 6: return AlarmRestart;
    default: return AlarmNothing;
    }
}

uint32_t ShutdownFlags(AlarmKind kind)
{
    if (kind == AlarmShutdown) return ExitPowerOff;
    if (kind == AlarmRestart) return ExitReboot;
    return 0;
}

bool IsWaveSound(const char* path)
{
    // The extension runs from the last "." to the end; a path without one is its own
    // extension. It is padded to three characters, which no ".wav" test can match anyway.
    const char* extension = path;
    for (const char* p = path; *p != 0; ++p)
        if (*p == '.') extension = p;
    char lower[AlarmPathSize];
    CopyText(extension, lower);
    LowerText(lower);
    return SameText(lower, ".wav");
}

uint32_t ChooseSoundPattern(uint32_t r, uint32_t& tried)
{
    uint32_t pattern = SoundPatternCount - 1; // "\*.wav"
    if (r >= 1 && r <= 3 && (tried & (1u << (r - 1))) == 0) pattern = r - 1;
    tried |= 1u << pattern;
    return pattern;
}

uint32_t MapProviderRandom(uint32_t bytes, uint32_t n)
{
    if (n <= 1) return 1;
    RandomState = bytes % n + 1;
    return RandomState;
}

uint32_t FallbackRandom(uint32_t tick, uint32_t n)
{
    if (n <= 1) return 1;
    if (RandomState != 0)
        RandomState = ((RandomState * RandomState) & 0xFFFF) / 2 + (tick & 0xFF);
    else
        RandomState = (tick * tick) & 0xFFFF;
    // The state is at most 16 bits, so the product cannot wrap for any n below 65536; above
    // that the shift alone still gives a spread value. The remainder keeps it within 1..n.
    return ((RandomState * n) >> 12) % n + 1;
}

bool KeepName(NameList& list, const char* name)
{
    if (list.Count >= NameListSlots) return false;
    CopyText(name, list.Names[list.Count]);
    ++list.Count;
    return true;
}
