#include "data/strings.h"

#include "data/uistrings.h"

void BeginUiStrings(UiStringsParser& parser, char* buffer)
{
    parser.Buffer = buffer;
    parser.Entries = 0;
    parser.LineLength = 0;
    parser.Comment = 0;
}

namespace
{

void EndLine(UiStringsParser& p)
{
    const bool entry = p.Comment == 0 && p.LineLength >= 2;
    if (entry && p.Entries < UiStringsMaxEntries)
    {
        // Written only now: a comment or short line must leave the slot as it was.
        char* slot = p.Buffer + UiStringSlot * p.Entries;
        const uint32_t kept = p.LineLength < UiStringSlot ? p.LineLength : UiStringSlot - 1;
        for (uint32_t i = 0; i < UiStringSlot; ++i)
            slot[i] = i < kept ? p.Line[i] : 0;
        ++p.Entries;
    }
    p.LineLength = 0;
    p.Comment = 0;
}

} // namespace

void FeedUiStrings(UiStringsParser& p, const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
    {
        const uint8_t b = bytes[i];
        if (b == 13)
        {
            EndLine(p);
            continue;
        }
        if (b == 10) continue;
        if (b == '#') p.Comment = 1;
        if (p.LineLength < UiStringSlot - 1) p.Line[p.LineLength] = static_cast<char>(b);
        if (p.LineLength < UINT32_MAX) ++p.LineLength;
    }
}

uint32_t FinishUiStrings(const UiStringsParser& parser)
{
    return parser.Entries;
}
