#include "display/timetext.h"

#include "data/settings.h"
#include "text/text.h"

char DisplayText[64];
uint32_t WidthClass;
uint32_t ChangeCount;

namespace
{

constexpr uint32_t MsPerDay = 86400000;
constexpr uint32_t MsPerHour = 3600000;
constexpr uint32_t MsPerMinute = 60000;
constexpr uint32_t MsPerSecond = 1000;
// "If Big" shows days only above two days, so a count of a day and a half stays 36:00:00.
constexpr uint32_t DaysThreshold = 172800000;

// Nearly every field is below 100 and is written straight away; longer ones (hours past 99
// without a days field) go through FormatDecimal. Every value is below 2^31 (days at most 49,
// hours at most 1193), so no sign is ever written.
char* PutNumber(char* out, uint32_t value)
{
    if (value < 10)
    {
        *out++ = static_cast<char>('0' + value);
        return out;
    }
    if (value < 100)
    {
        *out++ = static_cast<char>('0' + value / 10);
        *out++ = static_cast<char>('0' + value % 10);
        return out;
    }
    FormatDecimal(static_cast<int32_t>(value), out);
    while (*out != 0)
        ++out;
    return out;
}

} // namespace

CountTextResult FormatCountText(uint32_t count, char* dest)
{
    const uint32_t daysMode = Settings.DaysMode;
    const uint32_t secondsMode = Settings.SecondsMode;

    // Built aside and compared with the old text before it replaces it.
    char text[CountTextChars + 1];
    char* out = text;
    bool written = false;
    uint32_t width = 0;
    uint32_t rest = count;

    if (daysMode == 2 || (daysMode == 1 && count > DaysThreshold))
    {
        const uint32_t days = rest / MsPerDay;
        if (days != 0)
        {
            out = PutNumber(out, days);
            width += days > 9 ? 2 : 1;
            written = true;
        }
        rest -= days * MsPerDay;
    }

    const uint32_t hours = rest / MsPerHour;
    if (hours != 0 || written)
    {
        if (written)
        {
            *out++ = ':';
            if (hours < 10) *out++ = '0';
        }
        out = PutNumber(out, hours);
        width += hours > 9 ? 2 : 1;
        written = true;
    }
    rest -= hours * MsPerHour;

    // Minutes are always two digits, also as the first field (05:00).
    const uint32_t minutes = rest / MsPerMinute;
    if (minutes != 0 || written)
    {
        if (written) *out++ = ':';
        if (minutes < 10) *out++ = '0';
        out = PutNumber(out, minutes);
        width += 1;
        written = true;
    }
    rest -= minutes * MsPerMinute;

    // A count under a minute shows its seconds even in "No Seconds" mode.
    if (secondsMode >= 1 || !written)
    {
        const uint32_t seconds = rest / MsPerSecond;
        if (written)
        {
            *out++ = ':';
            if (seconds < 10) *out++ = '0';
        }
        out = PutNumber(out, seconds);
        width += 1;
        rest -= seconds * MsPerSecond;

        if (secondsMode >= 2 && secondsMode <= 4)
        {
            // Truncated, never rounded: 12 050 ms is 12.0, 12.05 or 12.050.
            const char digits[3] = {static_cast<char>('0' + rest / 100),
                                    static_cast<char>('0' + rest / 10 % 10),
                                    static_cast<char>('0' + rest % 10)};
            *out++ = '.';
            for (uint32_t i = 0; i < secondsMode - 1; ++i)
                *out++ = digits[i];
            width += secondsMode == 2 ? 1 : 2;
        }
    }
    *out = 0;

    bool changed = secondsMode >= 2 && secondsMode <= 4;
    char* to = dest;
    for (const char* from = text;; ++from, ++to)
    {
        if (!changed && *to != *from) changed = true;
        *to = *from;
        if (*from == 0) break;
    }

    if (dest == DisplayText)
    {
        WidthClass = width;
        if (changed) ++ChangeCount;
    }
    return CountTextResult{width, changed ? 1u : 0u};
}
