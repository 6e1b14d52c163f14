#include "EngineHarness.h"
#include "SettableTempo.h"
#include "engine/Engine.h"

#include <array>
#include <gtest/gtest.h>
#include <limits>

// The engine driven directly, without the plug-in around it.

using namespace EngineHarness;

namespace
{
MacroTargets targetsFor (const MacroSettings& m)
{
    MacroTargets targets {};

    for (std::size_t k = 0; k < numMacros; ++k)
        targets[k] = m[k] * 0.01f;

    return targets;
}

// Runs the signal through the engine in place, blockSize samples at a time, all at one tempo.
void processInBlocks (
    Engine& engine, juce::AudioBuffer<float>& signal, int blockSize, const MacroTargets& targets, double bpm)
{
    for (int start = 0; start < signal.getNumSamples(); start += blockSize)
    {
        const int length = juce::jmin (blockSize, signal.getNumSamples() - start);
        juce::AudioBuffer<float> block (signal.getArrayOfWritePointers(), signal.getNumChannels(), start, length);
        engine.process (block.getArrayOfWritePointers(), block.getNumChannels(), length, targets, bpm);
    }
}

// The signal rendered by a freshly prepared engine.
juce::AudioBuffer<float> renderEngine (
    juce::AudioBuffer<float> signal, double sampleRate, int blockSize, const MacroTargets& targets, double bpm)
{
    Engine engine;
    engine.prepare (
        { sampleRate, static_cast<juce::uint32> (blockSize), static_cast<juce::uint32> (signal.getNumChannels()) });
    engine.jumpTo (targets);
    processInBlocks (engine, signal, blockSize, targets, bpm);
    return signal;
}
} // namespace

TEST (Engine, TheProcessorsOutputIsTheEnginesForTheSameControlsAndTempo)
{
    struct Case
    {
        const char* name;
        double sampleRate;
        int blockSize;
        bool mono;
        double bpm;
    };

    constexpr Case cases[] = {
        { "stereo, 48 kHz", 48000.0, 512, false, 97.0 },
        { "mono, 44.1 kHz, odd blocks", 44100.0, 300, true, 174.0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const MacroSettings start { 20.0f, 60.0f, 45.0f, 70.0f };
        const MacroSettings moved { 85.0f, 10.0f, 90.0f, 30.0f };
        const int channels = c.mono ? 1 : 2;

        auto processor = makePrepared (c.sampleRate, c.blockSize, start, c.mono);
        SettableTempo tempo;
        tempo.bpm = c.bpm;
        processor->setPlayHead (&tempo);

        Engine engine;
        engine.prepare (
            { c.sampleRate, static_cast<juce::uint32> (c.blockSize), static_cast<juce::uint32> (channels) });
        engine.jumpTo (targetsFor (start));
        EXPECT_EQ (engine.latencySamples(), processor->getLatencySamples());

        for (int b = 0; b < 8; ++b)
        {
            SCOPED_TRACE (b);

            // The controls move halfway, so that both glide inside the blocks that follow.
            if (b == 4)
                setMacros (*processor, moved);

            const auto targets = targetsFor (b < 4 ? start : moved);
            const auto input = noise (channels, c.blockSize, 0.7f, 40 + b);
            auto fromProcessor = input;
            auto fromEngine = input;

            processBlock (*processor, fromProcessor);
            engine.process (fromEngine.getArrayOfWritePointers(), channels, c.blockSize, targets, c.bpm);
            ASSERT_TRUE (bitIdentical (fromProcessor, fromEngine));
        }

        processor->setPlayHead (nullptr);
    }
}

TEST (Engine, ATempoOutsideTheRangeIsHeldToItAndOneThatIsNoNumberCountsAsNone)
{
    struct Case
    {
        double bpm, heardAs;
    };

    constexpr double infinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        { std::numeric_limits<double>::quiet_NaN(), Engine::defaultBpm },
        { infinity, Engine::defaultBpm },
        { -infinity, Engine::defaultBpm },
        { 5.0, Engine::minBpm },
        { 1000.0, Engine::maxBpm },
    };

    const MacroTargets targets { 0.6f, 0.3f, 0.4f, 0.8f };
    const auto input = noise (2, 48000, 0.5f, 3);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.bpm);
        const auto heard = renderEngine (input, 48000.0, 512, targets, c.bpm);
        EXPECT_TRUE (bitIdentical (heard, renderEngine (input, 48000.0, 512, targets, c.heardAs)));
    }

    // The two ends of the range are heard as different tempi: the comparison above can tell them apart.
    EXPECT_FALSE (bitIdentical (renderEngine (input, 48000.0, 512, targets, Engine::minBpm),
                                renderEngine (input, 48000.0, 512, targets, Engine::maxBpm)));
}

TEST (Engine, ResetForgetsTheSignalHeardAndClearingTheTailsKeepsTheDryPathRunning)
{
    constexpr int blockSize = 256;
    const MacroTargets targets { 0.9f, 0.5f, 0.5f, 0.7f };
    const auto input = noise (2, blockSize * 8, 0.5f, 11);

    // Two engines at the same controls that have heard different signals.
    std::array<Engine, 2> engines;
    std::array<juce::AudioBuffer<float>, 2> warmUps { noise (2, blockSize * 4, 0.9f, 12),
                                                      noise (2, blockSize * 4, 0.2f, 13) };

    for (size_t e = 0; e < engines.size(); ++e)
    {
        engines[e].prepare ({ 44100.0, static_cast<juce::uint32> (blockSize), maxChannels });
        engines[e].jumpTo (targets);
        auto output = warmUps[e];
        processInBlocks (engines[e], output, blockSize, targets, 120.0);
    }

    // After clearTails the lookahead still holds the warm-up's last samples: the dry path runs on.
    auto& engine = engines[0];
    const auto& warmUp = warmUps[0];
    engine.clearTails();
    EXPECT_EQ (engine.duckEnvelope(), 0.0f);
    auto dryOnly = input;
    engine.processDryPathOnly (dryOnly.getArrayOfWritePointers(), 2, blockSize);
    const int latency = engine.latencySamples();
    ASSERT_GT (latency, 0);

    for (int i = 0; i < blockSize; ++i)
        for (int ch = 0; ch < 2; ++ch)
            ASSERT_EQ (dryOnly.getSample (ch, i),
                       i < latency ? warmUp.getSample (ch, warmUp.getNumSamples() - latency + i)
                                   : input.getSample (ch, i - latency))
                << ch << ", " << i;

    // After reset nothing of what either heard is left: the same signal gives the same bits.
    std::array<juce::AudioBuffer<float>, 2> afterReset { input, input };

    for (size_t e = 0; e < engines.size(); ++e)
    {
        engines[e].reset();
        processInBlocks (engines[e], afterReset[e], blockSize, targets, 120.0);
    }

    EXPECT_TRUE (bitIdentical (afterReset[0], afterReset[1]));
}
