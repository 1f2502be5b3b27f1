#include "bench/win/bench_report_win.h"

#include <cstdio>
#include <cstring>

namespace
{

using PreciseTimeProc = void(WINAPI*)(LPFILETIME);

uint64_t FromFiletime(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void AppendLine(const char* path, const char* line)
{
    const HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(file);
}

} // namespace

double BenchNowMs()
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

uint64_t BenchWallClock()
{
    // Looked up at run time: the headers for the Windows 7 target do not declare it, and the
    // coarse call would put a whole scheduler tick of error into a start-up figure.
    static PreciseTimeProc precise = [] {
        const FARPROC found =
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime");
        return reinterpret_cast<PreciseTimeProc>(reinterpret_cast<void (*)()>(found));
    }();
    FILETIME now;
    if (precise != nullptr)
        precise(&now);
    else
        GetSystemTimeAsFileTime(&now);
    return FromFiletime(now);
}

uint64_t BenchProcessCreation()
{
    FILETIME creation, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exited, &kernel, &user)) return 0;
    return FromFiletime(creation);
}

uint64_t BenchUnixNs(uint64_t wallClock)
{
    constexpr uint64_t UnixEpochIn1601 = 116444736000000000ull;
    return (wallClock - UnixEpochIn1601) * 100;
}

void BenchReport(const char* path, const char* name, double value)
{
    char line[256];
    std::snprintf(line, sizeof line, "%s %.4f\n", name, value);
    AppendLine(path, line);
}

void BenchReportInteger(const char* path, const char* name, uint64_t value)
{
    char line[256];
    std::snprintf(line, sizeof line, "%s %llu\n", name, static_cast<unsigned long long>(value));
    AppendLine(path, line);
}

void BenchOwnFolder(char (&folder)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
    {
        folder[0] = 0;
        return;
    }
    char* cut = std::strrchr(folder, '\\');
    if (cut != nullptr) cut[1] = 0;
}
