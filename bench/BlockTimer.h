#pragma once

#include "CpuStopwatch.h"
#include "ProcessorRig.h"

#include <chrono>
#include <vector>

// Times single blocks, with only the plug-in's processBlock inside the clocks. Wall time says whether a
// block is late, whatever kept it from the core; the thread's CPU time says how much of that was the
// plug-in's own work, and so tells a slow block from one that another process held up.
namespace BlockTimer
{
struct BlockTime
{
    double wallMicros;
    double cpuMicros;
};

inline BlockTime timeOneBlock (ProcessorRig& rig)
{
    rig.prepareNextBlock();
    const CpuStopwatch cpu;
    const auto wallStart = std::chrono::steady_clock::now();
    rig.processBlock();
    const std::chrono::duration<double, std::micro> wall = std::chrono::steady_clock::now() - wallStart;
    return { wall.count(), cpu.elapsedNanoseconds() * 1.0e-3 };
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
