#include "display/outside.h"

#include "app/count.h"
#include "data/settings.h"

TaskbarProgress ProgressShown;

namespace
{

// What a screen reader was last told: the shown count's whole minutes and the state.
struct Announced
{
    uint32_t Minutes;
    uint32_t Running;
    uint32_t TimeIsUp;
};
Announced AnnouncedLast;

// `done` of `total` in whole per mille, without a 64-bit division: a total too long to
// multiply by 1000 in 32 bits is divided first, which errs by less than 1 in 4,000.
uint32_t PerMille(uint32_t done, uint32_t total)
{
    if (done >= total) return ProgressTotal;
    if (total <= 0xFFFFFFFFu / ProgressTotal) return done * ProgressTotal / total;
    const uint32_t share = done / (total / ProgressTotal);
    return share < ProgressTotal ? share : ProgressTotal - 1;
}

} // namespace

TaskbarProgress TaskbarProgressOf(uint32_t tick)
{
    if (Count.TimeIsUp != 0) return {ProgressError, ProgressTotal};
    if (Settings.CountDirection == 0 || Count.TargetTime == 0) return {ProgressNone, 0};
    const uint32_t done = PerMille(ElapsedCount(tick), Count.TargetTime);
    if (Count.Running != 0) return {ProgressNormal, done};
    if (ElapsedCount(tick) == 0 || done == ProgressTotal) return {ProgressNone, 0};
    return {ProgressPaused, done};
}

uint32_t OutsideEffects(uint32_t tick)
{
    uint32_t effects = 0;
    const TaskbarProgress progress = TaskbarProgressOf(tick);
    if (progress.State != ProgressShown.State || progress.PerMille != ProgressShown.PerMille)
    {
        ProgressShown = progress;
        effects |= EffectProgress;
    }
    const Announced now = {ShownValue(tick) / 60000, Count.Running, Count.TimeIsUp};
    if (now.Minutes != AnnouncedLast.Minutes || now.Running != AnnouncedLast.Running ||
        now.TimeIsUp != AnnouncedLast.TimeIsUp)
    {
        AnnouncedLast = now;
        effects |= EffectAnnounce;
    }
    return effects;
}
