#include "app/counting.h"

#include "app/appstate.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/keep.h"
#include "app/power.h"
#include "data/settings.h"
#include "display/outside.h"
#include "display/timetext.h"
#include "options/chooser.h"
#include "text/text.h"

uint32_t AlarmRepeats;
uint32_t FlashPhase;
uint32_t CountingPasses;
uint32_t TimeUpLateness;
uint32_t TextLateness;
uint32_t TimeUpDueTick;
uint32_t TimeUpWakeAsked;
uint32_t CountingWakeTick;
uint32_t LateQuestionsOpen;
uint32_t LateAskedTick;
uint64_t ClosedTimeUpAt;
uint32_t ClosedTimeUpPending;
uint32_t TimeUpClosedSerial;

namespace
{

// How the counting thread waits since its last pass, and until when: a stopped, quiet program
// costs nothing until a change gives the thread something due sooner.
enum : uint32_t
{
    Awake,
    WaitingForTick, // WaitingUntil
    WaitingForWork,
};
uint32_t Waiting;
uint32_t WaitingUntil;
CountingThreadState WaitingThread; // its values as that pass left them
// Something that must show has changed since the running count was last shown.
uint32_t ShowDue;

// One moment of a pass: its tick and the elapsed count then. Every rule of the pass reads the
// same moment; only a change the pass makes to the count itself takes a new one.
struct Moment
{
    uint32_t Tick;
    uint32_t Elapsed;
};

Moment MomentAt(uint32_t tick)
{
    return {tick, ElapsedCount(tick)};
}

// Milliseconds from `elapsed` to `due`, 0 when it has passed, at most LongestWait.
uint32_t Until(uint64_t elapsed, uint64_t due)
{
    if (due <= elapsed) return 0;
    const uint64_t wait = due - elapsed;
    return wait > LongestWait ? LongestWait : static_cast<uint32_t>(wait);
}

// The step of the shown count's last digit at `value`: a minute in "No Seconds" (under a
// minute the seconds show), else a second or its tenth, hundredth or thousandth.
uint32_t ShownStep(uint32_t value)
{
    switch (Settings.SecondsMode)
    {
    case 0: return value >= 60000 ? 60000 : 1000;
    case 2: return 100;
    case 3: return 10;
    case 4: return 1;
    default: return 1000;
    }
}

// Milliseconds from `tick` until the running count's text changes next; NothingDue for a
// countdown that shows 0 and waits for its time-up.
uint32_t UntilNextText(const Moment& now, const CountingThreadState& thread)
{
    // Texts are truncated: counting down, the next one comes one millisecond past the step.
    const uint32_t value = ShownFrom(now.Elapsed);
    const uint32_t step = ShownStep(value);
    uint32_t until;
    if (Settings.CountDirection != 0)
    {
        if (value == 0) return NothingDue;
        until = value % step + 1;
    }
    else
        until = step - value % step;
    const uint32_t sinceShown = now.Tick - thread.ShownTick;
    if (sinceShown < FrameMs && until < FrameMs - sinceShown) until = FrameMs - sinceShown;
    if (Settings.AutoFrequency == 0)
    {
        // The user's frequency on the count's own time: the first multiple of it from then on.
        // Kept to 32-bit division, which the processor does itself.
        const uint32_t frequency = Settings.UpdateFrequency != 0 ? Settings.UpdateFrequency : 1;
        const uint32_t past = now.Elapsed % frequency;
        const uint32_t toMultiple = past == 0 ? 0 : frequency - past;
        uint64_t wait = toMultiple;
        if (toMultiple < until)
            wait += uint64_t{(until - toMultiple - 1) / frequency + 1} * frequency;
        return Until(0, wait);
    }
    return until;
}

// Milliseconds since the shown text last changed by itself (its last digit's boundary).
uint32_t SinceLastStep(uint32_t value)
{
    const uint32_t step = ShownStep(value);
    return Settings.CountDirection != 0 ? step - 1 - value % step : value % step;
}

uint32_t Sooner(uint32_t a, uint32_t b)
{
    return a < b ? a : b;
}

void Post(CountRequests& requests, uint32_t command, uint32_t serial = 0)
{
    if (requests.PostCount >= sizeof requests.Posts / sizeof requests.Posts[0]) return;
    requests.PostSerials[requests.PostCount] = serial;
    requests.Posts[requests.PostCount++] = command;
}

// Mute silences the sound actions only; running a file or shutting down still happens.
void PostAlarmAction(CountRequests& requests)
{
    if (Settings.Mute != 0 && Settings.AlarmAction <= 3) return;
    Post(requests, CmdAlarmAction);
}

bool ThenActionGoesOn()
{
    return Settings.ThenAction >= 1 && Settings.ThenAction <= 3;
}

// Steps 1 to 3 of the "and then" step: the next set time, without starting it.
uint32_t ChangeForThenAction()
{
    switch (Settings.ThenAction)
    {
    case 1:
        Settings.CountDirection = Settings.CountDirection == 0 ? 1 : 0;
        return TakeCountEffects(DirectionLabelEffect() | LoadSetTime(Settings.SelectedTime));
    case 2: return TakeCountEffects(LoadSetTime(Settings.SetTime));
    case 3:
        Settings.SelectedTime = Settings.SelectedTime + 1;
        if (Settings.SelectedTime > 2) Settings.SelectedTime = 0;
        return TakeCountEffects(LoadSetTime(Settings.SelectedTime));
    default: return 0;
    }
}

// A pass that finds more than the new period gone as well (the machine slept, the thread
// stalled) has fired once for all of them: the count goes on with the period current now, on
// the same grid, and in the direction as many Reverses would have left it.
uint32_t SkipMissedPeriods(uint32_t tick)
{
    const uint32_t elapsed = ElapsedCount(tick); // the period just changed: a new moment
    if (Count.TargetTime == 0 || elapsed <= Count.TargetTime) return 0;
    const uint32_t skipped = elapsed / Count.TargetTime;
    Count.StartTick += skipped * Count.TargetTime;
    if (Settings.ThenAction != 1 || skipped % 2 == 0) return 0;
    Settings.CountDirection = Settings.CountDirection == 0 ? 1 : 0;
    return DirectionLabelEffect();
}

void TimeUp(uint32_t tick, CountRequests& requests, CountingThreadState& thread)
{
    // The next period starts exactly where this one ended, so repeats do not drift however
    // late the pass came.
    Count.StartTick += Count.TargetTime;
    // Every answer to an earlier time-up is overtaken by this one.
    Count.Serial = NextCountSerial(Count.Serial);
    requests.TimeUpSerial = Count.Serial;

    // A shutdown or restart that a sleep made late, or that comes while such a question is
    // open, asks first, in a window that waits; its count waits at its end meanwhile, so no
    // later period can shut down behind the question's back. A time that was up while the
    // program was closed asks however little late it is found.
    const bool closed = ClosedTimeUpPending != 0;
    ClosedTimeUpPending = 0;
    if (closed) TimeUpClosedSerial = Count.Serial;
    const bool asks = closed ? ActionAsksWhenLate(Settings.AlarmAction)
                             : LateTimeUpAnswer(TimeUpLateness, Settings.AlarmAction,
                                                LateQuestionsOpen) == LateAsksFirst;
    if (asks)
    {
        requests.TimeUpAsks = 1;
        ++LateQuestionsOpen;
        LateAskedTick = tick;
    }

    if (!asks && !closed && Settings.WaitMode == 0 && ThenActionGoesOn() &&
        Count.TargetTime > ShortestRepeat)
    {
        // Automatic repeat: the count runs straight on with the new period.
        requests.Effects |= ChangeForThenAction();
        requests.Effects |= SkipMissedPeriods(tick);
        AlarmRepeats = 0;
        thread.AlarmLastTick = 0;
        thread.AlarmAccum = 0;
        Settings.AlarmCycleActive = 1;
        requests.PrepareAlarmSound = 1;
        PostAlarmAction(requests);
        if (Settings.ShowTimeUpWindow != 0)
        {
            requests.StartTimeUpThread = 1;
            requests.TimeUpAutoClose = 1;
        }
        return;
    }

    Count.Running = 0;
    ZeroCount();
    requests.PrepareAlarmSound = 1;
    if (!asks) PostAlarmAction(requests);
    DisplayText[0] = '0';
    DisplayText[1] = 0;
    requests.Effects |= WindowState == WindowMinimised ? EffectTitle : EffectInvalidate;
    if (Settings.RepeatSound != 0 || Settings.FlashDisplay != 0)
    {
        Settings.AlarmCycleActive = 1;
        thread.AlarmLastTick = 0;
        thread.AlarmAccum = 0;
    }
    Count.TimeIsUp = 1;
    Count.TimeUpAsks = asks ? 1 : 0;
    // Nobody saw a time-up that came while the program was closed: its window says when.
    if (Settings.ShowTimeUpWindow != 0 || asks || closed)
        requests.StartTimeUpThread = 1;
    else
    {
        FlashPhase = 0;
        ApplyThenAction(requests, CmdAcknowledgeTimeUp, Count.Serial);
    }
}

void ShowRunningCount(const Moment& now, CountRequests& requests, CountingThreadState& thread)
{
    const uint32_t tick = now.Tick;
    const uint32_t value = ShownFrom(now.Elapsed);
    if (FormatCountText(value, DisplayText).Changed != 0) TextLateness = SinceLastStep(value);
    thread.ShownTick = tick;
    // A change the user made shows in the title at once, whatever the title's pace.
    const bool changed = ShowDue != 0;
    ShowDue = 0;
    if (WindowState == WindowMinimised &&
        (changed || thread.TitleSet == 0 || tick - thread.TitleTick >= TitleMs))
    {
        requests.Effects |= EffectTitle;
        thread.TitleSet = 1;
        thread.TitleTick = tick;
    }
    requests.Effects |= EffectSystemMenu; // its Start/Stop entry follows the state
}

void RunAlarmCycle(uint32_t tick, CountRequests& requests, CountingThreadState& thread)
{
    if (thread.AlarmLastTick != 0)
    {
        // Measured on the clock, whatever the update frequency.
        const uint32_t gathered = tick - thread.AlarmLastTick + thread.AlarmAccum;
        if (gathered > Settings.RepeatInterval)
        {
            thread.AlarmAccum = 0;
            // A repeat's cycle sounds twice more; after a final time-up it goes on until the
            // time-up is acknowledged; "When button pressed" never counts.
            if (AlarmRepeats < 2 || Count.TimeIsUp != 0)
            {
                AlarmRepeats = Settings.WaitMode == 0 ? AlarmRepeats + 1 : 1;
                if (Settings.FlashDisplay != 0)
                {
                    FlashPhase = FlashPhase + 1;
                    if (FlashPhase >= 3) FlashPhase = 1;
                    requests.Effects |= EffectInvalidate;
                }
                if (Settings.Mute == 0 && Settings.RepeatSound != 0 && Settings.AlarmAction < 4)
                    Post(requests, CmdAlarmAction);
            }
            else
            {
                Settings.AlarmCycleActive = 0;
                // A cycle cut short by the next repeat can end on the inverted phase; repaint
                // so the display does not stay inverted.
                if (FlashPhase != 0) requests.Effects |= EffectInvalidate;
                FlashPhase = 0;
                AlarmRepeats = 0;
            }
        }
        else
            thread.AlarmAccum = gathered;
    }
    thread.AlarmLastTick = tick;
}

// Milliseconds from the moment until the next thing is due; see NextDueDelay.
uint32_t NextDueFrom(const Moment& now, const CountingThreadState& thread)
{
    uint32_t delay = NothingDue;
    if (Count.Running != 0)
    {
        if (ShowDue != 0) return 0;
        if (CountCanEnd()) delay = Until(now.Elapsed, uint64_t{Count.TargetTime} + 1);
        delay = Sooner(delay, UntilNextText(now, thread));
        // The crossing into the last stretch, when one lies ahead.
        if (Count.InStretch == 0) delay = Sooner(delay, UntilLastStretch(now.Elapsed));
    }
    if (Settings.AlarmCycleActive != 0 && ChooserOpen == 0)
    {
        // The cycle's first pass starts its clock; then a step is due once more than the
        // interval has gathered.
        if (thread.AlarmLastTick == 0) return 0;
        const uint32_t gathered = now.Tick - thread.AlarmLastTick + thread.AlarmAccum;
        delay = Sooner(delay, Until(gathered, uint64_t{Settings.RepeatInterval} + 1));
    }
    // The computer kept awake for an unanswered time-up is let go on time.
    return Sooner(delay, UntilAwakeEnds(now.Tick));
}

} // namespace

void BeginCounting(CountingThreadState& thread)
{
    thread = CountingThreadState{};
    Settings.AlarmCycleActive = 0;
    Waiting = Awake;
    ShowDue = 0;
}

void ShowCountNow()
{
    ShowDue = 1;
}

uint32_t TakeCountEffects(uint32_t effects)
{
    if ((effects & EffectShowNow) != 0) ShowDue = 1;
    if ((effects & EffectEndAlarmCycle) != 0)
    {
        Settings.AlarmCycleActive = 0;
        FlashPhase = 0;
        AlarmRepeats = 0;
    }
    return effects & ~(EffectShowNow | EffectEndAlarmCycle);
}

uint32_t NextDueDelay(uint32_t tick, const CountingThreadState& thread)
{
    return NextDueFrom(MomentAt(tick), thread);
}

bool TakeCountingWake(uint32_t tick)
{
    if (Waiting == Awake) return false;
    const uint32_t delay = NextDueDelay(tick, WaitingThread);
    bool wake;
    if (delay == NothingDue)
        // Waiting for a tick with nothing left to do, it rests at once rather than after one
        // more look; waiting for work, only work wakes it.
        wake = Waiting == WaitingForTick;
    else if (Waiting == WaitingForWork)
        wake = true;
    else
    {
        // Both waits are below 2^31 ms, so the signed difference tells which ends first. A
        // wait whose tick has come ends by itself.
        const auto left = static_cast<int32_t>(WaitingUntil - tick);
        wake = left > 0 && delay < static_cast<uint32_t>(left);
    }
    if (wake) Waiting = Awake;
    return wake;
}

uint32_t WaitLeft(const CountRequests& requests, uint32_t now)
{
    if (requests.WaitForWork != 0) return NothingDue;
    const auto left = static_cast<int32_t>(requests.WakeTick - now);
    return left > 0 ? static_cast<uint32_t>(left) : 0;
}

CountRequests CountingPass(uint32_t tick, CountingThreadState& thread)
{
    CountRequests requests = {};
    ++CountingPasses;
    // The tick this pass was due at, by the wait the last one asked for.
    const uint32_t asked = Waiting == WaitingForTick ? WaitingUntil : tick;

    if (Count.Running == 0 && Settings.AlarmCycleActive == 0 && UntilAwakeEnds(tick) == NothingDue)
    {
        // The keeping awake for an unanswered question may have just run out.
        requests.Effects |= PowerEffects(tick);
        ShowDue = 0;
        Waiting = WaitingForWork;
        WaitingThread = thread;
        requests.WaitForWork = 1;
        return requests;
    }

    Moment now = MomentAt(tick);
    bool timeUp = false;
    if (Count.Running != 0)
    {
        if (CountCanEnd() && now.Elapsed > Count.TargetTime)
        {
            TimeUpLateness = now.Elapsed - Count.TargetTime - 1;
            TimeUpDueTick = tick - TimeUpLateness;
            TimeUpWakeAsked = asked;
            TimeUp(tick, requests, thread);
            timeUp = true;
            now = MomentAt(tick); // the count itself has changed
        }
        else
            ShowRunningCount(now, requests, thread);
        if (ChangeCount != 0) requests.Effects |= EffectInvalidateTimeBand;
    }
    // A crossing found with the time-up it comes before (after a sleep) does not warn.
    requests.Effects |= StretchEffects(tick, !timeUp);
    // A stopped count shows what its operations left; a new period shows in the next pass.
    if (Count.Running == 0) ShowDue = 0;

    if (Settings.AlarmCycleActive != 0 && ChooserOpen == 0) RunAlarmCycle(tick, requests, thread);

    requests.CheckSoundPlayer = 1;
    requests.Effects |= OutsideEffects(tick) | PowerEffects(tick) | KeepEffects();
    const uint32_t delay = NextDueFrom(now, thread);
    WaitingThread = thread;
    if (delay == NothingDue)
    {
        Waiting = WaitingForWork;
        requests.WaitForWork = 1;
    }
    else
    {
        Waiting = delay != 0 ? WaitingForTick : Awake;
        WaitingUntil = tick + delay;
        requests.SleepMs = delay;
        requests.WakeTick = WaitingUntil;
        CountingWakeTick = WaitingUntil;
    }
    return requests;
}

void ApplyThenAction(CountRequests& requests, uint32_t command, uint32_t serial)
{
    if (!ThenActionGoesOn()) return;
    requests.Effects |= ChangeForThenAction();
    Post(requests, command, serial);
}

CountRequests TimeUpWindowClosed(uint32_t result, uint32_t fromRepeat, uint32_t serial)
{
    CountRequests requests = {};
    if (result == TimeUpWindowNotShown || result == TimeUpWindowWithdrawn || serial != Count.Serial)
        return requests;
    requests.Effects = EffectInvalidateErase;
    // The acknowledgement moves the serial on once; a start that follows it names that one.
    const uint32_t acknowledged = NextCountSerial(serial);
    if (result == TimeUpWindowThird)
        // "Add 1:00": the same count again for the step, answering this time-up alone.
        Post(requests, CmdAddTime, serial);
    else if (Settings.ThenAction == 0 && result == TimeUpWindowSecond)
    {
        // "Repeat Time": acknowledge, then start the same set time anew.
        Post(requests, CmdAcknowledgeTimeUp, serial);
        requests.Effects |= TakeCountEffects(LoadSetTime(Settings.SetTime));
        Post(requests, CmdStartCount, acknowledged);
    }
    else if (Settings.WaitMode != 0)
    {
        // "When button pressed": the answer ends the cycle; "OK" goes on to the next count.
        Settings.AlarmCycleActive = 0;
        FlashPhase = 0;
        Post(requests, CmdAcknowledgeTimeUp, serial);
        if (result == TimeUpWindowFirst) ApplyThenAction(requests, CmdStartCount, acknowledged);
    }
    else if (fromRepeat == 0)
        Post(requests, CmdAcknowledgeTimeUp, serial);
    else if (result == TimeUpWindowSecond)
        Post(requests, CmdStopCount, serial); // "Stop Repeat"
    // Otherwise a repeat's window closed by "OK" or by itself: the count goes on. A start/stop
    // here would stop it after its first period.
    requests.StopSoundPlayer = 1;
    return requests;
}

CountRequests LateTimeUpClosed(uint32_t result, uint32_t serial, uint32_t tick)
{
    CountRequests requests = {};
    if (LateQuestionsOpen != 0) --LateQuestionsOpen;
    if (result != TimeUpWindowNotShown)
    {
        requests.Effects = EffectInvalidateErase;
        // Asked in so many words, the action is carried out whatever happened to the count since.
        if (result == TimeUpWindowFirst) Post(requests, CmdAlarmAction);
        if (serial == Count.Serial) Post(requests, CmdAcknowledgeTimeUp, serial);
    }
    // The question no longer keeps the computer awake.
    requests.Effects |= PowerEffects(tick);
    return requests;
}
