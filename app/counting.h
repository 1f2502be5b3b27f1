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
// Passes the counting thread has made since it began, and how many ms after their due moments
// the latest time-up and the latest change of the shown text came; the figures and the tests
// read them.
extern uint32_t CountingPasses;
extern uint32_t TimeUpLateness;
extern uint32_t TextLateness;
// The latest time-up's due tick (the first tick past its target), and the tick the wait before
// the pass that found it was asked to end at: the two are equal when the thread woke for it.
extern uint32_t TimeUpDueTick;
extern uint32_t TimeUpWakeAsked;
// The tick the latest pass asked to be woken at (while it waits for a tick).
extern uint32_t CountingWakeTick;
// Time-up windows open that ask before a shutdown or restart (LateTimeUpClosed answers each),
// and the tick the latest of them was asked at.
extern uint32_t LateQuestionsOpen;
extern uint32_t LateAskedTick;
// A kept count whose end passed while the program was closed (app/keep.h): the wall-clock
// moment its time was up, and whether its time-up is still to come (the next pass finds it;
// it then asks before any action that asks when late). TimeUpClosedSerial is that time-up's
// serial, for its window's message.
extern uint64_t ClosedTimeUpAt;
extern uint32_t ClosedTimeUpPending;
extern uint32_t TimeUpClosedSerial;

// Values private to the counting thread; the shell keeps one for the thread's life.
struct CountingThreadState
{
    uint32_t TitleSet;      // 1 once the minimised title has been set
    uint32_t TitleTick;     // tick it was last set
    uint32_t ShownTick;     // tick of the last pass that showed the running count
    uint32_t AlarmLastTick; // tick of the alarm cycle's last pass, 0 = none yet
    uint32_t AlarmAccum;    // ms gathered towards the next repetition
};

// No screen shows more than about 60 pictures a second: the shown count changes at most once
// a frame.
constexpr uint32_t FrameMs = 16;
// The minimised title changes at most about ten times a second.
constexpr uint32_t TitleMs = 100;

// What NextDueDelay gives when nothing is due: the thread rests until woken.
constexpr uint32_t NothingDue = 0xFFFFFFFF;
// The longest wait asked for: below 2^31 ms, so that ticks 2^32 apart on the wrapping clock
// are always told apart by their signed difference. Longer waits are made of several.
constexpr uint32_t LongestWait = 0x7FFFFFFF;

// Milliseconds from `tick` until the next thing is due, given the count, the settings and the
// thread's values: the time-up (or the end of a repeat period), the next alarm repetition or
// flash step, and the next change of the shown text. The text changes at the next boundary of
// its last digit, but never sooner than a frame after it was last shown; with a frequency
// chosen by the user (AutoFrequency 0), at the first multiple of that frequency of the
// count's time from then on. A time-up or an alarm step is never held back by the display,
// and a change that alters what must show (ShowCountNow) makes the running count due at once.
// At most LongestWait, or NothingDue.
uint32_t NextDueDelay(uint32_t tick, const CountingThreadState& thread);

// A change to what the window or its minimised title must show (the window minimised or
// restored, a new time, a new seconds or days mode, Reset, Reverse, Sync, the options): the
// running count's text and title are due at once, through the same wake as any change. Call
// under the count lock.
void ShowCountNow();

// What a count operation's effects (app/count.h) ask of these rules, taken under the lock the
// operation ran under: EffectShowNow makes the running count due at once (ShowCountNow),
// EffectEndAlarmCycle ends the alarm cycle and its flashing. Returns the rest, for the window.
uint32_t TakeCountEffects(uint32_t effects);

// What the shell does after releasing the lock, in this order: PrepareAlarmSound when asked;
// post each of Posts to the main window as WM_COMMAND; the Effect* bits (app/count.h); start a
// time-up thread; the sound player checks; then sleep.
struct CountRequests
{
    uint32_t PrepareAlarmSound; // choose the alarm sound before the posts
    uint32_t PostCount;
    uint32_t Posts[4];          // command ids (CmdAlarmAction, CmdStartStop ...), in order
    uint32_t PostSerials[4];    // each one's lParam: the serial an answer names, else 0
    uint32_t Effects;           // Effect* bits
    uint32_t StartTimeUpThread; // show the time-up window on a thread of its own
    uint32_t TimeUpAutoClose;   // an automatic repeat's: that window closes itself after 3 s;
                                // hand it to the thread and back to TimeUpWindowClosed as
                                // `fromRepeat`
    uint32_t TimeUpSerial;      // the serial of the time-up it answers; hand it on the same way
    uint32_t TimeUpAsks;        // it asks before a shutdown or restart (LateTimeUpAnswer);
                                // LateTimeUpClosed answers it
    uint32_t CheckSoundPlayer;  // a player whose position equals SoundEndPosition: post
                                // CmdStopSound naming it (it has played to its end)
    uint32_t StopSoundPlayer;   // a player, if any: post CmdStopSound naming it
    uint32_t SleepMs;           // then wait this long (NextDueDelay), or less when woken
    uint32_t WakeTick;          // the tick that wait ends at
    uint32_t WaitForWork;       // nothing due: instead, wait until woken
};

// What is left at `now` of the wait a pass asked for, measured when the thread starts to wait
// (carrying the requests out takes time too): 0 once its tick has come, NothingDue when the
// pass asked to wait for work.
uint32_t WaitLeft(const CountRequests& requests, uint32_t now);

// The counting thread's start: no alarm cycle, fresh private values.
void BeginCounting(CountingThreadState& thread);

// One pass at `tick`: measures and shows the running count, detects the time-up and repeats
// or ends the count, drives the alarm cycle and the flashing.
CountRequests CountingPass(uint32_t tick, CountingThreadState& thread);

// Whether the waiting counting thread must be woken at `tick`: a change since its pass has
// made something due sooner than it waits for (a start, an alarm cycle, a shorter frequency,
// a closed chooser), or has left nothing due while it waits for a tick (a stop), so that it
// rests at once. Call under the lock as it is released; true at most once per pass.
bool TakeCountingWake(uint32_t tick);

// The "and then" step after a finished count, by ThenAction: reverse, repeat or the next
// preset, then `command` is posted naming `serial`; Stop does nothing. After a final time-up
// without a window that command acknowledges it, after a window's answer it starts the count.
void ApplyThenAction(CountRequests& requests, uint32_t command, uint32_t serial);

// How a time-up window closed: the prompt's own results.
enum : uint32_t
{
    TimeUpWindowNotShown = 0,  // it could not be created
    TimeUpWindowFirst = 1,     // "OK" or the auto-close
    TimeUpWindowSecond = 2,    // the second button or Esc
    TimeUpWindowThird = 3,     // "Add 1:00" (a final time-up's window)
    TimeUpWindowWithdrawn = 4, // closed because its time-up was overtaken: no answer
};

// The time-up thread's answer once its window closed with `result`; `fromRepeat` and `serial`
// are TimeUpAutoClose and TimeUpSerial of the pass that opened it. An answer repaints the whole
// window with erase and stops a sound player, if any; its posts only acknowledge or stop,
// except where the answer asks for the next count, and each names the serial it expects. A
// window never shown answers nothing: the time-up waits. Nor does an answer overtaken by a
// later time-up, acknowledgement, start or stop, nor a window closed for it (withdrawn): it
// changes nothing at all, and what overtook it has dealt with the sound.
CountRequests TimeUpWindowClosed(uint32_t result, uint32_t fromRepeat, uint32_t serial);

// The answer, at `tick`, of a time-up window that asked before a shutdown or restart
// (TimeUpAsks). Such a time-up ends its count whatever the "and then" step says: it waits at
// its end, stopped. "Shut Down Now" or "Restart Now" carries the action out, "Cancel" does not;
// either acknowledges the time-up unless something has overtaken it, and the count stays
// stopped, to be started again on purpose. A window never shown answers nothing: the time-up
// waits, and nothing shuts down. The question is no longer open either way.
CountRequests LateTimeUpClosed(uint32_t result, uint32_t serial, uint32_t tick);
