#include "BenchGrid.h"
#include "BenchRegistration.h"
#include "BlockTimeStats.h"
#include "BlockTimer.h"
#include "ProcessorRig.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace
{
// Ten minutes of audio: enough blocks for a 99th percentile and a maximum worth reading.
constexpr double longRunSeconds = 600.0;

// Every block of the long run is one iteration; the reported time is the mean wall time per block.
// Percentiles are of wall time unless named cpu_.
void blockTimes (benchmark::State& state, BenchCase benchCase)
{
    ProcessorRig rig (benchCase);
    rig.runFor (BenchGrid::warmUpSeconds);

    std::vector<double> wallMicros, cpuMicros;
    wallMicros.reserve (static_cast<std::size_t> (state.max_iterations));
    cpuMicros.reserve (static_cast<std::size_t> (state.max_iterations));

    for (auto _ : state)
    {
        const auto time = BlockTimer::timeOneBlock (rig);
        wallMicros.push_back (time.wallMicros);
        cpuMicros.push_back (time.cpuMicros);
        state.SetIterationTime (time.wallMicros * 1.0e-6);
    }

    const BlockTimeStats wall (std::move (wallMicros));
    const BlockTimeStats cpu (std::move (cpuMicros));
    state.counters["p50_us"] = wall.median();
    state.counters["p99_us"] = wall.quantile (0.99);
    state.counters["p999_us"] = wall.quantile (0.999);
    state.counters["max_us"] = wall.maximum();
    state.counters["cpu_p99_us"] = cpu.quantile (0.99);
    state.counters["cpu_max_us"] = cpu.maximum();
    state.counters["budget_us"] = benchCase.blockSeconds() * 1.0e6;
}
} // namespace

void registerBlockTimeBenchmarks()
{
    constexpr MacroSetting settings[] {
        MacroSetting::defaults, MacroSetting::allZero, MacroSetting::allFull, MacroSetting::automated
    };

    for (const auto setting : settings)
    {
        const BenchCase benchCase { 48000.0, 2, 128, setting };
        const auto blocks =
            static_cast<benchmark::IterationCount> (std::ceil (longRunSeconds / benchCase.blockSeconds()));
        const auto name = "blockTimes/" + benchCase.shapeName() + "/" + benchCase.settingName();

        benchmark::RegisterBenchmark (name.c_str(), blockTimes, benchCase)
            ->Iterations (blocks)
            ->UseManualTime()
            ->Unit (benchmark::kMicrosecond);
    }
}
