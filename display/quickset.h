// The QuickSet window's rules: where it opens and what its buttons mean.
#pragma once

#include <cstdint>

// Button ids are 1200 plus the minutes they offer; Cancel is IDCANCEL (2).
enum : uint32_t
{
    QuickSetIdBase = 1200,
    QuickSetCancel = 2,
};

struct QuickSetPoint
{
    int32_t X;
    int32_t Y;
};

// The window's top-left corner for the pointer at `pointer`: 50 pixels up and left of it, but
// no lower than 200 pixels above the screen's bottom. Above the top it stays where it is. The
// pixels are those of 96 DPI, scaled to `dpi`.
QuickSetPoint QuickSetPosition(QuickSetPoint pointer, int32_t screenHeight, uint32_t dpi);

// The count a QuickSet result loads, in milliseconds: (result - 1200) minutes.
uint32_t QuickSetMilliseconds(uint32_t result);
