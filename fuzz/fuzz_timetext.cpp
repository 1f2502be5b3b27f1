// Any count in any layout, over any old text: the time text must match a plain field-by-field
// formatter, write no more than its 16 bytes, and count as changed exactly when a fraction is
// shown or the old text differs.
#include "fuzz/asan_options.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data/settings.h"
#include "display/timetext.h"

namespace
{

// The layout rules written out one field at a time, without the formatter's shortcuts.
void ReferenceText(uint32_t count, uint32_t daysMode, uint32_t secondsMode, char (&text)[32])
{
    uint32_t days = 0;
    if (daysMode == 2 || (daysMode == 1 && count > 172800000u)) days = count / 86400000u;
    uint32_t rest = count - days * 86400000u;
    const uint32_t hours = rest / 3600000u;
    rest %= 3600000u;
    const uint32_t minutes = rest / 60000u;
    rest %= 60000u;
    const uint32_t seconds = rest / 1000u;
    const uint32_t milliseconds = rest % 1000u;

    int at = 0;
    const auto put = [&](const char* format, uint32_t value) {
        at += std::snprintf(text + at, sizeof text - static_cast<size_t>(at), format, value);
    };
    text[0] = 0;
    if (days != 0)
    {
        put("%u:", days);
        put("%02u:", hours);
        put("%02u", minutes);
    }
    else if (hours != 0)
    {
        put("%u:", hours);
        put("%02u", minutes);
    }
    else if (minutes != 0)
        put("%02u", minutes);
    const bool minutesShown = at != 0;
    if (secondsMode >= 1 || !minutesShown)
    {
        if (minutesShown)
            put(":%02u", seconds);
        else
            put("%u", seconds);
        if (secondsMode == 2) put(".%01u", milliseconds / 100);
        if (secondsMode == 3) put(".%02u", milliseconds / 10);
        if (secondsMode == 4) put(".%03u", milliseconds);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6) return 0;
    uint32_t count;
    std::memcpy(&count, data, 4);
    // Modes past the lists too, as a damaged settings file would hold them.
    const uint32_t daysMode = data[4] % 4;
    const uint32_t secondsMode = data[5] % 6;
    data += 6;
    size -= 6;

    // The old text: whatever bytes follow, a marker past the 16 the formatter may write.
    char dest[64];
    std::memset(dest, 0x5A, sizeof dest);
    std::memcpy(dest, data, size < 16 ? size : 16);
    char old[16];
    std::memcpy(old, dest, 16);

    Settings.DaysMode = daysMode;
    Settings.SecondsMode = secondsMode;
    const CountTextResult result = FormatCountText(count, dest);

    char expected[32];
    ReferenceText(count, daysMode, secondsMode, expected);
    if (std::strcmp(dest, expected) != 0) std::abort();
    const size_t length = std::strlen(expected);
    if (length == 0 || length > CountTextChars) std::abort();
    for (size_t i = 16; i < sizeof dest; ++i)
        if (dest[i] != 0x5A) std::abort();

    const bool fraction = secondsMode >= 2 && secondsMode <= 4;
    const bool differs = std::memcmp(old, expected, length + 1) != 0;
    if (result.Changed != ((fraction || differs) ? 1u : 0u)) std::abort();
    if (result.WidthClass < 1 || result.WidthClass > 8) std::abort();
    return 0;
}
