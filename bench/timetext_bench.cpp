// The time text against a formatter built on snprintf that writes the same texts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "data/settings.h"
#include "display/timetext.h"

namespace
{

// The same layout rules, the fields put together by one snprintf call.
void SnprintfCountText(uint32_t count, char* dest, size_t size)
{
    const uint32_t daysMode = Settings.DaysMode;
    const uint32_t secondsMode = Settings.SecondsMode;
    uint32_t days = 0;
    if (daysMode == 2 || (daysMode == 1 && count > 172800000u)) days = count / 86400000u;
    uint32_t rest = count - days * 86400000u;
    const uint32_t hours = rest / 3600000u;
    rest -= hours * 3600000u;
    const uint32_t minutes = rest / 60000u;
    rest -= minutes * 60000u;
    const uint32_t seconds = rest / 1000u;
    const uint32_t ms = rest - seconds * 1000u;

    // The first field written: 0 days, 1 hours, 2 minutes, 3 seconds.
    const int first = days != 0 ? 0 : hours != 0 ? 1 : minutes != 0 ? 2 : 3;
    // 0 no seconds, 1 seconds, 2 seconds and a fraction.
    int tail = secondsMode >= 1 || first == 3 ? 1 : 0;
    const int digits = secondsMode >= 2 && secondsMode <= 4 ? static_cast<int>(secondsMode) - 1 : 0;
    if (tail == 1 && digits != 0) tail = 2;
    const uint32_t fraction = digits == 1 ? ms / 100 : digits == 2 ? ms / 10 : ms;

    static const char* const Formats[4][3] = {
        {"%u:%02u:%02u", "%u:%02u:%02u:%02u", "%u:%02u:%02u:%02u.%0*u"},
        {"%u:%02u", "%u:%02u:%02u", "%u:%02u:%02u.%0*u"},
        {"%02u", "%02u:%02u", "%02u:%02u.%0*u"},
        {"", "%u", "%u.%0*u"},
    };
    const char* format = Formats[first][tail];
    switch (first)
    {
    case 0:
        std::snprintf(dest, size, format, days, hours, minutes, seconds, digits, fraction);
        break;
    case 1: std::snprintf(dest, size, format, hours, minutes, seconds, digits, fraction); break;
    case 2: std::snprintf(dest, size, format, minutes, seconds, digits, fraction); break;
    default: std::snprintf(dest, size, format, seconds, digits, fraction); break;
    }
}

// Counts of every length, from fractions of a second to 49 days.
std::vector<uint32_t> SampleCounts()
{
    std::vector<uint32_t> counts;
    uint32_t seed = 1;
    for (int i = 0; i < 1024; ++i)
    {
        seed = seed * 1103515245u + 12345u;
        const uint32_t limits[] = {60000u, 3600000u, 86400000u, 4294967295u};
        counts.push_back(seed % limits[i % 4]);
    }
    return counts;
}

// Both formatters must agree before their speed means anything.
bool SameTexts(const std::vector<uint32_t>& counts)
{
    for (uint32_t days = 0; days < 3; ++days)
        for (uint32_t seconds = 0; seconds < 5; ++seconds)
        {
            Settings.DaysMode = days;
            Settings.SecondsMode = seconds;
            for (const uint32_t count : counts)
            {
                char ours[64], theirs[64];
                FormatCountText(count, ours);
                SnprintfCountText(count, theirs, sizeof theirs);
                if (std::strcmp(ours, theirs) != 0) return false;
            }
        }
    return true;
}

void PrepareSettings(benchmark::State& state, const std::vector<uint32_t>& counts)
{
    if (!SameTexts(counts)) state.SkipWithError("the formatters disagree");
    Settings.DaysMode = 1;
    Settings.SecondsMode = static_cast<uint32_t>(state.range(0));
}

void BM_FormatCountText(benchmark::State& state)
{
    const std::vector<uint32_t> counts = SampleCounts();
    PrepareSettings(state, counts);
    size_t i = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(FormatCountText(counts[i++ & 1023], DisplayText));
        benchmark::ClobberMemory();
    }
}

void BM_SnprintfCountText(benchmark::State& state)
{
    const std::vector<uint32_t> counts = SampleCounts();
    PrepareSettings(state, counts);
    char text[64];
    size_t i = 0;
    for (auto _ : state)
    {
        SnprintfCountText(counts[i++ & 1023], text, sizeof text);
        benchmark::DoNotOptimize(text);
        benchmark::ClobberMemory();
    }
}

double Least(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

double Most(const std::vector<double>& v)
{
    return *std::max_element(v.begin(), v.end());
}

// Seconds, Deci-Seconds (the default) and Milli-Seconds; with repetitions, each reports its
// least and most beside the median.
BENCHMARK(BM_FormatCountText)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->ComputeStatistics("min", Least)
    ->ComputeStatistics("max", Most);
BENCHMARK(BM_SnprintfCountText)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->ComputeStatistics("min", Least)
    ->ComputeStatistics("max", Most);

} // namespace
