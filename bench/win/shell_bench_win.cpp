// In-process figures of the real Mivo shell under Wine: the real start-up, main window and
// PaintDisplay, linked the way the Windows tests link them. Not product code.
//   bench_mivo_shell.exe settings <file> <left> <top> <width> <height> [update ms]
//                        [seconds mode]   (update ms 0: Auto; given: that frequency, Auto off)
//   bench_mivo_shell.exe first-paint <report> [arguments of the timer]
//   bench_mivo_shell.exe count <report> <settle ms> <measured ms> [arguments of the timer]
//   bench_mivo_shell.exe timeup <report> <runs>
//   bench_mivo_shell.exe paint <report> <rounds> <ms per round>
//   bench_mivo_shell.exe alarm <report>
// The data folder is the folder this program lies in (the script puts dMivo.dat there).
#include "bench/win/shell_bench_win.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "bench/win/bench_report_win.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "display/timetext.h"

namespace
{

const char* ReportPath;

int WriteSettings(const char* path, int left, int top, int width, int height, int updateMs,
                  int secondsMode)
{
    SettingsRecord record = {};
    ApplyDefaultFields(record, "Mivo Finished", "Mivo 2.0 Released");
    if (updateMs > 0)
    {
        record.UpdateFrequency = static_cast<uint32_t>(updateMs);
        record.AutoFrequency = 0;
    }
    if (secondsMode >= 0) record.SecondsMode = static_cast<uint32_t>(secondsMode);
    record.WindowPlacement.length = sizeof(WINDOWPLACEMENT);
    record.WindowPlacement.showCmd = SW_SHOWNORMAL;
    record.WindowPlacement.normalLeft = left;
    record.WindowPlacement.normalTop = top;
    record.WindowPlacement.normalRight = left + width;
    record.WindowPlacement.normalBottom = top + height;
    static uint8_t image[SettingsFileSize];
    BuildSettingsImage(record, image);
    const HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, image, sizeof image, &written, nullptr);
    CloseHandle(file);
    return ok && written == sizeof image ? 0 : 1;
}

std::string JoinArguments(int argc, char** argv, int first)
{
    std::string line;
    for (int i = first; i < argc; ++i)
        line.append(" ").append(argv[i]);
    return line;
}

double SinceCreationMs(uint64_t wallClock)
{
    return static_cast<double>(wallClock - BenchProcessCreation()) / 10000.0;
}

// ---- windows taken over as they are created, before their first message

WNDPROC TimerWindowProc;
WNDPROC ButtonProc;
WNDPROC WatchedTimerProc;
WNDPROC WatchedButtonProc;
HHOOK CreationHook;

LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
    {
        const HWND window = reinterpret_cast<HWND>(wParam);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, "MivoTime") == 0 && WatchedTimerProc != nullptr)
            TimerWindowProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedTimerProc)));
        else if (_stricmp(name, "Button") == 0 && WatchedButtonProc != nullptr)
            ButtonProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedButtonProc)));
    }
    return CallNextHookEx(CreationHook, code, wParam, lParam);
}

void WatchCreatedWindows(WNDPROC timer, WNDPROC button)
{
    WatchedTimerProc = timer;
    WatchedButtonProc = button;
    CreationHook = SetWindowsHookExA(WH_CBT, CreationHookProc, nullptr, GetCurrentThreadId());
}

// ---- time to the first painted count

// Runs after the real window procedure, so the figure includes the whole first paint.
LRESULT CALLBACK FirstPaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallWindowProcA(TimerWindowProc, window, message, wParam, lParam);
    if (message == WM_PAINT)
    {
        const uint64_t painted = BenchWallClock();
        BenchReport(ReportPath, "first_paint_since_creation_ms", SinceCreationMs(painted));
        BenchReportInteger(ReportPath, "first_paint_unix_ns", BenchUnixNs(painted));
        ExitProcess(0);
    }
    return result;
}

int MeasureFirstPaint(const std::string& arguments)
{
    BenchReport(ReportPath, "main_since_creation_ms", SinceCreationMs(BenchWallClock()));
    WatchCreatedWindows(FirstPaintProc, nullptr);
    if (!StartTimerHere(arguments.c_str())) return 1;
    BenchReport(ReportPath, "window_open_since_creation_ms", SinceCreationMs(BenchWallClock()));
    RunMessageLoop();
    return 1; // the first paint ends the process
}

// ---- what a running count costs, seen from inside

volatile LONG TimerPaints;
volatile LONG TimerPaintMicroseconds;
volatile LONG ButtonPaints;
volatile LONG SameTextPaints;
char LastPaintedText[sizeof DisplayText];
// How late each new text came after its boundary, as its paint found it (window thread only).
uint32_t TextLate[8192];
LONG TextLateCount;
HANDLE GuiThread;
DWORD SettleMs;
DWORD MeasuredMs;

LRESULT CALLBACK CountedTimerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return CallWindowProcA(TimerWindowProc, window, message, wParam, lParam);
    {
        // The text this paint is about to draw, against the one the paint before drew.
        CountLockGuard lock;
        if (std::strcmp(DisplayText, LastPaintedText) == 0)
            InterlockedIncrement(&SameTextPaints);
        else if (TextLateCount < static_cast<LONG>(sizeof TextLate / sizeof TextLate[0]))
            TextLate[TextLateCount++] = TextLateness;
        std::memcpy(LastPaintedText, DisplayText, sizeof LastPaintedText);
    }
    const double start = BenchNowMs();
    const LRESULT result = CallWindowProcA(TimerWindowProc, window, message, wParam, lParam);
    InterlockedExchangeAdd(&TimerPaintMicroseconds,
                           static_cast<LONG>((BenchNowMs() - start) * 1000.0));
    InterlockedIncrement(&TimerPaints);
    return result;
}

LRESULT CALLBACK CountedButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) InterlockedIncrement(&ButtonPaints);
    return CallWindowProcA(ButtonProc, window, message, wParam, lParam);
}

uint64_t ThreadCpu100ns(HANDLE thread)
{
    FILETIME creation, exited, kernel, user;
    if (!GetThreadTimes(thread, &creation, &exited, &kernel, &user)) return 0;
    return ((static_cast<uint64_t>(kernel.dwHighDateTime) << 32) | kernel.dwLowDateTime) +
           ((static_cast<uint64_t>(user.dwHighDateTime) << 32) | user.dwLowDateTime);
}

uint64_t ProcessCpu100ns()
{
    FILETIME creation, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exited, &kernel, &user)) return 0;
    return ((static_cast<uint64_t>(kernel.dwHighDateTime) << 32) | kernel.dwLowDateTime) +
           ((static_cast<uint64_t>(user.dwHighDateTime) << 32) | user.dwLowDateTime);
}

uint32_t CountingPassesNow()
{
    CountLockGuard lock;
    return CountingPasses;
}

// Watches from a thread of its own, so the window's thread runs exactly as in the program.
DWORD WINAPI CountWatcher(LPVOID)
{
    Sleep(SettleMs);
    const LONG paints = TimerPaints, micros = TimerPaintMicroseconds, buttons = ButtonPaints,
               same = SameTextPaints;
    const uint32_t passes = CountingPassesNow();
    const uint64_t gui = ThreadCpu100ns(GuiThread), all = ProcessCpu100ns();
    const LONG lateFrom = TextLateCount;
    const double start = BenchNowMs();
    Sleep(MeasuredMs);
    const double seconds = (BenchNowMs() - start) / 1000.0;
    const LONG paintCount = TimerPaints - paints;
    BenchReport(ReportPath, "count_passes_per_s", (CountingPassesNow() - passes) / seconds);
    BenchReport(ReportPath, "count_paints_per_s", paintCount / seconds);
    BenchReport(ReportPath, "count_ms_per_paint",
                paintCount > 0 ? (TimerPaintMicroseconds - micros) / 1000.0 / paintCount : 0.0);
    BenchReport(ReportPath, "count_same_text_paints_per_s", (SameTextPaints - same) / seconds);
    BenchReport(ReportPath, "count_button_paints_per_s", (ButtonPaints - buttons) / seconds);
    BenchReport(ReportPath, "count_gui_thread_cpu_pct",
                static_cast<double>(ThreadCpu100ns(GuiThread) - gui) / 100000.0 / seconds);
    BenchReport(ReportPath, "count_process_cpu_pct",
                static_cast<double>(ProcessCpu100ns() - all) / 100000.0 / seconds);
    // The lateness of the texts painted in the interval: median and most.
    const LONG lateTo = TextLateCount;
    if (lateTo > lateFrom)
    {
        std::sort(TextLate + lateFrom, TextLate + lateTo);
        BenchReport(ReportPath, "count_text_late_median_ms", TextLate[(lateFrom + lateTo) / 2]);
        BenchReport(ReportPath, "count_text_late_max_ms", TextLate[lateTo - 1]);
    }
    ExitProcess(0);
}

int MeasureCount(const std::string& arguments)
{
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &GuiThread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    WatchCreatedWindows(CountedTimerProc, CountedButtonProc);
    if (!StartTimerHere(arguments.c_str())) return 1;
    DWORD id;
    CloseHandle(CreateThread(nullptr, 0, CountWatcher, nullptr, 0, &id));
    RunMessageLoop();
    return 1; // the watcher ends the process
}

// ---- how late the time-up comes

// `runs` countdowns of 1.0 to 1.9 s on the real window and counting thread, each acknowledged
// before the next; the lateness of each time-up as the counting thread measured it.
int MeasureTimeUps(int runs)
{
    if (!StartTimerHere("") || runs <= 0 || runs > 64) return 1;
    uint32_t late[64];
    for (int i = 0; i < runs; ++i)
    {
        {
            CountLockGuard lock;
            Settings.CountDirection = 1;
            Settings.ShowTimeUpWindow = 0;
            Settings.FlashDisplay = 0;
            Settings.RepeatSound = 0;
            Settings.AlarmAction = 0;
            LoadSetTime(1000 + static_cast<uint32_t>(i) * 97 % 900);
            ZeroCount();
        }
        SendMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0);
        for (;;)
        {
            PumpFor(5);
            CountLockGuard lock;
            if (Count.TimeIsUp != 0) break;
        }
        {
            CountLockGuard lock;
            late[i] = TimeUpLateness;
        }
        SendMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0); // acknowledged
        PumpFor(50);
    }
    std::sort(late, late + runs);
    BenchReport(ReportPath, "timeup_late_median_ms", late[runs / 2]);
    BenchReport(ReportPath, "timeup_late_max_ms", late[runs - 1]);
    return 0;
}

} // namespace

bool StartTimerHere(const char* arguments)
{
    char folder[MAX_PATH];
    BenchOwnFolder(folder);
    PinFolders(folder, folder);
    const std::string line = std::string("\"") + folder + "Mivo.exe\"" + arguments;
    return StartMivo(line.c_str());
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT) ProcessLoopMessage(msg);
}

void PumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do
    {
        PumpPending();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

int main(int argc, char** argv)
{
    const std::string mode = argc >= 2 ? argv[1] : "";
    if (mode == "settings" && argc >= 7)
        return WriteSettings(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                             std::atoi(argv[6]), argc >= 8 ? std::atoi(argv[7]) : 0,
                             argc >= 9 ? std::atoi(argv[8]) : -1);
    if (argc < 3) return 2;
    ReportPath = argv[2];
    if (mode == "first-paint") return MeasureFirstPaint(JoinArguments(argc, argv, 3));
    if (mode == "count" && argc >= 5)
    {
        SettleMs = static_cast<DWORD>(std::atoi(argv[3]));
        MeasuredMs = static_cast<DWORD>(std::atoi(argv[4]));
        return MeasureCount(JoinArguments(argc, argv, 5));
    }
    if (mode == "alarm") return MeasureAlarm(ReportPath);
    if (mode == "timeup" && argc >= 4) return MeasureTimeUps(std::atoi(argv[3]));
    if (mode == "paint" && argc >= 5)
        return MeasurePaints(ReportPath, std::atoi(argv[3]), std::atof(argv[4]));
    return 2;
}
