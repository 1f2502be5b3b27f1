// A count that outlives the program: its bytes in the record, the start-up rule, and what the
// count does once brought back.
#include <cstring>

#include "app/keep.h"
#include "app/power.h"
#include "count_fixture.h"

namespace
{

constexpr uint64_t Start = 13400000000000; // a wall-clock moment, ms since 1601
constexpr uint32_t Minute = 60000;
constexpr uint32_t T0 = 3000000;

KeptCount Kept(uint32_t flags, uint32_t target, uint64_t count, uint64_t keptAt)
{
    KeptCount kept = {};
    kept.Flags = flags;
    kept.Target = target;
    kept.Count = count;
    kept.KeptAt = keptAt;
    return kept;
}

// The bytes at 2724: tag, check word, then the count; anything damaged or foreign, and the
// zeros of an older file, hold no count.
TEST(KeptCount, TheBytesHoldACountOnlyWhenTheyAreWhole)
{
    SettingsRecord record = {};
    KeptCount read;
    EXPECT_FALSE(ReadKeptCount(record, read)) << "an older file's zeros";
    WriteKeptCount(record, Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start + 1000));
    ASSERT_TRUE(ReadKeptCount(record, read));
    EXPECT_EQ(read.Flags, KeptRunning | KeptDown);
    EXPECT_EQ(read.Target, 5 * Minute);
    EXPECT_EQ(read.Count, Start);
    EXPECT_EQ(read.KeptAt, Start + 1000);
    uint32_t tag;
    std::memcpy(&tag, record.KeptBytes, 4);
    EXPECT_EQ(tag, 0x316B764Du);
    EXPECT_EQ(std::memcmp(record.KeptBytes, "Mvk1", 4), 0);

    for (uint32_t byte = 0; byte < sizeof record.KeptBytes; ++byte)
    {
        SCOPED_TRACE(byte);
        SettingsRecord damaged = record;
        damaged.KeptBytes[byte] ^= 0x10;
        EXPECT_FALSE(ReadKeptCount(damaged, read));
    }
    // Whole, but not a count that can be: counting down and without end at once, or running
    // from after its own keeping.
    WriteKeptCount(record, Kept(KeptDown | KeptEndless, 5 * Minute, 0, Start));
    EXPECT_FALSE(ReadKeptCount(record, read));
    WriteKeptCount(record, Kept(KeptRunning, 5 * Minute, Start + 1, Start));
    EXPECT_FALSE(ReadKeptCount(record, read));
    ClearKeptCount(record);
    for (uint8_t b : record.KeptBytes)
        EXPECT_EQ(b, 0);
}

struct ResumeCase
{
    const char* what;
    KeptCount kept;
    bool valid;
    uint64_t now;
    ResumeRules rules; // Overridden, WaitMode, ThenAction, AlarmAction
    ResumePlan plan;   // Kind, Down, Endless, Target, Elapsed, Asks, DueAt
};

// The start-up rule: what comes back, whether it runs, and whether a passed end asks first.
TEST(KeptCount, TheStartUpRule)
{
    constexpr uint32_t Beep = 1, RunFile = 4, Shutdown = 5, Restart = 6;
    const uint64_t Hour = 3600000;
    const ResumeCase cases[] = {
        {"nothing kept", {}, false, Start, {0, 0, 0, Beep}, {ResumeNothing, 0, 0, 0, 0, 0, 0}},
        {"a time on the command line drops the kept count",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 1000,
         {1, 0, 0, Beep}, {ResumeNothing, 0, 0, 0, 0, 0, 0}},
        {"stopped part-way: stopped at the same place",
         Kept(KeptDown, 5 * Minute, 70000, Start), true, Start + 9 * Hour, {0, 0, 0, Beep},
         {ResumeStopped, 1, 0, 5 * Minute, 70000, 0, 0}},
        {"counting up to a time, stopped part-way", Kept(0, 5 * Minute, 70000, Start), true,
         Start + Hour, {0, 0, 0, Beep}, {ResumeStopped, 0, 0, 5 * Minute, 70000, 0, 0}},
        {"a time-up answered at exit: the set time, stopped",
         Kept(KeptDown, 5 * Minute, 5 * Minute, Start), true, Start + Hour, {0, 0, 0, Shutdown},
         {ResumeAnswered, 1, 0, 5 * Minute, 0, 0, 0}},
        {"running, its end not passed: on at the place the clock gives",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start + 1000), true, Start + 2 * Minute,
         {0, 0, 0, Shutdown}, {ResumeRunning, 1, 0, 5 * Minute, 2 * Minute, 0, 0}},
        {"running, the clock set back behind the keeping: on from where it was kept",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start + Minute), true, Start - Hour,
         {0, 0, 0, Beep}, {ResumeRunning, 1, 0, 5 * Minute, Minute, 0, 0}},
        {"endless count-up: on from its start",
         Kept(KeptRunning | KeptEndless, 0, Start, Start), true, Start + 30 * Hour,
         {0, 0, 0, Beep}, {ResumeRunning, 0, 1, 0, 30 * 3600000u, 0, 0}},
        {"ended while closed, a beep: a late time-up that goes ahead",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 5 * Minute + 1,
         {0, 0, 0, Beep}, {ResumeLateTimeUp, 1, 0, 5 * Minute, 5 * Minute + 1, 0, Start + 5 * Minute}},
        {"ended long ago, a shutdown: asks",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 50 * 24 * Hour,
         {0, 0, 0, Shutdown}, {ResumeLateTimeUp, 1, 0, 5 * Minute, 5 * Minute + 1, 1, Start + 5 * Minute}},
        {"ended a second ago, a restart: asks all the same",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 5 * Minute + 1000,
         {0, 0, 0, Restart}, {ResumeLateTimeUp, 1, 0, 5 * Minute, 5 * Minute + 1, 1, Start + 5 * Minute}},
        {"ended while closed, a file to run: asks",
         Kept(KeptRunning, 5 * Minute, Start, Start), true, Start + Hour, {0, 0, 0, RunFile},
         {ResumeLateTimeUp, 0, 0, 5 * Minute, 5 * Minute + 1, 1, Start + 5 * Minute}},
        {"repeating: the current period, one time-up due",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 17 * Minute,
         {0, 0, 2, Beep}, {ResumeRunning, 1, 0, 5 * Minute, 7 * Minute, 0, Start + 15 * Minute}},
        {"repeating past 2^32 ms: still one time-up",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 60 * 24 * Hour + 1000,
         {0, 0, 2, Beep}, {ResumeRunning, 1, 0, 5 * Minute, 5 * Minute + 1000, 0, Start + 60 * 24 * Hour}},
        {"Reverse, three ends passed: turned twice before the thread's time-up turns it once more",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 17 * Minute,
         {0, 0, 1, Beep}, {ResumeRunning, 1, 0, 5 * Minute, 7 * Minute, 0, Start + 15 * Minute}},
        {"Reverse, two ends passed: turned once already",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 12 * Minute,
         {0, 0, 1, Beep}, {ResumeRunning, 0, 0, 5 * Minute, 7 * Minute, 0, Start + 10 * Minute}},
        {"repeating with a shutdown: the latest end asks and the count waits there",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 17 * Minute,
         {0, 0, 2, Shutdown}, {ResumeLateTimeUp, 1, 0, 5 * Minute, 5 * Minute + 1, 1, Start + 15 * Minute}},
        {"When button pressed does not repeat on its own: a late time-up",
         Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start), true, Start + 17 * Minute,
         {0, 1, 2, Beep}, {ResumeLateTimeUp, 1, 0, 5 * Minute, 5 * Minute + 1, 0, Start + 5 * Minute}},
    };
    for (const ResumeCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        const ResumePlan plan = PlanResume(c.kept, c.valid, c.now, c.rules);
        EXPECT_EQ(plan.Kind, c.plan.Kind);
        if (c.plan.Kind == ResumeNothing) continue;
        EXPECT_EQ(plan.Down, c.plan.Down);
        EXPECT_EQ(plan.Endless, c.plan.Endless);
        EXPECT_EQ(plan.Target, c.plan.Target);
        EXPECT_EQ(plan.Elapsed, c.plan.Elapsed);
        EXPECT_EQ(plan.Asks, c.plan.Asks);
        if (c.plan.Kind == ResumeLateTimeUp || c.plan.DueAt != 0)
        {
            EXPECT_EQ(plan.DueAt, c.plan.DueAt);
        }
    }
}

// Kept, then brought back by the thread: a repeating count found past its end gives one
// time-up and runs on in the current period; a late one that asks waits, stopped, and its
// action is not posted; a late beep goes ahead.
TEST_F(CountTest, ACountBroughtBackGivesOneTimeUpAtMostAndNeverAnActionUnasked)
{
    const struct
    {
        const char* what;
        uint32_t thenAction, action;
        uint64_t closedFor; // ms since the count started
        uint32_t actions;   // CmdAlarmAction posts
        uint32_t running, asks;
    } cases[] = {
        {"a final beep, late", 0, 1, 6 * Minute, 1, 0, 0},
        {"a final shutdown, late", 0, 5, 6 * Minute, 0, 0, 1},
        {"a final run file, a second late", 0, 4, 5 * Minute + 1000, 0, 0, 1},
        {"a repeating beep, three periods later", 2, 1, 17 * Minute, 1, 1, 0},
        {"a repeating restart, three periods later", 2, 6, 17 * Minute, 0, 0, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ResetCountGlobals();
        ClosedTimeUpPending = 0;
        LateQuestionsOpen = 0;
        Settings.ShowTimeUpWindow = 0;
        Settings.FlashDisplay = 0;
        Settings.ThenAction = c.thenAction;
        Settings.AlarmAction = c.action;
        const ResumeRules rules = {0, 0, c.thenAction, c.action};
        const ResumePlan plan = PlanResume(Kept(KeptRunning | KeptDown, 5 * Minute, Start, Start),
                                           true, Start + c.closedFor, rules);
        TakeCountEffects(ResumeCount(plan, T0));
        ShellSim shell;
        const CountRequests found = shell.Pass(T0);
        EXPECT_EQ(shell.timeUpTicks.size(), 1u);
        EXPECT_EQ(shell.CountPosts(CmdAlarmAction), c.actions);
        EXPECT_EQ(found.TimeUpAsks, c.asks);
        EXPECT_EQ(Count.Running, c.running);
        if (c.asks != 0)
        {
            EXPECT_EQ(found.StartTimeUpThread, 1u) << "a window asks";
            EXPECT_EQ(TimeUpClosedSerial, found.TimeUpSerial) << "and says it came while closed";
        }
        // A minute on: no second time-up, no action.
        shell.Run(T0 + 1000, Minute, 1000);
        EXPECT_EQ(shell.timeUpTicks.size(), 1u);
        EXPECT_EQ(shell.CountPosts(CmdAlarmAction), c.actions);
        if (c.running != 0)
        {
            // Inside the current period: 17 - 15 minutes in, a minute later 2 left of 5.
            EXPECT_EQ(ShownValue(T0 + Minute), 2 * Minute);
        }
    }
}

// A sleep across several periods of a Reverse count leaves it in the direction that many ends
// would have: one time-up, the count turned as often as ends passed.
TEST_F(CountTest, ASleepAcrossReversePeriodsTurnsTheCountOncePerEnd)
{
    for (const uint32_t periods : {1u, 2u, 3u})
    {
        SCOPED_TRACE(periods);
        ResetCountGlobals();
        Settings.ShowTimeUpWindow = 0;
        Settings.ThenAction = 1;
        Settings.SelectedTime = 60000;
        StartCountdown(60000, T0);
        ShellSim shell;
        // Found a little into the period after `periods` ends.
        shell.Pass(T0 + periods * 60000 + 1000);
        EXPECT_EQ(shell.timeUpTicks.size(), 1u);
        EXPECT_EQ(Settings.CountDirection, periods % 2 == 1 ? 0u : 1u);
        EXPECT_EQ(ElapsedCount(T0 + periods * 60000 + 1000), 1000u);
    }
}

// What the keeping keeps: a running count by its wall-clock start, a stopped one by its
// count, a time-up waiting for its answer as answered at its end; what it depends on changes
// only with the count, not as it runs.
TEST_F(CountTest, WhatIsKeptAndWhenItChanges)
{
    Settings.CountDirection = 1;
    LoadSetTime(5 * Minute);
    KeepEffects();
    StartCount(T0);
    EXPECT_EQ(KeepEffects(), EffectKeep);
    const KeptCount running = KeepCount(T0 + 20000, Start + 20000);
    EXPECT_EQ(running.Flags, KeptRunning | KeptDown);
    EXPECT_EQ(running.Count, Start);
    EXPECT_EQ(running.KeptAt, Start + 20000);
    ShellSim shell;
    shell.Run(T0, 60000, 50);
    EXPECT_EQ(shell.last.Effects & EffectKeep, 0u) << "a count that runs on keeps nothing new";
    StopCount(T0 + 70000);
    EXPECT_EQ(KeepEffects(), EffectKeep);
    const KeptCount stopped = KeepCount(T0 + 99999, Start + 99999);
    EXPECT_EQ(stopped.Flags, KeptDown);
    EXPECT_EQ(stopped.Count, 70000u);
    StartCount(T0 + 80000);
    shell.Run(T0 + 80000, 5 * Minute, 50);
    ASSERT_EQ(Count.TimeIsUp, 1u);
    const KeptCount timeUp = KeepCount(T0 + 9 * Minute, Start + 9 * Minute);
    EXPECT_EQ(timeUp.Flags, KeptDown);
    EXPECT_EQ(timeUp.Count, uint64_t{5 * Minute});
    const ResumePlan plan = PlanResume(timeUp, true, Start + 99 * Minute, {0, 0, 0, 5});
    EXPECT_EQ(plan.Kind, ResumeAnswered) << "never a late time-up at the next start";
}

} // namespace
