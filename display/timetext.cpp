#include "display/timetext.h"

#include <cstring>

#include "data/settings.h"

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

// "00" to "99": a field's two digits in one copy.
constexpr char TwoDigits[] = "00010203040506070809101112131415161718192021222324252627282930313233"
                             "34353637383940414243444546474849505152535455565758596061626364656667"
                             "6869707172737475767778798081828384858687888990919293949596979899";

void PutTwo(char* out, uint32_t value)
{
    std::memcpy(out, TwoDigits + 2 * value, 2);
}

} // namespace

// Every field is written at full width at a fixed place, whatever the count; only where the
// text starts and ends depends on which fields it shows. Counts of every size then take the
// same path: the choices left are selections, not branches on the count's digits.
//
//   index   2 3 4 5 6 7 8 9 10 11 12 13 14 15 16
//   days    d d : h h : m m :  s  s  .  f  f  f
//   hours       H H h h : m m  :  s  s  .  f  f  f
//
// A first field of hours has up to four digits (1193 hours without days); after days they are
// two, and the days with their colon take the place of the hundreds.
CountTextResult FormatCountText(uint32_t count, char* dest)
{
    const uint32_t daysMode = Settings.DaysMode;
    const uint32_t secondsMode = Settings.SecondsMode;

    const bool daysField = daysMode == 2 || (daysMode == 1 && count > DaysThreshold);
    const uint32_t days = daysField ? count / MsPerDay : 0;
    // Each field straight from the rest rather than from the field before it: the divisions
    // run side by side instead of one after the other.
    const uint32_t rest = count - days * MsPerDay;
    const uint32_t hours = rest / MsPerHour;
    const uint32_t minutes = rest / MsPerMinute % 60;
    const uint32_t seconds = rest / MsPerSecond % 60;
    const uint32_t milliseconds = rest % MsPerSecond;

    const bool daysShown = days != 0;
    const bool hoursShown = daysShown || hours != 0;
    const bool minutesShown = hoursShown || minutes != 0;
    // A count under a minute shows its seconds even in "No Seconds" mode.
    const bool secondsShown = secondsMode >= 1 || !minutesShown;
    const bool fraction = secondsMode >= 2 && secondsMode <= 4;

    // Room for 16 bytes from any start: the text is compared and copied as whole words.
    char text[32] = {};
    PutTwo(text + 3, hours / 100);
    PutTwo(text + 5, hours % 100);
    text[7] = ':';
    PutTwo(text + 8, minutes);
    text[10] = ':';
    PutTwo(text + 11, seconds);
    text[13] = '.';
    // Truncated, never rounded: 12 050 ms is 12.0, 12.05 or 12.050.
    text[14] = static_cast<char>('0' + milliseconds / 100);
    PutTwo(text + 15, milliseconds % 100);
    text[2] = TwoDigits[2 * days];
    text[3] = daysShown ? TwoDigits[2 * days + 1] : text[3];
    text[4] = daysShown ? ':' : text[4];

    // Where the text starts: at its first field, without leading zeros, except that minutes
    // are always two digits (05:00).
    const uint32_t hourDigits = hours >= 1000 ? 4 : hours >= 100 ? 3 : hours >= 10 ? 2 : 1;
    const uint32_t first = daysShown      ? (days >= 10 ? 2 : 3)
                           : hours != 0   ? 7 - hourDigits
                           : minutes != 0 ? 8
                                          : (seconds >= 10 ? 11 : 12);
    // Where it ends: after the minutes, the seconds, or the fraction's 1, 2 or 3 digits.
    const uint32_t last = !secondsShown ? 10 : fraction ? 13 + secondsMode : 13;
    text[last] = 0;
    const char* from = text + first;
    const uint32_t length = last - first;

    uint32_t width = (daysShown ? (days > 9 ? 2 : 1) : 0) + (hoursShown ? (hours > 9 ? 2 : 1) : 0) +
                     (minutesShown ? 1 : 0) + (secondsShown ? 1 : 0);
    if (fraction) width += secondsMode == 2 ? 1 : 2;

    // A fraction moves on every update: such a text is always new. The copy takes 16 bytes,
    // which every destination holds; those past the terminator mean nothing.
    bool changed = fraction;
    for (uint32_t i = 0; !changed && i <= length; ++i)
        changed = dest[i] != from[i];
    std::memcpy(dest, from, 16);

    if (dest == DisplayText)
    {
        WidthClass = width;
        if (changed) ++ChangeCount;
    }
    return CountTextResult{width, changed ? 1u : 0u};
}
