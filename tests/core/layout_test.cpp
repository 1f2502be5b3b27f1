#include <gtest/gtest.h>

#include "display/layout.h"

namespace
{

struct FontCase
{
    int32_t width, height;
    uint32_t widthClass, fontSize, scaling;
    uint32_t expected;
};

TEST(DisplayScaling, TimeFontHeight)
{
    const FontCase cases[] = {
        {400, 200, 3, 100, 0, 100}, // aspect 20: the width limits
        {600, 200, 3, 100, 0, 100}, // aspect 30: the height limits
        {600, 200, 6, 100, 0, 54},
        {600, 200, 4, 100, 0, 80},
        {300, 300, 2, 100, 0, 75},
        {300, 300, 4, 100, 0, 50},
        {300, 300, 7, 100, 0, 38},
        {400, 150, 3, 100, 0, 75},
        {400, 200, 3, 50, 0, 50}, // FontSize is a percentage
        {400, 0, 3, 100, 0, 0},   // no height counts as 1: wide, and no room
        {0, 200, 3, 100, 0, 0},
        // Use Font Size ignores the window and the text.
        {400, 200, 3, 37, 1, 37},
        {10, 10, 8, 140, 1, 140},
    };
    for (const FontCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " class " << c.widthClass);
        EXPECT_EQ(TimeFontHeight(c.scaling, c.fontSize, {0, 0, c.width, c.height}, c.widthClass),
                  c.expected);
    }
}

TEST(DisplayLayoutBands, NoBands)
{
    const DisplayLayout l = ComputeDisplayLayout({0, 0, 400, 230}, false, false, false);
    EXPECT_EQ(l.DisplayTop, 30);
    EXPECT_EQ(l.Width, 400);
    EXPECT_EQ(l.Height, 200);
    EXPECT_EQ(l.BandsShown, 0u);
    EXPECT_EQ(l.TimeArea.top, 0);
    EXPECT_EQ(l.TimeArea.bottom, 200);
    EXPECT_EQ(l.TimeBand.top, 30);
    EXPECT_EQ(l.TimeBand.bottom, 230);

    // Hidden buttons: the display area moves up by the strip's height.
    const DisplayLayout up = ComputeDisplayLayout({0, 0, 400, 230}, true, false, false);
    EXPECT_EQ(up.DisplayTop, 0);
    EXPECT_EQ(up.Height, 230);
    EXPECT_EQ(up.TimeBand.top, 0);
}

TEST(DisplayLayoutBands, HeaderExample)
{
    const DisplayLayout l = ComputeDisplayLayout({0, 0, 400, 230}, false, true, false);
    EXPECT_EQ(l.Height, 200);
    EXPECT_EQ(l.BandHeight, 50);
    EXPECT_EQ(l.HeaderBand.top, 0);
    EXPECT_EQ(l.HeaderBand.bottom, 50);
    EXPECT_EQ(l.TimeArea.top, 50);
    EXPECT_EQ(l.TimeArea.bottom, 200);
    EXPECT_EQ(l.TimeBand.top, 81);
    EXPECT_EQ(l.TimeBand.bottom, 230);

    const uint32_t time = TimeFontHeight(0, 100, l.TimeArea, 3);
    EXPECT_EQ(time, 75u);
    EXPECT_EQ(BandTextHeight(time, 17, 0, l.TimeArea), 28u); // 17 x 16 / 26 = 10 > 6
    EXPECT_EQ(BandTextHeight(time, 5, 0, l.TimeArea), 57u);
    EXPECT_EQ(BandTextHeight(time, 17, 1, l.TimeArea), 57u); // BigText keeps it
}

TEST(DisplayLayoutBands, BothBandsAndSmallDisplays)
{
    const DisplayLayout both = ComputeDisplayLayout({0, 0, 480, 320}, false, true, true);
    EXPECT_EQ(both.Height, 290);
    EXPECT_EQ(both.BandHeight, 72);
    EXPECT_EQ(both.TimeArea.top, 72);
    EXPECT_EQ(both.TimeArea.bottom, 218);
    EXPECT_EQ(both.TimeUpBand.top, 219);
    EXPECT_EQ(both.TimeUpBand.bottom, 290);
    EXPECT_EQ(both.TimeBand.top, 30 + 72 + 1);
    EXPECT_EQ(both.TimeBand.bottom, 320 - 72);

    // 100 pixels or less: no bands, whatever is asked.
    for (int32_t height : {130, 100, 60})
    {
        const DisplayLayout l = ComputeDisplayLayout({0, 0, 300, height}, false, true, true);
        EXPECT_EQ(l.BandsShown, 0u) << height;
        EXPECT_EQ(l.TimeArea.top, 0);
        EXPECT_EQ(l.TimeArea.bottom, height - 30);
    }
    const DisplayLayout justOver = ComputeDisplayLayout({0, 0, 300, 131}, false, false, true);
    EXPECT_EQ(justOver.BandsShown, 1u);

    // A client no higher than the strip has no display area.
    EXPECT_LE(ComputeDisplayLayout({0, 0, 160, 20}, false, true, true).Height, 0);
}

TEST(DisplayLayoutBands, TickRepaint)
{
    const Band timeBand = {0, 81, 400, 230};
    EXPECT_TRUE(IsTickRepaint(timeBand, timeBand, 0));
    EXPECT_TRUE(IsTickRepaint(timeBand, timeBand, 1));
    EXPECT_FALSE(IsTickRepaint(timeBand, timeBand, 2)); // after the buttons showed or hid
    EXPECT_FALSE(IsTickRepaint({0, 0, 400, 230}, timeBand, 1));
    EXPECT_FALSE(IsTickRepaint({0, 81, 400, 229}, timeBand, 0));
}

} // namespace
