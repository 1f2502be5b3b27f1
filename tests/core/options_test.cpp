#include <gtest/gtest.h>

#include <set>
#include <string>

#include "data/settings.h"
#include "options/pages.h"

namespace
{

TEST(TimeFields, SplitIntoDaysHoursMinutesSecondsAndMilliseconds)
{
    struct Case
    {
        uint32_t Milliseconds;
        uint32_t Parts[TimeFieldCount];
    } const cases[] = {
        {300000, {0, 0, 5, 0, 0}},          // 5 minutes: only the minutes
        {1089785800, {12, 14, 43, 5, 800}}, // the default preset Three
        {16200000, {0, 4, 30, 0, 0}},       // the default preset Two
        {90000, {0, 0, 1, 30, 0}},          // 90 s
        {12000, {0, 0, 0, 12, 0}},          // 12 s, no milliseconds
        {3500, {0, 0, 0, 3, 500}},           {0, {0, 0, 0, 0, 0}}, {86399999, {0, 23, 59, 59, 999}},
        {4294967295u, {49, 17, 2, 47, 295}}, // the largest count
    };
    for (const Case& c : cases)
    {
        uint32_t parts[TimeFieldCount];
        SplitTimeFields(c.Milliseconds, parts);
        for (uint32_t i = 0; i < TimeFieldCount; ++i)
            EXPECT_EQ(parts[i], c.Parts[i]) << c.Milliseconds << " part " << i;
    }
}

TEST(TimeFields, JoinNormalisesWithTheMinimumAndTheCap)
{
    struct Case
    {
        const char* What;
        uint32_t Parts[TimeFieldCount];
        uint32_t Milliseconds;
    } const cases[] = {
        {"an empty row is 3 s", {0, 0, 0, 0, 0}, 3000},
        {"90 s carry into a minute", {0, 0, 0, 90, 0}, 90000},
        {"60 days become 49", {60, 0, 0, 0, 0}, 49u * 86400000u},
        {"10 s and 2000 ms", {0, 0, 0, 10, 2000}, 12000},
        {"500 ms alone: the minimum first", {0, 0, 0, 0, 500}, 3500},
        {"2 s are lifted to 3", {0, 0, 0, 2, 0}, 3000},
        {"the default preset Three", {12, 14, 43, 5, 800}, 1089785800},
        {"hours carry into days", {0, 25, 61, 61, 0}, 26u * 3600000u + 2u * 60000u + 1000u},
        {"the longest time", {49, 23, 59, 59, 0}, 4294967000u},
        {"milliseconds past the longest time stop at the top", {49, 23, 59, 59, 1535}, 4294967295u},
        {"huge milliseconds typed by hand", {0, 0, 5, 0, 4294967295u}, 4294967295u},
    };
    for (const Case& c : cases)
    {
        uint32_t parts[TimeFieldCount];
        for (uint32_t i = 0; i < TimeFieldCount; ++i)
            parts[i] = c.Parts[i];
        EXPECT_EQ(JoinTimeFields(parts), c.Milliseconds) << c.What;
    }
}

TEST(TimeFields, AnOptionalTimeIsNoneWhenNothingWasTyped)
{
    // The warning and the step of Add Time: a row left empty, or 0 in every field, stores
    // nothing; any time typed is stored as a preset's would be.
    struct Case
    {
        const char* What;
        uint32_t Parts[TimeFieldCount];
        uint32_t Milliseconds;
    } const cases[] = {
        {"empty, or 0 in every field: none", {0, 0, 0, 0, 0}, 0},
        {"1 s is lifted to the shortest count, 3 s", {0, 0, 0, 1, 0}, 3000},
        {"500 ms alone: the shortest count first", {0, 0, 0, 0, 500}, 3500},
        {"1 min 30 s", {0, 0, 1, 30, 0}, 90u * 1000u},
        {"2 hours", {0, 2, 0, 0, 0}, 2u * 60u * 60u * 1000u},
        {"60 days become 49", {60, 0, 0, 0, 0}, 49u * 24u * 60u * 60u * 1000u},
        {"huge milliseconds stop at the longest time", {0, 0, 5, 0, 4294967295u}, 4294967295u},
    };
    for (const Case& c : cases)
    {
        uint32_t parts[TimeFieldCount];
        for (uint32_t i = 0; i < TimeFieldCount; ++i)
            parts[i] = c.Parts[i];
        EXPECT_EQ(JoinOptionalTimeFields(parts), c.Milliseconds) << c.What;
        if (c.Milliseconds != 0)
        {
            EXPECT_EQ(JoinTimeFields(parts), c.Milliseconds) << c.What << ": as a preset";
        }
    }
}

TEST(TimeFields, SplitOfAJoinedRowShowsTheStoredTime)
{
    // What the page shows on return after a row was left.
    const uint32_t typed[TimeFieldCount] = {0, 0, 0, 10, 2000};
    uint32_t shown[TimeFieldCount];
    SplitTimeFields(JoinTimeFields(typed), shown);
    const uint32_t expected[TimeFieldCount] = {0, 0, 0, 12, 0};
    for (uint32_t i = 0; i < TimeFieldCount; ++i)
        EXPECT_EQ(shown[i], expected[i]) << i;
}

TEST(FieldNumbers, ShowUnsignedNumbersAndEmptyZeroesWhereAsked)
{
    struct Case
    {
        uint32_t Value;
        bool EmptyForZero;
        const char* Text;
    } const cases[] = {
        {0, false, "0"},
        {0, true, ""},
        {5, true, "5"},
        {50, false, "50"},
        {5000, false, "5000"},
        {1535, true, "1535"},
        {4294967295u, false, "4294967295"},
    };
    for (const Case& c : cases)
    {
        char text[16];
        FormatFieldNumber(c.Value, c.EmptyForZero, text);
        EXPECT_STREQ(text, c.Text) << c.Value;
    }
}

TEST(PageEnables, FollowTheSettingsTheyDependOn)
{
    struct Case
    {
        const char* What;
        uint32_t TwoClick, Direction, Until, Action, Header, AutoFrequency, Wait;
        PageEnables Expected;
    } const cases[] = {
        // AutoStart, Until, Then, File, Repeat, Test, Header, Frequency, ShowWindow
        {"defaults",
         1,
         0,
         1,
         1,
         0,
         1,
         0,
         {true, true, false, false, true, true, false, false, true}},
        {"QuickSet off",
         0,
         0,
         1,
         1,
         0,
         1,
         0,
         {false, true, false, false, true, true, false, false, true}},
        {"counting down",
         1,
         1,
         1,
         1,
         0,
         1,
         0,
         {true, false, true, false, true, true, false, false, true}},
        {"up until the set time",
         1,
         0,
         0,
         1,
         0,
         1,
         0,
         {true, true, true, false, true, true, false, false, true}},
        {"no action",
         1,
         1,
         0,
         0,
         0,
         1,
         0,
         {true, false, true, false, false, false, false, false, true}},
        {"sound file",
         1,
         1,
         0,
         2,
         0,
         1,
         0,
         {true, false, true, true, true, true, false, false, true}},
        {"random sound",
         1,
         1,
         0,
         3,
         0,
         1,
         0,
         {true, false, true, true, true, true, false, false, true}},
        {"run file",
         1,
         1,
         0,
         4,
         0,
         1,
         0,
         {true, false, true, true, false, true, false, false, true}},
        {"shutdown",
         1,
         1,
         0,
         5,
         0,
         1,
         0,
         {true, false, true, false, false, false, false, false, true}},
        {"restart",
         1,
         1,
         0,
         6,
         0,
         1,
         0,
         {true, false, true, false, false, false, false, false, true}},
        {"out of range",
         1,
         1,
         0,
         9,
         0,
         1,
         0,
         {true, false, true, false, false, false, false, false, true}},
        {"header and a chosen frequency",
         1,
         1,
         0,
         1,
         1,
         0,
         0,
         {true, false, true, false, true, true, true, true, true}},
        {"waiting for the button",
         1,
         1,
         0,
         1,
         0,
         1,
         1,
         {true, false, true, false, true, true, false, false, false}},
    };
    for (const Case& c : cases)
    {
        SettingsRecord settings = {};
        settings.TwoClickQuickSet = c.TwoClick;
        settings.CountDirection = c.Direction;
        settings.CountUntil = c.Until;
        settings.AlarmAction = c.Action;
        settings.ShowHeader = c.Header;
        settings.AutoFrequency = c.AutoFrequency;
        settings.WaitMode = c.Wait;
        settings.AutoStartQuickSet = 1;
        const PageEnables got = ApplyEnableRules(settings);
        const PageEnables& e = c.Expected;
        EXPECT_EQ(got.AutoStartQuickSet, e.AutoStartQuickSet) << c.What;
        EXPECT_EQ(got.CountUntil, e.CountUntil) << c.What;
        EXPECT_EQ(got.ThenAndWait, e.ThenAndWait) << c.What;
        EXPECT_EQ(got.AlarmFile, e.AlarmFile) << c.What;
        EXPECT_EQ(got.RepeatSound, e.RepeatSound) << c.What;
        EXPECT_EQ(got.Test, e.Test) << c.What;
        EXPECT_EQ(got.HeaderText, e.HeaderText) << c.What;
        EXPECT_EQ(got.UpdateFrequency, e.UpdateFrequency) << c.What;
        EXPECT_EQ(got.ShowTimeUpWindow, e.ShowTimeUpWindow) << c.What;
        // Waiting for the button turns the time-up window on; nothing else is written.
        EXPECT_EQ(settings.ShowTimeUpWindow, c.Wait == 1 ? 1u : 0u) << c.What;
        EXPECT_EQ(settings.AutoStartQuickSet, 1u) << c.What;
    }
}

TEST(PageTables, NameEachControlOnceAndEndWhereTheyShould)
{
    // A control captioned or explained twice would show the later text only: each table names
    // a control once, and the tables end at their marker.
    for (const ControlString* table : {ControlTextTable, ControlTipTable})
    {
        std::set<uint32_t> seen;
        const ControlString* entry = table;
        for (; entry->UiString != ControlTableEnd; ++entry)
        {
            EXPECT_TRUE(seen.insert(entry->Control).second) << entry->Control;
            EXPECT_LT(entry->UiString, 200u);
        }
        EXPECT_GT(seen.size(), 40u);
    }
    EXPECT_EQ(ControlTextTable[0].Control, 5004u);
    EXPECT_EQ(ControlTipTable[3].Control, 9u); // the Help button's tip
    // The lists' entries: the alarm actions, in their stored order.
    const ListContents& actions = ListTable[4];
    EXPECT_EQ(actions.Control, 4007u);
    const uint32_t expected[7] = {24, 25, 26, 104, 27, 28, 29};
    ASSERT_EQ(actions.Count, 7u);
    for (uint32_t i = 0; i < 7; ++i)
        EXPECT_EQ(actions.Entries[i], expected[i]);
}

// The upper end of spinner `id`'s range; 0 when no range names it.
uint32_t SpinnerUpper(uint32_t id)
{
    uint32_t upper = 0, found = 0;
    for (const SpinnerRange& range : SpinnerRanges)
        if (range.First <= id && id <= range.Last) upper = range.Upper, ++found;
    EXPECT_LE(found, 1u) << "spinner " << id << " in two ranges";
    return upper;
}

TEST(PageTables, WarnAndAddSpinnersRunAsThePresetsOfTheSameField)
{
    // The presets' spinners of row One, field by field (resources/mivo.rc): days, hours,
    // minutes, seconds, milliseconds.
    const uint32_t presets[TimeFieldCount] = {3030, 3033, 3036, 3039, 3044};
    for (uint32_t i = 0; i < TimeFieldCount; ++i)
    {
        const uint32_t upper = SpinnerUpper(presets[i]);
        ASSERT_NE(upper, 0u) << i;
        EXPECT_EQ(SpinnerUpper(3060 + i), upper) << "Warn, field " << i;
        EXPECT_EQ(SpinnerUpper(3065 + i), upper) << "Add, field " << i;
    }
}

TEST(PageTables, FixedTipsNameEachControlOnceAndNoneTheUiStringsExplain)
{
    // A control with two tips would show one of them only.
    std::set<uint32_t> seen;
    for (const ControlString* tip = ControlTipTable; tip->UiString != ControlTableEnd; ++tip)
        seen.insert(tip->Control);
    uint32_t count = 0;
    for (const ControlTip* tip = FixedTipTable; tip->Control != ControlTableEnd; ++tip, ++count)
    {
        EXPECT_TRUE(seen.insert(tip->Control).second) << tip->Control;
        ASSERT_NE(tip->Text, nullptr);
        EXPECT_GT(std::string(tip->Text).size(), 10u) << tip->Control;
    }
    // The Warn and Add rows' ten fields, the Sound box and the Colour button have theirs.
    for (uint32_t id = 3050; id < 3060; ++id)
        EXPECT_EQ(seen.count(id), 1u) << id;
    EXPECT_EQ(seen.count(5012), 1u);
    EXPECT_EQ(seen.count(5013), 1u);
    EXPECT_GE(count, 23u);
}

TEST(PageTables, CheckBoxesAndListsShowTheirOwnSettings)
{
    // Each box and list reads the setting it names: a record with distinct values tells them
    // apart.
    SettingsRecord settings = {};
    uint32_t next = 1;
    for (const ControlSetting& box : CheckBoxSettings)
        settings.*box.Setting = next++;
    for (const ControlSetting& list : ListSettings)
        settings.*list.Setting = next++;
    for (const ControlSetting& box : InvertedBoxSettings)
        settings.*box.Setting = next++;
    EXPECT_EQ(settings.TwoClickQuickSet, 1u);
    EXPECT_EQ(settings.RepeatSound, 10u);
    EXPECT_EQ(settings.ShowTimeUpWindow, 14u);
    EXPECT_EQ(settings.RevRev, 18u);
    EXPECT_EQ(settings.CountDirection, 19u);
    EXPECT_EQ(settings.ScalingMethod, 24u);
    EXPECT_EQ(settings.AllowSleep, 25u);
    EXPECT_EQ(settings.WarnQuiet, 26u);   // the Sound box, ticked while it is 0
    EXPECT_EQ(settings.ForgetCount, 27u); // "Resume the count after a restart", the same
}

} // namespace

namespace
{

TEST(Transparency, PerCentAndAlphaConvertBothWays)
{
    struct Shown
    {
        uint32_t Opacity;
        uint32_t Percent;
    } const shown[] = {{255, 0}, {5, 99}, {130, 50}, {65, 75}, {254, 1}, {128, 50}};
    for (const Shown& c : shown)
        EXPECT_EQ(OpacityPercent(c.Opacity), c.Percent) << c.Opacity;

    struct Stored
    {
        uint32_t Percent;
        uint32_t Opacity;
    } const stored[] = {{0, 255}, {1, 255}, {50, 130}, {75, 66},
                        {99, 5},  {100, 5}, {250, 5},  {4294967295u, 5}};
    for (const Stored& c : stored)
        EXPECT_EQ(OpacityFromPercent(c.Percent), c.Opacity) << c.Percent;
    // What is typed comes back as typed, or as 99 when more was asked than the floor allows.
    EXPECT_EQ(OpacityPercent(OpacityFromPercent(100)), 99u);
    for (uint32_t v = 1; v <= 99; ++v)
    {
        const uint32_t back = OpacityPercent(OpacityFromPercent(v));
        EXPECT_LE(back > v ? back - v : v - back, 1u) << v;
    }
}

TEST(RepeatInterval, HasAFloorOfOneHundredMilliseconds)
{
    const uint32_t typed[][2] = {{0, 100},     {50, 100},      {99, 100},       {100, 100},
                                 {1500, 1500}, {32767, 32767}, {100000, 100000}};
    for (const auto& c : typed)
        EXPECT_EQ(RepeatIntervalFrom(c[0]), c[1]) << c[0];
}

TEST(ListChoice, NeverStoresTheNoSelectionValue)
{
    struct Case
    {
        const char* What;
        uint32_t Control;
        int32_t Selection;
        uint32_t Previous;
        uint32_t Stored;
    } const cases[] = {
        {"a chosen action", 4007, 2, 1, 2},
        {"the last action", 4007, 6, 0, 6},
        {"no selection keeps an action in range", 4007, -1, 4, 4},
        {"no selection with a damaged action takes No Action", 4007, -1, 9, 0},
        {"no selection with -1 stored before", 4007, -1, 0xFFFFFFFFu, 0},
        {"a selection past the list is not believed", 4007, 7, 5, 5},
        {"scaling: damaged", 1063, -1, 7, 0},
        {"scaling: in range", 1063, -1, 1, 1},
        {"direction", 4004, 1, 0, 1},
        {"then: damaged", 4010, -1, 4, 0},
        {"then: kept", 4010, -1, 3, 3},
        {"wait", 4005, -1, 1, 1},
        {"until", 4013, 0, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListChoice(c.Control, c.Selection, c.Previous), c.Stored) << c.What;
}

TEST(FontSize, IsTheComplementOfTheChoosersHeight)
{
    const int32_t heights[][2] = {{-27, 26}, {-1, 0}, {-100, 99}, {0, -1}, {20, -21}};
    for (const auto& c : heights)
        EXPECT_EQ(FontSizeFromHeight(c[0]), static_cast<uint32_t>(c[1])) << c[0];
}

} // namespace
