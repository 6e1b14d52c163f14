#include "BenchGrid.h"
#include "BenchRegistration.h"
#include "BlockCost.h"
#include "NoiseSource.h"
#include "ReverbFloor.h"

#include <cmath>

namespace
{
// JUCE's reverb alone, in place on the same noise block the processor gets.
void reverbAlone (benchmark::State& state, BenchCase shape)
{
    ReverbFloor reverb (shape);
    NoiseSource input (shape.numChannels, shape.blockSize, NoiseSource::typicalPeak);

    const auto processOne = [&]
    {
        input.refill();
        reverb.process (input.buffer());
    };

    const auto warmUpBlocks = static_cast<int> (std::ceil (BenchGrid::warmUpSeconds / shape.blockSeconds()));
    for (int b = 0; b < warmUpBlocks; ++b)
        processOne();

    const double nanosecondsPerBlock = BlockCost::timeBlocks (state, processOne);
    ReverbFloorTimes::record (shape, nanosecondsPerBlock);
    BlockCost::reportCost (state, shape, nanosecondsPerBlock);
}

// The input copy every case makes before each block: the least any block can cost.
void plainCopy (benchmark::State& state, int numChannels, int blockSize)
{
    NoiseSource input (numChannels, blockSize, NoiseSource::typicalPeak);
    const double nanosecondsPerBlock = BlockCost::timeBlocks (state, [&] { input.refill(); });
    state.counters["ns_per_frame"] = nanosecondsPerBlock / blockSize;
}
} // namespace

void registerFloorBenchmarks()
{
    for (const double rate : BenchGrid::sampleRates)
        for (const int channels : BenchGrid::channelCounts)
            for (const int block : BenchGrid::blockSizes)
            {
                const BenchCase shape { rate, channels, block };
                benchmark::RegisterBenchmark (("floor/reverb/" + shape.shapeName()).c_str(), reverbAlone, shape)
                    ->Unit (benchmark::kMicrosecond);
            }

    for (const int channels : BenchGrid::channelCounts)
        for (const int block : BenchGrid::blockSizes)
        {
            const auto name =
                std::string ("floor/copy/") + (channels == 1 ? "mono/" : "stereo/") + std::to_string (block);
            benchmark::RegisterBenchmark (name.c_str(), plainCopy, channels, block)->Unit (benchmark::kMicrosecond);
        }
}
