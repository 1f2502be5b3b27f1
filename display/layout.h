// Where the display area's bands lie and how tall its texts are drawn.
#pragma once

#include <cstdint>

struct Band
{
    int32_t left, top, right, bottom;
};

// Pixel figures are those of a 96 DPI screen; a window at another DPI draws them larger or
// smaller by DPI / 96, rounded to the nearest pixel (halves away from zero, as MulDiv rounds).
constexpr uint32_t BaseDpi = 96;
int32_t ScaleToDpi(int32_t pixels, uint32_t dpi);

constexpr int32_t ButtonStripHeight = 30; // at 96 DPI

// `window` moved the least distance that puts it wholly on `area`, and made no larger than
// the area: a window saved on a screen that is gone comes back on one that is there.
Band MoveOntoArea(const Band& window, const Band& area);

// The six control buttons, in creation order, in client pixels at `dpi`. Each edge is scaled on
// its own, so the gaps between buttons stay even at every scale.
constexpr uint32_t ControlButtonCount = 6;
Band ControlButtonBand(uint32_t index, uint32_t dpi);

struct DisplayLayout
{
    int32_t StripHeight; // the button strip's height at the window's DPI
    int32_t DisplayTop;  // window y where the display area begins: 0 or StripHeight
    int32_t Width;       // display area (and off-screen bitmap) size
    int32_t Height;      // 0 or less: nothing is painted
    int32_t BandHeight;  // a quarter of the height
    uint32_t BandsShown; // header or time-up band in use (the display is higher than 100)
    Band HeaderBand;     // display coordinates
    Band TimeArea;       // display coordinates: where the count is drawn
    Band TimeUpBand;     // display coordinates
    Band TimeBand;       // window coordinates: what a tick repaints
};

// The one rule for the button row, which the row, the layout and the painter all follow: with
// HideButtons set it hides while the count runs and until its time-up is acknowledged.
bool ButtonRowHidden(uint32_t hideButtons, uint32_t running, uint32_t timeIsUp);

// The layout of a client rectangle at `dpi`; `buttonsHidden` when the strip is hidden
// (ButtonRowHidden).
DisplayLayout ComputeDisplayLayout(const Band& client, bool buttonsHidden, bool showHeader,
                                   bool showTimeUpText, uint32_t dpi);

// Cell height of the time font: FontSize itself (Use Font Size) or FontSize per cent of what
// the band allows for the width class (Auto Scale).
uint32_t TimeFontHeight(uint32_t scalingMethod, uint32_t fontSize, const Band& timeArea,
                        uint32_t widthClass);

// Height of the header or time-up text of `length` characters beside a time font of
// `timeHeight`: three quarters of it, halved for a text too long for the band unless BigText.
uint32_t BandTextHeight(uint32_t timeHeight, uint32_t length, uint32_t bigText,
                        const Band& timeArea);

// A repaint that only moves the count on: it lies within the time band, so the header and
// time-up texts stay as painted.
bool IsTickRepaint(const Band& paint, const Band& timeBand, uint32_t changeCount);

// Where the painter drew the count, in window coordinates, and how wide the time font's
// characters are: enough to repaint only the characters a tick changes.
struct TextCells
{
    uint32_t Known;        // 0 until a paint has measured the time font
    Band Area;             // the time area the text is centred in
    int32_t LineHeight;    // the font's cell height, centred in the area too
    int32_t Ink;           // pixels a glyph may draw outside its cell (overhang, smoothing)
    uint16_t Advance[128]; // advance widths of the characters
};

// What a tick from `painted` (on the screen) to `next` must repaint within `timeBand`: the
// cells of the characters that differ, widened by the ink; nothing when the texts are equal;
// the whole band when the cells are not known or the text's width changes (the centred text
// moves).
Band TickRepaintBand(const char* painted, const char* next, const TextCells& cells,
                     const Band& timeBand);
