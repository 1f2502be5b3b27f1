#include "text/text.h"

namespace
{

// Quoted spaces are parked as this byte while arguments are split, so that they do not
// separate arguments; a literal 0xFE on the line therefore also reads back as a space.
constexpr unsigned char QuotedSpace = 0xFE;

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t';
}

// Where a line longer than the work copy is cut: just before the last separator outside
// quotes that still fits, so that no argument is cut in two (a cut "/m=15" would read as
// "/m=1"). Arguments past the cut read as missing.
uint32_t CutLongLine(const char* line, uint32_t length)
{
    if (length <= CommandLineWorkChars) return length;
    uint32_t cut = 0;
    bool quoted = false;
    for (uint32_t i = 0; i <= CommandLineWorkChars; ++i)
    {
        if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && IsSeparator(line[i]))
            cut = i;
    }
    return cut;
}

} // namespace

uint32_t SplitCommandArgument(const char* commandLine, uint32_t index, char* dest,
                              uint32_t destSize)
{
    uint32_t quotes = 0;
    for (const char* p = commandLine; *p; ++p)
        if (*p == '"') ++quotes;
    if (quotes & 1) return ArgumentUnbalanced;

    char work[CommandLineWorkChars + 1];
    const uint32_t length = CutLongLine(commandLine, TextLength(commandLine));
    for (uint32_t i = 0; i < length; ++i)
        work[i] = commandLine[i] == '\t' ? ' ' : commandLine[i];
    work[length] = 0;

    for (uint32_t i = 0; i < length; ++i)
    {
        if (work[i] != '"') continue;
        for (++i; i < length && work[i] != '"'; ++i)
            if (work[i] == ' ') work[i] = static_cast<char>(QuotedSpace);
    }

    uint32_t pos = 0;
    while (work[pos] == ' ')
        ++pos;
    for (uint32_t n = 0; n < index; ++n)
    {
        while (work[pos] != 0 && work[pos] != ' ')
            ++pos;
        if (work[pos] == 0)
        {
            if (destSize > 0) dest[0] = 0;
            return ArgumentMissing;
        }
        while (work[pos] == ' ')
            ++pos;
    }

    uint32_t out = 0;
    for (; work[pos] != 0 && work[pos] != ' '; ++pos)
    {
        const unsigned char c = static_cast<unsigned char>(work[pos]);
        if (c == '"') continue;
        if (out + 1 >= destSize) break;
        dest[out++] = c == QuotedSpace ? ' ' : static_cast<char>(c);
    }
    if (destSize > 0) dest[out] = 0;
    return out == 0 ? ArgumentEmpty : ArgumentFound;
}

int32_t ParseDecimal(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const bool negative = *p == '-';
    if (negative) ++p;
    uint32_t value = 0;
    for (; *p != 0; ++p)
        value = value * 10u + static_cast<uint8_t>(*p - 48);
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

void FormatDecimal(int32_t value, char* dest)
{
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (value < 0)
    {
        magnitude = 0u - magnitude;
        *dest++ = '-';
    }
    char* end = dest;
    do
    {
        *end++ = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    *end = 0;
    for (char* low = dest; low < --end; ++low)
    {
        const char c = *low;
        *low = *end;
        *end = c;
    }
}

int32_t ParseSwitchValue(const char* argument)
{
    if (TextLength(argument) <= 3) return 0;
    return ParseDecimal(argument + 3);
}

uint32_t TextLength(const char* text)
{
    uint32_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

bool SameText(const char* a, const char* b)
{
    uint32_t i = 0;
    while (a[i] != 0 && a[i] == b[i])
        ++i;
    return a[i] == b[i];
}

uint32_t CopyText(const char* source, char* dest, uint32_t destSize)
{
    if (destSize == 0) return 0;
    uint32_t n = 0;
    for (; source[n] != 0 && n + 1 < destSize; ++n)
        dest[n] = source[n];
    dest[n] = 0;
    return n;
}

void AppendText(char* dest, const char* text, uint32_t destSize)
{
    uint32_t length = 0;
    while (length < destSize && dest[length] != 0)
        ++length;
    if (length >= destSize) return;
    CopyText(text, dest + length, destSize - length);
}

char* LowerText(char* text)
{
    for (char* p = text; *p != 0; ++p)
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p + 32);
    return text;
}

void MidText(const char* source, char* dest, uint32_t destSize, uint32_t start, uint32_t count)
{
    if (destSize == 0) return;
    const uint32_t length = TextLength(source);
    uint32_t n = 0;
    if (start < length)
    {
        // Copied forward one byte at a time, so `dest` may overlap `source` at or before
        // the run.
        for (; n < count && start + n < length && n + 1 < destSize; ++n)
            dest[n] = source[start + n];
    }
    dest[n] = 0;
}

char* RightText(const char* source, char* dest, uint32_t destSize, uint32_t count)
{
    const uint32_t length = TextLength(source);
    const uint32_t from = count < length ? length - count : 0;
    CopyText(source + from, dest, destSize);
    return dest;
}

char* ReverseText(const char* source, char* dest, uint32_t destSize)
{
    const uint32_t length = CopyText(source, dest, destSize);
    if (length < 2) return dest;
    for (uint32_t low = 0, high = length - 1; low < high; ++low, --high)
    {
        const char c = dest[low];
        dest[low] = dest[high];
        dest[high] = c;
    }
    return dest;
}

int32_t FindText(int32_t start, const char* text, const char* pattern)
{
    if (start < 1) return -2;
    const uint32_t textLength = TextLength(text);
    const uint32_t patternLength = TextLength(pattern);
    if (patternLength >= textLength) return -1;
    const uint32_t last = textLength - patternLength + 1;
    if (static_cast<uint32_t>(start) > last) return -2;
    for (uint32_t pos = static_cast<uint32_t>(start); pos <= last; ++pos)
    {
        const char* candidate = text + pos - 1;
        if (candidate[0] != pattern[0]) continue;
        uint32_t i = 1;
        while (i < patternLength && candidate[i] == pattern[i])
            ++i;
        if (i >= patternLength) return static_cast<int32_t>(pos);
    }
    return 0;
}
