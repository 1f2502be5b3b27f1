// The rules of the time-up actions that need no window: which way a sound is played, which
// actions a value stands for, the random numbers and the random choice of a sound file. The
// choice loops take their file system and random source as arguments, so the shell runs them
// on the real folder and the tests on fakes.
#pragma once

#include <cstdint>

#include "text/text.h"

// Paths and names are 600-byte texts.
constexpr uint32_t AlarmPathSize = 600;

// What PerformAlarmAction does for a value of AlarmAction.
enum AlarmKind : uint32_t
{
    AlarmNothing,  // 0, and every value outside the list: a damaged file must never shut down
    AlarmBeep,     // 1
    AlarmPlay,     // 2 and 3: the random file was put into the path beforehand
    AlarmRunFile,  // 4
    AlarmShutdown, // 5: shut down and power off
    AlarmRestart,  // 6
};
AlarmKind AlarmKindOf(uint32_t alarmAction);

// ExitWindowsEx flags of a shutdown kind; 0 for every other kind.
constexpr uint32_t ExitPowerOff = 0x8; // EWX_POWEROFF: shuts down and turns the power off
constexpr uint32_t ExitReboot = 0x2;   // EWX_REBOOT
uint32_t ShutdownFlags(AlarmKind kind);

// A path whose extension (from the last "." of the whole path) is ".wav" in any letter case
// plays through the system sound player; every other path through a media-control window.
bool IsWaveSound(const char* path);

// The random patterns, in the order of the draw 1..4.
constexpr uint32_t SoundPatternCount = 4;
extern const char* const SoundPatterns[SoundPatternCount]; // "\*.mid", "\*.mp3", "\*.wma", "\*.wav"

// The pattern for draw r (1..4) given the patterns tried so far (bit i = pattern i tried):
// r names its pattern while that is untried; every other case gives "\*.wav". Marks it tried.
uint32_t ChooseSoundPattern(uint32_t r, uint32_t& tried);
constexpr uint32_t AllPatternsTried = (1u << SoundPatternCount) - 1;

// Random numbers 1..n. RandomState lives for the whole run.
extern uint32_t RandomState;
// From 4 random bytes of the system's provider: (bytes mod n) + 1, kept in RandomState.
uint32_t MapProviderRandom(uint32_t bytes, uint32_t n);
// The weak generator for a system without a provider: advances RandomState from the tick and
// maps it onto 1..n (never 0).
uint32_t FallbackRandom(uint32_t tick, uint32_t n);

// The names of one folder listing: up to NameListSlots names of 600 bytes. Names beyond the
// last slot are not kept; the choice is made among the kept ones.
constexpr uint32_t NameListSlots = 10000;
struct NameList
{
    uint32_t Count;
    char Names[NameListSlots][AlarmPathSize];
};
// Keeps `name` in the next slot; false when the list is full (the name is not kept).
bool KeepName(NameList& list, const char* name);

// Up to three attempts: list the folder, choose a name at random, and keep the first chosen
// file that can be opened. `path` holds the folder on entry and, on success, the chosen file's
// full path. Returns the number of names of the successful attempt, 0 on failure.
//   list(searchText, NameList&) fills the list from a listing of folder + pattern;
//   random(n) gives 1..n;  canOpen(fullPath) tells whether the file opens.
template <typename List, typename Random, typename CanOpen>
uint32_t PickRandomFileWith(char (&path)[AlarmPathSize], const char* pattern, NameList& names,
                            List list, Random random, CanOpen canOpen)
{
    char search[AlarmPathSize];
    CopyText(path, search);
    AppendText(search, pattern);
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        names.Count = 0;
        list(search, names);
        if (names.Count == 0) continue;
        uint32_t slot = random(names.Count) - 1;
        if (slot >= names.Count) slot = names.Count - 1; // a broken source must not overrun
        char full[AlarmPathSize];
        CopyText(path, full);
        AppendText(full, "\\");
        AppendText(full, names.Names[slot]);
        if (!canOpen(full)) continue;
        CopyText(full, path);
        return names.Count;
    }
    return 0;
}

// Draws patterns until a file is found or each of the four has been tried; "\*.wav" may be
// tried more than once. On failure `path` keeps the folder. An empty path names no folder (it
// would list the root of the current drive): nothing is drawn and it stays empty.
//   pickFile(workPath, pattern) is PickRandomFile; random(n) gives 1..n.
// A source that keeps drawing tried patterns would hold the alarm for ever: after
// SoundDrawLimit draws the untried patterns follow in order.
constexpr uint32_t SoundDrawLimit = 64;
template <typename PickFile, typename Random>
void PickRandomSoundWith(char (&path)[AlarmPathSize], PickFile pickFile, Random random)
{
    if (path[0] == 0) return;
    uint32_t tried = 0;
    char work[AlarmPathSize];
    for (uint32_t draw = 0; tried != AllPatternsTried; ++draw)
    {
        CopyText(path, work);
        // Past the limit the draw is the first untried pattern's number.
        uint32_t r = 1;
        if (draw < SoundDrawLimit)
            r = random(4);
        else
            while ((tried & (1u << (r - 1))) != 0)
                ++r;
        const uint32_t pattern = ChooseSoundPattern(r, tried);
        if (pickFile(work, SoundPatterns[pattern]) != 0)
        {
            CopyText(work, path);
            return;
        }
    }
}
