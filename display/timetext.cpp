#include "display/timetext.h"

#include <cstring>

#include "data/settings.h"

char DisplayText[64];
uint32_t WidthClass;
uint32_t ChangeCount;

namespace
{

constexpr uint32_t MsPerDay = 86400000;
constexpr uint32_t MsPerSecond = 1000;
// "If Big" shows days only above two days, so a count of a day and a half stays 36:00:00.
constexpr uint32_t DaysThreshold = 172800000;

// "00" to "99": a field's two digits in one copy.
constexpr char TwoDigits[] = "00010203040506070809101112131415161718192021222324252627282930313233"
                             "34353637383940414243444546474849505152535455565758596061626364656667"
                             "6869707172737475767778798081828384858687888990919293949596979899";

// The two digits of `value` (0 to 99), the tens in the low byte.
uint64_t Two(uint32_t value)
{
    uint16_t digits;
    std::memcpy(&digits, TwoDigits + 2 * value, 2);
    return digits;
}

// Masks that keep the first n bytes (0 to 16) of a text held in two words, the low word first:
// two loads instead of the shifts and choices that would make them.
struct ByteMasks
{
    uint64_t keep[17][2];
    constexpr ByteMasks() : keep()
    {
        for (uint32_t n = 0; n <= 16; ++n)
        {
            keep[n][0] = n >= 8 ? ~uint64_t{0} : (uint64_t{1} << 8 * n) - 1;
            keep[n][1] = n <= 8 ? 0 : n == 16 ? ~uint64_t{0} : (uint64_t{1} << 8 * (n - 8)) - 1;
        }
    }
};
constexpr ByteMasks FirstBytes;
static_assert(FirstBytes.keep[3][0] == 0xFFFFFF && FirstBytes.keep[3][1] == 0 &&
                  FirstBytes.keep[9][0] == ~uint64_t{0} && FirstBytes.keep[9][1] == 0xFF,
              "the masks keep the bytes they name");

} // namespace

// The text is put together in two 64-bit words, each field at a fixed place whatever the
// count, then shifted to start at its first field. Built in registers, it never goes through
// memory byte by byte: a word read back over several narrow stores would wait for them all.
//
//   place    2 3 4 5 6 7 8 9 | 10 11 12 13 14 15 16 17
//   days     d d : h h : m m |  :  s  s  .  f  f  f  0
//   hours      H H h h : m m |  :  s  s  .  f  f  f  0
//
// A first field of hours has up to four digits (1193 hours without days); after days they are
// two, and the days with their colon take the place of the hundreds.
CountTextResult FormatCountText(uint32_t count, char* dest)
{
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the words hold the text in order");
    const uint32_t daysMode = Settings.DaysMode;
    const uint32_t secondsMode = Settings.SecondsMode;

    const bool daysField = daysMode == 2 || (daysMode == 1 && count > DaysThreshold);
    const uint32_t days = daysField ? count / MsPerDay : 0;
    const uint32_t rest = count - days * MsPerDay;
    const uint32_t allSeconds = rest / MsPerSecond;
    const uint32_t milliseconds = rest - allSeconds * MsPerSecond;
    const uint32_t allMinutes = allSeconds / 60;
    const uint32_t seconds = allSeconds - allMinutes * 60;
    const uint32_t hours = allMinutes / 60;
    const uint32_t minutes = allMinutes - hours * 60;

    const bool daysShown = days != 0;
    const bool hoursShown = daysShown || hours != 0;
    const bool minutesShown = hoursShown || minutes != 0;
    // A count under a minute shows its seconds even in "No Seconds" mode.
    const bool secondsShown = secondsMode >= 1 || !minutesShown;
    const bool fraction = secondsMode >= 2 && secondsMode <= 4;

    // Places 3 and 4: the hours' hundreds, or the days' units and their colon.
    const uint64_t third = daysShown ? Two(days) >> 8 | uint64_t{':'} << 8 : Two(hours / 100);
    uint64_t low = Two(days) & 0xFF;
    low |= third << 8;
    low |= Two(hours % 100) << 24;
    low |= uint64_t{':'} << 40;
    low |= Two(minutes) << 48;
    // Truncated, never rounded: 12 050 ms is 12.0, 12.05 or 12.050.
    uint64_t high = ':';
    high |= Two(seconds) << 8;
    high |= uint64_t{'.'} << 24;
    if (fraction)
    {
        high |= uint64_t{'0' + milliseconds / 100} << 32;
        high |= Two(milliseconds % 100) << 40;
    }

    // Where the text starts: at its first field, without leading zeros, except that minutes
    // are always two digits (05:00).
    const uint32_t hourDigits = hours >= 1000 ? 4 : hours >= 100 ? 3 : hours >= 10 ? 2 : 1;
    const uint32_t first = daysShown      ? (days >= 10 ? 2 : 3)
                           : hours != 0   ? 7 - hourDigits
                           : minutes != 0 ? 8
                                          : (seconds >= 10 ? 11 : 12);
    // Where it ends: after the minutes, the seconds, or the fraction's 1, 2 or 3 digits.
    const uint32_t last = !secondsShown ? 10 : fraction ? 13 + secondsMode : 13;
    const uint32_t length = last - first; // 1 to 15 characters

    // Shifted down to the first field, and cut after the last: the bytes from the terminator
    // on are zeros.
    const uint32_t shift = 8 * (first - 2);
    uint64_t textLow, textHigh;
    if (shift >= 64)
    {
        textLow = high >> (shift - 64);
        textHigh = 0;
    }
    else
    {
        // In two steps, so that no shift is by the word's width.
        textLow = low >> shift | (high << 1) << (63 - shift);
        textHigh = high >> shift;
    }
    textLow &= FirstBytes.keep[length][0];
    textHigh &= FirstBytes.keep[length][1];

    uint32_t width = (daysShown ? (days > 9 ? 2 : 1) : 0) + (hoursShown ? (hours > 9 ? 2 : 1) : 0) +
                     (minutesShown ? 1 : 0) + (secondsShown ? 1 : 0);
    if (fraction) width += secondsMode == 2 ? 1 : 2;

    // A fraction moves on every update: such a text is always new. Otherwise the old text is
    // compared up to its terminator; the bytes past it mean nothing.
    bool changed = fraction;
    if (!changed)
    {
        uint64_t oldLow, oldHigh;
        std::memcpy(&oldLow, dest, 8);
        std::memcpy(&oldHigh, dest + 8, 8);
        const uint64_t* const compared = FirstBytes.keep[length + 1];
        changed = (((oldLow ^ textLow) & compared[0]) | ((oldHigh ^ textHigh) & compared[1])) != 0;
    }
    std::memcpy(dest, &textLow, 8);
    std::memcpy(dest + 8, &textHigh, 8);

    if (dest == DisplayText)
    {
        WidthClass = width;
        if (changed) ++ChangeCount;
    }
    return CountTextResult{width, changed ? 1u : 0u};
}

void FormatShortTime(uint32_t milliseconds, char (&dest)[16])
{
    const uint32_t seconds = milliseconds / MsPerSecond + (milliseconds % MsPerSecond != 0 ? 1 : 0);
    const uint32_t hours = seconds / 3600;
    const uint32_t minutes = seconds / 60 % 60;
    char* out = dest;
    // Hours reach 1,193 at the longest count: up to four digits, written from the front.
    uint32_t lead = hours != 0 ? hours : minutes;
    char digits[8];
    uint32_t count = 0;
    do
    {
        digits[count++] = static_cast<char>('0' + lead % 10);
        lead /= 10;
    } while (lead != 0);
    while (count != 0)
        *out++ = digits[--count];
    if (hours != 0)
    {
        *out++ = ':';
        std::memcpy(out, TwoDigits + 2 * minutes, 2);
        out += 2;
    }
    *out++ = ':';
    std::memcpy(out, TwoDigits + 2 * (seconds % 60), 2);
    out += 2;
    *out = 0;
}
