#include <windows.h>

#include <cstring>

#include "app/app_win.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"
#include "display/display_win.h"
#include "display/layout.h"
#include "display/timetext.h"
#include "text/text.h"

RECT TimeBand;
char PaintedText[64];
TextCells TimeCells;

namespace
{

// Layout and paint both run on the GUI thread, one after the other; the off-screen bitmap and
// the font height live from one layout to the next.
DisplayLayout Layout;
HBITMAP OffScreen;
uint32_t LastWidthClass;
uint32_t TimeHeight;
uint32_t MeasuredHeight; // the time font height TimeCells were measured with
constexpr uint32_t NoWidthClass = 0xFFFFFFFF;

// The time font, kept while what it is made from stays the same: making a font costs more
// than drawing a tick's few characters with it.
struct TimeFontRecipe
{
    uint32_t Height, Weight, Italic;
    char Face[LF_FACESIZE];
};
HFONT TimeFont;
TimeFontRecipe TimeFontMadeFrom;

HFONT TimeFontOfHeight(uint32_t height)
{
    TimeFontRecipe recipe = {};
    recipe.Height = height;
    recipe.Weight = Settings.FontWeight;
    recipe.Italic = Settings.FontItalic;
    CopyText(Settings.FontFace, recipe.Face);
    if (TimeFont != nullptr && std::memcmp(&recipe, &TimeFontMadeFrom, sizeof recipe) == 0)
        return TimeFont;
    if (TimeFont != nullptr) DeleteObject(TimeFont);
    TimeFont = CreateFontA(static_cast<int>(height), 0, 0, 0, static_cast<int>(recipe.Weight),
                           recipe.Italic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, Settings.FontFace);
    TimeFontMadeFrom = recipe;
    return TimeFont;
}

// Under the count lock.
bool ButtonsHidden()
{
    return ButtonRowHidden(Settings.HideButtons, Count.Running, Count.TimeIsUp);
}

bool ButtonsHiddenNow()
{
    CountLockGuard lock;
    return ButtonsHidden();
}

RECT ToRect(const Band& band)
{
    return RECT{band.left, band.top, band.right, band.bottom};
}

Band ToBand(const RECT& rect)
{
    return Band{rect.left, rect.top, rect.right, rect.bottom};
}

// The cells of the time font as `dc` holds it, the time area moved down to `top`.
TextCells MeasureCells(HDC dc, int top)
{
    TextCells cells = {};
    TEXTMETRICA metrics;
    int widths[128];
    if (!GetTextMetricsA(dc, &metrics) || !GetCharWidth32A(dc, 0, 127, widths)) return cells;
    cells.Known = 1;
    cells.Area = {Layout.TimeArea.left, Layout.TimeArea.top + top, Layout.TimeArea.right,
                  Layout.TimeArea.bottom + top};
    cells.LineHeight = metrics.tmHeight;
    // Slanted glyphs lean past their cells; upright ones only by their smoothing.
    const int height = static_cast<int>(TimeHeight);
    cells.Ink = metrics.tmOverhang + (Settings.FontItalic != 0 ? height / 3 : height / 10) + 2;
    for (int c = 0; c < 128; ++c)
        cells.Advance[c] = static_cast<uint16_t>(widths[c] > 0 ? widths[c] : 0);
    return cells;
}

void DrawBandText(HDC dc, const char* text, const Band& band)
{
    const uint32_t length = TextLength(text);
    const uint32_t height = BandTextHeight(TimeHeight, length, Settings.BigText, Layout.TimeArea);
    const HFONT font = CreateFontA(static_cast<int>(height), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET,
                                   0, 0, 0, 0, Settings.FontFace);
    const HGDIOBJ previous = SelectObject(dc, font);
    RECT r = ToRect(band);
    DrawTextA(dc, text, static_cast<int>(length), &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SelectObject(dc, previous);
    DeleteObject(font);
}

} // namespace

RECT TickRepaintRect()
{
    return ToRect(TickRepaintBand(PaintedText, DisplayText, TimeCells, ToBand(TimeBand)));
}

void LayoutDisplay(HWND window)
{
    if (OffScreen != nullptr)
    {
        DeleteObject(OffScreen);
        OffScreen = nullptr;
    }
    RECT client;
    GetClientRect(window, &client);
    const bool hidden = ButtonsHiddenNow();
    Layout =
        ComputeDisplayLayout({client.left, client.top, client.right, client.bottom}, hidden,
                             Settings.ShowHeader != 0, Settings.ShowTimeUpText != 0, WindowDpi);
    LastWidthClass = NoWidthClass;
    {
        CountLockGuard lock;
        TimeBand = ToRect(Layout.TimeBand);
        TimeCells.Known = 0;
    }
    InvalidateRect(window, nullptr, FALSE);
}

void PaintDisplay(HWND window)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    if (Layout.Width <= 0 || Layout.Height <= 0)
    {
        EndPaint(window, &paint);
        return;
    }

    // What the counting thread writes is taken in one piece.
    char text[sizeof DisplayText];
    uint32_t flash, stretch;
    bool tick, measure;
    int top;
    {
        CountLockGuard lock;
        CopyText(DisplayText, text);
        CopyText(DisplayText, PaintedText);
        const uint32_t widthClass = WidthClass;
        tick = IsTickRepaint(ToBand(paint.rcPaint), ToBand(TimeBand), ChangeCount);
        ChangeCount = 0;
        flash = FlashPhase;
        stretch = Count.InStretch;
        // Copied where the display begins now: the row may have been hidden since the layout.
        top = ButtonsHidden() ? 0 : Layout.StripHeight;
        if (widthClass != LastWidthClass)
        {
            TimeHeight = TimeFontHeight(Settings.ScalingMethod, Settings.FontSize, Layout.TimeArea,
                                        widthClass);
            LastWidthClass = widthClass;
        }
        // Measured again whenever the font's height changes and by every paint that is not a
        // tick's (the font may have changed in the options). Until then the ticks repaint the
        // whole band: the cells must never describe another text's font.
        measure = !tick || TimeCells.Known == 0 || TimeHeight != MeasuredHeight;
        if (measure) TimeCells.Known = 0;
    }

    const HDC memory = CreateCompatibleDC(dc);
    if (OffScreen == nullptr) OffScreen = CreateCompatibleBitmap(dc, Layout.Width, Layout.Height);
    const HGDIOBJ previousBitmap = SelectObject(memory, OffScreen);

    // Only what this paint must show is drawn and copied: a tick's few characters cost a few
    // characters. The bitmap outside it is never copied to the screen.
    RECT dirty = {paint.rcPaint.left, paint.rcPaint.top - top, paint.rcPaint.right,
                  paint.rcPaint.bottom - top};
    const RECT all = {0, 0, Layout.Width, Layout.Height};
    IntersectRect(&dirty, &dirty, &all);
    IntersectClipRect(memory, dirty.left, dirty.top, dirty.right, dirty.bottom);

    // The last stretch draws the count in the warning colour.
    COLORREF back = Settings.BackColour;
    COLORREF fore = stretch != 0 ? WarnColourRef(Settings.WarnColour) : Settings.TextColour;
    if (flash == 1)
    {
        back = fore;
        fore = Settings.BackColour;
    }
    const HBRUSH brush = CreateSolidBrush(back);
    FillRect(memory, &dirty, brush);
    DeleteObject(brush);

    SetBkColor(memory, back);
    SetTextColor(memory, fore);
    const HGDIOBJ previousFont = SelectObject(memory, TimeFontOfHeight(TimeHeight));
    RECT timeArea = ToRect(Layout.TimeArea);
    DrawTextA(memory, text, static_cast<int>(TextLength(text)), &timeArea,
              DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    if (measure)
    {
        const TextCells cells = MeasureCells(memory, top);
        MeasuredHeight = TimeHeight;
        CountLockGuard lock;
        TimeCells = cells;
    }
    if (Layout.BandsShown != 0 && !tick)
    {
        if (Settings.ShowHeader != 0) DrawBandText(memory, Settings.HeaderText, Layout.HeaderBand);
        if (Settings.ShowTimeUpText != 0)
            DrawBandText(memory, Settings.TimeUpText, Layout.TimeUpBand);
    }
    SelectObject(memory, previousFont);

    BitBlt(dc, dirty.left, dirty.top + top, dirty.right - dirty.left, dirty.bottom - dirty.top,
           memory, dirty.left, dirty.top, SRCCOPY);
    SelectObject(memory, previousBitmap);
    DeleteDC(memory);
    EndPaint(window, &paint);
}
