#include <gtest/gtest.h>

#include <cstring>

#include "data/settings.h"
#include "display/timetext.h"

namespace
{

enum : uint32_t
{
    NoDays = 0,
    IfBig = 1,
    Always = 2,
};
enum : uint32_t
{
    NoSeconds = 0,
    Seconds = 1,
    Deci = 2,
    Centi = 3,
    Milli = 4,
};

struct TimeTextCase
{
    uint32_t count;
    uint32_t daysMode;
    uint32_t secondsMode;
    const char* text;
    uint32_t widthClass;
};

const TimeTextCase TimeTextCases[] = {
    {0, IfBig, Seconds, "0", 1},
    {0, IfBig, Deci, "0.0", 2},
    {0, IfBig, Milli, "0.000", 3},
    {45000, IfBig, NoSeconds, "45", 1},
    {59999, IfBig, Centi, "59.99", 3},
    {60000, IfBig, NoSeconds, "01", 1},
    {65432, IfBig, Seconds, "01:05", 2},
    {65432, IfBig, Deci, "01:05.4", 3},
    {12050, IfBig, Deci, "12.0", 2},
    {12050, IfBig, Centi, "12.05", 3},
    {12050, IfBig, Milli, "12.050", 3},
    {300000, IfBig, Deci, "05:00.0", 3},
    {3600000, IfBig, NoSeconds, "1:00", 2},
    {3725050, IfBig, Centi, "1:02:05.05", 5},
    {16200000, IfBig, Deci, "4:30:00.0", 4},
    {36000000, IfBig, Centi, "10:00:00.00", 6},
    {86400000, IfBig, Seconds, "24:00:00", 4},
    {86400000, Always, Seconds, "1:00:00:00", 4},
    {172800000, IfBig, Seconds, "48:00:00", 4},
    {172800001, IfBig, Milli, "2:00:00:00.001", 6},
    {90061234, NoDays, Deci, "25:01:01.2", 5},
    {1089785800, IfBig, Deci, "12:14:43:05.8", 7},
    {4294967295u, NoDays, Milli, "1193:02:47.295", 6},
    {4294967295u, Always, Milli, "49:17:02:47.295", 8},
    // A zero field between written fields is two zeros; "Always" below a day has no days.
    {3600000, IfBig, Seconds, "1:00:00", 3},
    {5000, Always, Seconds, "5", 1},
    {3599999, Always, NoSeconds, "59", 1},
    {864000000, Always, Seconds, "10:00:00:00", 5},
};

class TimeText : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        Settings = SettingsRecord{};
        std::memset(DisplayText, 0, sizeof DisplayText);
        WidthClass = 0;
        ChangeCount = 0;
    }
};

TEST_F(TimeText, TextAndWidthClassTable)
{
    for (const TimeTextCase& c : TimeTextCases)
    {
        SCOPED_TRACE(testing::Message()
                     << c.count << " days " << c.daysMode << " seconds " << c.secondsMode);
        Settings.DaysMode = c.daysMode;
        Settings.SecondsMode = c.secondsMode;

        // Into DisplayText: the width class is stored there too.
        std::strcpy(DisplayText, "old text");
        WidthClass = 99;
        const CountTextResult shown = FormatCountText(c.count, DisplayText);
        EXPECT_STREQ(DisplayText, c.text);
        EXPECT_EQ(shown.WidthClass, c.widthClass);
        EXPECT_EQ(WidthClass, c.widthClass);

        // Into another buffer: the same text, the globals untouched.
        char label[64];
        std::memset(label, 'x', sizeof label);
        const uint32_t changeCount = ChangeCount;
        const CountTextResult labelled = FormatCountText(c.count, label);
        EXPECT_STREQ(label, c.text);
        EXPECT_EQ(labelled.WidthClass, c.widthClass);
        EXPECT_STREQ(DisplayText, c.text);
        EXPECT_EQ(WidthClass, c.widthClass);
        EXPECT_EQ(ChangeCount, changeCount);
    }
}

// Without a fraction a text counts as changed only when it differs; with one it always does.
TEST_F(TimeText, ChangedFlagPerMode)
{
    struct ChangeCase
    {
        uint32_t secondsMode;
        uint32_t first, second; // the same destination, one after the other
        uint32_t secondChanged;
    };
    const ChangeCase cases[] = {
        {NoSeconds, 120000, 120000, 0},
        {NoSeconds, 120000, 125000, 0}, // only the hidden seconds moved: no repaint
        {NoSeconds, 120000, 180000, 1},
        {Seconds, 61000, 61000, 0},
        {Seconds, 61000, 61999, 0},
        {Seconds, 61000, 62000, 1},
        {Seconds, 600000, 60000, 1}, // "10:00" to "01:00": same length, other text
        {Seconds, 10000, 9000, 1},   // "10" to "9": shorter
        // "10:00:00:01" to "10:00:00:02": only the last of eleven characters moved
        {Seconds, 864001000, 864002000, 1},
        {Seconds, 864001000, 864001999, 0},
        {Deci, 61000, 61000, 1},
        {Centi, 61000, 61000, 1},
        {Milli, 61000, 61000, 1},
    };
    for (const ChangeCase& c : cases)
    {
        SCOPED_TRACE(testing::Message()
                     << c.secondsMode << ": " << c.first << " then " << c.second);
        Settings.DaysMode = IfBig;
        Settings.SecondsMode = c.secondsMode;
        DisplayText[0] = 0;
        ChangeCount = 0;

        EXPECT_EQ(FormatCountText(c.first, DisplayText).Changed, 1u);
        EXPECT_EQ(ChangeCount, 1u);
        EXPECT_EQ(FormatCountText(c.second, DisplayText).Changed, c.secondChanged);
        EXPECT_EQ(ChangeCount, 1u + c.secondChanged);

        // The same rule for another buffer, which never counts.
        char label[64] = "";
        EXPECT_EQ(FormatCountText(c.first, label).Changed, 1u);
        EXPECT_EQ(FormatCountText(c.second, label).Changed, c.secondChanged);
        EXPECT_EQ(ChangeCount, 1u + c.secondChanged);
    }
}

// A longer old text that begins with the new one is a change, not a match.
TEST_F(TimeText, ShorterTextOverALongerOneIsAChange)
{
    Settings.DaysMode = IfBig;
    Settings.SecondsMode = Seconds;
    std::strcpy(DisplayText, "5:00");
    EXPECT_EQ(FormatCountText(5000, DisplayText).Changed, 1u);
    EXPECT_STREQ(DisplayText, "5");
    std::strcpy(DisplayText, "5");
    EXPECT_EQ(FormatCountText(300000, DisplayText).Changed, 1u);
    EXPECT_STREQ(DisplayText, "05:00");
}

// What lies past the old text's terminator is not part of it: the same text over other bytes
// there is no change, whatever those bytes are.
TEST_F(TimeText, BytesPastTheTerminatorAreNotCompared)
{
    Settings.DaysMode = IfBig;
    Settings.SecondsMode = Seconds;
    const struct
    {
        uint32_t count;
        const char* text;
    } cases[] = {{300000, "05:00"}, {9000, "9"}, {864001000, "10:00:00:01"}, {0, "0"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        std::memset(DisplayText, 'x', sizeof DisplayText);
        std::memcpy(DisplayText, c.text, std::strlen(c.text) + 1);
        ChangeCount = 0;
        EXPECT_EQ(FormatCountText(c.count, DisplayText).Changed, 0u);
        EXPECT_EQ(ChangeCount, 0u);
        EXPECT_STREQ(DisplayText, c.text);
    }
}

} // namespace
