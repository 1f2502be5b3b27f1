#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/win/harness_win.h"

// A copy of this program started with MIVO_CHILD set plays one part of Mivo in a process of
// its own (folders found from the program's name, the fatal strings error).
int main(int argc, char** argv)
{
    if (const char* mode = std::getenv("MIVO_CHILD")) return RunChildMode(mode);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    RemoveTempFolders();
    return result;
}
