#include <windows.h>

#include "app/app_win.h"
#include "data/settings.h"
#include "display/display_win.h"
#include "options/choosers_win.h"
#include "options/options_win.h"
#include "options/pages.h"
#include "text/text.h"

namespace
{

// A choice shows only what it changed: the fields still hold what was typed, which the page
// stores when it is left.
void ChangeFont(HWND page)
{
    if (ChooseTimeFont(page, Settings.FontFace, Settings.FontSize, Settings.TextColour,
                       Settings.FontWeight, Settings.FontItalic, Instance) != 1)
        return;
    SetDlgItemTextA(page, 1026, Settings.FontFace);
    InvalidateRect(MainWindow, nullptr, FALSE);
    InvalidateRect(page, nullptr, FALSE); // the font chooser picks the text colour too
}

void ChangeColour(HWND page, uint32_t& colour)
{
    if (!ChooseColour(page, colour, Instance)) return;
    InvalidateRect(MainWindow, nullptr, FALSE);
    InvalidateRect(page, nullptr, FALSE);
}

void ViewPageOnCommand(HWND page, int id)
{
    switch (id)
    {
    case 1058: ChangeFont(page); break;
    case 1059: ChangeColour(page, Settings.TextColour); break;
    case 1060: ChangeColour(page, Settings.BackColour); break;
    case 1008:
        Settings.ShowHeader = BoxState(page, 1008);
        UpdatePageEnables(page);
        break;
    case 1063:
        StoreListChoice(page, 1063);
        InvalidateRect(MainWindow, nullptr, FALSE);
        break;
    default: break;
    }
}

// A sample between (left, top) and (right, bottom), pixels of 96 DPI, at `dpi`.
void FillSample(HDC dc, int left, int top, int right, int bottom, uint32_t dpi, uint32_t colour)
{
    const RECT area = {ScaleToDpi(left, dpi), ScaleToDpi(top, dpi), ScaleToDpi(right, dpi),
                       ScaleToDpi(bottom, dpi)};
    const HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

// The two colours as painted samples between their labels and their buttons.
void PaintColourSwatches(HWND page)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(page, &paint);
    const uint32_t dpi = DpiOfWindow(page);
    FillSample(dc, 90, 32, 300, 52, dpi, Settings.TextColour);
    FillSample(dc, 90, 59, 300, 79, dpi, Settings.BackColour);
    EndPaint(page, &paint);
}

void WriteViewPage(HWND page)
{
    Settings.Opacity = OpacityFromPercent(GetDlgItemInt(page, 1062, nullptr, FALSE));
    // A time-up thread copies the text as its window opens.
    char text[sizeof Settings.TimeUpText];
    GetDlgItemTextA(page, 4006, text, sizeof text);
    {
        CountLockGuard lock;
        CopyText(text, Settings.TimeUpText);
    }
    GetDlgItemTextA(page, 4009, Settings.HeaderText, sizeof Settings.HeaderText);
    StoreListChoice(page, 1063);
}

} // namespace

INT_PTR CALLBACK ViewPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) ViewPageOnCommand(page, LOWORD(wParam));
    if (message == WM_PAINT)
    {
        PaintColourSwatches(page);
        return TRUE;
    }
    INT_PTR result = FALSE;
    AnswerPageMessage(page, message, lParam, WriteViewPage, result);
    return result;
}
