#include <windows.h>

#include "alarm/prompt_win.h"
#include "display/display_win.h"
#include "display/quickset.h"

namespace
{

void PlaceUnderPointer(HWND dialog)
{
    POINT pointer;
    GetCursorPos(&pointer);
    const QuickSetPoint corner =
        QuickSetPosition({static_cast<int32_t>(pointer.x), static_cast<int32_t>(pointer.y)},
                         GetSystemMetrics(SM_CYSCREEN), DpiOfWindow(dialog));
    SetWindowPos(dialog, HWND_TOPMOST, corner.X, corner.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace

INT_PTR CALLBACK QuickSetProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
    {
        PromptResult = 0;
        PlaceUnderPointer(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    const uint32_t id = LOWORD(wParam);
    if (id == QuickSetCancel || id > QuickSetIdBase)
    {
        PromptResult = id;
        // The caller takes the choice from here: PromptResult is shared with the time-up
        // windows of other threads.
        EndDialog(dialog, id);
    }
    return TRUE;
}
