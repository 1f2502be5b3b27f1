// Text and number routines over zero-terminated single-byte texts and 32-bit numbers.
// Nothing here allocates; every result goes into a buffer the caller owns. Routines that
// write into a buffer take its size (deduced for arrays) and never write past it: a result
// that does not fit is cut and still terminated.
#pragma once

#include <cstddef>
#include <cstdint>

// Codes of GetCommandArgument.
enum : uint32_t
{
    ArgumentFound = 1,      // found and not empty
    ArgumentMissing = 2,    // no argument with that index; destination emptied
    ArgumentUnbalanced = 3, // odd number of double quotes; destination untouched
    ArgumentEmpty = 4,      // the argument is empty (two quotes, or trailing spaces)
};

// The work copy of the command line holds this many characters. A longer line is cut back
// to the last whole argument that fits, so an argument is either read whole or not at all.
constexpr uint32_t CommandLineWorkChars = 191;

// Argument `index` (0 = the program path) of `commandLine`, quotes removed, into `dest`.
uint32_t SplitCommandArgument(const char* commandLine, uint32_t index, char* dest,
                              uint32_t destSize);
template <uint32_t N>
inline uint32_t SplitCommandArgument(const char* commandLine, uint32_t index, char (&dest)[N])
{
    return SplitCommandArgument(commandLine, index, dest, N);
}

int32_t ParseDecimal(const char* text);
// `dest` holds at least 12 bytes.
void FormatDecimal(int32_t value, char* dest);
// ParseDecimal of what follows the first three characters ("/s=90" gives 90).
int32_t ParseSwitchValue(const char* argument);

uint32_t TextLength(const char* text);
// Byte for byte the same text.
bool SameText(const char* a, const char* b);
// Returns the number of characters copied (terminator not counted).
uint32_t CopyText(const char* source, char* dest, uint32_t destSize);
void AppendText(char* dest, const char* text, uint32_t destSize);
char* LowerText(char* text);
// `dest` may be `source` itself when the run begins at or after index 0.
void MidText(const char* source, char* dest, uint32_t destSize, uint32_t start, uint32_t count);
char* RightText(const char* source, char* dest, uint32_t destSize, uint32_t count);
char* ReverseText(const char* source, char* dest, uint32_t destSize);

// 1-based position of `pattern` at or after `start`; 0 none; -1 the pattern is not shorter
// than the text; -2 `start` is below 1 or past the last position where the pattern fits.
int32_t FindText(int32_t start, const char* text, const char* pattern);

template <uint32_t N> inline uint32_t CopyText(const char* source, char (&dest)[N])
{
    return CopyText(source, dest, N);
}
template <uint32_t N> inline void AppendText(char (&dest)[N], const char* text)
{
    AppendText(dest, text, N);
}
template <uint32_t N>
inline void MidText(const char* source, char (&dest)[N], uint32_t start, uint32_t count)
{
    MidText(source, dest, N, start, count);
}
template <uint32_t N> inline char* RightText(const char* source, char (&dest)[N], uint32_t count)
{
    return RightText(source, dest, N, count);
}
template <uint32_t N> inline char* ReverseText(const char* source, char (&dest)[N])
{
    return ReverseText(source, dest, N);
}
