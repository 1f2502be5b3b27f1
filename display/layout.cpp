#include "display/layout.h"

bool ButtonRowHidden(uint32_t hideButtons, uint32_t running, uint32_t timeIsUp)
{
    return hideButtons != 0 && (running != 0 || timeIsUp != 0);
}

int32_t ScaleToDpi(int32_t pixels, uint32_t dpi)
{
    if (dpi == 0 || dpi == BaseDpi) return pixels;
    // Whole multiples of 96 scale exactly; only the remainder is rounded. Kept in 32 bits (no
    // runtime division routine), and free of overflow wherever the result itself fits.
    const auto base = static_cast<int32_t>(BaseDpi);
    const auto scale = static_cast<int32_t>(dpi);
    const int32_t rest = pixels % base * scale; // truncating: has the sign of `pixels`
    const int32_t half = base / 2;
    return pixels / base * scale + (rest >= 0 ? rest + half : rest - half) / base;
}

Band MoveOntoArea(const Band& window, const Band& area)
{
    const int32_t areaWidth = area.right - area.left;
    const int32_t areaHeight = area.bottom - area.top;
    int32_t width = window.right - window.left;
    int32_t height = window.bottom - window.top;
    if (width > areaWidth) width = areaWidth;
    if (height > areaHeight) height = areaHeight;
    int32_t left = window.left;
    int32_t top = window.top;
    if (left > area.right - width) left = area.right - width;
    if (left < area.left) left = area.left;
    if (top > area.bottom - height) top = area.bottom - height;
    if (top < area.top) top = area.top;
    return {left, top, left + width, top + height};
}

namespace
{

struct ButtonPlace
{
    int32_t x, width;
};

// Between Reset and the direction button the row leaves a 28-pixel gap.
const ButtonPlace ButtonPlaces[ControlButtonCount] = {{3, 70},   {74, 70},  {172, 60},
                                                      {234, 60}, {296, 60}, {358, 60}};
constexpr int32_t ButtonTop = 3;
constexpr int32_t ButtonHeight = 25;

} // namespace

Band ControlButtonBand(uint32_t index, uint32_t dpi)
{
    if (index >= ControlButtonCount) return {};
    const ButtonPlace& b = ButtonPlaces[index];
    return {ScaleToDpi(b.x, dpi), ScaleToDpi(ButtonTop, dpi), ScaleToDpi(b.x + b.width, dpi),
            ScaleToDpi(ButtonTop + ButtonHeight, dpi)};
}

DisplayLayout ComputeDisplayLayout(const Band& client, bool buttonsHidden, bool showHeader,
                                   bool showTimeUpText, uint32_t dpi)
{
    DisplayLayout l = {};
    l.StripHeight = ScaleToDpi(ButtonStripHeight, dpi);
    l.DisplayTop = buttonsHidden ? 0 : l.StripHeight;
    l.Width = client.right - client.left;
    l.Height = client.bottom - client.top - l.DisplayTop;
    l.BandHeight = l.Height / 4;
    l.TimeArea = {0, 0, l.Width, l.Height};
    l.HeaderBand = {client.left, 0, client.right, 0};
    l.TimeUpBand = {client.left, 0, client.right, 0};
    l.TimeBand = {client.left, l.DisplayTop, client.right, client.bottom};

    if ((showHeader || showTimeUpText) && l.Height > ScaleToDpi(100, dpi))
    {
        const int32_t q = l.BandHeight;
        l.BandsShown = 1;
        if (showHeader)
        {
            l.HeaderBand.bottom = q;
            l.TimeArea.top = q;
            l.TimeBand.top = l.DisplayTop + q + 1;
        }
        if (showTimeUpText)
        {
            l.TimeArea.bottom = l.Height - q;
            l.TimeUpBand.top = l.Height - q + 1;
            l.TimeUpBand.bottom = l.Height;
            l.TimeBand.bottom = client.bottom - q;
        }
    }
    return l;
}

namespace
{

void BandSize(const Band& area, uint32_t& width, uint32_t& height)
{
    const int32_t w = area.right - area.left;
    const int32_t h = area.bottom - area.top;
    width = w > 0 ? static_cast<uint32_t>(w) : 0;
    height = h > 0 ? static_cast<uint32_t>(h) : 1;
}

} // namespace

uint32_t TimeFontHeight(uint32_t scalingMethod, uint32_t fontSize, const Band& timeArea,
                        uint32_t widthClass)
{
    if (scalingMethod == 1) return fontSize;
    uint32_t width, height;
    BandSize(timeArea, width, height);
    const uint32_t aspect = width * 10 / height;
    const uint32_t size = widthClass < 4 ? 0 : widthClass < 6 ? 1 : 2;
    if (aspect > 20)
    {
        // Wide band: its height limits the text.
        static const uint32_t byHeight[3] = {200, 250, 370};
        return height * fontSize / byHeight[size];
    }
    static const uint32_t byWidth[3] = {400, 600, 780};
    return width * fontSize / byWidth[size];
}

uint32_t BandTextHeight(uint32_t timeHeight, uint32_t length, uint32_t bigText,
                        const Band& timeArea)
{
    const uint32_t base = timeHeight - timeHeight / 4;
    if (bigText != 0) return base;
    uint32_t width, height;
    BandSize(timeArea, width, height);
    const uint32_t aspect = width * 10 / height;
    if (aspect == 0) return base;
    return length * 16 / aspect > 6 ? base / 2 : base;
}

bool IsTickRepaint(const Band& paint, const Band& timeBand, uint32_t changeCount)
{
    return changeCount <= 1 && paint.left >= timeBand.left && paint.top >= timeBand.top &&
           paint.right <= timeBand.right && paint.bottom <= timeBand.bottom &&
           paint.left < paint.right && paint.top < paint.bottom;
}

namespace
{

// Width of `text` in the cells' font; false for a character the cells do not measure.
bool TextWidth(const char* text, const TextCells& cells, int32_t& width, uint32_t& length)
{
    width = 0;
    for (length = 0; text[length] != 0; ++length)
    {
        const auto c = static_cast<unsigned char>(text[length]);
        if (c >= 128) return false;
        width += cells.Advance[c];
    }
    return true;
}

int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : value > high ? high : value;
}

} // namespace

Band TickRepaintBand(const char* painted, const char* next, const TextCells& cells,
                     const Band& timeBand)
{
    int32_t paintedWidth, nextWidth;
    uint32_t paintedLength, nextLength;
    if (cells.Known == 0 || !TextWidth(painted, cells, paintedWidth, paintedLength) ||
        !TextWidth(next, cells, nextWidth, nextLength) || paintedLength != nextLength ||
        paintedWidth != nextWidth)
        return timeBand;

    uint32_t first = 0;
    while (first < nextLength && painted[first] == next[first])
        ++first;
    if (first == nextLength) return Band{timeBand.left, timeBand.top, timeBand.left, timeBand.top};
    uint32_t last = nextLength - 1;
    while (painted[last] == next[last])
        --last;

    // DrawText centres the line: the same width puts every character where it was.
    int32_t x = cells.Area.left + (cells.Area.right - cells.Area.left - nextWidth) / 2;
    for (uint32_t i = 0; i < first; ++i)
        x += cells.Advance[static_cast<unsigned char>(next[i])];
    int32_t right = x;
    for (uint32_t i = first; i <= last; ++i)
        right += cells.Advance[static_cast<unsigned char>(next[i])];
    const int32_t top =
        cells.Area.top + (cells.Area.bottom - cells.Area.top - cells.LineHeight) / 2;

    Band band;
    band.left = Clamp(x - cells.Ink, timeBand.left, timeBand.right);
    band.right = Clamp(right + cells.Ink, timeBand.left, timeBand.right);
    band.top = Clamp(top - cells.Ink, timeBand.top, timeBand.bottom);
    band.bottom = Clamp(top + cells.LineHeight + cells.Ink, timeBand.top, timeBand.bottom);
    return band;
}
