#include <gtest/gtest.h>

#include "display/quickset.h"

namespace
{

TEST(QuickSet, OpensUnderThePointerAndNeverBelowTheBottomRule)
{
    struct Case
    {
        QuickSetPoint Pointer;
        int32_t ScreenHeight;
        QuickSetPoint Expected;
    } const cases[] = {
        {{400, 300}, 768, {350, 250}},  // mid-screen: 50 up and left
        {{100, 30}, 768, {50, -20}},    // near the top: partly above the screen, left there
        {{100, -400}, 768, {50, -450}}, // far above the top (another monitor): not pulled down
        {{20, 10}, 768, {-30, -40}},    // x is not limited either
        {{500, 618}, 768, {450, 568}},  // exactly on the rule: unchanged
        {{500, 619}, 768, {450, 568}},  // one below: lifted to the rule
        {{500, 760}, 768, {450, 568}},  // at the bottom
        {{500, 5000}, 600, {450, 400}}, // off the bottom of a smaller screen
        {{0, 0}, 100, {-50, -100}},     // a screen lower than the rule: lifted above its top
    };
    for (const Case& c : cases)
    {
        const QuickSetPoint got = QuickSetPosition(c.Pointer, c.ScreenHeight, 96);
        EXPECT_EQ(got.X, c.Expected.X) << c.Pointer.X << "," << c.Pointer.Y;
        EXPECT_EQ(got.Y, c.Expected.Y) << c.Pointer.X << "," << c.Pointer.Y;
    }
}

TEST(QuickSet, ItsOffsetsScaleWithTheDpi)
{
    struct Case
    {
        uint32_t Dpi;
        QuickSetPoint Pointer;
        int32_t ScreenHeight;
        QuickSetPoint Expected;
    } const cases[] = {
        {120, {400, 300}, 1080, {337, 237}},   // 63 up and left
        {144, {400, 300}, 1080, {325, 225}},   // 75
        {192, {400, 300}, 2160, {300, 200}},   // 100
        {144, {400, 1000}, 1080, {325, 780}},  // lifted to 300 above the bottom
        {192, {400, 1800}, 2160, {300, 1700}}, // above the rule: unchanged
        {192, {400, 1900}, 2160, {300, 1760}}, // 400 above the bottom
    };
    for (const Case& c : cases)
    {
        const QuickSetPoint got = QuickSetPosition(c.Pointer, c.ScreenHeight, c.Dpi);
        EXPECT_EQ(got.X, c.Expected.X) << c.Dpi << ": " << c.Pointer.X << "," << c.Pointer.Y;
        EXPECT_EQ(got.Y, c.Expected.Y) << c.Dpi << ": " << c.Pointer.X << "," << c.Pointer.Y;
    }
}

TEST(QuickSet, EachButtonLoadsItsMinutes)
{
    struct Case
    {
        uint32_t Result;
        uint32_t Milliseconds;
    } const cases[] = {
        {1201, 60000},   {1202, 120000},  {1205, 300000},   {1210, 600000},
        {1215, 900000},  {1220, 1200000}, {1230, 1800000},  {1245, 2700000},
        {1260, 3600000}, {1320, 7200000}, {1560, 21600000}, {2640, 86400000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QuickSetMilliseconds(c.Result), c.Milliseconds) << c.Result;
}

} // namespace
