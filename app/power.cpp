#include "app/power.h"

#include "app/appstate.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"

uint32_t AwakeShown;
WakeTimerPlan WakeTimerShown;

namespace
{

bool CountCanEnd()
{
    return Settings.CountDirection != 0 || Settings.CountUntil == 0;
}

bool RepeatingUnanswered(uint32_t tick)
{
    return Count.TimeIsUp != 0 && Settings.AlarmCycleActive != 0 &&
           tick - TimeUpDueTick < AwakeAfterTimeUp;
}

} // namespace

uint32_t AwakeWanted(const AwakeFacts& facts)
{
    if (facts.AllowSleep != 0) return AwakeNothing;
    if (facts.Running != 0 && facts.CanEnd != 0)
        return facts.FullScreen != 0 ? AwakeSystem | AwakeDisplay : AwakeSystem;
    if (facts.Running == 0 && facts.TimeIsUp != 0 && facts.Repeating != 0 &&
        facts.SinceTimeUp < AwakeAfterTimeUp)
        return AwakeSystem;
    return AwakeNothing;
}

uint32_t PowerEffects(uint32_t tick)
{
    const AwakeFacts facts = {Settings.AllowSleep,
                              Count.Running,
                              CountCanEnd() ? 1u : 0u,
                              Count.TimeIsUp,
                              Settings.AlarmCycleActive,
                              tick - TimeUpDueTick,
                              FullScreen};
    const uint32_t awake = AwakeWanted(facts);
    WakeTimerPlan timer = {0, 0};
    if (Settings.AllowSleep == 0 && Count.Running != 0 && CountCanEnd())
        // E = tick - StartTick + CountOffset passes the target at this tick.
        timer = {1, Count.StartTick - Count.CountOffset + Count.TargetTime + 1};
    if (awake == AwakeShown && timer.Armed == WakeTimerShown.Armed &&
        timer.DueTick == WakeTimerShown.DueTick)
        return 0;
    AwakeShown = awake;
    WakeTimerShown = timer;
    return EffectPower;
}

uint32_t UntilAwakeEnds(uint32_t tick)
{
    if (Settings.AllowSleep != 0 || !RepeatingUnanswered(tick)) return 0xFFFFFFFF;
    return TimeUpDueTick + AwakeAfterTimeUp - tick;
}

uint32_t LateTimeUpAnswer(uint32_t late, uint32_t action)
{
    const bool endsTheSession = action == 5 || action == 6;
    return endsTheSession && late >= LateAfterSleep ? LateAsksFirst : LateGoesAhead;
}
