// One pass of the counting thread, without its sleep.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "app/appstate.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"
#include "display/timetext.h"

namespace
{

// A running countdown of 49 days (the longest text), at the default 50 ms steps; argument 1
// has the window minimised, so the title is taken as well.
void BM_CountingPass(benchmark::State& state)
{
    Settings = SettingsRecord{};
    ApplyDefaultFields(Settings, "Time is up!", "");
    Count = CountState{};
    Settings.CountDirection = 1;
    WindowState = state.range(0) != 0 ? WindowMinimised : WindowNormal;
    LoadSetTime(4294967000u);
    uint32_t tick = 1000;
    StartCount(tick);
    CountingThreadState thread{};
    BeginCounting(thread);
    for (auto _ : state)
    {
        tick += 50;
        benchmark::DoNotOptimize(CountingPass(tick, thread));
        ChangeCount = 0;
    }
    if (Count.Running == 0) state.SkipWithError("the count ended during the run");
}

BENCHMARK(BM_CountingPass)
    ->Arg(0)
    ->Arg(1)
    ->ComputeStatistics("min",
                        [](const std::vector<double>& v) {
                            return *std::min_element(v.begin(), v.end());
                        })
    ->ComputeStatistics("max", [](const std::vector<double>& v) {
        return *std::max_element(v.begin(), v.end());
    });

} // namespace
