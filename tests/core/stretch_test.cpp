// The last stretch before a count's end and the time Add Time gives it, as the count model and
// the counting passes take them.
#include <string>
#include <vector>

#include "count_fixture.h"
#include "display/menu.h"

namespace
{

constexpr uint32_t T0 = 7000000;

// What happens at one moment of a count: a pass of the counting thread, or an operation as the
// shell runs it (the operation, the counting rules' part, then the stretch).
enum Op : char
{
    Pass = 'P',
    Start = 'S',
    Stop = 'T',
    Reverse = 'R',
    Sync = 'Y', // with the wall clock at 58 s into its minute
    Add = 'A',
    Reset = 'Z',
};

struct Step
{
    Op op;
    uint32_t at;     // ms after T0
    uint32_t inside; // in the stretch afterwards
    bool warns;      // this step is the crossing that warns
};

struct StretchCase
{
    const char* what;
    uint32_t direction; // 1 down, 0 up
    uint32_t until;     // counting up: 0 to the set time, 1 without end
    uint32_t length;    // the set time
    uint32_t warn;      // WarnBefore
    uint32_t thenAction;
    std::vector<Step> steps;
};

uint32_t RunStep(ShellSim& shell, const Step& step)
{
    const uint32_t tick = T0 + step.at;
    uint32_t effects = 0;
    switch (step.op)
    {
    case Pass: return shell.Pass(tick).Effects;
    case Start: effects = StartCount(tick); break;
    case Stop: effects = StopCount(tick); break;
    case Reverse: effects = ReverseCount(tick); break;
    case Sync: effects = SyncCount(tick, 58, 0); break;
    case Add: effects = AddTime(tick, 0); break;
    case Reset: effects = ResetCount(tick); break;
    }
    return TakeCountEffects(effects) | StretchEffects(tick, false);
}

// Inside the stretch while the time left is at or below the warning and the count is longer
// than it; one crossing warns, by counting alone: an operation that moves the count inside only
// shows the colour. A stopped count inside keeps it; the time-up, Reset and added time end it.
TEST_F(CountTest, TheLastStretchAndTheOneCrossingThatWarns)
{
    const StretchCase cases[] = {
        {"a 10 s countdown warned 3 s before",
         1,
         0,
         10000,
         3000,
         0,
         {{Start, 0, 0, false},
          {Pass, 6999, 0, false},
          {Pass, 7000, 1, true},
          {Pass, 8000, 1, false},
          {Stop, 8500, 1, false},
          {Pass, 9000, 1, false},
          {Start, 9500, 1, false},
          {Pass, 10000, 1, false},
          {Pass, 11001, 0, false}}},
        {"a count up to 10 s, the same",
         0,
         0,
         10000,
         3000,
         0,
         {{Start, 0, 0, false},
          {Pass, 6999, 0, false},
          {Pass, 7000, 1, true},
          {Pass, 10001, 0, false}}},
        {"an endless count-up never warns",
         0,
         1,
         10000,
         3000,
         0,
         {{Start, 0, 0, false}, {Pass, 7000, 0, false}, {Pass, 60000, 0, false}}},
        {"a count no longer than its warning never warns",
         1,
         0,
         3000,
         3000,
         0,
         {{Start, 0, 0, false}, {Pass, 1, 0, false}, {Pass, 2999, 0, false}}},
        {"no warning set", 1, 0, 10000, 0, 0, {{Start, 0, 0, false}, {Pass, 9999, 0, false}}},
        {"reversed into the stretch: the colour at once, no sound",
         1,
         0,
         10000,
         3000,
         0,
         {{Start, 0, 0, false},
          {Pass, 2000, 0, false},
          {Reverse, 2000, 1, false},
          {Pass, 2500, 1, false},
          {Pass, 4001, 0, false}}},
        {"synced into the stretch: the colour at once, no sound",
         1,
         0,
         600000,
         65000,
         0,
         {{Start, 0, 0, false},
          {Pass, 530000, 0, false},
          {Sync, 530000, 1, false},
          {Pass, 531000, 1, false}}},
        {"time added lifts it out; it warns again at the new crossing",
         1,
         0,
         10000,
         3000,
         0,
         {{Start, 0, 0, false},
          {Pass, 7500, 1, true},
          {Add, 7500, 0, false},
          {Pass, 66999, 0, false},
          {Pass, 67000, 1, true},
          {Pass, 70001, 0, false}}},
        {"Reset ends it",
         1,
         0,
         10000,
         3000,
         0,
         {{Start, 0, 0, false},
          {Pass, 8000, 1, true},
          {Reset, 8100, 0, false},
          {Pass, 15099, 0, false},
          {Pass, 15100, 1, true}}},
        {"each period of a repeating count warns anew",
         1,
         0,
         10000,
         3000,
         2,
         {{Start, 0, 0, false},
          {Pass, 7000, 1, true},
          {Pass, 10001, 0, false},
          {Pass, 16999, 0, false},
          {Pass, 17000, 1, true},
          {Pass, 20001, 0, false}}},
        {"a wake from sleep inside the stretch warns",
         1,
         0,
         10000,
         3000,
         0,
         {{Start, 0, 0, false}, {Pass, 1000, 0, false}, {Pass, 9500, 1, true}}},
        {"a wake from sleep past the end: the time-up, no warning",
         1,
         0,
         10000,
         3000,
         0,
         {{Start, 0, 0, false}, {Pass, 1000, 0, false}, {Pass, 30000, 0, false}}},
        {"a wake past a repeat's end into the next stretch: the colour, no warning",
         1,
         0,
         10000,
         3000,
         2,
         {{Start, 0, 0, false},
          {Pass, 1000, 0, false},
          {Pass, 18000, 1, false},
          {Pass, 19000, 1, false},
          {Pass, 20001, 0, false},
          {Pass, 27000, 1, true}}},
    };
    for (const StretchCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        ResetCountGlobals();
        Settings.ShowTimeUpWindow = 0;
        Settings.FlashDisplay = 0;
        Settings.AlarmAction = 0;
        Settings.CountDirection = c.direction;
        Settings.CountUntil = c.until;
        Settings.WarnBefore = c.warn;
        Settings.ThenAction = c.thenAction;
        Settings.AddStep = 60000;
        LoadSetTime(c.length);
        ShellSim shell;
        for (const Step& step : c.steps)
        {
            SCOPED_TRACE(testing::Message() << static_cast<char>(step.op) << " at " << step.at);
            const uint32_t effects = RunStep(shell, step);
            EXPECT_EQ(Count.InStretch, step.inside);
            EXPECT_EQ((effects & EffectWarn) != 0, step.warns);
            // The colour is redrawn whenever the stretch begins or ends.
            if (step.warns)
            {
                EXPECT_NE(effects & EffectStretch, 0u);
                EXPECT_NE(effects & EffectWarnSound, 0u);
            }
        }
    }
}

// The thread wakes at the crossing as it wakes for anything due; a count without a warning
// waits exactly as it would without the rule. Mute and WarnQuiet keep the crossing quiet.
TEST_F(CountTest, TheThreadWakesAtTheCrossingAndTheSoundCanBeQuiet)
{
    Settings.SecondsMode = 0; // "No Seconds": the text changes a minute at a time
    Settings.ShowTimeUpWindow = 0;
    StartCountdown(600000, T0);
    ShellSim plain;
    plain.Pass(T0);
    const uint32_t waitWithout = plain.Pass(T0 + 1).SleepMs;

    ResetCountGlobals();
    Settings.SecondsMode = 0;
    Settings.ShowTimeUpWindow = 0;
    Settings.WarnBefore = 90000; // the crossing at 8:30, between two minute changes
    StartCountdown(600000, T0);
    ShellSim warned;
    warned.Pass(T0);
    EXPECT_EQ(warned.Pass(T0 + 1).SleepMs, waitWithout) << "the next minute comes first";
    EXPECT_EQ(waitWithout, 60000u);
    EXPECT_EQ(warned.Pass(T0 + 480001).SleepMs, 29999u) << "the crossing comes before 1:00";
    EXPECT_NE(warned.Pass(T0 + 510000).Effects & EffectWarnSound, 0u);

    for (const bool mute : {true, false})
    {
        SCOPED_TRACE(mute ? "Mute" : "WarnQuiet");
        ResetCountGlobals();
        Settings.ShowTimeUpWindow = 0;
        Settings.WarnBefore = 3000;
        Settings.Mute = mute ? 1 : 0;
        Settings.WarnQuiet = mute ? 0 : 1;
        StartCountdown(10000, T0);
        ShellSim shell;
        const uint32_t effects = shell.Pass(T0 + 7000).Effects;
        EXPECT_NE(effects & EffectWarn, 0u);
        EXPECT_EQ(effects & EffectWarnSound, 0u);
    }
}

struct AddCase
{
    const char* what;
    uint32_t direction, until;
    uint32_t target;    // the count's end before
    uint32_t counted;   // its elapsed time
    uint32_t running;   // 1 running, 0 stopped there
    uint32_t timeIsUp;  // a final time-up waits
    uint32_t step;      // AddStep
    uint32_t leftAfter; // time left afterwards (counted on for 0 ms)
    uint32_t shownAfter;
    bool changes;
};

// Add Time moves the end of a count that can end, running or stopped, by the step (a minute
// for 0), never past the longest count; at a final time-up it starts the same count again for
// the step. SetTime never changes: Reset and "Repeat Time" still use it.
TEST_F(CountTest, AddTimeMovesTheEndOrStartsTheCountAgainForTheStep)
{
    constexpr uint32_t Minute = 60000;
    const AddCase cases[] = {
        {"a running countdown", 1, 0, 5 * Minute, Minute, 1, 0, 0, 5 * Minute, 5 * Minute, true},
        {"a countdown stopped part-way", 1, 0, 5 * Minute, Minute, 0, 0, 30000, 4 * Minute + 30000,
         4 * Minute + 30000, true},
        {"a countdown stopped at its start", 1, 0, 5 * Minute, 0, 0, 0, 0, 6 * Minute, 6 * Minute,
         true},
        {"a count up to a time, running", 0, 0, 5 * Minute, Minute, 1, 0, 0, 5 * Minute, Minute,
         true},
        {"an endless count-up", 0, 1, 5 * Minute, Minute, 1, 0, 0, 4 * Minute, Minute, false},
        {"near the longest count", 1, 0, LongestCount - 30000, 0, 1, 0, 0, LongestCount,
         LongestCount, true},
        {"at the longest count", 1, 0, LongestCount, 0, 1, 0, 0, LongestCount, LongestCount, false},
        {"a countdown's final time-up: the step counted down", 1, 0, 5 * Minute, 0, 0, 1, 90000,
         90000, 90000, true},
        {"a count up to a time at its final time-up: on from its end", 0, 0, 5 * Minute, 0, 0, 1, 0,
         Minute, 5 * Minute, true},
    };
    for (const AddCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        ResetCountGlobals();
        Settings.CountDirection = c.direction;
        Settings.CountUntil = c.until;
        Settings.AddStep = c.step;
        Settings.SetTime = 5 * Minute;
        Count.TargetTime = c.target;
        Count.TimeIsUp = c.timeIsUp;
        Count.Serial = 7;
        Count.Running = c.running;
        Count.StartTick = c.running != 0 ? T0 - c.counted : c.counted;
        const uint32_t effects = AddTime(T0, 0);
        TakeCountEffects(effects);
        EXPECT_EQ(effects != 0, c.changes);
        EXPECT_EQ(TimeLeft(T0), c.leftAfter);
        EXPECT_EQ(ShownValue(T0), c.shownAfter);
        EXPECT_EQ(Settings.SetTime, 5 * Minute);
        if (c.timeIsUp != 0)
        {
            EXPECT_EQ(Count.TimeIsUp, 0u);
            EXPECT_EQ(Count.Running, 1u);
            EXPECT_NE(Count.Serial, 7u) << "its windows' answers are overtaken";
            // And it runs: half the step later, half of it is left.
            EXPECT_EQ(TimeLeft(T0 + c.leftAfter / 2), c.leftAfter - c.leftAfter / 2);
        }
    }
}

// At a final time-up, only an answer to that time-up adds: a window's answer names its serial
// and does nothing once overtaken; a key or the menu (serial 0) answers whatever time-up waits.
// A question before a shutdown is answered in its own window alone. Reset after added time
// counts the set time again.
TEST_F(CountTest, AddTimeAtATimeUpAnswersOnlyThatTimeUp)
{
    Settings.ShowTimeUpWindow = 1;
    StartCountdown(10000, T0);
    ShellSim shell;
    shell.Pass(T0 + 10001);
    ASSERT_EQ(Count.TimeIsUp, 1u);
    const uint32_t serial = shell.windowSerials[0];
    EXPECT_EQ(AddTime(T0 + 11000, serial + 1), 0u);
    EXPECT_EQ(Count.TimeIsUp, 1u);
    const CountRequests answer = TimeUpWindowClosed(TimeUpWindowThird, 0, serial);
    ASSERT_EQ(answer.PostCount, 1u);
    EXPECT_EQ(answer.Posts[0], CmdAddTime);
    shell.Deliver(answer, T0 + 11000);
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_EQ(TimeLeft(T0 + 11000), 60000u);
    // Overtaken now: the same answer again does nothing.
    shell.Deliver(answer, T0 + 12000);
    EXPECT_EQ(TimeLeft(T0 + 12000), 59000u);
    TakeCountEffects(ResetCount(T0 + 13000));
    EXPECT_EQ(TimeLeft(T0 + 13000), 10000u);

    ResetCountGlobals();
    Settings.AlarmAction = 5;
    StartCountdown(10000, T0);
    ShellSim asking;
    asking.Pass(T0 + 10001 + 3600000);
    ASSERT_EQ(Count.TimeUpAsks, 1u);
    EXPECT_EQ(AddTime(T0 + 3700000, 0), 0u);
    EXPECT_EQ(Count.TimeIsUp, 1u);
    EXPECT_EQ(Count.Running, 0u);
}

// The step as "Add" shows it, in the count's short form, and what is left as the warning says it.
TEST(AddTimeLabel, TheStepInTheShortForm)
{
    const struct
    {
        uint32_t step;
        const char* label;
    } cases[] = {
        {0, "Add 1:00"},          {1000, "Add 0:01"},       {1500, "Add 0:02"},
        {30000, "Add 0:30"},      {300000, "Add 5:00"},     {3599000, "Add 59:59"},
        {3600000, "Add 1:00:00"}, {5400000, "Add 1:30:00"}, {86400000, "Add 24:00:00"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.step);
        Settings.AddStep = c.step;
        char label[32];
        FormatAddTimeLabel(label);
        EXPECT_STREQ(label, c.label);
    }
    char text[16];
    FormatShortTime(LongestCount, text);
    EXPECT_STREQ(text, "1193:02:47");
    FormatShortTime(0, text);
    EXPECT_STREQ(text, "0:00");
    FormatShortTime(59001, text);
    EXPECT_STREQ(text, "1:00") << "what is left, rounded up";
}

} // namespace
