#include "app/power.h"

#include "app/appstate.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"

uint32_t AwakeShown;
WakeTimerPlan WakeTimerShown;

namespace
{

bool RepeatingUnanswered(uint32_t tick)
{
    return Count.TimeIsUp != 0 && Settings.AlarmCycleActive != 0 &&
           tick - TimeUpDueTick < AwakeAfterTimeUp;
}

bool AskingUnanswered(uint32_t tick)
{
    return LateQuestionsOpen != 0 && tick - LateAskedTick < AwakeAfterTimeUp;
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
    if (facts.Asking != 0 && facts.SinceAsked < AwakeAfterTimeUp) return AwakeSystem;
    return AwakeNothing;
}

uint64_t WakeTimerDelay(const WakeTimerPlan& plan, uint32_t now)
{
    const uint32_t passed = now - plan.Tick;
    const uint64_t left = plan.Left > passed ? plan.Left - passed : 0;
    return left > WakeLead ? left - WakeLead : 0;
}

uint32_t PowerEffects(uint32_t tick)
{
    const AwakeFacts facts = {Settings.AllowSleep,
                              Count.Running,
                              CountCanEnd() ? 1u : 0u,
                              Count.TimeIsUp,
                              Settings.AlarmCycleActive,
                              tick - TimeUpDueTick,
                              FullScreen,
                              LateQuestionsOpen != 0 ? 1u : 0u,
                              tick - LateAskedTick};
    const uint32_t awake = AwakeWanted(facts);
    WakeTimerPlan timer = {0, 0, 0, 0};
    const uint32_t elapsed = ElapsedCount(tick);
    if (Settings.AllowSleep == 0 && Count.Running != 0 && CountCanEnd() &&
        elapsed <= Count.TargetTime)
        // E = tick - StartTick + CountOffset passes the target at EndTick. An end already
        // passed arms nothing: the counting thread finds the time-up due.
        timer = {1, Count.StartTick - Count.CountOffset + Count.TargetTime + 1, tick,
                 uint64_t{Count.TargetTime} + 1 - elapsed};
    // A running count's end stays where it is from pass to pass; only another end is news.
    if (awake == AwakeShown && timer.Armed == WakeTimerShown.Armed &&
        timer.EndTick == WakeTimerShown.EndTick)
        return 0;
    AwakeShown = awake;
    WakeTimerShown = timer;
    return EffectPower;
}

uint32_t UntilAwakeEnds(uint32_t tick)
{
    uint32_t until = 0xFFFFFFFF;
    if (Settings.AllowSleep != 0) return until;
    if (RepeatingUnanswered(tick)) until = TimeUpDueTick + AwakeAfterTimeUp - tick;
    if (AskingUnanswered(tick))
    {
        const uint32_t asking = LateAskedTick + AwakeAfterTimeUp - tick;
        if (asking < until) until = asking;
    }
    return until;
}

bool ActionAsksWhenLate(uint32_t action)
{
    return action >= 4 && action <= 6;
}

uint32_t LateTimeUpAnswer(uint32_t late, uint32_t action, uint32_t questionsOpen)
{
    const bool asks = late >= LateAfterSleep || questionsOpen != 0;
    return ActionAsksWhenLate(action) && asks ? LateAsksFirst : LateGoesAhead;
}
