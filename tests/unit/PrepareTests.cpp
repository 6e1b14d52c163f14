#include "EngineHarness.h"

#include <gtest/gtest.h>

using namespace EngineHarness;

namespace
{
struct RateCase
{
    double sampleRate;
    int latency;
    int rampSteps;
};

// Latency is round(0.003 × rate) in float; the smoothers ramp over floor(0.05 × rate) samples.
constexpr RateCase rateCases[] = {
    { 44100.0, 132, 2205 },  { 48000.0, 144, 2400 },  { 88200.0, 265, 4410 }, { 96000.0, 288, 4800 },
    { 176400.0, 529, 8820 }, { 192000.0, 576, 9600 }, { 22050.0, 66, 1102 },
};

// Index of the first sample at which the SPACE lane reaches 1 after SPACE moves from 40 to 100.
int samplesUntilSpaceReachesFull (VeldranoxAudioProcessor& processor, int blockSize, int limit)
{
    setMacro (processor, ParameterIDs::space, 100.0f);
    juce::AudioBuffer<float> block (2, blockSize);

    for (int start = 0; start < limit; start += blockSize)
    {
        block.clear();
        processBlock (processor, block);

        for (int i = 0; i < blockSize; ++i)
            if (EngineProbe::lane (processor, macroSpace, i) == 1.0f)
                return start + i;
    }

    return -1;
}
} // namespace

TEST (Prepare, LatencyAndRampLengthFollowTheSampleRate)
{
    for (const auto& c : rateCases)
    {
        SCOPED_TRACE (c.sampleRate);
        auto processor = makePrepared (c.sampleRate, 512);

        EXPECT_EQ (processor->getLatencySamples(), c.latency);
        EXPECT_EQ (EngineProbe::lookaheadSamples (*processor), c.latency);
        EXPECT_EQ (samplesUntilSpaceReachesFull (*processor, 512, 12000), c.rampSteps - 1);
    }
}

TEST (Prepare, ReportsAnUnchangedLatencyOnlyOnce)
{
    VeldranoxAudioProcessor processor;
    LatencyListener listener;
    processor.addListener (&listener);

    processor.prepareToPlay (44100.0, 512);
    processor.prepareToPlay (44100.0, 512);
    EXPECT_EQ (listener.latencyNotifications, 1);

    processor.prepareToPlay (48000.0, 512);
    EXPECT_EQ (listener.latencyNotifications, 2);
    EXPECT_EQ (processor.getLatencySamples(), 144);

    processor.removeListener (&listener);
}

TEST (Prepare, LanesStartAtTheControlValuesWithoutARamp)
{
    const MacroSettings first { 70.0f, 30.0f, 55.0f, 80.0f };
    const MacroSettings second { 10.0f, 90.0f, 0.0f, 100.0f };
    auto processor = makePrepared (48000.0, 256, first);

    const auto expectConstantLanes = [&] (const MacroSettings& m)
    {
        auto block = noise (2, 256);
        processBlock (*processor, block);

        for (int i = 0; i < 256; ++i)
            for (std::size_t k = 0; k < numMacros; ++k)
                ASSERT_EQ (EngineProbe::lane (*processor, (int) k, i), m[k] * 0.01f) << macroTable[k].id << " at " << i;
    };

    expectConstantLanes (first);

    // A second preparation jumps to the controls as they are now, again without a ramp.
    setMacros (*processor, second);
    processor->prepareToPlay (48000.0, 256);
    expectConstantLanes (second);
}

TEST (Prepare, SizesTheWorkBuffersForTheLayoutAndBlockSize)
{
    struct Case
    {
        bool mono;
        int blockSize;
        int audioChannels;
    };

    for (const auto& c : { Case { false, 256, 2 }, Case { true, 256, 1 }, Case { false, 0, 2 } })
    {
        SCOPED_TRACE (testing::Message() << "mono " << c.mono << ", block " << c.blockSize);
        auto processor = makePrepared (44100.0, c.blockSize, {}, c.mono);

        for (const auto* audio : { &EngineProbe::dryBuffer (*processor),
                                   &EngineProbe::delayBuffer (*processor),
                                   &EngineProbe::reverbBuffer (*processor) })
        {
            EXPECT_EQ (audio->getNumChannels(), c.audioChannels);
            EXPECT_EQ (audio->getNumSamples(), c.blockSize);
        }

        // One lane per macro, then the dry and the wet gain.
        EXPECT_EQ (EngineProbe::controlBuffer (*processor).getNumChannels(), (int) numMacros + 2);
        EXPECT_EQ (EngineProbe::controlBuffer (*processor).getNumSamples(), c.blockSize);
        EXPECT_EQ (EngineProbe::duckGainBuffer (*processor).getNumChannels(), 1);
        EXPECT_EQ (EngineProbe::duckGainBuffer (*processor).getNumSamples(), c.blockSize);

        // Even a block size of 0 leaves the engine able to process real blocks later.
        auto block = noise (c.audioChannels, 64);
        processBlock (*processor, block);
        EXPECT_EQ (EngineProbe::dryBuffer (*processor).getNumSamples(), 64);
    }
}

TEST (Prepare, RepeatedPreparationRestartsEverySignalState)
{
    // Every stage holds state at these settings: ducking, delay with modulation, leveller and reducer.
    const MacroSettings busy { 90.0f, 80.0f, 70.0f, 90.0f };

    auto used = makePrepared (44100.0, 512, busy);
    auto history = noise (2, 44100, 0.8f, 1);
    processInBlocks (*used, history, 512);
    used->prepareToPlay (48000.0, 512);

    // The reference has seen one silent block, so that the reverb's gains glide from the same settings.
    auto reference = makePrepared (48000.0, 512, busy);
    juce::AudioBuffer<float> silent (2, 512);
    silent.clear();
    processBlock (*reference, silent);
    reference->prepareToPlay (48000.0, 512);

    auto fromUsed = noise (2, 24000, 0.5f, 2);
    auto fromReference = noise (2, 24000, 0.5f, 2);
    processInBlocks (*used, fromUsed, 512);
    processInBlocks (*reference, fromReference, 512);

    EXPECT_TRUE (bitIdentical (fromUsed, fromReference));
}

// A host that changes the layout without preparing again: every per-channel stage already has state for
// both channels, so the blocks come out as from an instance prepared in the new layout.
TEST (Prepare, ALayoutChangedAfterPreparationProcessesAsIfPreparedForIt)
{
    for (const bool preparedMono : { true, false })
    {
        SCOPED_TRACE (preparedMono ? "prepared mono, processed stereo" : "prepared stereo, processed mono");
        const bool processedMono = ! preparedMono;
        const int channels = processedMono ? 1 : 2;
        const MacroSettings busy { 90.0f, 80.0f, 70.0f, 90.0f };

        auto changed = makePrepared (48000.0, 512, busy, preparedMono);
        VeldranoxAudioProcessor::BusesLayout layout;
        layout.inputBuses.add (processedMono ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo());
        layout.outputBuses.add (layout.inputBuses.getReference (0));
        ASSERT_TRUE (changed->setBusesLayout (layout));

        auto reference = makePrepared (48000.0, 512, busy, processedMono);

        auto fromChanged = noise (channels, 48000, 0.5f, 3);
        auto fromReference = fromChanged;
        processInBlocks (*changed, fromChanged, 512);
        processInBlocks (*reference, fromReference, 512);

        EXPECT_TRUE (bitIdentical (fromChanged, fromReference));
    }
}
