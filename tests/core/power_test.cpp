#include "app/power.h"

#include <vector>

#include "count_fixture.h"

namespace
{

constexpr uint32_t T0 = 9000000;

struct AwakeCase
{
    const char* what;
    AwakeFacts facts; // AllowSleep, Running, CanEnd, TimeIsUp, Repeating, SinceTimeUp, FullScreen
    uint32_t wanted;
};

// Awake while a count can end, and a while for a time-up that repeats unanswered; the display
// too in full screen while it runs; nothing at all when the user lets it sleep.
TEST(Power, WhatIsAskedOfWindows)
{
    const AwakeCase cases[] = {
        {"stopped", {0, 0, 1, 0, 0, 0, 0}, AwakeNothing},
        {"counting down or up to a time", {0, 1, 1, 0, 0, 0, 0}, AwakeSystem},
        {"counting up without end", {0, 1, 0, 0, 0, 0, 0}, AwakeNothing},
        {"counting up without end, full screen", {0, 1, 0, 0, 0, 0, 1}, AwakeNothing},
        {"counting, full screen", {0, 1, 1, 0, 0, 0, 1}, AwakeSystem | AwakeDisplay},
        {"time up, repeating, 9:59 ago", {0, 0, 1, 1, 1, 599999, 0}, AwakeSystem},
        {"time up, repeating, 10:00 ago", {0, 0, 1, 1, 1, 600000, 0}, AwakeNothing},
        {"time up, repeating, full screen: the display may sleep",
         {0, 0, 1, 1, 1, 1000, 1},
         AwakeSystem},
        {"time up, not repeating", {0, 0, 1, 1, 0, 1000, 0}, AwakeNothing},
        {"a repeat's cycle after a stop", {0, 0, 1, 0, 1, 1000, 0}, AwakeNothing},
        {"let it sleep: counting", {1, 1, 1, 0, 0, 0, 1}, AwakeNothing},
        {"let it sleep: time up, repeating", {1, 0, 1, 1, 1, 1000, 0}, AwakeNothing},
    };
    for (const AwakeCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(AwakeWanted(c.facts), c.wanted);
    }
}

// What PowerEffects shows after each step of a real count: the request and the wake timer's
// due tick (the first tick past the count's end), told only when one of them changes.
struct Shown
{
    uint32_t effect; // EffectPower or 0
    uint32_t awake;
    uint32_t armed;
    uint32_t due;
};

Shown Take(uint32_t tick)
{
    const uint32_t effect = PowerEffects(tick);
    return {effect, AwakeShown, WakeTimerShown.Armed, WakeTimerShown.DueTick};
}

void ExpectShown(const Shown& got, const Shown& want)
{
    EXPECT_EQ(got.effect, want.effect);
    EXPECT_EQ(got.awake, want.awake);
    EXPECT_EQ(got.armed, want.armed);
    if (want.armed != 0)
    {
        EXPECT_EQ(got.due, want.due);
    }
}

class PowerTest : public CountTest
{
  protected:
    void SetUp() override
    {
        CountTest::SetUp();
        AwakeShown = AwakeNothing;
        WakeTimerShown = {0, 0};
        Settings.ShowTimeUpWindow = 0;
        Settings.FlashDisplay = 1;
        Settings.RepeatInterval = 1000;
        Settings.CountDirection = 1;
        Settings.CountUntil = 0;
        LoadSetTime(60000);
    }
};

TEST_F(PowerTest, ACountdownStartedPausedResumedReversedEndedAndAcknowledged)
{
    ShellSim shell;
    ExpectShown(Take(T0), {0, AwakeNothing, 0, 0}); // a stopped program asks nothing
    StartCount(T0);
    ExpectShown(Take(T0), {EffectPower, AwakeSystem, 1, T0 + 60001});
    shell.Pass(T0 + 100);
    EXPECT_EQ(shell.last.Effects & EffectPower, 0u) << "nothing changed";
    StopCount(T0 + 10000);
    ExpectShown(Take(T0 + 10000), {EffectPower, AwakeNothing, 0, 0});
    StartCount(T0 + 20000);
    ExpectShown(Take(T0 + 20000), {EffectPower, AwakeSystem, 1, T0 + 70001});
    ReverseCount(T0 + 30000); // 40 s left become 40 s counted, up to the set time
    ExpectShown(Take(T0 + 30000), {EffectPower, AwakeSystem, 1, T0 + 50001});
    SyncCount(T0 + 31000, 30, 0);
    const Shown synced = Take(T0 + 31000);
    EXPECT_EQ(synced.effect, EffectPower);
    EXPECT_EQ(synced.due - (T0 + 31000) + ShownValue(T0 + 31000), 60001u);
    FullScreen = 1;
    ExpectShown(Take(T0 + 31000), {EffectPower, AwakeSystem | AwakeDisplay, 1, synced.due});
    FullScreen = 0;
    ExpectShown(Take(T0 + 31000), {EffectPower, AwakeSystem, 1, synced.due});

    // The end: the timer goes; the flashing keeps the computer awake, then lets go after
    // ten minutes unanswered, when the thread looks again.
    shell.Pass(synced.due);
    ASSERT_EQ(Count.TimeIsUp, 1u);
    EXPECT_NE(shell.last.Effects & EffectPower, 0u);
    EXPECT_EQ(WakeTimerShown.Armed, 0u);
    EXPECT_EQ(AwakeShown, AwakeSystem);
    // Held by an open chooser, the flashing has nothing due: the end of the keeping awake is.
    ChooserOpen = 1;
    EXPECT_EQ(shell.Pass(synced.due + 100).SleepMs, 599900u);
    ChooserOpen = 0;
    shell.Pass(synced.due + 599999);
    EXPECT_EQ(AwakeShown, AwakeSystem);
    shell.Pass(synced.due + 600000);
    EXPECT_EQ(AwakeShown, AwakeNothing);
    EXPECT_NE(shell.last.Effects & EffectPower, 0u);
    AcknowledgeTimeUp();
    ExpectShown(Take(synced.due + 700000), {0, AwakeNothing, 0, 0});
}

// An automatic repeat moves the timer on to the next period's end; an endless count-up, and a
// user who lets the computer sleep, never arm it.
TEST_F(PowerTest, RepeatsMoveTheTimerAndNothingIsAskedWhenItMayNotEnd)
{
    Settings.ThenAction = 2;
    ShellSim shell;
    StartCount(T0);
    ExpectShown(Take(T0), {EffectPower, AwakeSystem, 1, T0 + 60001});
    shell.Pass(T0 + 60001);
    ASSERT_EQ(Count.Running, 1u);
    EXPECT_NE(shell.last.Effects & EffectPower, 0u);
    EXPECT_EQ(WakeTimerShown.DueTick, T0 + 120001);

    ResetCountGlobals();
    AwakeShown = AwakeNothing;
    WakeTimerShown = {0, 0};
    Settings.CountDirection = 0;
    Settings.CountUntil = 1;
    StartCount(T0);
    ExpectShown(Take(T0), {0, AwakeNothing, 0, 0});

    ResetCountGlobals();
    Settings.AllowSleep = 1;
    Settings.CountDirection = 1;
    LoadSetTime(60000);
    StartCount(T0);
    FullScreen = 1;
    ExpectShown(Take(T0), {0, AwakeNothing, 0, 0});
}

// A shutdown or restart found a minute or more after its due tick asks first; everything else
// goes ahead.
TEST(Power, ALateShutdownAsksFirst)
{
    const struct
    {
        uint32_t late, action, answer;
    } cases[] = {
        {59999, 5, LateGoesAhead},       {60000, 5, LateAsksFirst},
        {60000, 6, LateAsksFirst},       {8 * 3600000, 6, LateAsksFirst},
        {0, 5, LateGoesAhead},           {8 * 3600000, 4, LateGoesAhead},
        {8 * 3600000, 1, LateGoesAhead}, {8 * 3600000, 0, LateGoesAhead},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.late << " ms late, action " << c.action);
        EXPECT_EQ(LateTimeUpAnswer(c.late, c.action), c.answer);
    }
}

// The counting thread, a shutdown countdown found after a night asleep: nothing is posted that
// would shut down; a window asks, even with "Show Time-Up Window" off, and its answer decides.
TEST_F(PowerTest, AShutdownFoundAfterASleepWaitsForTheAnswer)
{
    const struct
    {
        const char* what;
        uint32_t late;
        uint32_t result;
        std::vector<uint32_t> posts; // of the answer
    } cases[] = {
        {"Shut Down Now", 3600000, TimeUpWindowFirst, {CmdAlarmAction, CmdAcknowledgeTimeUp}},
        {"Cancel", 3600000, TimeUpWindowSecond, {CmdAcknowledgeTimeUp}},
        {"window never shown", 3600000, TimeUpWindowNotShown, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        SetUp();
        Settings.AlarmAction = 5;
        StartCount(T0);
        ShellSim shell;
        const CountRequests& found = shell.Pass(T0 + 60001 + c.late);
        EXPECT_EQ(Count.TimeIsUp, 1u);
        EXPECT_EQ(shell.CountPosts(CmdAlarmAction), 0u);
        EXPECT_EQ(found.StartTimeUpThread, 1u);
        EXPECT_EQ(found.TimeUpAsks, 1u);
        const CountRequests answer = LateTimeUpClosed(c.result, 0, shell.windowSerials[0]);
        std::vector<uint32_t> posts(answer.Posts, answer.Posts + answer.PostCount);
        EXPECT_EQ(posts, c.posts);
        shell.Deliver(answer, T0 + 60001 + c.late + 5000);
        EXPECT_EQ(Count.TimeIsUp, c.result == TimeUpWindowNotShown ? 1u : 0u);
    }

    // A minute less late: it shuts down as always.
    SetUp();
    Settings.AlarmAction = 5;
    StartCount(T0);
    ShellSim shell;
    const CountRequests& found = shell.Pass(T0 + 60001 + 59999);
    EXPECT_EQ(found.TimeUpAsks, 0u);
    EXPECT_EQ(found.StartTimeUpThread, 0u);
    EXPECT_EQ(shell.CountPosts(CmdAlarmAction), 1u);

    // An automatic repeat's asking window neither closes by itself nor acknowledges anything.
    SetUp();
    Settings.AlarmAction = 6;
    Settings.ThenAction = 2;
    StartCount(T0);
    ShellSim repeating;
    repeating.Pass(T0 + 3600000);
    ASSERT_EQ(repeating.windowAutoClose.size(), 1u);
    EXPECT_EQ(repeating.last.TimeUpAsks, 1u);
    EXPECT_EQ(repeating.CountPosts(CmdAlarmAction), 0u);
    const CountRequests answer = LateTimeUpClosed(TimeUpWindowFirst, repeating.windowAutoClose[0],
                                                  repeating.windowSerials[0]);
    ASSERT_EQ(answer.PostCount, 1u);
    EXPECT_EQ(answer.Posts[0], CmdAlarmAction);
    EXPECT_EQ(Count.Running, 1u);
}

} // namespace
