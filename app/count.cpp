#include "app/count.h"

CountState Count;

uint32_t ConvertToMilliseconds(uint32_t days, uint32_t hours, uint32_t minutes, uint32_t seconds,
                               uint32_t milliseconds)
{
    // Carried in 64 bits: huge switch values (a negative /s= reads as about 4.29e9) must
    // clamp to the longest time, not wrap round to a short one.
    uint64_t m = uint64_t{minutes} + seconds / 60;
    const uint64_t s = seconds % 60;
    uint64_t h = uint64_t{hours} + m / 60;
    m %= 60;
    uint64_t d = uint64_t{days} + h / 24;
    h %= 24;
    if (d > 49) d = 49;
    uint64_t total = ((d * 24 + h) * 60 + m) * 60 + s;
    if (total < 3)
        total = 3;
    else if (total > 4294967)
        total = 4294967;
    return static_cast<uint32_t>(total * 1000 + milliseconds);
}
