#include "count_fixture.h"

#include <algorithm>

namespace
{

constexpr uint32_t T0 = 7000000;

// A countdown of `time` ms loaded and started at `start`.
struct EndCase
{
    uint32_t direction;
    uint32_t countUntil;
    bool ends;
};

// The time-up comes in the first pass after the target has passed (strictly), for a
// countdown and a limited count-up alike; an endless count-up never ends.
TEST_F(CountTest, TimeUpByWayOfCounting)
{
    const EndCase cases[] = {{1, 0, true}, {1, 1, true}, {0, 0, true}, {0, 1, false}};
    for (const EndCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.direction << " " << c.countUntil);
        ResetCountGlobals();
        Settings.CountDirection = c.direction;
        Settings.CountUntil = c.countUntil;
        Settings.ShowTimeUpWindow = 0;
        Settings.FlashDisplay = 0;
        Count.TargetTime = 5000;
        Settings.SetTime = 5000;
        StartCount(T0);
        ShellSim shell;

        const CountRequests& atTarget = shell.Pass(T0 + 5000);
        EXPECT_EQ(atTarget.PrepareAlarmSound, 0u);
        EXPECT_STREQ(DisplayText, c.direction != 0 ? "0.0" : "5.0");
        EXPECT_EQ(Count.Running, 1u);

        const CountRequests& after = shell.Pass(T0 + 5001);
        if (!c.ends)
        {
            EXPECT_EQ(after.PrepareAlarmSound, 0u);
            EXPECT_EQ(after.PostCount, 0u);
            EXPECT_STREQ(DisplayText, "5.0");
            shell.Pass(T0 + 4000000000u);
            EXPECT_EQ(Count.Running, 1u);
            EXPECT_EQ(Count.TimeIsUp, 0u);
            continue;
        }
        EXPECT_EQ(after.PrepareAlarmSound, 1u);
        ASSERT_EQ(after.PostCount, 1u);
        EXPECT_EQ(after.Posts[0], CmdAlarmAction);
        EXPECT_EQ(Count.Running, 0u);
        EXPECT_EQ(Count.TimeIsUp, 1u);
        EXPECT_EQ(ElapsedCount(T0 + 9999), 0u);
        EXPECT_STREQ(DisplayText, "0");
        EXPECT_NE(after.Effects & EffectInvalidate, 0u);
        EXPECT_EQ(after.StartTimeUpThread, 0u);
        // No cycle without RepeatSound or FlashDisplay: the thread goes idle.
        EXPECT_EQ(Settings.AlarmCycleActive, 0u);
        EXPECT_EQ(shell.Pass(T0 + 6000).CheckSoundPlayer, 0u);
    }
}

// At the end, minimised: the title takes the "0" instead of a repaint.
TEST_F(CountTest, TimeUpWhileMinimisedSetsTheTitle)
{
    Settings.ShowTimeUpWindow = 0;
    StartCountdown(5000, T0);
    WindowState = WindowMinimised;
    ShellSim shell;
    const CountRequests& r = shell.Pass(T0 + 5050);
    EXPECT_EQ(r.Effects & (EffectTitle | EffectInvalidate), EffectTitle);
    EXPECT_STREQ(DisplayText, "0"); // what the window thread then puts in the title
}

TEST_F(CountTest, RunningPassShowsTheCountAndFollowsTheSystemMenu)
{
    Settings.SecondsMode = 1;
    StartCountdown(90000, T0);
    ShellSim shell;
    ChangeCount = 0;
    // What the taskbar, screen readers, sleep and the kept count take has its own tests.
    constexpr uint32_t Outside = EffectProgress | EffectAnnounce | EffectPower | EffectKeep;
    const CountRequests first = shell.Pass(T0 + 500);
    EXPECT_STREQ(DisplayText, "01:29");
    EXPECT_EQ(first.Effects & ~Outside, EffectSystemMenu | EffectInvalidateTimeBand);
    EXPECT_EQ(first.CheckSoundPlayer, 1u);
    EXPECT_EQ(first.SleepMs, 501u); // until 01:28 shows, a millisecond past 89 s left
    // The painter has been; the same second again asks for no repaint.
    ChangeCount = 0;
    EXPECT_EQ(shell.Pass(T0 + 1000).Effects & ~Outside, EffectSystemMenu);
    EXPECT_EQ(shell.Pass(T0 + 1001).Effects & ~Outside,
              EffectSystemMenu | EffectInvalidateTimeBand);
    EXPECT_STREQ(DisplayText, "01:28");
}

struct DueCase
{
    const char* what;
    uint32_t secondsMode;
    uint32_t direction;  // 1 down
    uint32_t countUntil; // counting up: 0 ends at the target, 1 never ends
    uint32_t target;
    uint32_t frequency; // 0xFFFFFFFE: Auto
    uint32_t elapsed;   // at the pass
    uint32_t shownAgo;  // since the text was last shown; 0: at this very pass
    uint32_t delay;     // what is due next, in ms
};
constexpr uint32_t Auto = 0xFFFFFFFE;
constexpr uint32_t Never = 0xFFFFFFFF;

// When the counting thread is due next, a count running: the next boundary of the last digit
// shown (never sooner than a frame after the last showing), the first multiple of a chosen
// frequency from then on, and the time-up, which no frequency holds back.
TEST_F(CountTest, NextDueWhileRunningByModeFrequencyAndDirection)
{
    const DueCase cases[] = {
        {"Seconds, down", 1, 1, 0, 100000, Auto, 300, 0, 701},
        {"Deci, down", 2, 1, 0, 100000, Auto, 330, 0, 71},
        {"Centi, down: a frame after the last showing", 3, 1, 0, 100000, Auto, 333, 0, 16},
        {"Centi, down: shown 10 ms ago", 3, 1, 0, 100000, Auto, 333, 10, 8},
        {"Milli, down: a frame", 4, 1, 0, 100000, Auto, 333, 0, 16},
        {"Milli, down: shown long ago", 4, 1, 0, 100000, Auto, 333, 5000, 1},
        {"No Seconds, down: the minute", 0, 1, 0, 100000, Auto, 300, 0, 39701},
        {"No Seconds, down under a minute: the second", 0, 1, 0, 30000, Auto, 300, 0, 701},
        {"No Seconds, up: the first minute's seconds", 0, 0, 1, 0, Auto, 300, 0, 700},
        {"No Seconds, up: the minute", 0, 0, 1, 0, Auto, 61300, 0, 58700},
        {"Seconds, up without end", 1, 0, 1, 0, Auto, 300, 0, 700},
        {"Deci, up without end", 2, 0, 1, 0, Auto, 330, 0, 70},
        {"Seconds, up until 5 s: the time-up, within the frame", 1, 0, 0, 5000, Auto, 4990, 0, 11},
        {"down, showing 0: the time-up", 2, 1, 0, 5000, Auto, 5000, 0, 1},
        {"Seconds, 1,900 ms: the first multiple after the next second", 1, 1, 0, 100000, 1900, 300,
         0, 1600},
        {"Seconds, 1,900 ms: the time-up before the multiple", 1, 1, 0, 3000, 1900, 1900, 0, 1101},
        {"Seconds, 0 ms: as 1 ms", 1, 1, 0, 100000, 0, 300, 0, 701},
        {"Milli, 1 ms: a frame", 4, 1, 0, 100000, 1, 333, 0, 16},
        {"Deci, 50 ms", 2, 1, 0, 100000, 50, 330, 0, 120},
        {"Seconds, 4294967295 ms: only the time-up", 1, 1, 0, 100000, 0xFFFFFFFF, 300, 0, 99701},
        {"up without end, 4294967295 ms: the multiple 49 days on, in waits below 2^31 ms", 1, 0, 1,
         0, 0xFFFFFFFF, 300, 0, LongestWait},
    };
    for (const DueCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        ResetCountGlobals();
        Settings.SecondsMode = c.secondsMode;
        Settings.CountDirection = c.direction;
        Settings.CountUntil = c.countUntil;
        Settings.AutoFrequency = c.frequency == Auto ? 1 : 0;
        Settings.UpdateFrequency = c.frequency == Auto ? 50 : c.frequency;
        Count.TargetTime = c.target;
        StartCount(T0);
        CountingThreadState thread{};
        thread.ShownTick = T0 + c.elapsed - c.shownAgo;
        EXPECT_EQ(NextDueDelay(T0 + c.elapsed, thread), c.delay);
    }
}

// Stopped, nothing is due unless an alarm cycle runs: its next step comes once more than the
// interval has gathered since its clock started, and not while a chooser is open.
TEST_F(CountTest, NextDueWhileStoppedIsTheAlarmCycleOrNothing)
{
    const struct
    {
        const char* what;
        uint32_t cycle, chooser, lastTick, gathered, running;
        uint32_t delay;
    } cases[] = {
        {"stopped", 0, 0, 0, 0, 0, Never},
        {"time up, flashing every 700 ms, 200 ms in", 1, 0, T0, 0, 0, 501},
        {"time up, 100 ms gathered before", 1, 0, T0, 100, 0, 401},
        {"its first pass starts the clock", 1, 0, 0, 0, 0, 0},
        {"a chooser holds the cycle", 1, 1, T0, 0, 0, Never},
        {"a repeat's cycle beside the running count, its next second later", 1, 0, T0, 0, 1, 501},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ResetCountGlobals();
        Settings.RepeatInterval = 700;
        Settings.AlarmCycleActive = c.cycle;
        Settings.CountDirection = 1;
        Settings.SecondsMode = 1;
        ChooserOpen = c.chooser;
        Count.TargetTime = 100000;
        if (c.running != 0) StartCount(T0 - 59900); // at T0 + 200 its next second is 901 ms away
        CountingThreadState thread{};
        thread.AlarmLastTick = c.lastTick;
        thread.AlarmAccum = c.gathered;
        thread.ShownTick = T0;
        EXPECT_EQ(NextDueDelay(T0 + 200, thread), c.delay);
    }
}

// The wait is measured when the thread starts it, after carrying out what the pass asked: what
// that took comes off the wait, and a wait whose tick has come is none.
TEST_F(CountTest, WhatIsLeftOfAWaitWhenItStarts)
{
    const struct
    {
        const char* what;
        uint32_t wakeTick, now, waitForWork;
        uint32_t left;
    } cases[] = {
        {"at once", T0 + 500, T0, 0, 500},
        {"the pass's requests took 100 ms", T0 + 500, T0 + 100, 0, 400},
        {"its tick has come", T0 + 500, T0 + 500, 0, 0},
        {"its tick has passed", T0 + 500, T0 + 520, 0, 0},
        {"across the tick's wrap", 0x10, 0xFFFFFFF0u, 0, 0x20},
        {"the longest wait", T0 + LongestWait, T0, 0, LongestWait},
        {"waiting for work", 0, T0, 1, NothingDue},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        CountRequests requests = {};
        requests.WakeTick = c.wakeTick;
        requests.WaitForWork = c.waitForWork;
        EXPECT_EQ(WaitLeft(requests, c.now), c.left);
    }
}

// The thread as the shell runs it: each pass waits exactly what it asked for. Over ten
// seconds of each mode it wakes once per change of the text (no more than a frame rate in the
// fast modes), every shown text is new and comes at its boundary, and the time-up comes on
// its millisecond.
TEST_F(CountTest, AThreadThatWaitsAsAskedWakesOnlyWhenSomethingIsDue)
{
    const struct
    {
        uint32_t secondsMode;
        uint32_t mostPasses;
        uint32_t mostLate; // a new text after its boundary: 0, or within the frame's wait
    } modes[] = {{0, 12, 0}, {1, 12, 0}, {2, 102, 0}, {3, 640, 9}, {4, 640, 15}};
    for (const auto& m : modes)
    {
        SCOPED_TRACE(m.secondsMode);
        ResetCountGlobals();
        Settings.SecondsMode = m.secondsMode;
        Settings.ShowTimeUpWindow = 0;
        Settings.FlashDisplay = 0;
        Settings.RepeatSound = 0;
        StartCountdown(10000, T0);
        ShellSim shell;
        std::string last = DisplayText;
        uint32_t passes = 0, stale = 0, tick = T0, late = 0;
        for (;;)
        {
            TextLateness = 0;
            const CountRequests& r = shell.Pass(tick);
            ++passes;
            if (Count.Running != 0 && last == DisplayText) ++stale;
            last = DisplayText;
            // From the second step on: the first comes a millisecond after the start, within the
            // start's frame.
            if (tick - T0 >= 100) late = std::max(late, TextLateness);
            if (r.WaitForWork != 0) break;
            ASSERT_GT(r.SleepMs, 0u);
            tick += r.SleepMs;
        }
        EXPECT_LE(passes, m.mostPasses);
        EXPECT_LE(late, m.mostLate);
        EXPECT_EQ(TimeUpLateness, 0u);
        EXPECT_EQ(stale, 1u); // the start's pass, which shows the set time already loaded
        ASSERT_EQ(shell.timeUpTicks.size(), 1u);
        EXPECT_EQ(shell.timeUpTicks[0], T0 + 10001);
    }
}

struct WakeCase
{
    const char* what;
    void (*change)();
    bool wakes;
};

// The wake is taken as the lock is released after each change: only a change that leaves the
// count running or an alarm cycle going wakes the idle thread, and only once.
TEST_F(CountTest, IdleThreadIsWokenOnceByWhatGivesItWork)
{
    const WakeCase cases[] = {
        {"start", [] { StartCount(T0); }, true},
        {"start/stop key", [] { StartStopCount(T0); }, true},
        {"alarm cycle", [] { Settings.AlarmCycleActive = 1; }, true},
        {"start then stop",
         [] {
             StartCount(T0);
             StopCount(T0 + 10);
         },
         false},
        {"reset while stopped", [] { ResetCount(T0); }, false},
        {"preset while stopped", [] { LoadAndReset(1, T0); }, false},
        {"nothing", [] {}, false},
    };
    for (const WakeCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        ResetCountGlobals();
        Settings.CountDirection = 1;
        LoadSetTime(60000);
        ShellSim shell;
        EXPECT_FALSE(TakeCountingWake(T0)); // not yet waiting: it has not made a pass
        ASSERT_EQ(shell.Pass(T0).WaitForWork, 1u);
        EXPECT_FALSE(TakeCountingWake(T0));
        c.change();
        EXPECT_EQ(TakeCountingWake(T0), c.wakes);
        EXPECT_FALSE(TakeCountingWake(T0));
        if (!c.wakes) continue;
        // Woken, it works and asks for no wake while nothing changes.
        EXPECT_EQ(shell.Pass(T0 + 50).WaitForWork, 0u);
        EXPECT_FALSE(TakeCountingWake(T0 + 50));
    }
}

// Waiting for its next due tick, the thread is woken by a change that makes something due
// sooner (a huge frequency made short, Auto, a chooser closed on a waiting cycle) or leaves
// nothing due, not by one that makes it due later, and at most once.
TEST_F(CountTest, AWaitingThreadIsWokenByWhatMakesSomethingDueSooner)
{
    const WakeCase cases[] = {
        {"4294967295 ms made 50 ms", [] { Settings.UpdateFrequency = 50; }, true},
        {"Auto", [] { Settings.AutoFrequency = 1; }, true},
        {"a longer frequency", [] { Settings.UpdateFrequency = 0xFFFFFFFE; }, false},
        {"stopped: it goes to rest at once", [] { StopCount(T0 + 400); }, true},
        {"nothing", [] {}, false},
    };
    for (const WakeCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        ResetCountGlobals();
        Settings.SecondsMode = 1;
        Settings.AutoFrequency = 0;
        Settings.UpdateFrequency = 0xFFFFFFFF;
        StartCountdown(100000, T0);
        ShellSim shell;
        ASSERT_EQ(shell.Pass(T0 + 300).SleepMs, 99701u); // only the time-up is due
        EXPECT_FALSE(TakeCountingWake(T0 + 300));
        c.change();
        EXPECT_EQ(TakeCountingWake(T0 + 400), c.wakes);
        EXPECT_FALSE(TakeCountingWake(T0 + 400));
    }

    // An endless count-up at 3,000,000,000 ms has nothing due for 34 days: it waits in steps
    // below 2^31 ms, and a frequency made short wakes it however far in its wait it is.
    for (const uint32_t since : {100u, 1000000u, 2000000000u})
    {
        SCOPED_TRACE(since);
        ResetCountGlobals();
        Settings.SecondsMode = 1;
        Settings.AutoFrequency = 0;
        Settings.UpdateFrequency = 3000000000u;
        Settings.CountUntil = 1;
        StartCount(T0);
        ShellSim shell;
        ASSERT_EQ(shell.Pass(T0 + 300).SleepMs, LongestWait);
        Settings.UpdateFrequency = 50;
        EXPECT_TRUE(TakeCountingWake(T0 + 300 + since));
    }

    // A time-up's flashing held by an open chooser waits for work; the chooser's close wakes it.
    // (Kept awake for it, the thread would look again when that ends.)
    ResetCountGlobals();
    Settings.AllowSleep = 1;
    Settings.FlashDisplay = 1;
    Settings.ShowTimeUpWindow = 0;
    StartCountdown(5000, T0);
    ShellSim shell;
    ASSERT_EQ(shell.Pass(T0 + 5001).SleepMs, Settings.RepeatInterval + 1);
    ChooserOpen = 1;
    EXPECT_EQ(shell.Pass(T0 + 5100).WaitForWork, 1u);
    EXPECT_FALSE(TakeCountingWake(T0 + 9000));
    ChooserOpen = 0;
    EXPECT_TRUE(TakeCountingWake(T0 + 9000));
}

struct ShowCase
{
    const char* what;
    void (*change)(uint32_t tick);
    uint32_t stateBefore; // WindowState
    const char* text;     // shown by the pass right after the change
};

// A running count in No Seconds waits about a minute for its next text. Every change that alters
// what the window or its minimised title must show wakes it at once, and the pass that follows
// shows the new text and, minimised, the title, however recently the title was last set.
TEST_F(CountTest, WhatMustShowNowWakesTheThreadAndShowsAtOnce)
{
    const ShowCase cases[] = {
        {"minimised", [](uint32_t) { TakeCountEffects(ChangeWindowState(WindowMinimised)); },
         WindowNormal, "09"},
        {"restored", [](uint32_t) { TakeCountEffects(ChangeWindowState(WindowNormal)); },
         WindowMinimised, "09"},
        {"to the tray", [](uint32_t) { TakeCountEffects(ChangeWindowState(WindowInTray)); },
         WindowMinimised, "09"},
        {"a preset",
         [](uint32_t tick) {
             Settings.SelectedTime = 1;
             TakeCountEffects(LoadAndReset(Settings.SelectedTime, tick));
         },
         WindowMinimised, "05"},
        {"a QuickSet time", [](uint32_t tick) { TakeCountEffects(LoadAndReset(120000, tick)); },
         WindowMinimised, "02"},
        {"Seconds", [](uint32_t) { TakeCountEffects(ChangeSecondsMode(1)); }, WindowMinimised,
         "09:40"},
        {"days always", [](uint32_t) { TakeCountEffects(ChangeDaysMode(2)); }, WindowMinimised,
         "09"},
        {"Reset", [](uint32_t tick) { TakeCountEffects(ResetCount(tick)); }, WindowMinimised, "10"},
        {"Reverse", [](uint32_t tick) { TakeCountEffects(ReverseCount(tick)); }, WindowMinimised,
         "09"},
        {"Sync", [](uint32_t tick) { TakeCountEffects(SyncCount(tick, 30, 0)); }, WindowMinimised,
         "09"},
    };
    for (const ShowCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        ResetCountGlobals();
        Settings.SecondsMode = 0;
        Settings.PresetTimes[1] = 300000;
        Settings.ShowTimeUpWindow = 0;
        WindowState = c.stateBefore;
        StartCountdown(600000, T0);
        ShellSim shell;
        shell.Pass(T0);
        // The minimised title was set a moment ago; the next text is 40 s away.
        ASSERT_GE(shell.Pass(T0 + 19990).SleepMs, 30000u);
        EXPECT_FALSE(TakeCountingWake(T0 + 20000));

        c.change(T0 + 20000);
        EXPECT_TRUE(TakeCountingWake(T0 + 20000));
        const CountRequests& shown = shell.Pass(T0 + 20000);
        EXPECT_STREQ(DisplayText, c.text);
        EXPECT_EQ((shown.Effects & EffectTitle) != 0, WindowState == WindowMinimised);
        // Shown once: the thread goes back to waiting for the next change of the text.
        EXPECT_GT(shown.SleepMs, 0u);
        EXPECT_FALSE(TakeCountingWake(T0 + 20000));
    }

    // A stopped count shows what its operations leave; nothing wakes the resting thread.
    ResetCountGlobals();
    Settings.CountDirection = 1;
    LoadSetTime(600000);
    ShellSim shell;
    ASSERT_EQ(shell.Pass(T0).WaitForWork, 1u);
    TakeCountEffects(ChangeWindowState(WindowMinimised));
    TakeCountEffects(ChangeSecondsMode(1));
    TakeCountEffects(ResetCount(T0));
    EXPECT_FALSE(TakeCountingWake(T0));
}

// A final time-up ends the work: without a cycle the next pass is idle again, and a start
// after it wakes the thread.
TEST_F(CountTest, ThreadGoesIdleAfterTheTimeUpAndIsWokenByTheNextStart)
{
    Settings.RepeatSound = 0;
    Settings.FlashDisplay = 0;
    Settings.ShowTimeUpWindow = 0;
    StartCountdown(5000, T0);
    ShellSim shell;
    // The time-up itself leaves nothing due.
    EXPECT_EQ(shell.Pass(T0 + 5001).WaitForWork, 1u);
    EXPECT_EQ(shell.timeUpTicks.size(), 1u);
    EXPECT_EQ(shell.Pass(T0 + 5050).WaitForWork, 1u);
    AcknowledgeTimeUp();
    EXPECT_FALSE(TakeCountingWake(T0 + 9000));
    StartCount(T0 + 9000);
    EXPECT_TRUE(TakeCountingWake(T0 + 9000));
    EXPECT_EQ(shell.Pass(T0 + 9050).WaitForWork, 0u);
}

// Ten seconds, Beep, RepeatSound, interval 1.5 s, no window, then Stop: the beep repeats about
// every 1.5 s until acknowledged; then 10 s shows again, stopped.
TEST_F(CountTest, FinalTimeUpRepeatsUntilAcknowledged)
{
    Settings.RepeatSound = 1;
    Settings.FlashDisplay = 0;
    Settings.ShowTimeUpWindow = 0;
    StartCountdown(10000, T0);
    ShellSim shell;
    shell.Run(T0, 40000, 50);

    ASSERT_EQ(shell.timeUpTicks.size(), 1u);
    EXPECT_EQ(shell.timeUpTicks[0], T0 + 10050);
    EXPECT_EQ(shell.CountPosts(CmdStartStop), 0u);
    const size_t beeps = shell.CountPosts(CmdAlarmAction);
    EXPECT_GE(beeps, 18u); // far past the two of a repeat's cycle
    for (size_t i = 1; i < shell.posts.size(); ++i)
    {
        const uint32_t gap = shell.posts[i].tick - shell.posts[i - 1].tick;
        EXPECT_GT(gap, 1500u);
        EXPECT_LE(gap, 1550u);
    }
    EXPECT_EQ(Count.TimeIsUp, 1u);
    EXPECT_EQ(Settings.AlarmCycleActive, 1u);

    TakeCountEffects(StartStopCount(T0 + 40010));
    EXPECT_STREQ(DisplayText, "10.0");
    EXPECT_EQ(Count.Running | Count.TimeIsUp | Settings.AlarmCycleActive, 0u);
    shell.posts.clear();
    shell.Run(T0 + 40050, 10000, 50);
    EXPECT_TRUE(shell.posts.empty());
}

// The same with Repeat: the count runs on without a gap, each period's end sounds three times.
TEST_F(CountTest, RepeatSoundsThreeTimesAPeriodAndRunsOn)
{
    Settings.RepeatSound = 1;
    Settings.FlashDisplay = 0;
    Settings.ShowTimeUpWindow = 0;
    Settings.ThenAction = 2;
    StartCountdown(10000, T0);
    ShellSim shell;
    shell.Run(T0, 39990, 50);

    ASSERT_EQ(shell.timeUpTicks.size(), 3u);
    EXPECT_EQ(shell.CountPosts(CmdStartStop), 0u);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(Count.TimeIsUp, 0u);
    EXPECT_EQ(Count.StartTick, T0 + 30000);
    for (size_t period = 0; period < 3; ++period)
    {
        const uint32_t from = shell.timeUpTicks[period];
        size_t beeps = 0;
        for (const PostedCommand& p : shell.posts)
            if (p.command == CmdAlarmAction && p.tick - from < 10000) ++beeps;
        EXPECT_EQ(beeps, 3u) << period;
    }
    EXPECT_EQ(Settings.AlarmCycleActive, 0u);
}

// However late the passes come, every period starts where the last one ended: the 1000th
// period of a repeating 10 s countdown ends at exactly 10 000 s.
TEST_F(CountTest, RepeatedPeriodsDoNotDrift)
{
    Settings.ThenAction = 2;
    Settings.ShowTimeUpWindow = 0;
    Settings.RepeatSound = 0;
    Settings.FlashDisplay = 0;
    const uint32_t start = 0xFFFFFFFFu - 123456u; // the run crosses the tick wrap too
    StartCountdown(10000, start);
    ShellSim shell;

    uint32_t seed = 12345;
    uint32_t elapsed = 0;
    while (shell.timeUpTicks.size() < 1000)
    {
        seed = seed * 1103515245u + 12345u;
        elapsed += 1 + (seed >> 16) % 997; // up to a second late
        ASSERT_LT(elapsed, 10010000u);
        shell.Pass(start + elapsed);
    }
    // Every period ended in the first pass after its boundary, never earlier or later.
    for (uint32_t k = 0; k < 1000; ++k)
    {
        const uint32_t at = shell.timeUpTicks[k] - start;
        EXPECT_GT(at, (k + 1) * 10000u);
        EXPECT_LE(at, (k + 1) * 10000u + 997u);
    }
    EXPECT_EQ(Count.StartTick, start + 10000000u);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(ShownValue(start + 10000000u + 2500u), 7500u);
}

// A repeating 5 s count whose passes stop for eight hours (the machine slept) fires once for
// the 5,760 periods it missed, not once a pass, then goes on with the period that is current
// now, on the same 5 s grid: by each "and then" action that repeats.
TEST_F(CountTest, AStallFiresOnceThenRepeatsFromThePeriodCurrentNow)
{
    constexpr uint32_t Night = 8 * 3600 * 1000;
    for (const uint32_t thenAction : {1u, 2u, 3u})
    {
        SCOPED_TRACE(testing::Message() << "then " << thenAction);
        ResetCountGlobals();
        Settings.ThenAction = thenAction;
        Settings.AlarmAction = 1; // a beep at each time-up
        Settings.CountUntil = 0;  // a reversed count ends at the set time too
        Settings.ShowTimeUpWindow = 1;
        Settings.FlashDisplay = 0;
        for (uint32_t& preset : Settings.PresetTimes)
            preset = 5000;
        StartCountdown(5000, T0);
        ShellSim shell;
        shell.Run(T0, 12000, 50); // ends at 5 050 and 10 050
        ASSERT_EQ(shell.timeUpTicks.size(), 2u);

        shell.Pass(T0 + Night + 1234);
        shell.Run(T0 + Night + 1284, 10000, 50);
        ASSERT_EQ(shell.timeUpTicks.size(), 5u);
        EXPECT_EQ(shell.timeUpTicks[2], T0 + Night + 1234);
        EXPECT_EQ(shell.timeUpTicks[3], T0 + Night + 5034);
        EXPECT_EQ(shell.timeUpTicks[4], T0 + Night + 10034);
        EXPECT_EQ(shell.CountPosts(CmdAlarmAction), 5u);
        EXPECT_EQ(shell.windowAutoClose.size(), 5u);
        EXPECT_EQ(Count.Running, 1u);
        EXPECT_EQ(ElapsedCount(T0 + Night + 10034), 34u);
    }
}

TEST_F(CountTest, CountdownAcrossTheTickWrap)
{
    Settings.ShowTimeUpWindow = 0;
    const uint32_t start = 0xFFFFFFFFu - 2999u; // 3 s before the wrap
    StartCountdown(10000, start);
    ShellSim shell;
    shell.Pass(start + 2000);
    EXPECT_STREQ(DisplayText, "8.0");
    shell.Pass(start + 4500); // past the wrap
    EXPECT_STREQ(DisplayText, "5.5");
    shell.Pass(start + 10000);
    EXPECT_EQ(Count.Running, 1u);
    shell.Pass(start + 10001);
    EXPECT_EQ(Count.TimeIsUp, 1u);
}

TEST_F(CountTest, ShortCountsEndInsteadOfRepeating)
{
    struct ShortCase
    {
        uint32_t time;
        bool repeats;
    };
    const ShortCase cases[] = {{2000, false}, {1500, false}, {2001, true}, {3000, true}};
    for (const ShortCase& c : cases)
    {
        SCOPED_TRACE(c.time);
        ResetCountGlobals();
        Settings.ThenAction = 2;
        Settings.ShowTimeUpWindow = 0;
        // The time comes from a reverse at that point, as it can in use.
        Settings.CountDirection = 0;
        Settings.CountUntil = 0;
        StartCount(T0);
        ReverseCount(T0 + c.time);
        ShellSim shell;
        shell.Pass(T0 + 2 * c.time + 1);
        ASSERT_EQ(shell.timeUpTicks.size(), 1u);
        EXPECT_EQ(Count.Running, c.repeats ? 1u : 0u);
        // A final time-up followed by Repeat posts the acknowledgement.
        EXPECT_EQ(shell.CountPosts(CmdAcknowledgeTimeUp), c.repeats ? 0u : 1u);
    }
}

// Next Time with presets 1, 2 and 3 minutes: 1, 2, 3, 1 minutes without stopping.
TEST_F(CountTest, NextTimeWalksThePresets)
{
    Settings.ThenAction = 3;
    Settings.ShowTimeUpWindow = 0;
    Settings.PresetTimes[0] = 60000;
    Settings.PresetTimes[1] = 120000;
    Settings.PresetTimes[2] = 180000;
    Settings.SelectedTime = 0;
    StartCountdown(Settings.SelectedTime, T0);
    ShellSim shell;
    std::vector<uint32_t> targets{Count.TargetTime};
    std::vector<uint32_t> ends;
    for (uint32_t t = 0; t <= 500000; t += 50)
    {
        if (shell.Pass(T0 + t).PrepareAlarmSound != 0)
        {
            targets.push_back(Count.TargetTime);
            ends.push_back(Count.StartTick - T0);
        }
    }
    EXPECT_EQ(targets, (std::vector<uint32_t>{60000, 120000, 180000, 60000, 120000}));
    EXPECT_EQ(ends, (std::vector<uint32_t>{60000, 180000, 360000, 420000}));
    EXPECT_EQ(Settings.SelectedTime, 1u);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(shell.CountPosts(CmdStartStop), 0u);
}

struct MuteCase
{
    uint32_t action;
    uint32_t mute;
    bool postedAtEnd;
    bool repeated;
};

// Mute silences the sound actions (0 to 3) only; Run File still runs. Repetitions only ever
// repeat sounds.
TEST_F(CountTest, MuteSilencesSoundActionsOnly)
{
    const MuteCase cases[] = {
        {0, 0, true, true},   {1, 0, true, true},   {2, 0, true, true},   {3, 0, true, true},
        {4, 0, true, false},  {5, 0, true, false},  {6, 0, true, false},  {0, 1, false, false},
        {1, 1, false, false}, {2, 1, false, false}, {3, 1, false, false}, {4, 1, true, false},
        {5, 1, true, false},  {6, 1, true, false},
    };
    for (const MuteCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "action " << c.action << " mute " << c.mute);
        ResetCountGlobals();
        Settings.AlarmAction = c.action;
        Settings.Mute = c.mute;
        Settings.RepeatSound = 1;
        Settings.FlashDisplay = 1;
        Settings.ShowTimeUpWindow = 0;
        StartCountdown(10000, T0);
        ShellSim shell;
        shell.Run(T0, 10050, 50);
        ASSERT_EQ(shell.timeUpTicks.size(), 1u);
        EXPECT_EQ(shell.CountPosts(CmdAlarmAction), c.postedAtEnd ? 1u : 0u);
        shell.posts.clear();

        // The flashing goes on muted or not.
        bool flashed = false;
        for (uint32_t t = 10100; t <= 15000; t += 50)
        {
            shell.Pass(T0 + t);
            flashed = flashed || FlashPhase != 0;
        }
        EXPECT_TRUE(flashed);
        EXPECT_EQ(shell.CountPosts(CmdAlarmAction) != 0, c.repeated);
    }
}

// A repeat's cycle flashes 1, 2 and returns to 0; after a final time-up it goes on 1, 2, 1,
// 2 ... until acknowledged. Every change of phase repaints the window.
TEST_F(CountTest, FlashPhases)
{
    for (uint32_t thenAction : {2u, 0u})
    {
        SCOPED_TRACE(thenAction);
        ResetCountGlobals();
        Settings.ThenAction = thenAction;
        Settings.FlashDisplay = 1;
        Settings.ShowTimeUpWindow = 0;
        Settings.RepeatInterval = 1000;
        StartCountdown(20000, T0);
        ShellSim shell;
        std::vector<uint32_t> phases;
        uint32_t phase = FlashPhase;
        for (uint32_t t = 0; t <= 27000; t += 10)
        {
            const CountRequests& r = shell.Pass(T0 + t);
            if (FlashPhase != phase)
            {
                phases.push_back(FlashPhase);
                EXPECT_NE(r.Effects & EffectInvalidate, 0u);
                phase = FlashPhase;
            }
        }
        if (thenAction == 2)
        {
            EXPECT_EQ(phases, (std::vector<uint32_t>{1, 2, 0}));
        }
        else
        {
            EXPECT_EQ(phases, (std::vector<uint32_t>{1, 2, 1, 2, 1, 2}));
            TakeCountEffects(StartStopCount(T0 + 27010));
            EXPECT_EQ(FlashPhase, 0u);
        }
    }
}

// A repeat that comes before its cycle has ended keeps the phase going; when such a cycle
// ends on the inverted phase, the window is repainted so it does not stay inverted.
TEST_F(CountTest, CycleEndingInvertedRepaints)
{
    // One repetition a period: each new cycle starts on the phase the last one left.
    Settings.ThenAction = 2;
    Settings.FlashDisplay = 1;
    Settings.ShowTimeUpWindow = 0;
    Settings.RepeatInterval = 1000;
    StartCountdown(2010, T0);
    ShellSim shell;
    uint32_t t = 0;
    do
    {
        t += 10;
        ASSERT_LT(t, 60000u);
        shell.Pass(T0 + t);
    } while (!(shell.last.PrepareAlarmSound != 0 && FlashPhase == 1));
    // Stopped there, the cycle runs its two repetitions (2, then 1) and ends inverted.
    StopCount(T0 + t);
    std::vector<uint32_t> phases;
    while (Settings.AlarmCycleActive != 0)
    {
        t += 10;
        ASSERT_LT(t, 120000u);
        const uint32_t before = FlashPhase;
        shell.Pass(T0 + t);
        if (FlashPhase != before)
        {
            phases.push_back(FlashPhase);
            EXPECT_NE(shell.last.Effects & EffectInvalidate, 0u);
        }
    }
    EXPECT_EQ(phases, (std::vector<uint32_t>{2, 1, 0}));
}

// While the file chooser is open no repetition comes; the first pass after it closes brings
// the one that is due.
TEST_F(CountTest, OpenChooserHoldsRepetitionsBack)
{
    Settings.RepeatSound = 1;
    Settings.ShowTimeUpWindow = 0;
    StartCountdown(10000, T0);
    ShellSim shell;
    shell.Run(T0, 10050, 50);
    shell.posts.clear();
    ChooserOpen = 1;
    const uint32_t phase = FlashPhase;
    shell.Run(T0 + 10100, 5000, 50);
    EXPECT_TRUE(shell.posts.empty());
    EXPECT_EQ(FlashPhase, phase);
    ChooserOpen = 0;
    shell.Pass(T0 + 15150);
    EXPECT_EQ(shell.CountPosts(CmdAlarmAction), 1u);
}

struct TitleCase
{
    uint32_t step; // ms between passes
    uint32_t windowState;
    uint32_t every; // title set every this many passes after the first, 0 never
};

// Minimised, the title follows the count at once, then at most every 100 ms.
TEST_F(CountTest, MinimisedTitleIsThrottled)
{
    const TitleCase cases[] = {
        {50, WindowMinimised, 2},  {1, WindowMinimised, 100}, {16, WindowMinimised, 7},
        {100, WindowMinimised, 1}, {500, WindowMinimised, 1}, {50, WindowNormal, 0},
        {50, WindowInTray, 0},
    };
    for (const TitleCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.step << " state " << c.windowState);
        ResetCountGlobals();
        StartCount(T0);
        WindowState = c.windowState;
        ShellSim shell;
        std::vector<uint32_t> titled;
        for (uint32_t pass = 1; pass <= 400; ++pass)
        {
            const CountRequests& r = shell.Pass(T0 + pass * c.step);
            if ((r.Effects & EffectTitle) != 0) titled.push_back(pass);
        }
        if (c.every == 0)
        {
            EXPECT_TRUE(titled.empty());
            continue;
        }
        ASSERT_FALSE(titled.empty());
        EXPECT_EQ(titled[0], 1u);
        for (size_t i = 1; i < titled.size(); ++i)
            EXPECT_EQ(titled[i] - titled[i - 1], c.every);
    }
}

struct ThenCase
{
    uint32_t thenAction;
    uint32_t direction;
    uint32_t selectedBefore;
    uint32_t selectedAfter;
    uint32_t directionAfter;
    uint32_t targetAfter;
    uint32_t effects; // beyond the title
    bool posts;
};

TEST_F(CountTest, ApplyThenActionByThenAction)
{
    const ThenCase cases[] = {
        {0, 1, 0, 0, 1, 45000, 0, false},
        {1, 1, 0, 0, 0, 300000, EffectDirectionDown, true},
        {1, 0, 1, 1, 1, 16200000, EffectDirectionUp, true},
        {2, 1, 1, 1, 1, 45000, 0, true},
        {3, 1, 0, 1, 1, 16200000, 0, true},
        {3, 1, 2, 0, 1, 300000, 0, true},
        // A selected time of its own goes on to preset One.
        {3, 1, 90000, 0, 1, 300000, 0, true},
    };
    for (const ThenCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.thenAction << " " << c.selectedBefore);
        ResetCountGlobals();
        Settings.ThenAction = c.thenAction;
        Settings.CountDirection = c.direction;
        Settings.SelectedTime = c.selectedBefore;
        LoadSetTime(45000);
        WindowState = WindowMinimised;
        CountRequests r = {};
        ApplyThenAction(r, CmdAcknowledgeTimeUp, 7);
        EXPECT_EQ(Settings.SelectedTime, c.selectedAfter);
        EXPECT_EQ(Settings.CountDirection, c.directionAfter);
        EXPECT_EQ(Count.TargetTime, c.targetAfter);
        EXPECT_EQ(Settings.SetTime, c.targetAfter);
        EXPECT_EQ(r.Effects, c.effects | (c.posts ? EffectTitle : 0u));
        ASSERT_EQ(r.PostCount, c.posts ? 1u : 0u);
        if (c.posts)
        {
            EXPECT_EQ(r.Posts[0], CmdAcknowledgeTimeUp);
            EXPECT_EQ(r.PostSerials[0], 7u);
        }
    }
}

struct WindowCase
{
    uint32_t time;
    uint32_t thenAction;
    uint32_t waitMode;
    bool fromRepeat;
    uint32_t result;
    bool runningAfter;   // once the GUI has taken the posted commands
    uint32_t shownAfter; // the count then (ms)
    uint32_t posts;
};

// The time-up window's answer, from its close to the GUI thread's handling of what it posted.
TEST_F(CountTest, TimeUpWindowAnswers)
{
    const WindowCase cases[] = {
        // Stop: "OK" leaves the set time stopped; "Repeat Time" starts it again at once.
        {10000, 0, 0, false, 1, false, 10000, 1},
        {10000, 0, 0, false, 2, true, 10000, 2},
        // Repeat refused for a short count: either button acknowledges.
        {2000, 2, 0, false, 1, false, 2000, 1},
        {2000, 2, 0, false, 2, false, 2000, 1},
        // "When button pressed": "OK" goes on with the next count, the other button stops.
        {10000, 2, 1, false, 1, true, 10000, 2},
        {10000, 2, 1, false, 2, false, 10000, 1},
        // An automatic repeat's window: closing by itself or by "OK" leaves the count running,
        // "Stop Repeat" stops it.
        {10000, 2, 0, true, 1, true, 6000, 0},
        {10000, 2, 0, true, 2, false, 6000, 1},
    };
    for (const WindowCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "then " << c.thenAction << " wait " << c.waitMode
                                        << " repeat " << c.fromRepeat << " result " << c.result);
        ResetCountGlobals();
        Settings.ThenAction = c.thenAction;
        Settings.WaitMode = c.waitMode;
        Settings.ShowTimeUpWindow = 1;
        Settings.FlashDisplay = 1;
        StartCountdown(c.time, T0);
        ShellSim shell;
        shell.Run(T0, 14000, 50);
        ASSERT_EQ(shell.windowAutoClose.size(), 1u);
        EXPECT_EQ(shell.windowAutoClose[0], c.fromRepeat ? 1u : 0u);
        EXPECT_EQ(Count.Running, c.fromRepeat ? 1u : 0u);
        shell.posts.clear();

        const CountRequests answer =
            TimeUpWindowClosed(c.result, shell.windowAutoClose[0], shell.windowSerials[0]);
        EXPECT_NE(answer.Effects & EffectInvalidateErase, 0u);
        EXPECT_EQ(answer.StopSoundPlayer, 1u);
        shell.Deliver(answer, T0 + 14000);
        EXPECT_EQ(answer.PostCount, c.posts);
        EXPECT_EQ(Count.Running, c.runningAfter ? 1u : 0u);
        EXPECT_EQ(Count.TimeIsUp, 0u);
        EXPECT_EQ(ShownValue(T0 + 14000), c.shownAfter);
        if (!c.fromRepeat)
        {
            EXPECT_EQ(Settings.AlarmCycleActive, 0u);
        }
    }
}

struct LateAnswerCase
{
    const char* name;
    uint32_t thenAction;
    uint32_t waitMode;
    bool fromRepeat;
    uint32_t result;
    void (*meanwhile)(ShellSim& shell); // what the user did while the window was open
    bool runningAfter;
    bool timeIsUpAfter;
};

// A time-up window answers the time-up it was opened for. By the time the GUI thread takes its
// answer the user may have moved on (Esc, the tray menu, a new count, a second window), or a
// later time-up may have come: the answer then does nothing at all. It never stops or starts
// the user's count, nor loads a time or flips the direction. A window that could not be shown
// answers nothing.
TEST_F(CountTest, ALateTimeUpAnswerDoesNothing)
{
    const auto acknowledge = [](ShellSim&) { AcknowledgeTimeUp(); };
    const auto anew = [](ShellSim&) {
        AcknowledgeTimeUp();
        StartCount(T0 + 15000);
    };
    const auto stop = [](ShellSim&) { StopCount(T0 + 20000); };
    const auto later = [](ShellSim& shell) { shell.Run(T0 + 14050, 6000, 50); };
    const auto nothing = [](ShellSim&) {};
    const LateAnswerCase cases[] = {
        {"final: acknowledged from the tray, then OK", 0, 0, false, 1, acknowledge, false, false},
        {"final: acknowledged and started anew, then Repeat Time", 0, 0, false, 2, anew, true,
         false},
        {"final: acknowledged and started anew, then OK", 0, 0, false, 1, anew, true, false},
        {"button pressed, Reverse: acknowledged and started anew, then OK", 1, 1, false, 1, anew,
         true, false},
        {"button pressed, Repeat: acknowledged and started anew, then OK", 2, 1, false, 1, anew,
         true, false},
        {"button pressed, Next Time: acknowledged and started anew, then OK", 3, 1, false, 1, anew,
         true, false},
        {"final: window never shown", 0, 0, false, TimeUpWindowNotShown, nothing, false, true},
        {"final: acknowledged by a key from anywhere, the window closed for it", 0, 0, false,
         TimeUpWindowWithdrawn, acknowledge, false, false},
        {"repeat: stopped from the tray, the window closed for it", 2, 0, true,
         TimeUpWindowWithdrawn, stop, false, false},
        {"repeat: a second window's Stop Repeat after the first's", 2, 0, true, 2, stop, false,
         false},
        {"repeat: Stop Repeat after a later repeat's time-up", 2, 0, true, 2, later, true, false},
        {"repeat: window never shown", 2, 0, true, TimeUpWindowNotShown, nothing, true, false},
    };
    for (const LateAnswerCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        ResetCountGlobals();
        Settings.ThenAction = c.thenAction;
        Settings.WaitMode = c.waitMode;
        Settings.ShowTimeUpWindow = 1;
        Settings.SelectedTime = 0;
        Settings.PresetTimes[0] = 10000;
        Settings.PresetTimes[1] = 20000;
        StartCountdown(10000, T0);
        ShellSim shell;
        shell.Run(T0, 14000, 50);
        ASSERT_EQ(shell.windowAutoClose.size(), 1u);
        c.meanwhile(shell);
        const uint32_t target = Count.TargetTime;
        const uint32_t selected = Settings.SelectedTime;

        const CountRequests answer =
            TimeUpWindowClosed(c.result, c.fromRepeat ? 1 : 0, shell.windowSerials[0]);
        shell.Deliver(answer, T0 + 20000);
        EXPECT_EQ(answer.PostCount, 0u);
        EXPECT_EQ(answer.Effects, 0u);
        EXPECT_EQ(answer.StopSoundPlayer, 0u);
        EXPECT_EQ(Count.Running, c.runningAfter ? 1u : 0u);
        EXPECT_EQ(Count.TimeIsUp, c.timeIsUpAfter ? 1u : 0u);
        EXPECT_EQ(Settings.CountDirection, 1u);
        EXPECT_EQ(Count.TargetTime, target);
        EXPECT_EQ(Settings.SelectedTime, selected);
    }
}

// The posts of an answer that was current when it was made can still be overtaken before the
// window's thread of the program takes them: each names the serial it expects.
TEST_F(CountTest, AnAnswersPostsActOnlyOnTheStateTheyName)
{
    // "Repeat Time": acknowledge, then start. The user acknowledges and starts a count of their
    // own in between: the answer's acknowledgement and start do nothing; the user's count runs.
    Settings.ShowTimeUpWindow = 1;
    StartCountdown(10000, T0);
    ShellSim shell;
    shell.Run(T0, 10050, 50);
    ASSERT_EQ(shell.windowSerials.size(), 1u);
    const CountRequests answer = TimeUpWindowClosed(TimeUpWindowSecond, 0, shell.windowSerials[0]);
    ASSERT_EQ(answer.PostCount, 2u);
    EXPECT_EQ(answer.Posts[0], CmdAcknowledgeTimeUp);
    EXPECT_EQ(answer.Posts[1], CmdStartCount);
    StartStopCount(T0 + 11000); // Esc
    StartStopCount(T0 + 11100); // S
    shell.Deliver(answer, T0 + 11200);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(ElapsedCount(T0 + 12100), 1000u);

    // Taken in time, the same posts acknowledge and start the set time anew.
    ResetCountGlobals();
    Settings.ShowTimeUpWindow = 1;
    StartCountdown(10000, T0);
    ShellSim again;
    again.Run(T0, 10050, 50);
    again.Deliver(TimeUpWindowClosed(TimeUpWindowSecond, 0, again.windowSerials[0]), T0 + 11000);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(Count.TimeIsUp, 0u);
    EXPECT_EQ(ShownValue(T0 + 12000), 9000u);

    // The counting thread's acknowledgement after a final time-up without a window (Repeat):
    // the user's Esc and S come first, and the new count is left running.
    ResetCountGlobals();
    Settings.ShowTimeUpWindow = 0;
    Settings.ThenAction = 2;
    Settings.WaitMode = 0;
    Settings.CountDirection = 0; // counting up to 2 s: too short to repeat on its own
    Settings.CountUntil = 0;
    LoadSetTime(2000);
    StartCount(T0);
    CountingThreadState thread{};
    BeginCounting(thread);
    const CountRequests timeUp = CountingPass(T0 + 2001, thread);
    ASSERT_EQ(Count.TimeIsUp, 1u);
    StartStopCount(T0 + 2100); // Esc
    StartStopCount(T0 + 2200); // S
    for (uint32_t i = 0; i < timeUp.PostCount; ++i)
        ApplyCountCommand(timeUp.Posts[i], T0 + 2300, timeUp.PostSerials[i]);
    EXPECT_EQ(Count.Running, 1u);

    // An answer with no serial (a click on the window during a time-up) acknowledges whatever
    // time-up there is; a start always names one.
    ResetCountGlobals();
    Count.TimeIsUp = 1;
    EXPECT_NE(ApplyCountCommand(CmdAcknowledgeTimeUp, T0, 0), 0u);
    EXPECT_EQ(ApplyCountCommand(CmdStartCount, T0, 0), 0u);
    EXPECT_EQ(Count.Running, 0u);
}

} // namespace
