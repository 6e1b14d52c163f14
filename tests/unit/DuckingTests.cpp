#include "EngineHarness.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace EngineHarness;

namespace
{
// Runs a signal through the processor and returns the ducking gain of every sample.
std::vector<float> duckGains (VeldranoxAudioProcessor& processor, juce::AudioBuffer<float> signal, int blockSize)
{
    std::vector<float> gains;
    processInBlocks (processor,
                     signal,
                     blockSize,
                     [&] (int start)
                     {
                         const int length = juce::jmin (blockSize, signal.getNumSamples() - start);
                         for (int i = 0; i < length; ++i)
                             gains.push_back (EngineProbe::duckGain (processor, i));
                     });
    return gains;
}

MacroSettings withMelt (float melt)
{
    MacroSettings macros;
    macros[macroMelt] = melt;
    return macros;
}
} // namespace

TEST (Ducking, SteadyLevelsFollowTheGainLaw)
{
    struct Case
    {
        float levelDb, melt, reductionDb;
        bool mono;
    };

    // 0.9 dB of reduction per dB above -32 dBFS, at most 28 dB, scaled by MELT.
    constexpr Case cases[] = {
        { -20.0f, 100.0f, 10.8f, false }, { -10.0f, 100.0f, 19.8f, false }, { 0.0f, 100.0f, 28.0f, false },
        { -20.0f, 50.0f, 5.4f, false },   { -10.0f, 50.0f, 9.9f, false },   { 0.0f, 50.0f, 14.0f, false },
        { -10.0f, 100.0f, 19.8f, true },  { -32.5f, 100.0f, 0.0f, false },  { -40.0f, 100.0f, 0.0f, false },
        { -40.0f, 25.0f, 0.0f, false },   { -40.0f, 50.0f, 0.0f, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.levelDb << " dBFS, MELT " << c.melt << (c.mono ? ", mono" : ""));
        auto processor = makePrepared (44100.0, 512, withMelt (c.melt), c.mono);
        const float level = juce::Decibels::decibelsToGain (c.levelDb);
        const auto gains = duckGains (*processor, constant (c.mono ? 1 : 2, 13230, level), 512);

        if (c.reductionDb == 0.0f)
        {
            for (size_t i = 0; i < gains.size(); ++i)
                ASSERT_EQ (gains[i], 1.0f) << i;
        }
        else
        {
            EXPECT_NEAR (gains.back(), juce::Decibels::decibelsToGain (-c.reductionDb), 1.0e-4f);
        }
    }
}

TEST (Ducking, EnvelopeReleasesWithA140MillisecondTimeConstant)
{
    constexpr int blockSize = 441;
    auto processor = makePrepared (44100.0, blockSize);

    auto loud = constant (2, 20 * blockSize, 1.0f);
    processInBlocks (*processor, loud, blockSize);
    const float held = EngineProbe::duckEnvelope (*processor);
    ASSERT_NEAR (held, 1.0f, 1.0e-4f);

    auto silence = constant (2, 6174, 0.0f); // 0.14 s
    processInBlocks (*processor, silence, blockSize);
    EXPECT_NEAR (EngineProbe::duckEnvelope (*processor), held * std::exp (-1.0f), 0.002f);
}

TEST (Ducking, MeltZeroNeverDucksWhileTheEnvelopeFollows)
{
    auto processor = makePrepared (44100.0, 512, withMelt (0.0f));
    const auto gains = duckGains (*processor, constant (2, 4096, 1.0f), 512);

    for (size_t i = 0; i < gains.size(); ++i)
        ASSERT_EQ (gains[i], 1.0f) << i;

    EXPECT_NEAR (EngineProbe::duckEnvelope (*processor), 1.0f, 1.0e-4f);
}

TEST (Ducking, OppositeChannelsAreNeverDucked)
{
    auto processor = makePrepared (44100.0, 512, withMelt (100.0f));
    auto signal = noise (2, 8192, 1.0f);
    juce::FloatVectorOperations::negate (signal.getWritePointer (1), signal.getReadPointer (0), 8192);

    const auto gains = duckGains (*processor, signal, 512);

    for (size_t i = 0; i < gains.size(); ++i)
        ASSERT_EQ (gains[i], 1.0f) << i;

    EXPECT_EQ (EngineProbe::duckEnvelope (*processor), 0.0f);
}

TEST (Ducking, AStepIsDuckedLongBeforeItReachesTheDryPath)
{
    constexpr int stepAt = 100;
    constexpr int latency = 132; // 3 ms at 44.1 kHz
    auto processor = makePrepared (44100.0, 512, withMelt (100.0f));

    auto signal = constant (2, 512, 1.0f);
    for (int ch = 0; ch < 2; ++ch)
        signal.clear (ch, 0, stepAt);

    processBlock (*processor, signal);

    for (int i = 0; i < stepAt + 2; ++i)
        ASSERT_EQ (EngineProbe::duckGain (*processor, i), 1.0f) << i;

    EXPECT_NEAR (EngineProbe::duckGain (*processor, stepAt + 2), 0.77f, 0.005f);
    EXPECT_NEAR (EngineProbe::duckGain (*processor, stepAt + 3), 0.60f, 0.005f);
    EXPECT_NEAR (EngineProbe::duckGain (*processor, stepAt + 4), 0.49f, 0.005f);

    const auto& dry = EngineProbe::dryBuffer (*processor);
    for (int ch = 0; ch < 2; ++ch)
    {
        EXPECT_EQ (dry.getSample (ch, stepAt + latency - 1), 0.0f);
        EXPECT_EQ (dry.getSample (ch, stepAt + latency), 1.0f);
    }
}

TEST (Lookahead, DryPathIsSilentForTheLatencyThenTheInputSampleForSample)
{
    struct Case
    {
        double sampleRate;
        int latency;
        bool mono;
    };

    for (const auto& c : { Case { 44100.0, 132, false }, Case { 48000.0, 144, false }, Case { 96000.0, 288, true } })
    {
        SCOPED_TRACE (c.sampleRate);
        constexpr int blockSize = 100; // shorter than the latency, so the delay spans blocks
        const int channels = c.mono ? 1 : 2;
        auto processor = makePrepared (c.sampleRate, blockSize, {}, c.mono);
        const auto input = noise (channels, 2000);
        auto signal = input;

        processInBlocks (*processor,
                         signal,
                         blockSize,
                         [&] (int start)
                         {
                             const auto& dry = EngineProbe::dryBuffer (*processor);
                             for (int ch = 0; ch < channels; ++ch)
                                 for (int i = 0; i < blockSize; ++i)
                                 {
                                     const int n = start + i;
                                     const float expected = n < c.latency ? 0.0f : input.getSample (ch, n - c.latency);
                                     ASSERT_EQ (dry.getSample (ch, i), expected) << ch << ", " << n;
                                 }
                         });
    }
}
