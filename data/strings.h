// The UI strings file: a carriage return ends a line, line feeds are ignored, any "#" makes the
// line a comment, lines under 2 characters take no index, only the first 49 characters of a
// line are kept, at most 151 entries are taken and a usable file yields at least 150.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t UiStringsMaxEntries = 151;
constexpr uint32_t UiStringsNeeded = 150;

// Parsing state, fed the file in pieces of any size.
struct UiStringsParser
{
    char* Buffer;        // the UI strings buffer that receives the entries
    uint32_t Entries;    // entries stored so far
    uint32_t LineLength; // characters of the current line so far (not capped)
    uint32_t Comment;    // the current line holds a "#"
    char Line[50];       // its first 49 characters
};

void BeginUiStrings(UiStringsParser& parser, char* buffer);
void FeedUiStrings(UiStringsParser& parser, const uint8_t* bytes, size_t count);
// The number of entries stored; a last line without a line end is not one.
uint32_t FinishUiStrings(const UiStringsParser& parser);
