#include "BenchGrid.h"
#include "BenchRegistration.h"
#include "BlockCost.h"
#include "MacroSweep.h"
#include "NoiseSource.h"
#include "engine/Engine.h"
#include "engine/MacroTable.h"

#include <cmath>

namespace
{
// The engine driven directly, as the tests drive it, with the controls the processor would hand it; the
// difference from processBlock is the plug-in shell's share (parameters, tempo, bypass).
class EngineRig
{
public:
    explicit EngineRig (const BenchCase& c)
        : benchCase (c), sweep (c.blockSeconds()), input (c.numChannels, c.blockSize, NoiseSource::typicalPeak)
    {
        engine.prepare (
            { c.sampleRate, static_cast<juce::uint32> (c.blockSize), static_cast<juce::uint32> (c.numChannels) });
        targets = c.setting == MacroSetting::automated ? toTargets (sweep.next()) : fixedTargets();
        engine.jumpTo (targets);
    }

    void prepareNextBlock()
    {
        input.refill();

        if (benchCase.setting == MacroSetting::automated)
            targets = toTargets (sweep.next());
    }

    void processBlock()
    {
        auto& block = input.buffer();
        engine.process (block.getArrayOfWritePointers(),
                        block.getNumChannels(),
                        block.getNumSamples(),
                        targets,
                        Engine::defaultBpm);
    }

    void runFor (double seconds)
    {
        const auto blocks = static_cast<long> (std::ceil (seconds / benchCase.blockSeconds()));

        for (long b = 0; b < blocks; ++b)
        {
            prepareNextBlock();
            processBlock();
        }
    }

private:
    // The host's normalised values in the engine's units, snapped to the parameters' 0.1 grid.
    static MacroTargets toTargets (const MacroSweep::Values& normalised)
    {
        MacroTargets t {};

        for (size_t k = 0; k < t.size(); ++k)
            t[k] = std::round (normalised[k] * MacroRange::maximum / MacroRange::interval) * MacroRange::interval *
                   MacroRange::toEngine;

        return t;
    }

    MacroTargets fixedTargets() const
    {
        MacroTargets t {};

        for (size_t k = 0; k < t.size(); ++k)
            t[k] = benchCase.setting == MacroSetting::allZero   ? 0.0f
                   : benchCase.setting == MacroSetting::allFull ? MacroRange::maximum * MacroRange::toEngine
                                                                : macroTable[k].defaultValue * MacroRange::toEngine;
        return t;
    }

    BenchCase benchCase;
    Engine engine;
    MacroSweep sweep;
    NoiseSource input;
    MacroTargets targets {};
};

void engineCase (benchmark::State& state, BenchCase benchCase)
{
    EngineRig rig (benchCase);
    rig.runFor (BenchGrid::warmUpSeconds);

    const auto block = [&]
    {
        rig.prepareNextBlock();
        rig.processBlock();
    };

    const double nanosecondsPerBlock = BlockCost::timeBlocks (state, block);
    BlockCost::reportCost (state, benchCase, nanosecondsPerBlock);
    BlockCost::reportRatioToReverb (state, benchCase, nanosecondsPerBlock);
}
} // namespace

void registerEngineBenchmarks()
{
    constexpr MacroSetting settings[] { MacroSetting::defaults, MacroSetting::automated };

    for (const double rate : BenchGrid::sampleRates)
        for (const int channels : BenchGrid::channelCounts)
            for (const int block : BenchGrid::blockSizes)
                for (const auto setting : settings)
                {
                    const BenchCase benchCase { rate, channels, block, setting };
                    const auto name = "engine/" + benchCase.shapeName() + "/" + benchCase.settingName();
                    benchmark::RegisterBenchmark (name.c_str(), engineCase, benchCase)->Unit (benchmark::kMicrosecond);
                }
}
