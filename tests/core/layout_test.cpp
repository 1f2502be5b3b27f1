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
    // Within the band: the cells of a few characters, or part of the band uncovered.
    EXPECT_TRUE(IsTickRepaint({0, 81, 400, 229}, timeBand, 0));
    EXPECT_TRUE(IsTickRepaint({216, 100, 232, 200}, timeBand, 1));
    EXPECT_FALSE(IsTickRepaint({216, 100, 232, 200}, timeBand, 2));
    // Reaching into the header band above or past the band's right edge.
    EXPECT_FALSE(IsTickRepaint({216, 80, 232, 200}, timeBand, 0));
    EXPECT_FALSE(IsTickRepaint({216, 100, 401, 200}, timeBand, 0));
    EXPECT_FALSE(IsTickRepaint({216, 100, 216, 200}, timeBand, 0)); // empty
}

// Digits 10 pixels wide, ':' and '.' 4, '1' 6 (a font without even digits would have it so).
TextCells TestCells(uint32_t known = 1)
{
    TextCells cells = {};
    cells.Known = known;
    cells.Area = {0, 30, 400, 230};
    cells.LineHeight = 100;
    cells.Ink = 3;
    for (char c = '0'; c <= '9'; ++c)
        cells.Advance[static_cast<unsigned char>(c)] = 10;
    cells.Advance[static_cast<unsigned char>(':')] = 4;
    cells.Advance[static_cast<unsigned char>('.')] = 4;
    return cells;
}

struct TickCase
{
    const char* painted;
    const char* next;
    Band expected;
};

TEST(DisplayTickRepaint, OnlyTheChangedCells)
{
    const Band band = {0, 30, 400, 230};
    const Band whole = band;
    const Band none = {0, 30, 0, 30};
    // "04:59.9" is 58 wide, centred from x 171; its line from y 80 to 180; 3 pixels of ink.
    const TickCase cases[] = {
        {"04:59.9", "04:59.8", {216, 77, 232, 183}}, // the last digit
        {"05:00.0", "04:59.9", {178, 77, 232, 183}}, // all but the first
        {"04:59.9", "03:59.9", {178, 77, 194, 183}}, // one in the middle
        {"04:59.9", "04:59.9", none},                // nothing new
        {"10:00.0", "9:59.9", whole},                // shorter: the text moves
        {"9:59.9", "10:00.0", whole},
        {"", "0", whole},
    };
    for (const TickCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.painted << " -> " << c.next);
        const Band b = TickRepaintBand(c.painted, c.next, TestCells(), band);
        EXPECT_EQ(b.left, c.expected.left);
        EXPECT_EQ(b.top, c.expected.top);
        EXPECT_EQ(b.right, c.expected.right);
        EXPECT_EQ(b.bottom, c.expected.bottom);
    }
}

TEST(DisplayTickRepaint, WholeBandWhenTheCellsCannotTell)
{
    const Band band = {0, 30, 400, 230};
    TextCells proportional = TestCells();
    proportional.Advance[static_cast<unsigned char>('1')] = 6;
    const struct
    {
        const char* what;
        TextCells cells;
        const char* painted;
        const char* next;
    } cases[] = {
        {"not measured yet", TestCells(0), "04:59.9", "04:59.8"},
        {"same length, other width", proportional, "04:59.9", "04:51.9"},
        {"a character not measured", TestCells(), "04:59.9", "04:59.\xE9"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const Band b = TickRepaintBand(c.painted, c.next, c.cells, band);
        EXPECT_EQ(b.left, band.left);
        EXPECT_EQ(b.top, band.top);
        EXPECT_EQ(b.right, band.right);
        EXPECT_EQ(b.bottom, band.bottom);
    }
    // Equal widths with an uneven digit keep the cells: '1' for '1'.
    const Band kept = TickRepaintBand("04:51.9", "04:51.8", proportional, band);
    EXPECT_GT(kept.left, band.left);
}

// The ink around the cells stays inside the band: a text as wide as the area, in a line as
// high as the band.
TEST(DisplayTickRepaint, InkClampedToTheBand)
{
    const Band band = {0, 30, 58, 130};
    TextCells cells = TestCells();
    cells.Area = band;
    const Band b = TickRepaintBand("05:00.0", "14:59.9", cells, band);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.top, 30);
    EXPECT_EQ(b.right, 58);
    EXPECT_EQ(b.bottom, 130);
}

} // namespace
