#pragma once

#include "CpuStopwatch.h"
#include "ProcessorRig.h"

#include <chrono>
#include <vector>

// Times single blocks, with only the work of the block inside the clocks. Wall time says whether a
// block is late, whatever kept it from the core; the thread's CPU time says how much of that was the
// work itself, and so tells a slow block from one that another process held up.
namespace BlockTimer
{
struct BlockTime
{
    double wallMicros;
    double cpuMicros;
};

template <typename Work>
BlockTime timeOne (Work&& work)
{
    const CpuStopwatch cpu;
    const auto wallStart = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::micro> wall = std::chrono::steady_clock::now() - wallStart;
    return { wall.count(), cpu.elapsedNanoseconds() * 1.0e-3 };
}

// The host's share of the block outside the clocks, the plug-in's inside.
inline BlockTime timeOneBlock (ProcessorRig& rig)
{
    rig.prepareNextBlock();
    return timeOne ([&] { rig.processBlock(); });
}

// Wall times of a run of blocks, in microseconds.
inline std::vector<double> wallTimesOf (ProcessorRig& rig, long numBlocks)
{
    std::vector<double> micros;
    micros.reserve (static_cast<std::size_t> (numBlocks));

    for (long b = 0; b < numBlocks; ++b)
        micros.push_back (timeOneBlock (rig).wallMicros);

    return micros;
}
} // namespace BlockTimer
