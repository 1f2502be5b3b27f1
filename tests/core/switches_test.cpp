#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/count.h"
#include "app/switches.h"
#include "data/settings.h"

namespace
{

constexpr uint32_t Unset = 0xDEADBEEF;

struct SwitchCase
{
    const char* line;
    uint32_t savedDirection; // CountDirection before the line is read
    uint32_t countUntil;
    uint32_t targetTime; // 0: no time given
    uint32_t direction;
    uint32_t startAtLaunch;
    uint32_t lockText;
    uint32_t pausedCount; // StartTick afterwards
};

const SwitchCase SwitchCases[] = {
    // No arguments: nothing changes.
    {"Mivo.exe", 1, 1, 0, 1, 0, 0, Unset},
    {"Mivo.exe /m=5 g", 1, 1, 300000, 1, 1, 0, Unset},
    // The last character decides first: /m=5g is g only.
    {"Mivo.exe /m=5g", 1, 1, 0, 1, 1, 0, Unset},
    {"Mivo.exe G", 1, 1, 0, 1, 1, 0, Unset},
    {"Mivo.exe /g", 1, 1, 0, 1, 1, 0, Unset},
    // Prefixes are case-sensitive; zero sets no time.
    {"Mivo.exe /S=5", 1, 1, 0, 1, 0, 0, Unset},
    {"Mivo.exe /s=0", 1, 1, 0, 1, 0, 0, Unset},
    {"Mivo.exe /s=90", 1, 1, 90000, 1, 0, 0, Unset},
    {"Mivo.exe /s=1", 1, 1, 3000, 1, 0, 0, Unset},
    {"Mivo.exe /d=60", 1, 1, 49u * 86400000u, 1, 0, 0, Unset},
    {"Mivo.exe /d=49 /h=23 /m=59 /s=59", 1, 1, 4294967000u, 1, 0, 0, Unset},
    // Switch values add up; a later prefix overrides an earlier one.
    {"Mivo.exe /h=1 /m=30", 1, 1, 5400000, 1, 0, 0, Unset},
    {"Mivo.exe /m=5 /m=7", 1, 1, 420000, 1, 0, 0, Unset},
    // A negative value reads as a huge one: its carry clamps the days to 49, the rest stays.
    {"Mivo.exe /s=-1", 1, 1, 4256895000u, 1, 0, 0, Unset},
    {"Mivo.exe /d=-1 /h=-1", 1, 1, 4287600000u, 1, 0, 0, Unset},
    // b and f set the direction; the last one wins.
    {"Mivo.exe b /m=5", 0, 1, 300000, 1, 0, 0, Unset},
    {"Mivo.exe B f", 1, 1, 0, 0, 0, 0, Unset},
    // Counting up without end from a given time: the paused count starts there.
    {"Mivo.exe f /m=5", 1, 1, 300000, 0, 0, 0, 300000},
    {"Mivo.exe /m=5", 0, 1, 300000, 0, 0, 0, 300000},
    {"Mivo.exe f /m=5", 1, 0, 300000, 0, 0, 0, Unset},
    {"Mivo.exe b /m=5", 0, 1, 300000, 1, 0, 0, Unset},
    // /a= locks the text whatever follows it, also a quoted path with spaces.
    {"Mivo.exe /a=\"D:\\My Sounds\\x.mp3\" /m=2", 1, 1, 120000, 1, 0, 1, Unset},
    {"Mivo.exe /a=", 1, 1, 0, 1, 0, 1, Unset},
    // An empty quoted argument stops parsing there.
    {"Mivo.exe /m=5 \"\" g b", 0, 1, 300000, 0, 0, 0, 300000},
    // An odd number of quotes: nothing takes effect.
    {"Mivo.exe /m=5 g b \"x", 0, 1, 0, 0, 0, 0, Unset},
    // Tabs separate; a 0xFE byte stays inside its argument and reads as a space ("x g" is g).
    {"Mivo.exe\t/m=3\tg", 1, 1, 180000, 1, 1, 0, Unset},
    {"Mivo.exe x\xFEg /s=10", 1, 1, 10000, 1, 1, 0, Unset},
    // Trailing spaces end parsing with an empty argument, harmlessly.
    {"Mivo.exe /m=1   ", 1, 1, 60000, 1, 0, 0, Unset},
};

TEST(Switches, CommandLineTable)
{
    for (const SwitchCase& c : SwitchCases)
    {
        SettingsRecord settings = {};
        settings.CountDirection = c.savedDirection;
        settings.CountUntil = c.countUntil;
        settings.SetTime = 123456;
        CountState count = {};
        count.StartTick = Unset;
        StartSwitches switches = {};

        ApplyCommandLine(c.line, settings, count, switches);

        SCOPED_TRACE(c.line);
        EXPECT_EQ(count.TargetTime, c.targetTime);
        EXPECT_EQ(settings.SetTime, c.targetTime == 0 ? 123456u : c.targetTime);
        EXPECT_EQ(settings.CountDirection, c.direction);
        EXPECT_EQ(switches.StartAtLaunch, c.startAtLaunch);
        EXPECT_EQ(switches.LockTimeUpText, c.lockText);
        EXPECT_EQ(count.StartTick, c.pausedCount);
        EXPECT_EQ(count.Running, 0u);
    }
}

// A line far longer than the 191-character work copy: whole arguments before the limit
// count, nothing after it does, and no argument is read cut short.
TEST(Switches, LongLines)
{
    SettingsRecord settings = {};
    CountState count = {};
    StartSwitches switches = {};
    // "/s=45" straddles character 191.
    std::string line = "Mivo.exe /m=5 /a=\"" + std::string(170, 'p') + "\" /s=45 " +
                       std::string(600, 'z') + " g b";
    ApplyCommandLine(line.c_str(), settings, count, switches);
    EXPECT_EQ(count.TargetTime, 300000u);
    EXPECT_EQ(switches.LockTimeUpText, 1u);
    EXPECT_EQ(switches.StartAtLaunch, 0u);
    EXPECT_EQ(settings.CountDirection, 0u);
}

TEST(Conversion, NormalisesAndClamps)
{
    EXPECT_EQ(ConvertToMilliseconds(0, 0, 0, 0, 0), 3000u);
    EXPECT_EQ(ConvertToMilliseconds(0, 0, 0, 90, 0), 90000u);
    EXPECT_EQ(ConvertToMilliseconds(0, 0, 90, 0, 0), 5400000u);
    EXPECT_EQ(ConvertToMilliseconds(60, 0, 0, 0, 0), 4233600000u);
    EXPECT_EQ(ConvertToMilliseconds(49, 23, 59, 59, 0), 4294967000u);
    EXPECT_EQ(ConvertToMilliseconds(0, 0, 0, 2, 999), 3999u);
    EXPECT_EQ(ConvertToMilliseconds(0, 25, 0, 0, 0), 90000000u);
    // 4294967295 s carry to 49710 days 6:28:15; the days clamp to 49.
    EXPECT_EQ(ConvertToMilliseconds(0, 0, 0, 4294967295u, 0), 4256895000u);
    // The carry of a day must not wrap the days round to 0 (which would give 3 s).
    EXPECT_EQ(ConvertToMilliseconds(4294967295u, 24, 0, 0, 0), 4233600000u);
    // Remainders 1:43:15 after the carries.
    EXPECT_EQ(ConvertToMilliseconds(4294967295u, 4294967295u, 4294967295u, 4294967295u, 0),
              4239795000u);
}

} // namespace
