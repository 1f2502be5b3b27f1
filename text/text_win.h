// The process command line, split into arguments (see SplitCommandArgument).
#pragma once

#include <cstdint>

uint32_t GetCommandArgument(uint32_t index, char* dest, uint32_t destSize);
