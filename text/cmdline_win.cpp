#include <windows.h>

#include "text/text.h"
#include "text/text_win.h"

uint32_t GetCommandArgument(uint32_t index, char* dest, uint32_t destSize)
{
    return SplitCommandArgument(GetCommandLineA(), index, dest, destSize);
}
