#pragma once

#include "BenchCase.h"
#include "CpuStopwatch.h"
#include "ReverbFloorTimes.h"

#include <benchmark/benchmark.h>

namespace BlockCost
{
// Runs the benchmark loop with one block of work per iteration; returns the CPU time per block.
template <typename Work>
double timeBlocks (benchmark::State& state, Work&& work)
{
    const CpuStopwatch stopwatch;

    for (auto _ : state)
    {
        work();
        benchmark::ClobberMemory();
    }

    return stopwatch.elapsedNanoseconds() / static_cast<double> (state.iterations());
}

// Cost per sample frame and how many times faster than real time.
inline void reportCost (benchmark::State& state, const BenchCase& shape, double nanosecondsPerBlock)
{
    state.counters["ns_per_frame"] = nanosecondsPerBlock / shape.blockSize;
    state.counters["x_realtime"] = shape.blockSeconds() * 1.0e9 / nanosecondsPerBlock;
}

// The ratio to the reverb alone on the same block shape, when that floor ran earlier in this run.
inline void reportRatioToReverb (benchmark::State& state, const BenchCase& shape, double nanosecondsPerBlock)
{
    if (const auto reverbAlone = ReverbFloorTimes::find (shape))
        state.counters["x_reverb"] = nanosecondsPerBlock / *reverbAlone;
}
} // namespace BlockCost
