#include <windows.h>

#include "data/data_win.h"
#include "display/display_win.h"

namespace
{

// Tried once a run; a thread whose COM would not start stays without the objects that need it.
bool ComTried;
bool ComStarted;

} // namespace

bool StartWindowCom()
{
    if (!ComTried)
    {
        ComTried = true;
        ComStarted = SUCCEEDED(ComInitializeLate(COINIT_APARTMENTTHREADED));
    }
    return ComStarted;
}

void EndWindowCom()
{
    ReleaseTaskbarObject();
    ReleaseAccessibleClock();
    if (ComStarted) ComUninitializeLate();
    ComStarted = false;
}
