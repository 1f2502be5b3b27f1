#include <windows.h>

#include "app/app_win.h"
#include "data/settings.h"
#include "options/options_win.h"
#include "options/pages.h"

namespace
{

// Each row is stored normalised: its fields show the stored time when the page is next shown.
// The presets are stored under the count lock: the counting thread loads them for Next Time.
void WriteTimesPage(HWND page)
{
    uint32_t times[3];
    for (int k = 0; k < 3; ++k)
    {
        uint32_t parts[TimeFieldCount];
        for (uint32_t i = 0; i < TimeFieldCount; ++i)
            parts[i] = GetDlgItemInt(page, 3000 + k + 3 * static_cast<int>(i), nullptr, FALSE);
        times[k] = JoinTimeFields(parts);
    }
    CountLockGuard lock;
    for (int k = 0; k < 3; ++k)
        Settings.PresetTimes[k] = times[k];
}

} // namespace

INT_PTR CALLBACK TimesPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    INT_PTR result = FALSE;
    AnswerPageMessage(page, message, lParam, WriteTimesPage, result);
    return result;
}
