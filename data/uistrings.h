// The UI strings: 200 slots of 50 bytes; slot N holds UI string N (at most 49 characters).
#pragma once

#include <cstdint>

constexpr uint32_t UiStringsSize = 10000;
constexpr uint32_t UiStringSlot = 50;

// The UI strings buffer, allocated zero-filled once at start-up and kept for the whole run;
// pointers into it stay valid.
extern char* UiStrings;

inline const char* UiString(uint32_t index)
{
    return UiStrings + UiStringSlot * index;
}
