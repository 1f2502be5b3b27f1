#include "count_fixture.h"

namespace
{

constexpr uint32_t T0 = 5000000;

// Start ticks on both sides of the GetTickCount wrap (about every 49.7 days).
const uint32_t StartTicks[] = {T0, 0xFFFFFFFFu - 4999u, 0xFFFFFFFFu - 11999u, 0xFFFFFFFFu};

TEST_F(CountTest, RunningTimeAddsUpAcrossStopsAndTheTickWrap)
{
    for (const uint32_t t0 : StartTicks)
    {
        SCOPED_TRACE(t0);
        ResetCountGlobals();
        // Each start and stop also closes the windows of any time-up it overtakes.
        EXPECT_EQ(StartStopCount(t0), EffectStopLabel | EffectButtonVisibility | EffectSystemMenu |
                                          EffectCloseTimeUpWindows);
        EXPECT_EQ(Count.Running, 1u);
        EXPECT_EQ(ElapsedCount(t0 + 7000), 7000u);
        EXPECT_EQ(StartStopCount(t0 + 10000), EffectStartLabel | EffectButtonVisibility |
                                                  EffectCloseSoundPlayer | EffectSystemMenu |
                                                  EffectCloseTimeUpWindows);
        EXPECT_EQ(Count.Running, 0u);
        // A stopped count stands still.
        EXPECT_EQ(ElapsedCount(t0 + 50000), 10000u);
        StartStopCount(t0 + 60000);
        EXPECT_EQ(ElapsedCount(t0 + 62500), 12500u);
        StartStopCount(t0 + 65000);
        EXPECT_EQ(Count.StartTick, 15000u);
        EXPECT_EQ(ElapsedCount(t0 + 999999), 15000u);
    }
}

TEST_F(CountTest, StartStopChoosesByStateAndOperationsKeepToTheirState)
{
    // Stopped: a start; running: a stop; time up: an acknowledgement that does not start.
    Count.StartTick = 4000; // paused at 4 s
    StartStopCount(T0);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(Count.StartTick, T0 - 4000);
    StartStopCount(T0 + 1000);
    EXPECT_EQ(Count.Running, 0u);
    EXPECT_EQ(Count.StartTick, 5000u);
    Count.TimeIsUp = 1;
    StartStopCount(T0 + 2000);
    EXPECT_EQ(Count.Running, 0u);
    EXPECT_EQ(Count.TimeIsUp, 0u);

    // Called outside their state they change nothing: a second stop would turn the paused
    // count back into a tick.
    const CountState stopped = {0, 0, 5000, 0, 300000, 0, 0, 0};
    Count = stopped;
    EXPECT_EQ(StopCount(T0), 0u);
    EXPECT_EQ(AcknowledgeTimeUp(), 0u);
    EXPECT_EQ(std::memcmp(&Count, &stopped, sizeof Count), 0);
    const CountState running = {1, 0, T0, 0, 300000, 0, 0, 0};
    Count = running;
    EXPECT_EQ(StartCount(T0 + 10), 0u);
    EXPECT_EQ(AcknowledgeTimeUp(), 0u);
    // A running count's Sync and Reset only show it anew.
    EXPECT_EQ(SyncCount(T0, 1, 1) | ResetCount(T0 + 5), EffectShowNow);
    EXPECT_EQ(Count.Running, 1u);
    const CountState timeUp = {0, 1, 0, 0, 300000, 0, 0, 0};
    Count = timeUp;
    EXPECT_EQ(StartCount(T0), 0u);
    EXPECT_EQ(StopCount(T0), 0u);
    EXPECT_EQ(std::memcmp(&Count, &timeUp, sizeof Count), 0);
}

TEST_F(CountTest, StartMinimisesWithAutoMinimise)
{
    Settings.AutoMinimise = 1;
    EXPECT_NE(StartCount(T0) & EffectMinimise, 0u);
    StopCount(T0 + 1);
    Settings.AutoMinimise = 0;
    EXPECT_EQ(StartCount(T0 + 2) & EffectMinimise, 0u);
}

struct LoadCase
{
    uint32_t selection;
    uint32_t direction;
    uint32_t windowState;
    uint32_t time;
    const char* text;
    uint32_t effects;
};

TEST_F(CountTest, LoadSetTimeResolvesTheSelectionAndShowsIt)
{
    const LoadCase cases[] = {
        {0, 1, WindowNormal, 300000, "05:00.0", 0},
        {1, 1, WindowNormal, 16200000, "4:30:00.0", 0},
        {2, 1, WindowMinimised, 1089785800, "12:14:43:05.8", EffectTitle},
        {90000, 1, WindowInTray, 90000, "01:30.0", 0},
        {3000, 1, WindowNormal, 3000, "3.0", 0},
        // Counting up shows a plain 0, whatever the time.
        {0, 0, WindowMinimised, 300000, "0", EffectTitle},
        {90000, 0, WindowNormal, 90000, "0", 0},
    };
    for (const LoadCase& c : cases)
    {
        SCOPED_TRACE(c.selection);
        ResetCountGlobals();
        Settings.CountDirection = c.direction;
        Settings.SelectedTime = 1;
        WindowState = c.windowState;
        Count.StartTick = 1234;
        Count.CountOffset = 55;
        // A running count would show the new time at once.
        EXPECT_EQ(LoadSetTime(c.selection), c.effects | EffectShowNow);
        EXPECT_EQ(Count.TargetTime, c.time);
        EXPECT_EQ(Settings.SetTime, c.time);
        EXPECT_STREQ(DisplayText, c.text);
        EXPECT_EQ(Settings.SelectedTime, 1u);
        EXPECT_EQ(Count.StartTick, 1234u);
        EXPECT_EQ(Count.CountOffset, 55u);
    }
}

TEST_F(CountTest, EndlessCountUpLoadedWithAPresetStartsFromIt)
{
    // The defaults count up without end; AutoReset is off.
    ASSERT_EQ(Settings.CountDirection, 0u);
    ASSERT_EQ(Settings.CountUntil, 1u);
    Settings.SelectedTime = 0; // preset One, 5 minutes
    EXPECT_EQ(LoadAndReset(Settings.SelectedTime, T0) & EffectInvalidate, EffectInvalidate);
    EXPECT_STREQ(DisplayText, "05:00.0");
    EXPECT_EQ(ElapsedCount(T0), 300000u);

    StartCount(T0 + 500);
    ShellSim shell;
    shell.Pass(T0 + 1500);
    EXPECT_STREQ(DisplayText, "05:01.0");

    ResetCount(T0 + 2000);
    EXPECT_EQ(ElapsedCount(T0 + 2000), 0u);
    EXPECT_EQ(Count.Running, 1u);

    // Running: the preset puts the count there and it goes on from it.
    LoadAndReset(0, T0 + 3000);
    EXPECT_EQ(ElapsedCount(T0 + 3000), 300000u);
    EXPECT_EQ(ElapsedCount(T0 + 4000), 301000u);
}

TEST_F(CountTest, LoadAndResetByWayOfCounting)
{
    // A countdown starts again from the full time and keeps its running state.
    Settings.CountDirection = 1;
    LoadSetTime(0);
    StartCount(T0);
    LoadAndReset(1, T0 + 9000);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(ShownValue(T0 + 9000), 16200000u);
    StopCount(T0 + 10000);
    LoadAndReset(0, T0 + 20000);
    EXPECT_EQ(ShownValue(T0 + 30000), 300000u);
    EXPECT_STREQ(DisplayText, "05:00.0");

    // A limited count-up only gets its new limit.
    ResetCountGlobals();
    Settings.CountUntil = 0;
    StartCount(T0);
    LoadAndReset(2, T0 + 7000);
    EXPECT_EQ(ElapsedCount(T0 + 7000), 7000u);
    EXPECT_EQ(Count.TargetTime, 1089785800u);
}

TEST_F(CountTest, ResetByDirection)
{
    // Counting down while running: the countdown starts again from SetTime and runs on.
    Settings.CountDirection = 1;
    LoadSetTime(0);
    StartCount(T0);
    ResetCount(T0 + 42000);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(ShownValue(T0 + 42000), 300000u);
    EXPECT_EQ(ShownValue(T0 + 43000), 299000u);

    // Counting up: back to 0, running on when running, a plain 0 when stopped, also for an
    // endless count that was loaded with a preset.
    ResetCountGlobals();
    LoadAndReset(0, T0);
    StartCount(T0);
    EXPECT_EQ(ResetCount(T0 + 5000), EffectShowNow);
    EXPECT_EQ(ElapsedCount(T0 + 6000), 1000u);
    StopCount(T0 + 7000);
    WindowState = WindowMinimised;
    std::strcpy(DisplayText, "02.0");
    EXPECT_EQ(ResetCount(T0 + 8000), EffectInvalidate | EffectTitle);
    EXPECT_EQ(ElapsedCount(T0 + 9000), 0u);
    EXPECT_STREQ(DisplayText, "0");
    EXPECT_EQ(Count.TargetTime, 300000u);
}

// A new seconds mode: a paused countdown (2 min left of 5) shows the full selected time again;
// while running only the format changes.
TEST_F(CountTest, ModeChangeReloadsOnlyAStoppedCount)
{
    Settings.CountDirection = 1;
    Settings.SelectedTime = 0;
    LoadSetTime(0);
    StartCount(T0);
    Settings.SecondsMode = 1;
    EXPECT_EQ(ReloadStoppedCount(), EffectShowNow);
    EXPECT_EQ(ShownValue(T0 + 1000), 299000u);
    StopCount(T0 + 180000);
    EXPECT_EQ(ReloadStoppedCount(), EffectInvalidate | EffectShowNow);
    EXPECT_EQ(ShownValue(T0 + 200000), 300000u);
    EXPECT_STREQ(DisplayText, "05:00");
}

TEST_F(CountTest, ReversingTwiceKeepsTheShownValue)
{
    Settings.CountDirection = 1;
    LoadSetTime(60000);
    StartCount(T0);
    EXPECT_EQ(ReverseCount(T0 + 20000), EffectDirectionDown | EffectShowNow);
    EXPECT_EQ(Settings.CountDirection, 0u);
    ShellSim shell;
    shell.Pass(T0 + 20000);
    EXPECT_STREQ(DisplayText, "40.0");
    EXPECT_EQ(ShownValue(T0 + 21000), 41000u);

    EXPECT_EQ(ReverseCount(T0 + 25000), EffectDirectionUp | EffectShowNow);
    EXPECT_EQ(Settings.CountDirection, 1u);
    shell.Pass(T0 + 25000);
    EXPECT_STREQ(DisplayText, "45.0");
    EXPECT_EQ(ShownValue(T0 + 26000), 44000u);
    EXPECT_EQ(Count.Running, 1u);
}

struct ReverseCase
{
    uint32_t direction;
    uint32_t running;
    uint32_t revRev;
    uint32_t label;
    uint32_t targetAfter;
};

TEST_F(CountTest, ReverseByStateAndLabelRule)
{
    // 60 s set (SetTime), SelectedTime preset Two; 20 s counted in every case.
    const ReverseCase cases[] = {
        // Up to down: the count so far becomes the time left.
        {0, 0, 0, EffectDirectionUp, 20000},
        {0, 1, 0, EffectDirectionUp, 20000},
        {0, 0, 1, EffectDirectionDown, 20000},
        // Down to up: the time left becomes the count; the limit is the selected time when
        // stopped, the set time when running.
        {1, 0, 0, EffectDirectionDown, 16200000},
        {1, 1, 0, EffectDirectionDown, 60000},
        {1, 1, 1, EffectDirectionUp, 60000},
    };
    for (const ReverseCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.direction << c.running << c.revRev);
        ResetCountGlobals();
        Settings.CountDirection = c.direction;
        Settings.CountUntil = 0;
        Settings.RevRev = c.revRev;
        Settings.SelectedTime = 1;
        LoadSetTime(60000);
        StartCount(T0);
        uint32_t now = T0 + 20000;
        if (c.running == 0) StopCount(now);
        const uint32_t before = ShownValue(now);

        EXPECT_EQ(ReverseCount(now), c.label | EffectShowNow);
        EXPECT_EQ(Settings.CountDirection, 1 - c.direction);
        EXPECT_EQ(DirectionLabelEffect(), c.label);
        EXPECT_EQ(Count.TargetTime, c.targetAfter);
        EXPECT_EQ(Settings.SetTime, 60000u);
        EXPECT_EQ(ShownValue(now), before);
        EXPECT_EQ(Count.Running, c.running);
        // Running, the new direction moves on from there; stopped it stays.
        const uint32_t later = ShownValue(now + 1000);
        const uint32_t expected =
            c.running == 0 ? before : (c.direction == 0 ? before - 1000 : before + 1000);
        EXPECT_EQ(later, expected);
    }
}

TEST_F(CountTest, DirectionLabelRule)
{
    struct LabelCase
    {
        uint32_t direction, revRev, label;
    };
    // Clear: the direction a press gives; set: the current one.
    const LabelCase cases[] = {{0, 0, 17}, {1, 0, 16}, {0, 1, 16}, {1, 1, 17}};
    for (const LabelCase& c : cases)
    {
        Settings.CountDirection = c.direction;
        Settings.RevRev = c.revRev;
        EXPECT_EQ(DirectionLabel(), c.label) << c.direction << " " << c.revRev;
    }
}

struct SyncCase
{
    uint32_t direction;
    uint32_t shownBefore;
    uint32_t seconds, milliseconds;
    uint32_t shownAfter;
};

TEST_F(CountTest, SyncLinesTheCountUpWithTheClock)
{
    const SyncCase cases[] = {
        // Counting down 7:31.5 at 10:42:15.250: 7:44.75, passing each minute with the clock.
        {1, 451500, 15, 250, 464750},
        // Counting up 3:10 at hh:mm:20.000: 3:20.
        {0, 190000, 20, 0, 200000},
        {0, 59999, 59, 999, 59999},
        {1, 30000, 0, 0, 60000},
        // A leap second counts as the minute's last moment.
        {0, 60000, 60, 0, 119999},
    };
    for (const SyncCase& c : cases)
    {
        SCOPED_TRACE(c.shownBefore);
        ResetCountGlobals();
        Settings.CountDirection = c.direction;
        Settings.SetTime = 600000;
        Count.TargetTime = 600000;
        StartCount(T0);
        // Make the shown value what the case asks at T0 + 150 000.
        const uint32_t now = T0 + 150000;
        Count.StartTick = c.direction != 0 ? now - (600000 - c.shownBefore) : now - c.shownBefore;
        ASSERT_EQ(ShownValue(now), c.shownBefore);

        EXPECT_EQ(SyncCount(now, c.seconds, c.milliseconds), EffectShowNow);
        EXPECT_EQ(ShownValue(now), c.shownAfter);
        EXPECT_EQ(Count.StartTick, now);
        EXPECT_EQ(Settings.SetTime, 600000u);
        EXPECT_EQ(Count.Running, 1u);
    }
}

// A countdown that has just run out, before the counting thread's next pass noticed: the time
// left is nothing, not a wrapped-round 49 days.
TEST_F(CountTest, RunOutCountdownReversesAndSyncsFromZero)
{
    for (int sync = 0; sync < 2; ++sync)
    {
        SCOPED_TRACE(sync);
        ResetCountGlobals();
        Settings.CountDirection = 1;
        LoadSetTime(10000);
        StartCount(T0);
        const uint32_t now = T0 + 10030;
        EXPECT_EQ(ShownValue(now), 0u);
        if (sync != 0)
        {
            SyncCount(now, 15, 250);
            EXPECT_EQ(Count.TargetTime, 44750u);
            EXPECT_EQ(ShownValue(now), 44750u);
        }
        else
        {
            ReverseCount(now);
            EXPECT_EQ(Count.CountOffset, 0u);
            EXPECT_EQ(ShownValue(now + 2000), 2000u);
        }
    }
}

struct AutoResetCase
{
    uint32_t autoReset;
    bool quickSet; // a QuickSet choice of 10 minutes came just before the start
    uint32_t shownAtStart;
    uint32_t autoResetAfter;
};

TEST_F(CountTest, AutoResetAndTheQuickSetStart)
{
    const AutoResetCase cases[] = {
        // A stopped countdown with 2 min left begins again from the selected time.
        {1, false, 300000, 1},
        // Off: it goes on from 2 min.
        {0, false, 120000, 0},
        // Right after a QuickSet choice with auto start it is not reset a second time.
        {99, true, 600000, 1},
        // Later starts reset again.
        {1, true, 300000, 1},
    };
    for (const AutoResetCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.autoReset << " " << c.quickSet);
        ResetCountGlobals();
        Settings.CountDirection = 1;
        Settings.SelectedTime = 0;
        LoadSetTime(0);
        StartCount(T0);
        StopCount(T0 + 180000);
        ASSERT_EQ(ShownValue(T0 + 200000), 120000u);
        if (c.quickSet) LoadAndReset(10 * 60000, T0 + 200000);
        Settings.AutoReset = c.autoReset;

        const uint32_t effects = StartCount(T0 + 300000);
        EXPECT_EQ(ShownValue(T0 + 300000), c.shownAtStart);
        EXPECT_EQ(Settings.AutoReset, c.autoResetAfter);
        EXPECT_EQ(effects & EffectInvalidate, c.autoReset == 1 ? EffectInvalidate : 0u);
        EXPECT_EQ(Count.Running, 1u);
    }
}

TEST_F(CountTest, AcknowledgeEndsTheAlarmAndShowsTheSetTimeStopped)
{
    Settings.CountDirection = 1;
    LoadSetTime(10000);
    Count.TimeIsUp = 1;
    Count.StartTick = 777;
    Count.CountOffset = 3;
    Settings.AlarmCycleActive = 1;
    FlashPhase = 1;
    AlarmRepeats = 7;
    std::strcpy(DisplayText, "0");

    // As the shell runs it: the counting rules take their part (the alarm cycle ends).
    EXPECT_EQ(TakeCountEffects(StartStopCount(T0)),
              EffectStartLabel | EffectCloseSoundPlayer | EffectButtonVisibility |
                  EffectInvalidate | EffectSystemMenu | EffectCloseTimeUpWindows);
    EXPECT_EQ(Count.TimeIsUp, 0u);
    EXPECT_EQ(Count.Running, 0u);
    EXPECT_EQ(Settings.AlarmCycleActive, 0u);
    EXPECT_EQ(FlashPhase, 0u);
    EXPECT_EQ(AlarmRepeats, 0u);
    EXPECT_EQ(ElapsedCount(T0), 0u);
    EXPECT_STREQ(DisplayText, "10.0");
}

} // namespace
