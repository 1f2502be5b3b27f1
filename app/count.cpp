#include "app/count.h"

#include "app/appstate.h"
#include "app/commands.h"
#include "data/settings.h"
#include "display/timetext.h"

CountState Count;

namespace
{

bool CountingDown()
{
    return Settings.CountDirection != 0;
}

// "0" goes straight into the text: it leaves WidthClass and ChangeCount as they were.
void ShowZero()
{
    DisplayText[0] = '0';
    DisplayText[1] = 0;
}

// The title follows the count only while the window is minimised (not in the tray).
uint32_t TitleEffect()
{
    return WindowState == WindowMinimised ? EffectTitle : 0;
}

} // namespace

uint32_t ConvertToMilliseconds(uint32_t days, uint32_t hours, uint32_t minutes, uint32_t seconds,
                               uint32_t milliseconds)
{
    // Carried in 64 bits: huge switch values (a negative /s= reads as about 4.29e9) must
    // clamp to the longest time, not wrap round to a short one.
    uint64_t m = uint64_t{minutes} + seconds / 60;
    const uint64_t s = seconds % 60;
    uint64_t h = uint64_t{hours} + m / 60;
    m %= 60;
    uint64_t d = uint64_t{days} + h / 24;
    h %= 24;
    if (d > 49) d = 49;
    uint64_t total = ((d * 24 + h) * 60 + m) * 60 + s;
    if (total < 3)
        total = 3;
    else if (total > 4294967)
        total = 4294967;
    // Milliseconds typed beside the longest time would wrap round to a short count.
    const uint64_t result = total * 1000 + milliseconds;
    return result > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(result);
}

bool CountCanEnd()
{
    return Settings.CountDirection != 0 || Settings.CountUntil == 0;
}

uint32_t ResolveSelection(uint32_t selection)
{
    return selection <= 2 ? Settings.PresetTimes[selection] : selection;
}

uint32_t ElapsedCount(uint32_t tick)
{
    return Count.Running != 0 ? tick - Count.StartTick + Count.CountOffset
                              : Count.StartTick + Count.CountOffset;
}

uint32_t TimeLeft(uint32_t tick)
{
    const uint32_t elapsed = ElapsedCount(tick);
    return elapsed < Count.TargetTime ? Count.TargetTime - elapsed : 0;
}

uint32_t ShownValue(uint32_t tick)
{
    return ShownFrom(ElapsedCount(tick));
}

uint32_t ShownFrom(uint32_t elapsed)
{
    if (!CountingDown()) return elapsed;
    // Between the end of a countdown and the counting thread's next pass the difference would
    // wrap round to about 49 days; what is left then is nothing.
    return elapsed >= Count.TargetTime ? 0 : Count.TargetTime - elapsed;
}

uint32_t NextCountSerial(uint32_t serial)
{
    return serial >= 0x3FFFFFFFu ? 1 : serial + 1;
}

namespace
{

// Whether a warning applies to the count as it is: one is set, the count can end and has not,
// and its whole length, the set time or the end that time added has moved beyond it, is longer
// than the warning. (Sync and Reverse measure the target from the moment they act.)
bool StretchApplies()
{
    const uint32_t whole =
        Count.TargetTime > Settings.SetTime ? Count.TargetTime : Settings.SetTime;
    return Settings.WarnBefore != 0 && CountCanEnd() && Count.TimeIsUp == 0 &&
           whole > Settings.WarnBefore;
}

// The elapsed count at which the stretch begins.
uint32_t Crossing()
{
    return Count.TargetTime > Settings.WarnBefore ? Count.TargetTime - Settings.WarnBefore : 0;
}

} // namespace

bool InLastStretch(uint32_t elapsed)
{
    return StretchApplies() && elapsed >= Crossing();
}

uint32_t UntilLastStretch(uint32_t elapsed)
{
    if (!StretchApplies()) return 0xFFFFFFFF;
    return elapsed >= Crossing() ? 0 : Crossing() - elapsed;
}

uint32_t StretchEffects(uint32_t tick, bool crossing)
{
    const uint32_t inside = InLastStretch(ElapsedCount(tick)) ? 1 : 0;
    if (inside == Count.InStretch) return 0;
    Count.InStretch = inside;
    if (inside == 0 || !crossing || Count.Running == 0) return EffectStretch;
    const bool quiet = Settings.Mute != 0 || Settings.WarnQuiet != 0;
    return EffectStretch | EffectWarn | (quiet ? 0 : EffectWarnSound);
}

uint32_t AddTimeStep()
{
    return Settings.AddStep != 0 ? Settings.AddStep : 60000;
}

uint32_t DirectionLabel()
{
    const bool down = CountingDown();
    const bool namesCurrent = Settings.RevRev != 0;
    return down == namesCurrent ? 17 : 16;
}

uint32_t DirectionLabelEffect()
{
    return DirectionLabel() == 17 ? EffectDirectionDown : EffectDirectionUp;
}

uint32_t LoadSetTime(uint32_t selection)
{
    const uint32_t time = ResolveSelection(selection);
    Count.TargetTime = time;
    Settings.SetTime = time;
    if (CountingDown())
        FormatCountText(time, DisplayText);
    else
        ShowZero();
    // A running count goes on from the new time: the thread shows it at once.
    return TitleEffect() | EffectShowNow;
}

uint32_t LoadAndReset(uint32_t selection, uint32_t tick)
{
    uint32_t effects = LoadSetTime(selection);
    if (CountingDown())
    {
        Count.CountOffset = 0;
        Count.StartTick = Count.Running != 0 ? tick : 0;
    }
    else if (Settings.CountUntil != 0)
    {
        // An endless count-up starts from the loaded time.
        Count.CountOffset = 0;
        if (Count.Running != 0)
            Count.StartTick = tick - Count.TargetTime;
        else
        {
            Count.StartTick = Count.TargetTime;
            FormatCountText(Count.TargetTime, DisplayText);
        }
    }
    return effects | EffectInvalidate;
}

void ZeroCount()
{
    Count.StartTick = 0;
    Count.CountOffset = 0;
}

uint32_t ReloadStoppedCount()
{
    if (Count.Running != 0) return EffectShowNow;
    const uint32_t effects = LoadSetTime(Settings.SelectedTime);
    ZeroCount();
    return effects | EffectInvalidate;
}

uint32_t ChangeSecondsMode(uint32_t mode)
{
    Settings.SecondsMode = mode;
    if (Settings.AutoFrequency != 0)
    {
        // The Auto frequency of each mode.
        static const uint32_t Frequencies[5] = {500, 500, 50, 5, 1};
        Settings.UpdateFrequency = Frequencies[mode < 5 ? mode : 1];
    }
    return ReloadStoppedCount();
}

uint32_t ChangeDaysMode(uint32_t mode)
{
    Settings.DaysMode = mode;
    return ReloadStoppedCount();
}

uint32_t ChangeWindowState(uint32_t state)
{
    if (WindowState == state) return 0;
    WindowState = state;
    return EffectShowNow;
}

uint32_t StartStopCount(uint32_t tick)
{
    if (Count.Running != 0) return StopCount(tick);
    if (Count.TimeIsUp != 0) return AcknowledgeTimeUp();
    return StartCount(tick);
}

namespace
{

// The count runs on from the paused count in StartTick.
uint32_t RunPausedCount(uint32_t tick)
{
    Count.StartTick = tick - Count.StartTick; // the paused count becomes a start tick
    Count.Running = 1;
    Count.Serial = NextCountSerial(Count.Serial);
    uint32_t effects =
        EffectStopLabel | EffectButtonVisibility | EffectSystemMenu | EffectCloseTimeUpWindows;
    if (Settings.AutoMinimise != 0) effects |= EffectMinimise;
    return effects;
}

} // namespace

uint32_t StartCount(uint32_t tick)
{
    if (Count.Running != 0 || Count.TimeIsUp != 0) return 0;
    uint32_t effects = 0;
    if (Settings.AutoReset == 99)
        Settings.AutoReset = 1; // a QuickSet start: its time stays, this once
    else if (Settings.AutoReset != 0)
    {
        effects |= LoadSetTime(Settings.SelectedTime);
        ZeroCount();
        effects |= EffectInvalidate;
    }
    return effects | RunPausedCount(tick);
}

uint32_t RunCountFrom(uint32_t elapsed, uint32_t tick)
{
    Count.StartTick = elapsed;
    Count.CountOffset = 0;
    return RunPausedCount(tick);
}

uint32_t StopCount(uint32_t tick)
{
    if (Count.Running == 0) return 0;
    Count.Running = 0;
    Count.StartTick = tick - Count.StartTick; // the start tick becomes the paused count
    Count.Serial = NextCountSerial(Count.Serial);
    return EffectButtonVisibility | EffectCloseSoundPlayer | EffectStartLabel | EffectSystemMenu |
           EffectCloseTimeUpWindows;
}

namespace
{

// The waiting time-up is answered: the alarm cycle ends with it.
uint32_t EndTimeUp()
{
    Count.TimeIsUp = 0;
    Count.TimeUpAsks = 0;
    Count.Serial = NextCountSerial(Count.Serial);
    return EffectCloseSoundPlayer | EffectButtonVisibility | EffectInvalidate | EffectSystemMenu |
           EffectCloseTimeUpWindows | EffectEndAlarmCycle;
}

} // namespace

uint32_t AcknowledgeTimeUp()
{
    if (Count.Running != 0 || Count.TimeIsUp == 0) return 0;
    uint32_t effects = EndTimeUp();
    effects |= LoadSetTime(Settings.SetTime);
    ZeroCount();
    return effects | EffectStartLabel;
}

uint32_t AddTime(uint32_t tick, uint32_t serial)
{
    if (!CountCanEnd()) return 0;
    const uint32_t step = AddTimeStep();
    if (Count.TimeIsUp != 0)
    {
        // A question before a shutdown is answered in its own window, and only there.
        if (Count.Running != 0 || Count.TimeUpAsks != 0) return 0;
        if (serial != 0 && serial != Count.Serial) return 0;
        const uint32_t end = Count.TargetTime;
        if (Settings.CountDirection == 0 && end >= LongestCount) return 0;
        uint32_t effects = EndTimeUp();
        if (Settings.CountDirection != 0)
        {
            Count.TargetTime = step; // the step counted down again
            Count.CountOffset = 0;
        }
        else
        {
            // Up to a time: on from the end it reached, for the step.
            Count.CountOffset = end;
            Count.TargetTime = LongestCount - end < step ? LongestCount : end + step;
        }
        Count.StartTick = 0;
        return effects | RunPausedCount(tick) | EffectShowNow;
    }
    // A window's answer names a time-up; there is none now.
    if (serial != 0 || Count.TargetTime >= LongestCount) return 0;
    Count.TargetTime =
        LongestCount - Count.TargetTime < step ? LongestCount : Count.TargetTime + step;
    if (Count.Running != 0) return EffectShowNow;
    // Stopped, the text shows the new time left at once (counting up it shows the same).
    if (Settings.CountDirection != 0) FormatCountText(ShownValue(tick), DisplayText);
    return TitleEffect() | EffectInvalidate;
}

uint32_t ApplyCountCommand(uint32_t command, uint32_t tick, uint32_t serial)
{
    if (command == CmdStartStop) return StartStopCount(tick);
    // An answer to a time-up since overtaken by the user or by a later time-up does nothing.
    const bool current = serial == Count.Serial || (serial == 0 && command != CmdStartCount);
    if (!current) return 0;
    if (command == CmdAddTime) return AddTime(tick, serial);
    switch (command)
    {
    case CmdAcknowledgeTimeUp: return AcknowledgeTimeUp();
    case CmdStopCount: return StopCount(tick);
    case CmdStartCount: return StartCount(tick);
    default: return 0;
    }
}

uint32_t ResetCount(uint32_t tick)
{
    if (CountingDown()) return LoadAndReset(Settings.SetTime, tick);
    // Counting up goes back to 0, also an endless count, and up to the set time again (time
    // added is for the count it was added to).
    Count.TargetTime = Settings.SetTime;
    if (Count.Running != 0)
    {
        Count.StartTick = tick;
        Count.CountOffset = 0;
        return EffectShowNow;
    }
    ZeroCount();
    ShowZero();
    return TitleEffect() | EffectInvalidate;
}

uint32_t ReverseCount(uint32_t tick)
{
    const uint32_t shown = ShownValue(tick);
    if (!CountingDown())
    {
        // Up to down: what has been counted becomes the time left.
        Count.TargetTime = shown;
        Count.CountOffset = 0;
        Count.StartTick = Count.Running != 0 ? tick : 0;
        Settings.CountDirection = 1;
    }
    else
    {
        // Down to up: the time left becomes the count so far, up to the set time, or to the
        // end that time added has moved beyond it.
        Count.CountOffset = shown;
        if (Count.Running != 0)
        {
            Count.StartTick = tick;
            if (shown <= Settings.SetTime) Count.TargetTime = Settings.SetTime;
        }
        else
        {
            Count.StartTick = 0;
            Count.TargetTime = ResolveSelection(Settings.SelectedTime);
        }
        Settings.CountDirection = 0;
    }
    return DirectionLabelEffect() | EffectShowNow;
}

uint32_t SyncCount(uint32_t tick, uint32_t clockSeconds, uint32_t clockMilliseconds)
{
    // Offered only while running; a count that ended or stopped meanwhile keeps its pause.
    if (Count.Running == 0) return 0;
    const uint32_t shown = ShownValue(tick);
    const uint32_t minutes = shown - shown % 60000;
    // A leap second reads as the minute's last moment.
    const uint32_t clock =
        clockSeconds > 59
            ? 59999
            : clockSeconds * 1000 + (clockMilliseconds > 999 ? 999 : clockMilliseconds);
    Count.StartTick = tick;
    if (CountingDown())
    {
        Count.TargetTime = minutes + (60000 - clock);
        Count.CountOffset = 0;
    }
    else
        Count.CountOffset = minutes + clock;
    return EffectShowNow;
}
