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
    const DisplayLayout l = ComputeDisplayLayout({0, 0, 400, 230}, false, false, false, BaseDpi);
    EXPECT_EQ(l.DisplayTop, 30);
    EXPECT_EQ(l.Width, 400);
    EXPECT_EQ(l.Height, 200);
    EXPECT_EQ(l.BandsShown, 0u);
    EXPECT_EQ(l.TimeArea.top, 0);
    EXPECT_EQ(l.TimeArea.bottom, 200);
    EXPECT_EQ(l.TimeBand.top, 30);
    EXPECT_EQ(l.TimeBand.bottom, 230);

    // Hidden buttons: the display area moves up by the strip's height.
    const DisplayLayout up = ComputeDisplayLayout({0, 0, 400, 230}, true, false, false, BaseDpi);
    EXPECT_EQ(up.DisplayTop, 0);
    EXPECT_EQ(up.Height, 230);
    EXPECT_EQ(up.TimeBand.top, 0);
}

TEST(DisplayLayoutBands, HeaderExample)
{
    const DisplayLayout l = ComputeDisplayLayout({0, 0, 400, 230}, false, true, false, BaseDpi);
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
    const DisplayLayout both = ComputeDisplayLayout({0, 0, 480, 320}, false, true, true, BaseDpi);
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
        const DisplayLayout l =
            ComputeDisplayLayout({0, 0, 300, height}, false, true, true, BaseDpi);
        EXPECT_EQ(l.BandsShown, 0u) << height;
        EXPECT_EQ(l.TimeArea.top, 0);
        EXPECT_EQ(l.TimeArea.bottom, height - 30);
    }
    const DisplayLayout justOver =
        ComputeDisplayLayout({0, 0, 300, 131}, false, false, true, BaseDpi);
    EXPECT_EQ(justOver.BandsShown, 1u);

    // A client no higher than the strip has no display area.
    EXPECT_LE(ComputeDisplayLayout({0, 0, 160, 20}, false, true, true, BaseDpi).Height, 0);
}

TEST(DisplayDpi, PixelFiguresScaleByDpiOver96RoundedToTheNearest)
{
    struct Case
    {
        int32_t pixels;
        uint32_t dpi;
        int32_t expected;
    } const cases[] = {
        {30, 96, 30},
        {30, 0, 30},
        {30, 120, 38},
        {30, 144, 45},
        {30, 192, 60},
        {165, 120, 206},
        {165, 144, 248},
        {120, 120, 150},
        {25, 120, 31},
        {3, 120, 4},
        {3, 144, 5},
        {2, 144, 3},
        {1, 144, 2},
        {1, 120, 1},
        {0, 192, 0},
        {-7, 144, -11},
        {-7, 120, -9},
        {-1, 144, -2},
        {800, 144, 1200},
        {600, 120, 750},
        {100, 72, 75},
        {165, 72, 124},
        {95, 97, 96},
        {10000, 480, 50000},
        // Large values scale without overflow.
        {400000000, 144, 600000000},
        {-400000000, 144, -600000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleToDpi(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
}

TEST(DisplayDpi, TheButtonRowScalesWithEvenGaps)
{
    // At 96 DPI the places are the fixed ones.
    const Band at96[ControlButtonCount] = {{3, 3, 73, 28},    {74, 3, 144, 28},  {172, 3, 232, 28},
                                           {234, 3, 294, 28}, {296, 3, 356, 28}, {358, 3, 418, 28}};
    for (uint32_t i = 0; i < ControlButtonCount; ++i)
    {
        const Band b = ControlButtonBand(i, BaseDpi);
        EXPECT_EQ(b.left, at96[i].left) << i;
        EXPECT_EQ(b.top, at96[i].top) << i;
        EXPECT_EQ(b.right, at96[i].right) << i;
        EXPECT_EQ(b.bottom, at96[i].bottom) << i;
    }
    for (uint32_t dpi : {120u, 144u, 192u})
    {
        SCOPED_TRACE(dpi);
        for (uint32_t i = 0; i < ControlButtonCount; ++i)
        {
            const Band b = ControlButtonBand(i, dpi);
            // Each edge is the exact product rounded to the nearest pixel.
            EXPECT_NEAR(b.left * 96.0, at96[i].left * double(dpi), 48.0);
            EXPECT_NEAR(b.right * 96.0, at96[i].right * double(dpi), 48.0);
            EXPECT_NEAR(b.bottom * 96.0, at96[i].bottom * double(dpi), 48.0);
            EXPECT_LT(b.bottom, ScaleToDpi(ButtonStripHeight, dpi));
            if (i > 0)
            {
                EXPECT_GT(b.left, ControlButtonBand(i - 1, dpi).right);
            }
        }
        // The 28-pixel gap before the direction button and the 1-pixel gap before Reset.
        EXPECT_EQ(ControlButtonBand(2, dpi).left - ControlButtonBand(1, dpi).right,
                  ScaleToDpi(172, dpi) - ScaleToDpi(144, dpi));
        EXPECT_GE(ControlButtonBand(1, dpi).left - ControlButtonBand(0, dpi).right, 1);
    }
    EXPECT_EQ(ControlButtonBand(ControlButtonCount, 144).right, 0);
}

TEST(DisplayPlacement, AWindowOffTheScreenComesBackWhole)
{
    const Band area = {0, 0, 1920, 1040};
    struct Case
    {
        const char* name;
        Band window, expected;
    } const cases[] = {
        {"already on it: unchanged", {100, 100, 580, 420}, {100, 100, 580, 420}},
        {"touching the edges: unchanged", {0, 0, 1920, 1040}, {0, 0, 1920, 1040}},
        {"far left", {-3000, 200, -2520, 520}, {0, 200, 480, 520}},
        {"far right and below", {4000, 3000, 4480, 3320}, {1440, 720, 1920, 1040}},
        {"above", {500, -900, 665, -780}, {500, 0, 665, 120}},
        {"half off the right edge", {1800, 10, 2280, 330}, {1440, 10, 1920, 330}},
        {"larger than the area", {-100, -50, 2500, 1500}, {0, 0, 1920, 1040}},
    };
    for (const Case& c : cases)
    {
        const Band got = MoveOntoArea(c.window, area);
        EXPECT_EQ(got.left, c.expected.left) << c.name;
        EXPECT_EQ(got.top, c.expected.top) << c.name;
        EXPECT_EQ(got.right, c.expected.right) << c.name;
        EXPECT_EQ(got.bottom, c.expected.bottom) << c.name;
    }
    // A second screen left of the first, with negative coordinates.
    const Band moved = MoveOntoArea({-5000, 100, -4835, 220}, {-1280, 0, 0, 984});
    EXPECT_EQ(moved.left, -1280);
    EXPECT_EQ(moved.right, -1115);
    EXPECT_EQ(moved.top, 100);
}

TEST(DisplayDpi, TheStripAndTheBandRuleScale)
{
    struct Case
    {
        uint32_t dpi;
        int32_t height; // client height
        int32_t strip;
        uint32_t bands; // header and time-up bands shown
    } const cases[] = {
        {96, 130, 30, 0},  {96, 131, 30, 1},  {120, 163, 38, 0}, {120, 164, 38, 1},
        {144, 195, 45, 0}, {144, 196, 45, 1}, {192, 260, 60, 0}, {192, 261, 60, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.dpi << " dpi, height " << c.height);
        const DisplayLayout l =
            ComputeDisplayLayout({0, 0, 300, c.height}, false, true, true, c.dpi);
        EXPECT_EQ(l.StripHeight, c.strip);
        EXPECT_EQ(l.DisplayTop, c.strip);
        EXPECT_EQ(l.Height, c.height - c.strip);
        EXPECT_EQ(l.BandsShown, c.bands);
        EXPECT_EQ(l.TimeBand.top, c.bands != 0 ? c.strip + l.BandHeight + 1 : c.strip);
        const DisplayLayout hidden =
            ComputeDisplayLayout({0, 0, 300, c.height}, true, false, false, c.dpi);
        EXPECT_EQ(hidden.StripHeight, c.strip);
        EXPECT_EQ(hidden.DisplayTop, 0);
    }
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
