#include "display/layout.h"

DisplayLayout ComputeDisplayLayout(const Band& client, bool buttonsHidden, bool showHeader,
                                   bool showTimeUpText)
{
    DisplayLayout l = {};
    l.DisplayTop = buttonsHidden ? 0 : ButtonStripHeight;
    l.Width = client.right - client.left;
    l.Height = client.bottom - client.top - l.DisplayTop;
    l.BandHeight = l.Height / 4;
    l.TimeArea = {0, 0, l.Width, l.Height};
    l.HeaderBand = {client.left, 0, client.right, 0};
    l.TimeUpBand = {client.left, 0, client.right, 0};
    l.TimeBand = {client.left, l.DisplayTop, client.right, client.bottom};

    if ((showHeader || showTimeUpText) && l.Height > 100)
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
    return changeCount <= 1 && paint.left == timeBand.left && paint.top == timeBand.top &&
           paint.right == timeBand.right && paint.bottom == timeBand.bottom;
}
