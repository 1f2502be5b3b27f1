// The command-line switches: g (start at launch), b (count down), f (count up), /s= /m= /h= /d=
// (the set time) and /a= (lock the time-up text).
#pragma once

#include <cstdint>

struct CountState;
struct SettingsRecord;

// Start-up switches, valid for this run only.
struct StartSwitches
{
    uint32_t StartAtLaunch;  // g: post a start once the message loop runs
    uint32_t LockTimeUpText; // /a=: the time-up text may not be edited
    uint32_t GivesCount;     // a time (/s= /m= /h= /d=, not 0) or g, b or f: a kept count goes
};

extern StartSwitches Switches;

// Reads every argument of `commandLine` (argument 0 is the program path) into the switches,
// the direction and set time of `settings`, and the target time and paused count of `count`.
// Parsing stops at the first argument that is missing, empty or unbalanced.
void ApplyCommandLine(const char* commandLine, SettingsRecord& settings, CountState& count,
                      StartSwitches& switches);
