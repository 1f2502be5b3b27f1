#include "app/keep.h"

#include <cstring>

#include "app/count.h"
#include "app/counting.h"
#include "app/power.h"
#include "data/settings.h"
#include "display/timetext.h"

namespace
{

// FNV-1a over the bytes after the check word: a damaged or foreign block is told from a kept
// count, and any changed byte changes the word.
uint32_t Fnv(const uint8_t* bytes, uint32_t count)
{
    uint32_t hash = 2166136261u;
    for (uint32_t i = 0; i < count; ++i)
        hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

// What the kept count depends on, as the last KeepEffects saw it.
struct KeptIdentity
{
    uint32_t Running, TimeIsUp, TargetTime, StartTick, CountOffset, Direction, Until;
};
KeptIdentity KeptLast;

} // namespace

uint32_t KeepEffects()
{
    const KeptIdentity now = {Count.Running,     Count.TimeIsUp,          Count.TargetTime,
                              Count.StartTick,   Count.CountOffset,       Settings.CountDirection,
                              Settings.CountUntil};
    if (std::memcmp(&now, &KeptLast, sizeof now) == 0) return 0;
    KeptLast = now;
    return EffectKeep;
}

uint32_t KeptCheck(const KeptCount& kept)
{
    uint8_t bytes[sizeof kept];
    std::memcpy(bytes, &kept, sizeof kept);
    return Fnv(bytes + 8, sizeof kept - 8) ^ KeptCountTag;
}

KeptCount KeepCount(uint32_t tick, uint64_t now)
{
    KeptCount kept = {};
    if (Settings.CountDirection != 0)
        kept.Flags = KeptDown;
    else if (Settings.CountUntil != 0)
        kept.Flags = KeptEndless;
    kept.Target = Count.TargetTime;
    kept.KeptAt = now;
    const uint32_t elapsed = ElapsedCount(tick);
    if (Count.Running != 0)
    {
        kept.Flags |= KeptRunning;
        kept.Count = now - elapsed;
    }
    else if (Count.TimeIsUp != 0)
        kept.Count = Count.TargetTime; // answered, at its end
    else
        kept.Count = elapsed;
    return kept;
}

void WriteKeptCount(SettingsRecord& record, KeptCount kept)
{
    kept.Tag = KeptCountTag;
    kept.Check = KeptCheck(kept);
    std::memcpy(record.KeptBytes, &kept, sizeof kept);
}

bool ReadKeptCount(const SettingsRecord& record, KeptCount& kept)
{
    std::memcpy(&kept, record.KeptBytes, sizeof kept);
    return kept.Tag == KeptCountTag && kept.Check == KeptCheck(kept) &&
           (kept.Flags & ~(KeptRunning | KeptDown | KeptEndless)) == 0 &&
           (kept.Flags & (KeptDown | KeptEndless)) != (KeptDown | KeptEndless) &&
           kept.Count <= kept.KeptAt;
}

void ClearKeptCount(SettingsRecord& record)
{
    std::memset(record.KeptBytes, 0, sizeof record.KeptBytes);
}

ResumePlan PlanResume(const KeptCount& kept, bool valid, uint64_t now, const ResumeRules& rules)
{
    ResumePlan plan = {};
    if (!valid || rules.Overridden != 0) return plan;
    plan.Down = (kept.Flags & KeptDown) != 0 ? 1 : 0;
    plan.Endless = (kept.Flags & KeptEndless) != 0 ? 1 : 0;
    plan.Target = kept.Target;
    // A clock set back while closed: the count goes on from where it was kept, not before it.
    if (now < kept.KeptAt) now = kept.KeptAt;

    if ((kept.Flags & KeptRunning) == 0)
    {
        const bool ended = plan.Endless == 0 && kept.Count >= kept.Target;
        plan.Kind = ended ? ResumeAnswered : ResumeStopped;
        plan.Elapsed = ended ? 0 : static_cast<uint32_t>(kept.Count);
        return plan;
    }
    const uint64_t total = now - kept.Count;
    plan.Kind = ResumeRunning;
    // An endless count-up wraps its 32-bit count as it always has.
    if (plan.Endless != 0 || total <= kept.Target)
    {
        plan.Elapsed = static_cast<uint32_t>(total);
        return plan;
    }

    const bool asks = ActionAsksWhenLate(rules.AlarmAction);
    const bool repeats = rules.WaitMode == 0 && rules.ThenAction >= 1 && rules.ThenAction <= 3 &&
                         kept.Target > ShortestRepeat;
    if (!repeats)
    {
        plan.Kind = ResumeLateTimeUp;
        plan.Asks = asks ? 1 : 0;
        plan.Elapsed = kept.Target + 1; // the longest count leaves room for the millisecond
        plan.DueAt = kept.Count + kept.Target;
        return plan;
    }
    // The ends that passed: the first a millisecond past the target, then one each period.
    const uint64_t ends = (total - 1) / kept.Target;
    const uint64_t into = total - ends * kept.Target; // 1 .. Target past the latest end
    plan.DueAt = kept.Count + ends * kept.Target;
    // The thread's time-up turns a Reverse count round once more for the latest end; each
    // earlier one turned it too.
    if (rules.ThenAction == 1 && (ends - 1) % 2 == 1) plan.Down ^= 1;
    if (asks)
    {
        // The latest end asks, and the count waits there.
        plan.Kind = ResumeLateTimeUp;
        plan.Asks = 1;
        plan.Elapsed = kept.Target + 1;
        return plan;
    }
    // Its one time-up is due at once; then it runs on inside the current period.
    const uint64_t elapsed = kept.Target + into;
    plan.Elapsed = elapsed > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(elapsed);
    return plan;
}

uint32_t ResumeCount(const ResumePlan& plan, uint32_t tick)
{
    if (plan.Kind == ResumeNothing) return 0;
    Settings.CountDirection = plan.Down;
    if (plan.Down == 0) Settings.CountUntil = plan.Endless;
    uint32_t effects = DirectionLabelEffect() | EffectInvalidate;
    if (plan.Kind == ResumeAnswered)
    {
        effects |= LoadSetTime(Settings.SetTime);
        ZeroCount();
        return effects;
    }
    Count.TargetTime = plan.Target;
    if (plan.Kind == ResumeStopped)
    {
        Count.Running = 0;
        Count.StartTick = plan.Elapsed;
        Count.CountOffset = 0;
        FormatCountText(ShownFrom(plan.Elapsed), DisplayText);
        return effects;
    }
    if (plan.Kind == ResumeLateTimeUp)
    {
        ClosedTimeUpAt = plan.DueAt;
        ClosedTimeUpPending = 1;
    }
    return effects | RunCountFrom(plan.Elapsed, tick) | EffectShowNow;
}
