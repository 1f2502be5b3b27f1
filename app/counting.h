// The counting thread as decisions: one pass of its loop, the "and then" step after a finished
// count, and the time-up thread's answer to its window. Each runs under the count lock, reads
// the tick it is given, changes the shared state and returns a CountRequests saying what the
// shell must do after releasing the lock.
#pragma once

#include <cstdint>

// Repetitions made in the current alarm cycle.
extern uint32_t AlarmRepeats;
// 0 no flash; 1, 2, 1, 2 ... at every repetition; 1 paints the display inverted.
extern uint32_t FlashPhase;
// Passes the counting thread has made since it began; the figures and the tests read it.
extern uint32_t CountingPasses;

// Values private to the counting thread; the shell keeps one for the thread's life.
struct CountingThreadState
{
    uint32_t TitleElapsed;  // nominal ms since the minimised title was last set
    uint32_t AlarmLastTick; // tick of the alarm cycle's last pass, 0 = none yet
    uint32_t AlarmAccum;    // ms gathered towards the next repetition
};

// What the shell does after releasing the lock, in this order: PrepareAlarmSound when asked;
// post each of Posts to the main window as WM_COMMAND; the Effect* bits (app/count.h); start a
// time-up thread; the sound player checks; then sleep.
struct CountRequests
{
    uint32_t PrepareAlarmSound; // choose the alarm sound before the posts
    uint32_t PostCount;
    uint32_t Posts[4];          // command ids (CmdAlarmAction, CmdStartStop ...), in order
    uint32_t Effects;           // Effect* bits
    uint32_t StartTimeUpThread; // show the time-up window on a thread of its own
    uint32_t TimeUpAutoClose;   // that window closes itself after 3 s (an automatic repeat);
                                // hand it to the thread and back to TimeUpWindowClosed
    uint32_t CheckSoundPlayer;  // a player whose position equals SoundEndPosition: post
                                // CmdStopSound naming it (it has played to its end)
    uint32_t StopSoundPlayer;   // a player, if any: post CmdStopSound naming it
    uint32_t SleepMs;           // then sleep this long; 0 = do not sleep
    uint32_t WaitForWork;       // idle: instead of sleeping, wait until TakeCountingWake says
                                // a count operation left work
};

// The counting thread's start: no alarm cycle, fresh private values.
void BeginCounting(CountingThreadState& thread);

// One pass at `tick`: measures and shows the running count, detects the time-up and repeats
// or ends the count, drives the alarm cycle and the flashing.
CountRequests CountingPass(uint32_t tick, CountingThreadState& thread);

// Whether a counting thread that waits idle must be woken now: the count runs or an alarm
// cycle does since its idle pass. Call under the lock as it is released; true at most once per
// idle pass.
bool TakeCountingWake();

// The "and then" step after a finished count, by ThenAction: reverse, repeat or the next
// preset, then CmdStartStop is posted; Stop does nothing.
void ApplyThenAction(CountRequests& requests);

// How a time-up window closed: the prompt's own results.
enum : uint32_t
{
    TimeUpWindowNotShown = 0, // it could not be created
    TimeUpWindowFirst = 1,    // "OK" or the auto-close
    TimeUpWindowSecond = 2,   // the second button or Esc
};

// The time-up thread's answer once its window closed with `result`; `fromRepeat` is
// TimeUpAutoClose of the pass that opened it. An answer repaints the whole window with erase
// and stops a sound player, if any; its posts only acknowledge or stop, except where the
// answer asks for the next count. A window never shown answers nothing: the time-up waits.
CountRequests TimeUpWindowClosed(uint32_t result, uint32_t fromRepeat);
