#include "app/power.h"

#include <vector>

#include "count_fixture.h"

namespace
{

constexpr uint32_t T0 = 9000000;

struct AwakeCase
{
    const char* what;
    // AllowSleep, Running, CanEnd, TimeIsUp, Repeating, SinceTimeUp, FullScreen, Asking,
    // SinceAsked
    AwakeFacts facts;
    uint32_t wanted;
};

// Awake while a count can end, and a while for a time-up that repeats unanswered; the display
// too in full screen while it runs; nothing at all when the user lets it sleep.
TEST(Power, WhatIsAskedOfWindows)
{
    const AwakeCase cases[] = {
        {"stopped", {0, 0, 1, 0, 0, 0, 0, 0, 0}, AwakeNothing},
        {"counting down or up to a time", {0, 1, 1, 0, 0, 0, 0, 0, 0}, AwakeSystem},
        {"counting up without end", {0, 1, 0, 0, 0, 0, 0, 0, 0}, AwakeNothing},
        {"counting up without end, full screen", {0, 1, 0, 0, 0, 0, 1, 0, 0}, AwakeNothing},
        {"counting, full screen", {0, 1, 1, 0, 0, 0, 1, 0, 0}, AwakeSystem | AwakeDisplay},
        {"time up, repeating, 9:59 ago", {0, 0, 1, 1, 1, 599999, 0, 0, 0}, AwakeSystem},
        {"time up, repeating, 10:00 ago", {0, 0, 1, 1, 1, 600000, 0, 0, 0}, AwakeNothing},
        {"time up, repeating, full screen: the display may sleep",
         {0, 0, 1, 1, 1, 1000, 1, 0, 0},
         AwakeSystem},
        {"time up, not repeating", {0, 0, 1, 1, 0, 1000, 0, 0, 0}, AwakeNothing},
        {"a repeat's cycle after a stop", {0, 0, 1, 0, 1, 1000, 0, 0, 0}, AwakeNothing},
        {"let it sleep: counting", {1, 1, 1, 0, 0, 0, 1, 0, 0}, AwakeNothing},
        {"let it sleep: time up, repeating", {1, 0, 1, 1, 1, 1000, 0, 0, 0}, AwakeNothing},
        // A question before a late shutdown: nobody may be there, but the answer must not be
        // lost to a sleep at once; after ten minutes the computer is let go.
        {"asking, 9:59 ago", {0, 0, 1, 1, 0, 3600000, 0, 1, 599999}, AwakeSystem},
        {"asking, 10:00 ago", {0, 0, 1, 1, 0, 3600000, 0, 1, 600000}, AwakeNothing},
        {"asking while another count runs in full screen",
         {0, 1, 1, 0, 0, 0, 1, 1, 1000},
         AwakeSystem | AwakeDisplay},
        {"let it sleep: asking", {1, 0, 1, 1, 0, 3600000, 0, 1, 1000}, AwakeNothing},
    };
    for (const AwakeCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(AwakeWanted(c.facts), c.wanted);
    }
}

// What PowerEffects shows after each step of a real count: the request, and the wake timer's
// end (the first tick past the count's end), told only when one of them changes.
struct Shown
{
    uint32_t effect; // EffectPower or 0
    uint32_t awake;
    uint32_t armed;
    uint32_t end;
};

Shown Take(uint32_t tick)
{
    const uint32_t effect = PowerEffects(tick);
    // The time left it carries is measured at its own tick and ends at its end.
    if (WakeTimerShown.Armed != 0)
    {
        EXPECT_NE(WakeTimerShown.Left, 0u);
        EXPECT_EQ(static_cast<uint32_t>(WakeTimerShown.Tick + WakeTimerShown.Left),
                  WakeTimerShown.EndTick);
    }
    return {effect, AwakeShown, WakeTimerShown.Armed, WakeTimerShown.EndTick};
}

void ExpectShown(const Shown& got, const Shown& want)
{
    EXPECT_EQ(got.effect, want.effect);
    EXPECT_EQ(got.awake, want.awake);
    EXPECT_EQ(got.armed, want.armed);
    if (want.armed != 0)
    {
        EXPECT_EQ(got.end, want.end);
    }
}

class PowerTest : public CountTest
{
  protected:
    void SetUp() override
    {
        CountTest::SetUp();
        AwakeShown = AwakeNothing;
        WakeTimerShown = {0, 0, 0, 0};
        LateQuestionsOpen = 0;
        LateAskedTick = 0;
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
    EXPECT_EQ(synced.end - (T0 + 31000) + ShownValue(T0 + 31000), 60001u);
    FullScreen = 1;
    ExpectShown(Take(T0 + 31000), {EffectPower, AwakeSystem | AwakeDisplay, 1, synced.end});
    FullScreen = 0;
    ExpectShown(Take(T0 + 31000), {EffectPower, AwakeSystem, 1, synced.end});

    // The end: the timer goes; the flashing keeps the computer awake, then lets go after
    // ten minutes unanswered, when the thread looks again.
    shell.Pass(synced.end);
    ASSERT_EQ(Count.TimeIsUp, 1u);
    EXPECT_NE(shell.last.Effects & EffectPower, 0u);
    EXPECT_EQ(WakeTimerShown.Armed, 0u);
    EXPECT_EQ(AwakeShown, AwakeSystem);
    // Held by an open chooser, the flashing has nothing due: the end of the keeping awake is.
    ChooserOpen = 1;
    EXPECT_EQ(shell.Pass(synced.end + 100).SleepMs, 599900u);
    ChooserOpen = 0;
    shell.Pass(synced.end + 599999);
    EXPECT_EQ(AwakeShown, AwakeSystem);
    shell.Pass(synced.end + 600000);
    EXPECT_EQ(AwakeShown, AwakeNothing);
    EXPECT_NE(shell.last.Effects & EffectPower, 0u);
    AcknowledgeTimeUp();
    ExpectShown(Take(synced.end + 700000), {0, AwakeNothing, 0, 0});
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
    EXPECT_EQ(WakeTimerShown.EndTick, T0 + 120001);

    ResetCountGlobals();
    AwakeShown = AwakeNothing;
    WakeTimerShown = {0, 0, 0, 0};
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

// The wake timer for a count of any length, started on either side of the tick's wrap: the time
// left it carries is the whole count, and it is due two minutes before the end, at once when
// less is left; a count whose end has passed arms nothing.
TEST_F(PowerTest, TheWakeTimerIsDueTwoMinutesBeforeTheEndOfACountOfAnyLength)
{
    constexpr uint64_t Day = 86400000;
    const struct
    {
        const char* what;
        uint32_t length; // as the user set it
    } lengths[] = {
        {"5 s", 5000},
        {"2 min", 120000},
        {"2 min 1 ms", 120001},
        {"1 hour", 3600000},
        {"24.8 days and a bit: past 2^31 ms", static_cast<uint32_t>(25 * Day)},
        {"30 days", static_cast<uint32_t>(30 * Day)},
        {"49 days", static_cast<uint32_t>(49 * Day)},
        {"the longest count", 4294967000u},
    };
    const uint32_t starts[] = {T0, 0xFFFFFFFFu - 4999u, 0x80000000u};
    for (const auto& c : lengths)
        for (const uint32_t start : starts)
        {
            SCOPED_TRACE(testing::Message() << c.what << ", started at tick " << start);
            SetUp();
            LoadSetTime(c.length);
            StartCount(start);
            ASSERT_EQ(PowerEffects(start), EffectPower);
            ASSERT_EQ(WakeTimerShown.Armed, 1u);
            const uint64_t end = uint64_t{c.length} + 1; // the first tick past the count
            EXPECT_EQ(WakeTimerShown.Left, end);
            const uint64_t lead = 2 * 60 * 1000;
            EXPECT_EQ(WakeTimerDelay(WakeTimerShown, start), end > lead ? end - lead : 0);
            // Armed later (the window's thread takes a moment): the same moment still.
            EXPECT_EQ(WakeTimerDelay(WakeTimerShown, start + 700),
                      end > lead + 700 ? end - lead - 700 : 0);
            // The count runs on: nothing new to tell, and the same end.
            const uint32_t later = start + c.length / 2;
            EXPECT_EQ(PowerEffects(later), 0u);
            EXPECT_EQ(WakeTimerDelay(WakeTimerShown, later),
                      end - c.length / 2 > lead ? end - c.length / 2 - lead : 0);
        }

    // Past its end before the counting thread has found the time-up: nothing to arm.
    SetUp();
    LoadSetTime(5000);
    StartCount(T0);
    PowerEffects(T0 + 6000);
    EXPECT_EQ(WakeTimerShown.Armed, 0u);
    EXPECT_EQ(AwakeShown, AwakeSystem) << "the count still runs until the thread ends it";
}

// A shutdown or restart found a minute or more after its due tick asks first, as does one on
// time while such a question is open; everything else goes ahead.
TEST(Power, ALateShutdownAsksFirst)
{
    const struct
    {
        uint32_t late, action, questionsOpen, answer;
    } cases[] = {
        {59999, 5, 0, LateGoesAhead},
        {60000, 5, 0, LateAsksFirst},
        {60000, 6, 0, LateAsksFirst},
        {8 * 3600000, 6, 0, LateAsksFirst},
        // A file run an hour late surprises as much as a shutdown.
        {0, 5, 0, LateGoesAhead},
        {8 * 3600000, 4, 0, LateAsksFirst},
        {59999, 4, 0, LateGoesAhead},
        {0, 4, 1, LateAsksFirst},
        {8 * 3600000, 1, 0, LateGoesAhead},
        {8 * 3600000, 0, 0, LateGoesAhead},
        {0, 5, 1, LateAsksFirst},
        {0, 6, 2, LateAsksFirst},
        {0, 1, 1, LateGoesAhead},
        {0, 2, 1, LateGoesAhead},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.late << " ms late, action " << c.action << ", "
                                        << c.questionsOpen << " open");
        EXPECT_EQ(LateTimeUpAnswer(c.late, c.action, c.questionsOpen), c.answer);
    }
}

std::vector<uint32_t> PostsOf(const CountRequests& requests)
{
    return std::vector<uint32_t>(requests.Posts, requests.Posts + requests.PostCount);
}

// The counting thread, a shutdown countdown found after an hour asleep, under each "and then"
// step and each answer. Nothing is posted that would shut down; a window asks, even with "Show
// Time-Up Window" off, and the count waits at its end, stopped, however it would go on: a
// repeating count that ran straight on would shut down at its next period's end, behind the
// question's back. The computer stays awake for the question ten minutes at most. Its answer
// decides: "Shut Down Now" shuts down once; either answer leaves the count stopped for good.
TEST_F(PowerTest, AShutdownFoundAfterASleepWaitsForTheAnswer)
{
    const struct
    {
        const char* what;
        uint32_t thenAction;
    } steps[] = {{"Stop", 0}, {"Reverse", 1}, {"Repeat", 2}, {"Next Time", 3}};
    const struct
    {
        const char* what;
        uint32_t result;
        std::vector<uint32_t> posts; // of the answer
        size_t shutdowns;            // in all
    } answers[] = {
        {"Shut Down Now", TimeUpWindowFirst, {CmdAlarmAction, CmdAcknowledgeTimeUp}, 1},
        {"Cancel", TimeUpWindowSecond, {CmdAcknowledgeTimeUp}, 0},
        {"window never shown", TimeUpWindowNotShown, {}, 0},
    };
    constexpr uint32_t Period = 60000, Late = 3600000;
    for (const auto& step : steps)
        for (const auto& answer : answers)
        {
            SCOPED_TRACE(testing::Message() << step.what << ", " << answer.what);
            SetUp();
            Settings.FlashDisplay = 0;
            Settings.AlarmAction = 5;
            Settings.ThenAction = step.thenAction;
            Settings.PresetTimes[0] = Settings.PresetTimes[1] = Settings.PresetTimes[2] = Period;
            LoadSetTime(Period);
            StartCount(T0);
            ShellSim shell;
            const uint32_t found = T0 + Period + 1 + Late;
            const CountRequests asked = shell.Pass(found);
            EXPECT_EQ(asked.StartTimeUpThread, 1u);
            EXPECT_EQ(asked.TimeUpAsks, 1u);
            EXPECT_EQ(asked.TimeUpAutoClose, 0u) << "a question waits for its answer";
            EXPECT_EQ(Count.Running, 0u) << "waits at its end";
            EXPECT_EQ(Count.TimeIsUp, 1u);
            EXPECT_EQ(LateQuestionsOpen, 1u);
            EXPECT_EQ(AwakeShown, AwakeSystem) << "awake while it asks";
            EXPECT_EQ(asked.SleepMs, 600000u) << "the thread looks again when that ends";

            // Three more periods while the question is open, then the end of the keeping awake.
            shell.Run(found + 1000, 3 * Period, 1000);
            EXPECT_EQ(shell.timeUpTicks.size(), 1u);
            shell.Pass(found + 600000);
            EXPECT_EQ(AwakeShown, AwakeNothing) << "let go after ten minutes";
            EXPECT_EQ(shell.CountPosts(CmdAlarmAction), 0u);

            const uint32_t answered = found + 700000;
            const CountRequests closed =
                LateTimeUpClosed(answer.result, shell.windowSerials[0], answered);
            EXPECT_EQ(PostsOf(closed), answer.posts);
            shell.Deliver(closed, answered);
            EXPECT_EQ(LateQuestionsOpen, 0u);
            EXPECT_EQ(Count.Running, 0u);
            EXPECT_EQ(Count.TimeIsUp, answer.result == TimeUpWindowNotShown ? 1u : 0u);

            // And the periods after the answer: nothing runs, nothing more shuts down.
            shell.Run(answered + 1000, 3 * Period, 1000);
            EXPECT_EQ(Count.Running, 0u);
            EXPECT_EQ(shell.timeUpTicks.size(), 1u);
            EXPECT_EQ(shell.CountPosts(CmdAlarmAction), answer.shutdowns);
        }

    // A minute less late: it shuts down as always, and a repeating count runs on.
    SetUp();
    Settings.AlarmAction = 5;
    Settings.ThenAction = 2;
    StartCount(T0);
    ShellSim shell;
    const CountRequests& found = shell.Pass(T0 + 60001 + 59999);
    EXPECT_EQ(found.TimeUpAsks, 0u);
    EXPECT_EQ(found.StartTimeUpThread, 0u);
    EXPECT_EQ(shell.CountPosts(CmdAlarmAction), 1u);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(LateQuestionsOpen, 0u);
}

// While a question is open, no count shuts down unasked: a new count started meanwhile asks at
// its end, on time, and a repeating one waits there too. Each question is answered on its own.
TEST_F(PowerTest, ACountStartedWhileAQuestionIsOpenAsksAtItsEndToo)
{
    Settings.FlashDisplay = 0;
    Settings.AlarmAction = 6;
    Settings.ThenAction = 2;
    StartCount(T0);
    ShellSim shell;
    const uint32_t found = T0 + 60001 + 3600000;
    shell.Pass(found);
    ASSERT_EQ(LateQuestionsOpen, 1u);
    // Esc answers the time-up from the keyboard, S starts the count anew: the question stays.
    StartStopCount(found + 1000);
    StartStopCount(found + 2000);
    ASSERT_EQ(Count.Running, 1u);
    const CountRequests onTime = shell.Pass(found + 2000 + 60001);
    EXPECT_EQ(onTime.TimeUpAsks, 1u);
    EXPECT_EQ(onTime.StartTimeUpThread, 1u);
    EXPECT_EQ(Count.Running, 0u) << "the repeat waits at its end";
    EXPECT_EQ(LateQuestionsOpen, 2u);
    shell.Run(found + 70000, 3 * 60000, 1000);
    EXPECT_EQ(shell.CountPosts(CmdAlarmAction), 0u);

    // The first question cancelled: the second still asks; its "Restart Now" restarts once.
    ASSERT_EQ(shell.windowSerials.size(), 2u);
    shell.Deliver(LateTimeUpClosed(TimeUpWindowSecond, shell.windowSerials[0], found + 300000),
                  found + 300000);
    EXPECT_EQ(Count.TimeIsUp, 1u) << "the first answer's time-up was overtaken";
    shell.Deliver(LateTimeUpClosed(TimeUpWindowFirst, shell.windowSerials[1], found + 310000),
                  found + 310000);
    EXPECT_EQ(Count.TimeIsUp, 0u);
    EXPECT_EQ(Count.Running, 0u);
    EXPECT_EQ(LateQuestionsOpen, 0u);
    EXPECT_EQ(shell.CountPosts(CmdAlarmAction), 1u);

    // With no question open, the same count ends on time as it always did.
    StartCount(found + 400000);
    shell.Pass(found + 400000 + 60001);
    EXPECT_EQ(shell.CountPosts(CmdAlarmAction), 2u);
    EXPECT_EQ(Count.Running, 1u);
}

} // namespace
