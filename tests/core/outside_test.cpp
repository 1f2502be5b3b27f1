#include <gtest/gtest.h>

#include "display/outside.h"
#include "tests/core/count_fixture.h"

namespace
{

constexpr uint32_t T0 = 1000000;

// A 10 s countdown loaded at T0, or a count up when `down` is false.
void LoadTenSeconds(bool down, uint32_t until = 0)
{
    Settings.CountDirection = down ? 1 : 0;
    Settings.CountUntil = until;
    LoadAndReset(10000, T0);
}

TEST_F(CountTest, TheTaskbarBarFollowsTheCountdown)
{
    struct Case
    {
        const char* name;
        bool down;
        uint32_t until;
        void (*act)(); // from a loaded, stopped count at T0
        uint32_t at;   // ms after T0
        TaskbarProgress expected;
    } const cases[] = {
        {"stopped full countdown", true, 0, [] {}, 0, {ProgressNone, 0}},
        {"started", true, 0, [] { StartCount(T0); }, 0, {ProgressNormal, 0}},
        {"a quarter done", true, 0, [] { StartCount(T0); }, 2500, {ProgressNormal, 250}},
        {"whole per mille only", true, 0, [] { StartCount(T0); }, 2509, {ProgressNormal, 250}},
        {"past its end before the pass",
         true,
         0,
         [] { StartCount(T0); },
         10500,
         {ProgressNormal, 1000}},
        {"stopped part-way",
         true,
         0,
         [] {
             StartCount(T0);
             StopCount(T0 + 4000);
         },
         9000,
         {ProgressPaused, 400}},
        {"time up, not yet acknowledged",
         true,
         0,
         [] {
             StartCount(T0);
             Count.TimeIsUp = 1;
             Count.Running = 0;
         },
         11000,
         {ProgressError, 1000}},
        {"acknowledged",
         true,
         0,
         [] {
             StartCount(T0);
             Count.TimeIsUp = 1;
             Count.Running = 0;
             AcknowledgeTimeUp();
         },
         11000,
         {ProgressNone, 0}},
        {"counting up to a time", false, 0, [] { StartCount(T0); }, 2500, {ProgressNone, 0}},
        {"counting up without end", false, 1, [] { StartCount(T0); }, 2500, {ProgressNone, 0}},
        {"counting up, stopped",
         false,
         0,
         [] {
             StartCount(T0);
             StopCount(T0 + 3000);
         },
         5000,
         {ProgressNone, 0}},
    };
    for (const Case& c : cases)
    {
        ResetCountGlobals();
        LoadTenSeconds(c.down, c.until);
        c.act();
        const TaskbarProgress got = TaskbarProgressOf(T0 + c.at);
        EXPECT_EQ(got.State, c.expected.State) << c.name;
        EXPECT_EQ(got.PerMille, c.expected.PerMille) << c.name;
    }
}

TEST_F(CountTest, ALongCountdownsShareIsExactEnoughWithoutOverflow)
{
    Settings.CountDirection = 1;
    LoadAndReset(4000000000u, T0); // 46 days
    StartCount(T0);
    EXPECT_EQ(TaskbarProgressOf(T0 + 1000000000u).PerMille, 250u);
    EXPECT_EQ(TaskbarProgressOf(T0 + 3999999999u).PerMille, 999u);
    EXPECT_EQ(TaskbarProgressOf(T0 + 4000000000u).PerMille, 1000u);
}

// Over a 10-minute countdown shown in tenths, followed pass by pass: the bar changes with its
// per mille (every 600 ms), a screen reader hears of a new minute or a new state, and neither
// changes with every tick.
TEST_F(CountTest, TheOutsideHearsOfChangesNotTicks)
{
    Settings.CountDirection = 1;
    Settings.SecondsMode = 2;
    LoadAndReset(600000, T0);
    OutsideEffects(T0); // what a fresh window shows: the loaded count
    ASSERT_EQ(OutsideEffects(T0) & (EffectProgress | EffectAnnounce), 0u);

    StartCount(T0);
    EXPECT_EQ(OutsideEffects(T0), EffectProgress | EffectAnnounce); // started
    int progress = 0, announced = 0, passes = 0;
    for (uint32_t at = 100; at <= 130000; at += 100, ++passes) // 2 min 10 s of tenths
    {
        const uint32_t effects = OutsideEffects(T0 + at);
        progress += (effects & EffectProgress) != 0;
        announced += (effects & EffectAnnounce) != 0;
    }
    EXPECT_EQ(passes, 1300);
    EXPECT_EQ(progress, 216); // 130 s / 600 ms
    // 10:00.0 becomes 9:59.9 at once, then 8:59.9 and 7:59.9: three new minutes.
    EXPECT_EQ(announced, 3);
    EXPECT_EQ(TaskbarProgressOf(T0 + 130000).PerMille, 216u);

    StopCount(T0 + 130000);
    EXPECT_EQ(OutsideEffects(T0 + 130000), EffectProgress | EffectAnnounce); // paused
    EXPECT_EQ(OutsideEffects(T0 + 200000), 0u);                              // nothing moves
}

} // namespace
