// Per-paint time of the real PaintDisplay under Wine, and of the GDI steps a paint is made of.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "bench/win/bench_report_win.h"
#include "bench/win/shell_bench_win.h"
#include "data/settings.h"
#include "display/display_win.h"
#include "display/layout.h"
#include "display/timetext.h"

namespace
{

const char* ReportPath;
int Rounds;
double RoundMs;

RECT CurrentTimeBand()
{
    CountLockGuard lock;
    return TimeBand;
}

// What the counting thread leaves before a tick repaint: a new text and one change.
uint32_t NextCount = 299950;
void NextTick()
{
    CountLockGuard lock;
    FormatCountText(NextCount, DisplayText);
    NextCount = NextCount > 1000 ? NextCount - 50 : 299950;
    ChangeCount = 1;
}

// Per-call milliseconds of `step`: the median, lowest and highest of Rounds rounds, each about
// RoundMs long, after a warm-up that also sizes the rounds.
template <typename Step> void TimeStep(const char* name, Step step)
{
    const double warmStart = BenchNowMs();
    int warmCalls = 0;
    do
    {
        step();
        ++warmCalls;
    } while (BenchNowMs() - warmStart < RoundMs / 4 || warmCalls < 5);
    const double estimate = (BenchNowMs() - warmStart) / warmCalls;
    const int calls = std::max(5, static_cast<int>(RoundMs / std::max(estimate, 0.0001)));

    std::vector<double> perCall;
    for (int r = 0; r < Rounds; ++r)
    {
        const double start = BenchNowMs();
        for (int i = 0; i < calls; ++i)
            step();
        perCall.push_back((BenchNowMs() - start) / calls);
    }
    std::sort(perCall.begin(), perCall.end());
    const std::string key = name;
    BenchReport(ReportPath, (key + "_ms").c_str(), perCall[perCall.size() / 2]);
    BenchReport(ReportPath, (key + "_low_ms").c_str(), perCall.front());
    BenchReport(ReportPath, (key + "_high_ms").c_str(), perCall.back());
}

// The real paint, driven the ways the program drives it.
void TimeRealPaints()
{
    const HWND window = MainWindow;
    const auto invalidateBand = [window] {
        NextTick();
        const RECT band = CurrentTimeBand();
        InvalidateRect(window, &band, FALSE);
    };
    TimeStep("tick_direct", [&] {
        invalidateBand();
        PaintDisplay(window);
    });
    TimeStep("tick_update", [&] {
        invalidateBand();
        UpdateWindow(window);
    });
    // Through the message pump, as in the program: the empty queue is where Wine copies the
    // window's changed pixels to the X server.
    TimeStep("tick_pumped", [&] {
        invalidateBand();
        PumpPending();
    });
    // As the counting thread asks: only the characters that differ from the screen's.
    TimeStep("tick_cells_pumped", [&] {
        NextTick();
        RECT cells;
        {
            CountLockGuard lock;
            cells = TickRepaintRect();
        }
        InvalidateRect(window, &cells, FALSE);
        PumpPending();
    });
    TimeStep("display_direct", [&] {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        PaintDisplay(window);
    });
    TimeStep("whole_update", [&] {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    });
    TimeStep("whole_erase_update", [&] {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    });
    const int buttons[] = {CmdStartStop, CmdReset, CmdReverse, CmdOptions, CmdHelp, CmdAbout};
    TimeStep("buttons_update", [&] {
        for (int id : buttons)
            InvalidateRect(GetDlgItem(window, id), nullptr, TRUE);
        UpdateWindow(window);
    });
    const HWND reset = GetDlgItem(window, CmdReset);
    TimeStep("one_button_update", [&] {
        InvalidateRect(reset, nullptr, TRUE);
        UpdateWindow(reset);
    });
}

// The steps of a paint one by one: the same GDI calls PaintDisplay makes, with the same sizes,
// to see which one costs the most. A copy of the sequence, not the product's code.
void TimePaintSteps()
{
    const HWND window = MainWindow;
    RECT client;
    GetClientRect(window, &client);
    const DisplayLayout layout =
        ComputeDisplayLayout({client.left, client.top, client.right, client.bottom}, false,
                             Settings.ShowHeader != 0, Settings.ShowTimeUpText != 0, BaseDpi);
    char text[sizeof DisplayText];
    uint32_t widthClass;
    {
        CountLockGuard lock;
        std::memcpy(text, DisplayText, sizeof text);
        widthClass = WidthClass;
    }
    const int height = static_cast<int>(
        TimeFontHeight(Settings.ScalingMethod, Settings.FontSize, layout.TimeArea, widthClass));
    BenchReportInteger(ReportPath, "time_font_height", static_cast<uint64_t>(height));
    const auto makeFont = [&] {
        return CreateFontA(height, 0, 0, 0, static_cast<int>(Settings.FontWeight),
                           Settings.FontItalic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                           Settings.FontFace);
    };

    const HDC windowDc = GetDC(window);
    const HBITMAP bitmap = CreateCompatibleBitmap(windowDc, layout.Width, layout.Height);
    const HDC memory = CreateCompatibleDC(windowDc);
    const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    const HFONT font = makeFont();
    const HGDIOBJ oldFont = SelectObject(memory, font);
    SetBkColor(memory, Settings.BackColour);
    SetTextColor(memory, Settings.TextColour);
    RECT all = {0, 0, layout.Width, layout.Height};
    RECT timeArea = {layout.TimeArea.left, layout.TimeArea.top, layout.TimeArea.right,
                     layout.TimeArea.bottom};
    const RECT band = CurrentTimeBand();

    TimeStep("step_begin_end", [&] {
        InvalidateRect(window, &band, FALSE);
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
    });
    TimeStep("step_memory_dc", [&] {
        const HDC dc = CreateCompatibleDC(windowDc);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        SelectObject(dc, old);
        DeleteDC(dc);
    });
    TimeStep("step_fill", [&] {
        const HBRUSH brush = CreateSolidBrush(Settings.BackColour);
        FillRect(memory, &all, brush);
        DeleteObject(brush);
    });
    TimeStep("step_font", [&] {
        const HFONT made = makeFont();
        const HGDIOBJ old = SelectObject(memory, made);
        SelectObject(memory, old);
        DeleteObject(made);
    });
    // A font made afresh, as every paint makes it, then drawn with.
    TimeStep("step_font_text", [&] {
        const HFONT made = makeFont();
        const HGDIOBJ old = SelectObject(memory, made);
        DrawTextA(memory, text, static_cast<int>(std::strlen(text)), &timeArea,
                  DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        SelectObject(memory, old);
        DeleteObject(made);
    });
    TimeStep("step_text", [&] {
        DrawTextA(memory, text, static_cast<int>(std::strlen(text)), &timeArea,
                  DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    });
    TimeStep("step_blit_whole", [&] {
        BitBlt(windowDc, 0, layout.StripHeight, layout.Width, layout.Height, memory, 0, 0, SRCCOPY);
    });

    SelectObject(memory, oldFont);
    DeleteObject(font);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, windowDc);
}

void ReportSize(const char* name, LONG value)
{
    BenchReportInteger(ReportPath, name, static_cast<uint64_t>(value));
}

} // namespace

int MeasurePaints(const char* report, int rounds, double roundMs)
{
    ReportPath = report;
    Rounds = std::max(1, rounds);
    RoundMs = std::max(1.0, roundMs);
    // A five-minute countdown, stopped: the counting thread leaves the window alone, and the
    // text is the one a running count shows.
    if (!StartTimerHere(" /m=5 b")) return 1;
    SendMessageA(MainWindow, WM_COMMAND, CmdSizeLarge, 0);
    PumpFor(500);
    RECT window, client;
    GetWindowRect(MainWindow, &window);
    GetClientRect(MainWindow, &client);
    const RECT band = CurrentTimeBand();
    ReportSize("window_width", window.right - window.left);
    ReportSize("window_height", window.bottom - window.top);
    ReportSize("client_width", client.right);
    ReportSize("client_height", client.bottom);
    ReportSize("time_band_width", band.right - band.left);
    ReportSize("time_band_height", band.bottom - band.top);

    TimeRealPaints();
    TimePaintSteps();
    return 0;
}
