#include <windows.h>

#include "alarm/prompt_win.h"
#include "app/app_win.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "options/options_win.h"
#include "options/pages.h"

namespace
{

// Under the count lock: the counting thread waits by the frequency, and takes a new one at
// once.
void WriteMiscPage(HWND page)
{
    const uint32_t frequency = GetDlgItemInt(page, 4011, nullptr, FALSE);
    CountLockGuard lock;
    Settings.UpdateFrequency = frequency;
}

void ResetToDefaults(HWND page)
{
    PromptRequest request;
    request.Message = UiString(137);
    request.FirstCaption = UiString(138);
    request.SecondCaption = UiString(146);
    request.Mode = PromptQuestion;
    // The question belongs to the options window, which waits under it.
    if (ShowPrompt(GetAncestor(page, GA_ROOT), request) != PromptFirst) return;
    ResetSettings();
    LoadPageControls(page);
    UpdatePageEnables(page);
    // The options window re-applies the rest when it closes; transparency it does not.
    ApplyTransparency();
    InvalidateRect(MainWindow, nullptr, FALSE);
    InvalidateRect(page, nullptr, FALSE);
}

void MiscPageOnCommand(HWND page, int id)
{
    switch (id)
    {
    case 1001:
        Settings.TwoClickQuickSet = BoxState(page, 1001);
        UpdatePageEnables(page);
        break;
    case 5002: {
        const uint32_t automatic = BoxState(page, 5002);
        {
            CountLockGuard lock;
            Settings.AutoFrequency = automatic;
        }
        UpdatePageEnables(page);
        break;
    }
    case 9: ShowReadMe(); break;
    case 1057: ResetToDefaults(page); break;
    default: break;
    }
}

} // namespace

INT_PTR CALLBACK MiscPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) MiscPageOnCommand(page, LOWORD(wParam));
    INT_PTR result = FALSE;
    AnswerPageMessage(page, message, lParam, WriteMiscPage, result);
    return result;
}
