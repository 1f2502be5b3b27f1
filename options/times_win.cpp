#include <windows.h>

#include "app/app_win.h"
#include "data/settings.h"
#include "options/choosers_win.h"
#include "options/options_win.h"
#include "options/pages.h"

namespace
{

// Each row is stored normalised: its fields show the stored time when the page is next shown.
// The times are stored under the count lock: the counting thread loads the presets for Next
// Time, and reads the warning and the step of Add Time.
void WriteTimesPage(HWND page)
{
    // Presets One to Three, their fields three ids apart; then Warn and Add, side by side.
    constexpr int FirstIds[5] = {3000, 3001, 3002, 3050, 3055};
    uint32_t times[5];
    for (int row = 0; row < 5; ++row)
    {
        const int step = row < 3 ? 3 : 1;
        uint32_t parts[TimeFieldCount];
        for (uint32_t i = 0; i < TimeFieldCount; ++i)
            parts[i] =
                GetDlgItemInt(page, FirstIds[row] + step * static_cast<int>(i), nullptr, FALSE);
        times[row] = row < 3 ? JoinTimeFields(parts) : JoinOptionalTimeFields(parts);
    }
    CountLockGuard lock;
    for (int k = 0; k < 3; ++k)
        Settings.PresetTimes[k] = times[k];
    Settings.WarnBefore = times[3];
    Settings.AddStep = times[4];
}

// A chosen colour is stored at once, as the View page's are; the rows wait for the page to be
// left.
void ChangeWarnColour(HWND page)
{
    uint32_t colour = WarnColourRef(Settings.WarnColour);
    if (!ChooseColour(page, colour, Instance)) return;
    Settings.WarnColour = StoredWarnColour(colour);
    InvalidateRect(page, nullptr, FALSE);
    InvalidateRect(MainWindow, nullptr, FALSE);
}

// The warning colour's sample between the Sound box and the Colour button, placed in dialog
// units so that it keeps its place among them at every scale. The DC's own pen frames it in
// black: a light colour still shows on the light page.
void PaintWarnSample(HWND page)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(page, &paint);
    RECT sample = {44, 97, 56, 107};
    MapDialogRect(page, &sample);
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, WarnColourRef(Settings.WarnColour));
    Rectangle(dc, sample.left, sample.top, sample.right, sample.bottom);
    EndPaint(page, &paint);
}

} // namespace

INT_PTR CALLBACK TimesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == 5013) ChangeWarnColour(page);
    if (message == WM_PAINT)
    {
        PaintWarnSample(page);
        return TRUE;
    }
    INT_PTR result = FALSE;
    AnswerPageMessage(page, message, lParam, WriteTimesPage, result);
    return result;
}
