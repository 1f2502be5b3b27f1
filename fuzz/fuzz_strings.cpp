// The strings file parser over arbitrary bytes, fed in two pieces: it must stay inside the
// buffer and store at most 151 terminated entries of at most 49 characters.
#include "fuzz/asan_options.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "data/strings.h"
#include "data/uistrings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static char buffer[UiStringsSize];
    std::memset(buffer, 0, sizeof buffer);
    UiStringsParser parser;
    BeginUiStrings(parser, buffer);
    const size_t split = size > 0 ? data[0] % (size + 1) : 0;
    FeedUiStrings(parser, data, split);
    FeedUiStrings(parser, data + split, size - split);
    const uint32_t entries = FinishUiStrings(parser);
    if (entries > UiStringsMaxEntries) std::abort();
    for (uint32_t i = 0; i < entries; ++i)
    {
        const char* slot = buffer + UiStringSlot * i;
        if (std::memchr(slot, 0, UiStringSlot) == nullptr) std::abort();
    }
    for (uint32_t i = entries * UiStringSlot; i < sizeof buffer; ++i)
        if (buffer[i] != 0) std::abort();
    return 0;
}
