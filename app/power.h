// Sleep and the count: the computer is kept awake while a count can end, woken for its
// time-up, and a shutdown that a sleep made late asks first. The rules; app/power_win.cpp
// makes the calls.
#pragma once

#include <cstdint>

// What the program asks of Windows: nothing, that the computer not sleep, and that the display
// stay on too (ES_SYSTEM_REQUIRED, ES_DISPLAY_REQUIRED).
enum : uint32_t
{
    AwakeNothing = 0,
    AwakeSystem = 1,
    AwakeDisplay = 2,
};

// How long an unanswered time-up whose sound or flashing repeats keeps the computer awake.
constexpr uint32_t AwakeAfterTimeUp = 600000;

// The facts the request follows.
struct AwakeFacts
{
    uint32_t AllowSleep;  // the setting: 1 lets the computer sleep
    uint32_t Running;     // the count runs
    uint32_t CanEnd;      // it counts down or up to a time (not endlessly up)
    uint32_t TimeIsUp;    // a final time-up waits to be acknowledged
    uint32_t Repeating;   // its sound or flashing repeats (the alarm cycle runs)
    uint32_t SinceTimeUp; // ms since that time-up was due
    uint32_t FullScreen;
};

// AwakeSystem while a count that can end runs (with AwakeDisplay in full screen, where it must
// stay visible), and for AwakeAfterTimeUp after a time-up whose alarm repeats unanswered;
// AwakeNothing otherwise, and always when AllowSleep is set.
uint32_t AwakeWanted(const AwakeFacts& facts);

// The wake timer: armed for the running count's end, the tick its time-up is due (the first
// past the target), while the count can end and the setting keeps the computer awake.
struct WakeTimerPlan
{
    uint32_t Armed;
    uint32_t DueTick;
};

// What the program asks of Windows now, as the last call of PowerEffects took it: the window's
// thread makes the calls from these. Read and written under the count lock.
extern uint32_t AwakeShown;
extern WakeTimerPlan WakeTimerShown;

// EffectPower (app/count.h) when the request or the wake timer wanted at `tick` differ from
// what was last shown; they then become the shown ones. Call under the count lock after every
// count operation and counting pass, and after a change of the setting or of full screen.
uint32_t PowerEffects(uint32_t tick);

// Milliseconds from `tick` until the keeping awake after an unanswered time-up ends, or
// 0xFFFFFFFF when it does not hold now: the counting thread looks again then.
uint32_t UntilAwakeEnds(uint32_t tick);

// A time-up found this long after its due tick came after a sleep (or a stall as long).
constexpr uint32_t LateAfterSleep = 60000;

// What a time-up found `late` ms after its due tick does with action `action` (AlarmAction):
// a shutdown or restart that late asks first, in the time-up window; everything else goes
// ahead as always.
enum : uint32_t
{
    LateGoesAhead = 0,
    LateAsksFirst = 1,
};
uint32_t LateTimeUpAnswer(uint32_t late, uint32_t action);
