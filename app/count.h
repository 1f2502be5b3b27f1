// The count: its state and the arithmetic that starts, stops and reloads it. Times are
// unsigned 32-bit milliseconds and all arithmetic on them wraps modulo 2^32.
//
// Nothing here locks. The count state, DisplayText and the settings fields these routines
// write are shared with the counting thread, so the shell holds its one count lock around each
// call (and reads the tick inside it). Each operation changes the state and returns what the
// main window must be told, as Effect* bits; the shell acts on them after releasing the lock.
#pragma once

#include <cstdint>

struct CountState
{
    uint32_t Running;   // 1 while the count runs
    uint32_t TimeIsUp;  // a final time-up happened and has not been acknowledged
    uint32_t StartTick; // running: tick at which the measured time was 0; stopped: the paused count
    uint32_t CountOffset; // added to the measured time
    uint32_t TargetTime;  // the set time of the current run
    // Moves on at every start, stop, acknowledgement and time-up (1 .. 2^30 - 1, never 0): an
    // answer that names the serial of its time-up acts only while nothing has happened since.
    uint32_t Serial;
    uint32_t InStretch;  // 1 while the count is in its last stretch, as last taken
    uint32_t TimeUpAsks; // the time-up waiting asks before a shutdown or restart
};

// The count state shared by the GUI thread and the counting thread.
extern CountState Count;

// What the main window must be told once the lock is released. Suggested order: the sound
// player, the labels, the title, the button row, the repaints, minimising, the system menu.

// Start button (1001) label: UI string 0 ("Start") or UI string 1 ("Stop").
constexpr uint32_t EffectStartLabel = 1u << 0;
constexpr uint32_t EffectStopLabel = 1u << 1;
// ApplyButtonVisibility.
constexpr uint32_t EffectButtonVisibility = 1u << 2;
// The sound player window, if there is one: WM_CLOSE, then it and SoundEndPosition are 0.
constexpr uint32_t EffectCloseSoundPlayer = 1u << 3;
// Main window title = DisplayText (while the window is minimised).
constexpr uint32_t EffectTitle = 1u << 4;
// Direction button (1007) label: UI string 16 ("Up") or UI string 17 ("Down").
constexpr uint32_t EffectDirectionUp = 1u << 5;
constexpr uint32_t EffectDirectionDown = 1u << 6;
// InvalidateRect: the whole client area without erase, with erase, or TimeBand without erase.
constexpr uint32_t EffectInvalidate = 1u << 7;
constexpr uint32_t EffectInvalidateErase = 1u << 8;
constexpr uint32_t EffectInvalidateTimeBand = 1u << 9;
// ShowWindow(main window, SW_MINIMIZE) (AutoMinimise).
constexpr uint32_t EffectMinimise = 1u << 10;
// RebuildSystemMenu (its Start/Stop entry follows Running).
constexpr uint32_t EffectSystemMenu = 1u << 11;
// The taskbar button's progress bar (ProgressShown, display/outside.h).
constexpr uint32_t EffectProgress = 1u << 12;
// A value-change event for screen readers: the count has changed at whole-minute resolution,
// or it has started, stopped or timed up.
constexpr uint32_t EffectAnnounce = 1u << 13;
// What the program asks of Windows about sleep has changed (AwakeShown and WakeTimerShown,
// app/power.h).
constexpr uint32_t EffectPower = 1u << 14;
// A start, stop or acknowledgement has overtaken every time-up before it: their windows close
// without an answer (a question before a shutdown stays until it is answered). A later time-up
// alone closes none: an automatic repeat's window closes by itself.
constexpr uint32_t EffectCloseTimeUpWindows = 1u << 15;
// For the counting rules, under the same lock (TakeCountEffects, app/counting.h): the running
// count's text and title are due at once; the alarm cycle and its flashing end.
constexpr uint32_t EffectShowNow = 1u << 16;
constexpr uint32_t EffectEndAlarmCycle = 1u << 17;
// The last stretch began or ended: the count is drawn in its colour or no longer, screen readers
// hear it, and a warning balloon in the tray comes down.
constexpr uint32_t EffectStretch = 1u << 18;
// The crossing into the last stretch while the count ran: the taskbar button flashes, a balloon
// says what is left in the tray, and, unless Mute or WarnQuiet, a short sound.
constexpr uint32_t EffectWarn = 1u << 19;
constexpr uint32_t EffectWarnSound = 1u << 20;
// What the kept count depends on has changed: keep it again (app/keep.h, KeepEffects).
constexpr uint32_t EffectKeep = 1u << 21;

// The longest count, 4,294,967 s: no target passes it.
constexpr uint32_t LongestCount = 4294967000u;
// A count this short or shorter ends for good instead of repeating on its own.
constexpr uint32_t ShortestRepeat = 2000;

// Days, hours, minutes and seconds normalised, then clamped to 3 .. 4 294 967 seconds;
// the milliseconds are added after the clamp.
uint32_t ConvertToMilliseconds(uint32_t days, uint32_t hours, uint32_t minutes, uint32_t seconds,
                               uint32_t milliseconds);

// The time a selection stands for: 0, 1 and 2 pick a preset, any other value is a time in ms.
uint32_t ResolveSelection(uint32_t selection);

// Whether the count can end: it counts down, or up to a set time (not endlessly up).
bool CountCanEnd();

// The elapsed count E at `tick` (running) or the paused one (stopped).
uint32_t ElapsedCount(uint32_t tick);
// What is left at `tick` until the target: 0 once it has passed.
uint32_t TimeLeft(uint32_t tick);
// The value the display stands for: TargetTime - E counting down (0 once E has passed the
// target, before the counting thread has noticed), E counting up.
uint32_t ShownValue(uint32_t tick);
// The same for an elapsed count already measured.
uint32_t ShownFrom(uint32_t elapsed);

// The serial after `serial`: 0 is never one, and every serial fits in 30 bits (a time-up
// thread's parameter carries one with two flags).
uint32_t NextCountSerial(uint32_t serial);

// The last stretch: a count that can end, not timed up, whose time left at `elapsed` has
// fallen to WarnBefore or below, and whose whole length (its set time, or its end when time
// was added) is longer than that. A stopped count inside it stays inside it.
bool InLastStretch(uint32_t elapsed);
// Milliseconds from `elapsed` until the count enters its last stretch: 0 inside it, 0xFFFFFFFF
// when it never will (no warning, an endless count-up, a count no longer than the warning).
uint32_t UntilLastStretch(uint32_t elapsed);
// Takes the stretch at `tick` into Count.InStretch: EffectStretch when it began or ended, and
// when a running count crossed into it by counting (`crossing`: a counting pass that found no
// time-up) EffectWarn, with EffectWarnSound unless Mute or WarnQuiet. Every count operation
// and counting pass ends with it: an operation that puts the count inside (Reverse, Sync, a
// preset) shows the colour at once, without a sound.
uint32_t StretchEffects(uint32_t tick, bool crossing);

// What Add Time adds: AddStep, a minute for 0.
uint32_t AddTimeStep();

// UI string of the direction button: 16 ("Up") or 17 ("Down"). With RevRev clear it names the
// direction a press will give, with RevRev set the current one.
uint32_t DirectionLabel();
// EffectDirectionUp or EffectDirectionDown by the same rule.
uint32_t DirectionLabelEffect();

// TargetTime = SetTime = the time of `selection`; DisplayText shows it ("0" counting up). The
// count itself is not touched (a running count shows the new time at once: EffectShowNow).
// Pass SelectedTime to reload from the time selection, SetTime to reload the last set time.
uint32_t LoadSetTime(uint32_t selection);
// LoadSetTime, then the count starts over: a countdown from the full time (running or not), an
// endless count-up from the loaded time; a limited count-up only gets its new limit.
uint32_t LoadAndReset(uint32_t selection, uint32_t tick);
// Stopped count back to 0.
void ZeroCount();
// A new seconds or days mode: a stopped count shows the selected time again from its start
// (LoadSetTime(SelectedTime), ZeroCount); a running one shows its new format at once. With
// AutoFrequency the seconds mode brings its update frequency.
uint32_t ReloadStoppedCount();
uint32_t ChangeSecondsMode(uint32_t mode);
uint32_t ChangeDaysMode(uint32_t mode);
// The main window minimised, in the tray or normal (WindowState): a running count's title is
// due at once (EffectShowNow).
uint32_t ChangeWindowState(uint32_t state);

// CmdStartStop: stops a running count, else acknowledges a time-up, else starts. The choice
// is made here, under the caller's lock, so it always matches the state it acts on.
uint32_t StartStopCount(uint32_t tick);
// Each of these three does nothing (and returns 0) outside its own state.
uint32_t StartCount(uint32_t tick);
uint32_t StopCount(uint32_t tick);
uint32_t AcknowledgeTimeUp();
// The stopped count runs on from the elapsed count `elapsed` (a start without AutoReset's
// reload: a kept count resuming, a time-up given more time).
uint32_t RunCountFrom(uint32_t elapsed, uint32_t tick);

// The operation behind a count command that the worker threads post: CmdStartStop (the
// choice above); CmdAcknowledgeTimeUp, CmdStopCount and CmdStartCount do only their own step,
// and only while Count.Serial is still `serial` (0: whatever it is; a start always names one);
// CmdAddTime as AddTime. 0 for others.
uint32_t ApplyCountCommand(uint32_t command, uint32_t tick, uint32_t serial = 0);

// CmdAddTime, for a count that can end. Running or stopped, the end moves AddTimeStep() further
// away (the target, never past LongestCount; SetTime and the presets stay). At a final time-up
// (not one that asks before a shutdown) it answers it, as its window's "Add" button does: the
// same count again for the step, a countdown from the step, a count up to a time on from its
// end. `serial` names the time-up a window answers (0 from a key or the menu: whatever there
// is); a window's answer to anything else does nothing.
uint32_t AddTime(uint32_t tick, uint32_t serial);

// CmdReset: counting up back to 0 (running on when running); counting down LoadAndReset(SetTime).
uint32_t ResetCount(uint32_t tick);
// CmdReverse: the other direction, the shown value kept.
uint32_t ReverseCount(uint32_t tick);
// CmdSync: lines a running count up with the wall clock's minute, given the clock's seconds
// and milliseconds. A stopped count is left alone.
uint32_t SyncCount(uint32_t tick, uint32_t clockSeconds, uint32_t clockMilliseconds);
