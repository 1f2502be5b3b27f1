#include "display/quickset.h"

#include "display/layout.h"

QuickSetPoint QuickSetPosition(QuickSetPoint pointer, int32_t screenHeight, uint32_t dpi)
{
    const int32_t offset = ScaleToDpi(50, dpi);
    const int32_t lowest = screenHeight - ScaleToDpi(200, dpi);
    QuickSetPoint corner = {pointer.X - offset, pointer.Y - offset};
    if (corner.Y > lowest) corner.Y = lowest;
    return corner;
}

uint32_t QuickSetMilliseconds(uint32_t result)
{
    return (result - QuickSetIdBase) * 60000u;
}
