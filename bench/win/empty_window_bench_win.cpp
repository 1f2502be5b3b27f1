// The baseline for the whole-process figures: a plain empty top-level window and its message
// loop, nothing else. It links no Mivo code, so whatever it costs under Wine is the floor any
// window program pays.
//   bench_empty_window.exe left top width height [report]
// With a report file it writes the start-up figures at its first painted frame and ends.
#include <windows.h>

#include <cstdlib>

#include "bench/win/bench_report_win.h"

namespace
{

const char* ReportPath;

void ReportFirstPaint()
{
    const uint64_t painted = BenchWallClock();
    const uint64_t created = BenchProcessCreation();
    BenchReport(ReportPath, "first_paint_since_creation_ms",
                static_cast<double>(painted - created) / 10000.0);
    BenchReportInteger(ReportPath, "first_paint_unix_ns", BenchUnixNs(painted));
}

LRESULT CALLBACK EmptyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        if (ReportPath != nullptr)
        {
            ReportFirstPaint();
            ExitProcess(0);
        }
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) return 2;
    if (argc > 5) ReportPath = argv[5];
    if (ReportPath != nullptr)
        BenchReport(ReportPath, "main_since_creation_ms",
                    static_cast<double>(BenchWallClock() - BenchProcessCreation()) / 10000.0);
    const HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = EmptyWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "BenchEmptyWindow";
    RegisterClassExA(&wc);

    const HWND window =
        CreateWindowExA(0, wc.lpszClassName, "Bench empty window", WS_OVERLAPPEDWINDOW,
                        std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]),
                        std::atoi(argv[4]), nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_SHOWNORMAL);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
