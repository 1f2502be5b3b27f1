// Sleep and the count: the computer is kept awake while a count can end, woken shortly before
// its time-up, and a shutdown that a sleep made late asks first. The rules; app/power_win.cpp
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

// How long an unanswered time-up whose sound or flashing repeats, or an unanswered question
// about a late shutdown, keeps the computer awake.
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
    uint32_t Asking;     // a question about a late shutdown or restart waits for its answer
    uint32_t SinceAsked; // ms since the latest such question was asked
};

// AwakeSystem while a count that can end runs (with AwakeDisplay in full screen, where it must
// stay visible), and for AwakeAfterTimeUp after a time-up whose alarm repeats unanswered or a
// late question was asked (nobody may be there to answer: the computer is let go in the end);
// AwakeNothing otherwise, and always when AllowSleep is set.
uint32_t AwakeWanted(const AwakeFacts& facts);

// The wake timer is due this long before the count's end: a computer that takes a minute or
// more to resume from hibernation is awake, and kept awake, before the time-up, so the action
// asked for happens on time rather than late.
constexpr uint32_t WakeLead = 120000;

// The wake timer: armed for the running count's end while the count can end and the setting
// keeps the computer awake. The time left is carried in 64 bits: the longest count is only
// 296 ms short of 2^32 ms, and a 32-bit due tick cannot tell 40 days ahead from a moment past.
struct WakeTimerPlan
{
    uint32_t Armed;   // 1 while there is an end to wake for
    uint32_t EndTick; // the first tick past the end, on the wrapping clock: which end it is
    uint32_t Tick;    // the tick Left was measured at
    uint64_t Left;    // ms from Tick to the end: TargetTime + 1 - elapsed, never 0 when armed
};

// Milliseconds from `now` until the wake timer of `plan` is due: WakeLead before the end, 0
// (at once) when less is left.
uint64_t WakeTimerDelay(const WakeTimerPlan& plan, uint32_t now);

// What the program asks of Windows now, as the last call of PowerEffects took it: the window's
// thread makes the calls from these. Read and written under the count lock.
extern uint32_t AwakeShown;
extern WakeTimerPlan WakeTimerShown;

// EffectPower (app/count.h) when the request or the wake timer wanted at `tick` differ from
// what was last shown; they then become the shown ones. Call under the count lock after every
// count operation and counting pass, and after a change of the setting or of full screen.
uint32_t PowerEffects(uint32_t tick);

// Milliseconds from `tick` until the keeping awake after an unanswered time-up or question
// ends, or 0xFFFFFFFF when neither holds now: the counting thread looks again then.
uint32_t UntilAwakeEnds(uint32_t tick);

// A time-up found this long after its due tick came after a sleep (or a stall as long).
constexpr uint32_t LateAfterSleep = 60000;

// What a time-up found `late` ms after its due tick does with action `action` (AlarmAction):
// an action that asks when late (ActionAsksWhenLate) asks first, in the time-up window, and so
// does one on time while such a question is still open (`questionsOpen`): the user who is being
// asked has not said yes to any of them. Everything else goes ahead as always.
enum : uint32_t
{
    LateGoesAhead = 0,
    LateAsksFirst = 1,
};
uint32_t LateTimeUpAnswer(uint32_t late, uint32_t action, uint32_t questionsOpen);
// The actions a late time-up asks before: a shutdown, a restart, and a file run (a program
// started an hour late surprises as much).
bool ActionAsksWhenLate(uint32_t action);
