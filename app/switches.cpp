#include "app/switches.h"

#include "app/count.h"
#include "data/settings.h"
#include "text/text.h"

StartSwitches Switches;

namespace
{

// Exact, case-sensitive match of the first three characters ("/S=5" is not "/s=").
bool HasPrefix(const char* argument, const char* prefix)
{
    // The prefix holds no zero byte, so a short argument stops the comparison at its end.
    return argument[0] == prefix[0] && argument[1] == prefix[1] && argument[2] == prefix[2];
}

} // namespace

void ApplyCommandLine(const char* commandLine, SettingsRecord& settings, CountState& count,
                      StartSwitches& switches)
{
    uint32_t seconds = 0, minutes = 0, hours = 0, days = 0;
    char argument[CommandLineWorkChars + 1];
    for (uint32_t index = 1;; ++index)
    {
        if (SplitCommandArgument(commandLine, index, argument) != ArgumentFound) break;

        // The last character decides first: "G", "/g" and "/m=5g" all mean g.
        char last[2];
        RightText(argument, last, 1);
        LowerText(last);
        if (last[0] == 'g')
        {
            switches.StartAtLaunch = 1;
            switches.GivesCount = 1;
            continue;
        }
        if (last[0] == 'b')
        {
            settings.CountDirection = 1;
            switches.GivesCount = 1;
            continue;
        }
        if (last[0] == 'f')
        {
            settings.CountDirection = 0;
            switches.GivesCount = 1;
            continue;
        }

        const uint32_t value = static_cast<uint32_t>(ParseSwitchValue(argument));
        if (HasPrefix(argument, "/s="))
            seconds = value;
        else if (HasPrefix(argument, "/m="))
            minutes = value;
        else if (HasPrefix(argument, "/h="))
            hours = value;
        else if (HasPrefix(argument, "/d="))
            days = value;
        else if (HasPrefix(argument, "/a="))
            switches.LockTimeUpText = 1;
    }

    if (seconds == 0 && minutes == 0 && hours == 0 && days == 0) return;
    switches.GivesCount = 1;
    const uint32_t time = ConvertToMilliseconds(days, hours, minutes, seconds, 0);
    count.TargetTime = time;
    settings.SetTime = time;
    // An endless count-up given a time starts from it.
    if (settings.CountDirection == 0 && settings.CountUntil == 1) count.StartTick = time;
}
