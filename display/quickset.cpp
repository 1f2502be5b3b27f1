#include "display/quickset.h"

QuickSetPoint QuickSetPosition(QuickSetPoint pointer, int32_t screenHeight)
{
    QuickSetPoint corner = {pointer.X - 50, pointer.Y - 50};
    if (corner.Y > screenHeight - 200) corner.Y = screenHeight - 200;
    return corner;
}

uint32_t QuickSetMilliseconds(uint32_t result)
{
    return (result - QuickSetIdBase) * 60000u;
}
