#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "alarm/alarm_win.h"
#include "tests/win/harness_win.h"

namespace
{

// No test may end the session: a shutdown that no test expected fails loudly instead.
BOOL WINAPI RefuseExitWindows(UINT flags, DWORD)
{
    ADD_FAILURE() << "ExitWindowsEx reached with flags " << flags;
    return FALSE;
}

} // namespace

// A copy of this program started with MIVO_CHILD set plays one part of Mivo in a process of
// its own (folders found from the program's name, the fatal strings error).
int main(int argc, char** argv)
{
    ExitWindowsProc = RefuseExitWindows;
    if (const char* mode = std::getenv("MIVO_CHILD")) return RunChildMode(mode);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    RemoveTempFolders();
    return result;
}
