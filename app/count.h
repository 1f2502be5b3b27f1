// The count: its state and the arithmetic that starts, stops and reloads it. Times are
// unsigned 32-bit milliseconds and all arithmetic on them wraps modulo 2^32.
#pragma once

#include <cstdint>

struct CountState
{
    uint32_t Running;   // 1 while the count runs
    uint32_t TimeIsUp;  // a final time-up happened and has not been acknowledged
    uint32_t StartTick; // running: tick at which the measured time was 0; stopped: the paused count
    uint32_t CountOffset; // added to the measured time
    uint32_t TargetTime;  // the set time of the current run
};

// The count state shared by the GUI thread and the counting thread.
extern CountState Count;

// Days, hours, minutes and seconds normalised, then clamped to 3 .. 4 294 967 seconds;
// the milliseconds are added after the clamp.
uint32_t ConvertToMilliseconds(uint32_t days, uint32_t hours, uint32_t minutes, uint32_t seconds,
                               uint32_t milliseconds);
