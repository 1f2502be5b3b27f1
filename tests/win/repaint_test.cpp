#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"
#include "display/display_win.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"

namespace
{

const int ButtonIds[] = {CmdStartStop, CmdReset, CmdReverse, CmdOptions, CmdHelp, CmdAbout};
constexpr int ButtonCount = sizeof ButtonIds / sizeof ButtonIds[0];

// WM_PAINT seen by each button and by the main window, through procedures put in front of theirs.
int ButtonPaints[ButtonCount];
int MainPaints;
WNDPROC ButtonProcs[ButtonCount];
WNDPROC MainProc;

template <int Index> LRESULT CALLBACK CountingButtonProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_PAINT) ++ButtonPaints[Index];
    return CallWindowProcA(ButtonProcs[Index], w, m, wp, lp);
}

LRESULT CALLBACK CountingMainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_PAINT) ++MainPaints;
    return CallWindowProcA(MainProc, w, m, wp, lp);
}

const WNDPROC CountingButtonProcs[ButtonCount] = {
    CountingButtonProc<0>, CountingButtonProc<1>, CountingButtonProc<2>,
    CountingButtonProc<3>, CountingButtonProc<4>, CountingButtonProc<5>,
};

void WatchPaints()
{
    for (int i = 0; i < ButtonCount; ++i)
        ButtonProcs[i] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(GetDlgItem(MainWindow, ButtonIds[i]), GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(CountingButtonProcs[i])));
    MainProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingMainProc)));
}

int AllButtonPaints()
{
    int total = 0;
    for (int n : ButtonPaints)
        total += n;
    return total;
}

void ForgetPaints()
{
    std::memset(ButtonPaints, 0, sizeof ButtonPaints);
    MainPaints = 0;
}

struct RepaintCase
{
    const char* what;
    void (*request)();
};

// The display's own repaints of the whole window draw the display again but not the buttons,
// which nothing about them changed.
TEST(Repaint, WholeWindowRepaintsLeaveTheButtonsAlone)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 b").empty());
    Command(CmdSizeMedium);
    PumpMessagesFor(300);
    EXPECT_NE(GetWindowLongA(MainWindow, GWL_STYLE) & WS_CLIPCHILDREN, 0);
    WatchPaints();

    const RepaintCase cases[] = {
        {"whole client", [] { InvalidateRect(MainWindow, nullptr, FALSE); }},
        {"whole client with erase", [] { InvalidateRect(MainWindow, nullptr, TRUE); }},
        {"layout", [] { LayoutDisplay(MainWindow); }},
        {"flash", [] { ApplyCountEffects(EffectInvalidate); }},
        {"acknowledged time-up", [] { ApplyCountEffects(EffectInvalidateErase); }},
    };
    for (const RepaintCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        ForgetPaints();
        c.request();
        UpdateWindow(MainWindow);
        PumpMessagesFor(50);
        EXPECT_EQ(MainPaints, 1);
        EXPECT_EQ(AllButtonPaints(), 0);
    }

    // The count is right to see a button's own repaint.
    ForgetPaints();
    const HWND reset = GetDlgItem(MainWindow, CmdReset);
    InvalidateRect(reset, nullptr, TRUE);
    UpdateWindow(reset);
    EXPECT_EQ(ButtonPaints[1], 1);
    EXPECT_EQ(AllButtonPaints(), 1);
    EXPECT_EQ(MainPaints, 0);
}

bool SameCapture(const Capture& a, const Capture& b, int& differing)
{
    differing = 0;
    if (a.width != b.width || a.height != b.height) return false;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        if (a.pixels[i] != b.pixels[i]) ++differing;
    return differing == 0;
}

Capture RedrawnCapture(const std::string& name)
{
    RedrawWindow(MainWindow, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessagesFor(50);
    return CaptureClient(MainWindow, name.c_str());
}

struct LookCase
{
    const char* name;
    void (*prepare)();
};

// Clipping the buttons out of the window's own painting changes no pixel: every look is the
// same drawn with and without it.
TEST(Repaint, ClippedButtonsLeaveEveryPixelAsItWas)
{
    SettingsRecord record = DefaultRecord();
    std::strcpy(record.HeaderText, "Kitchen");
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 b", SettingsImage(record)).empty());
    Command(CmdSizeMedium);
    PumpMessagesFor(300);

    const LookCase cases[] = {
        {"plain", [] {}},
        {"bands",
         [] {
             Settings.ShowHeader = 1;
             Settings.ShowTimeUpText = 1;
             LayoutDisplay(MainWindow);
         }},
        {"flash",
         [] {
             CountLockGuard lock;
             FlashPhase = 1;
         }},
        {"small", [] { Command(CmdSizeSmall); }},
    };
    const LONG style = GetWindowLongA(MainWindow, GWL_STYLE);
    for (const LookCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.prepare();
        const Capture clipped = RedrawnCapture(std::string("clipped-") + c.name);
        SetWindowLongA(MainWindow, GWL_STYLE, style & ~WS_CLIPCHILDREN);
        const Capture unclipped = RedrawnCapture(std::string("unclipped-") + c.name);
        SetWindowLongA(MainWindow, GWL_STYLE, style);
        ASSERT_GT(clipped.width, 100);
        int differing = 0;
        EXPECT_TRUE(SameCapture(clipped, unclipped, differing)) << differing << " pixels differ";
        // The capture holds the buttons: the Start button's face is not the strip's colour.
        int face = 0;
        for (int x = 5; x < 70; ++x)
            if (clipped.at(x, 15) != clipped.at(1, 1)) ++face;
        EXPECT_GT(face, 5);
    }
}

struct TickRun
{
    const char* name;
    void (*prepare)();
    uint32_t from; // ms shown by the first tick; each next shows 50 ms less
    int ticks;
};

// Ticks that repaint only the characters they change leave the very screen a repaint of the
// whole band gives, through minute and width changes, a slanted font and the bands; and most
// of them repaint less than half the band's width.
TEST(Repaint, TickCellsLeaveTheScreenAWholeBandRepaintGives)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 b").empty());
    Command(CmdSizeMedium);
    PumpMessagesFor(300);

    const TickRun runs[] = {
        {"minute", [] {}, 300400, 30},
        {"width class", [] {}, 600400, 30},
        {"italic",
         [] {
             Settings.FontItalic = 1;
             LayoutDisplay(MainWindow);
         },
         61000, 30},
        {"bands",
         [] {
             Settings.ShowHeader = 1;
             Settings.ShowTimeUpText = 1;
             LayoutDisplay(MainWindow);
         },
         3600400, 30},
    };
    for (const TickRun& run : runs)
    {
        SCOPED_TRACE(run.name);
        run.prepare();
        UpdateWindow(MainWindow);
        RECT band;
        {
            CountLockGuard lock;
            band = TimeBand;
        }
        int repaints = 0, narrow = 0;
        for (int i = 0; i < run.ticks; ++i)
        {
            RECT repaint;
            {
                CountLockGuard lock;
                FormatCountText(run.from - 50u * static_cast<uint32_t>(i), DisplayText);
                repaint = TickRepaintRect();
            }
            // Tenths at 50 ms steps: every other tick shows the text already on the screen.
            if (IsRectEmpty(&repaint)) continue;
            ++repaints;
            if ((repaint.right - repaint.left) * 2 < band.right - band.left) ++narrow;
            InvalidateRect(MainWindow, &repaint, FALSE);
            UpdateWindow(MainWindow);
        }
        EXPECT_GE(repaints, run.ticks / 2);
        EXPECT_GT(narrow * 4, repaints * 3);
        const Capture cells = CaptureClient(MainWindow, (std::string("ticks-") + run.name).c_str());
        InvalidateRect(MainWindow, &band, FALSE);
        UpdateWindow(MainWindow);
        const Capture whole = CaptureClient(MainWindow, (std::string("band-") + run.name).c_str());
        int differing = 0;
        EXPECT_TRUE(SameCapture(cells, whole, differing)) << differing << " pixels differ";
    }
}

} // namespace
