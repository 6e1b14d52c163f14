#include "BenchGrid.h"
#include "BenchRegistration.h"
#include "BlockCost.h"
#include "ProcessorRig.h"

namespace
{
void processBlockCase (benchmark::State& state, BenchCase benchCase)
{
    ProcessorRig rig (benchCase);
    rig.runFor (BenchGrid::warmUpSeconds);

    const auto hostBlock = [&]
    {
        rig.prepareNextBlock();
        rig.processBlock();
    };

    const double nanosecondsPerBlock = BlockCost::timeBlocks (state, hostBlock);
    BlockCost::reportCost (state, benchCase, nanosecondsPerBlock);
    BlockCost::reportRatioToReverb (state, benchCase, nanosecondsPerBlock);
}
} // namespace

void registerProcessBlockBenchmarks()
{
    constexpr MacroSetting settings[] {
        MacroSetting::defaults, MacroSetting::allZero, MacroSetting::allFull, MacroSetting::automated
    };

    for (const double rate : BenchGrid::sampleRates)
        for (const int channels : BenchGrid::channelCounts)
            for (const int block : BenchGrid::blockSizes)
                for (const auto setting : settings)
                {
                    const BenchCase benchCase { rate, channels, block, setting };
                    const auto name = "processBlock/" + benchCase.shapeName() + "/" + benchCase.settingName();
                    benchmark::RegisterBenchmark (name.c_str(), processBlockCase, benchCase)
                        ->Unit (benchmark::kMicrosecond);
                }
}
