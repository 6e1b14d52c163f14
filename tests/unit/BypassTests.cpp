#include "EngineHarness.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace EngineHarness;

// The host's bypass: the processor drives the dry path through the same lookahead line in both states,
// and fades the engine's share of the output linearly over bypassFadeSeconds at each switch.
namespace
{
constexpr double rates[] = { 44100.0, 48000.0, 96000.0 };
constexpr int blockSizes[] = { 1, 37, 512, 3000 };

// Every rate, layout and block length the bypass tests run, each case traced.
template <typename Case>
void forEachRateLayoutAndBlock (Case&& runCase)
{
    for (const double rate : rates)
        for (const bool mono : { true, false })
            for (const int blockSize : blockSizes)
            {
                SCOPED_TRACE (testing::Message()
                              << rate << " Hz, " << (mono ? "mono" : "stereo") << ", blocks of " << blockSize);
                runCase (rate, mono, blockSize);
            }
}

int fadeSamples (double sampleRate)
{
    juce::LinearSmoothedValue<float> ramp;
    ramp.reset (sampleRate, VeldranoxAudioProcessor::bypassFadeSeconds);
    ramp.setCurrentAndTargetValue (1.0f);
    ramp.setTargetValue (0.0f);
    int steps = 0;

    while (ramp.isSmoothing())
    {
        ramp.getNextValue();
        ++steps;
    }

    return steps;
}

void processBypassed (VeldranoxAudioProcessor& processor, juce::AudioBuffer<float>& block)
{
    juce::MidiBuffer midi;
    processor.processBlockBypassed (block, midi);
}

// The input delayed by latency samples, with silence before it.
juce::AudioBuffer<float> delayedBy (const juce::AudioBuffer<float>& input, int latency)
{
    juce::AudioBuffer<float> delayed (input.getNumChannels(), input.getNumSamples());
    delayed.clear();

    for (int ch = 0; ch < input.getNumChannels(); ++ch)
        if (input.getNumSamples() > latency)
            delayed.copyFrom (ch, latency, input, ch, 0, input.getNumSamples() - latency);

    return delayed;
}

// Bypass switches at sample positions; a block is bypassed when an odd number of them lie at or before
// its first sample, as a host switches only between blocks.
struct Schedule
{
    std::vector<int> switches;

    bool bypassedAt (int blockStart) const
    {
        int passed = 0;

        for (const int s : switches)
            passed += s <= blockStart ? 1 : 0;

        return passed % 2 == 1;
    }
};

// Runs signal in place through the processor in blocks, bypassed where the schedule says; returns the
// bypass state of each sample's block.
std::vector<bool> processScheduled (VeldranoxAudioProcessor& processor,
                                    juce::AudioBuffer<float>& signal,
                                    int blockSize,
                                    const Schedule& schedule,
                                    int firstSample = 0)
{
    std::vector<bool> bypassed ((size_t) signal.getNumSamples());

    for (int start = 0; start < signal.getNumSamples(); start += blockSize)
    {
        const int length = juce::jmin (blockSize, signal.getNumSamples() - start);
        juce::AudioBuffer<float> block (signal.getArrayOfWritePointers(), signal.getNumChannels(), start, length);
        const bool isBypassed = schedule.bypassedAt (firstSample + start);

        if (isBypassed)
            processBypassed (processor, block);
        else
            processBlock (processor, block);

        std::fill (bypassed.begin() + start, bypassed.begin() + start + length, isBypassed);
    }

    return bypassed;
}

// What the bypass promises sample by sample: the engine's output e while processing, the dry path d
// while bypassed, share × e + (1 − share) × d along the linear ramp between them.
juce::AudioBuffer<float> expectedBlend (const juce::AudioBuffer<float>& engine,
                                        const juce::AudioBuffer<float>& dry,
                                        const std::vector<bool>& bypassed,
                                        double sampleRate,
                                        bool startsBypassed)
{
    juce::LinearSmoothedValue<float> share;
    share.reset (sampleRate, VeldranoxAudioProcessor::bypassFadeSeconds);
    share.setCurrentAndTargetValue (startsBypassed ? 0.0f : 1.0f);
    juce::AudioBuffer<float> expected (engine.getNumChannels(), engine.getNumSamples());

    for (int i = 0; i < engine.getNumSamples(); ++i)
    {
        share.setTargetValue (bypassed[(size_t) i] ? 0.0f : 1.0f);
        const bool ramping = share.isSmoothing();
        const float g = share.getNextValue();

        for (int ch = 0; ch < engine.getNumChannels(); ++ch)
        {
            const float e = engine.getSample (ch, i), d = dry.getSample (ch, i);
            expected.setSample (ch, i, ramping ? g * e + (1.0f - g) * d : (g == 1.0f ? e : d));
        }
    }

    return expected;
}

::testing::AssertionResult
sameSamples (const juce::AudioBuffer<float>& actual, const juce::AudioBuffer<float>& expected, int from = 0)
{
    for (int ch = 0; ch < expected.getNumChannels(); ++ch)
        for (int i = from; i < expected.getNumSamples(); ++i)
            if (! bitIdentical (actual.getReadPointer (ch, i), expected.getReadPointer (ch, i), 1))
                return ::testing::AssertionFailure()
                       << "channel " << ch << ", sample " << i << ": " << actual.getSample (ch, i) << " instead of "
                       << expected.getSample (ch, i);

    return ::testing::AssertionSuccess();
}

// Busy settings: every stage holds state, so a stale tail or a skipped sample would show.
const MacroSettings busy { 80.0f, 60.0f, 50.0f, 70.0f };

int preparedSizeFor (int blockSize) { return juce::jmax (512, blockSize); }
} // namespace

TEST (Bypass, FadeLastsTenMilliseconds)
{
    EXPECT_EQ (fadeSamples (44100.0), 441);
    EXPECT_EQ (fadeSamples (48000.0), 480);
    EXPECT_EQ (fadeSamples (96000.0), 960);
}

TEST (Bypass, OutputIsTheInputDelayedByTheLatencyBitForBit)
{
    forEachRateLayoutAndBlock (
        [&] (double rate, bool mono, int blockSize)
        {
            const int channels = mono ? 1 : 2;
            auto processor = makePrepared (rate, preparedSizeFor (blockSize), busy, mono);
            const int latency = processor->getLatencySamples();
            ASSERT_EQ (latency, (int) std::round (0.003 * rate));

            // Bypassed from the first block on: no fade of an engine that was never heard.
            const auto input = noise (channels, (int) (0.2 * rate), 0.9f, 11);
            auto output = input;
            processScheduled (*processor, output, blockSize, Schedule { { 0 } });

            EXPECT_TRUE (sameSamples (output, delayedBy (input, latency)));
        });
}

TEST (Bypass, PreparingAgainWhileBypassedStartsBypassed)
{
    auto processor = makePrepared (48000.0, 512, busy);
    auto first = noise (2, 4800, 0.5f, 3);
    processInBlocks (*processor, first, 512);

    // The host prepares again, then goes on with bypass on: the first block is already the dry path.
    processor->prepareToPlay (48000.0, 512);
    const auto input = noise (2, 4800, 0.5f, 4);
    auto output = input;
    processScheduled (*processor, output, 512, Schedule { { 0 } });

    EXPECT_TRUE (sameSamples (output, delayedBy (input, processor->getLatencySamples())));
}

// Engaging, releasing halfway through the fade-out (where blocks are short enough for a switch to land
// there) and engaging again: while the engine has not been reset, a twin that is never bypassed gives
// the engine's share exactly.
TEST (Bypass, SwitchesFadeBetweenTheEngineAndTheDryPathOnOneTimeline)
{
    forEachRateLayoutAndBlock (
        [&] (double rate, bool mono, int blockSize)
        {
            const int channels = mono ? 1 : 2;
            const int prepared = preparedSizeFor (blockSize);
            auto processor = makePrepared (rate, prepared, busy, mono);
            auto twin = makePrepared (rate, prepared, busy, mono);
            const int fade = fadeSamples (rate);

            const auto at = [rate, blockSize] (double seconds)
            { return ((int) (seconds * rate) + blockSize - 1) / blockSize * blockSize; };
            const int engage = at (0.1), reverse = at (0.1) + (fade / 2 + blockSize - 1) / blockSize * blockSize;
            Schedule schedule { { engage } };

            if (reverse - engage < fade)
                schedule.switches.insert (schedule.switches.end(), { reverse, at (0.15) });

            const auto input = noise (channels, at (0.25), 0.7f, 5);
            auto output = input;
            auto engine = input;
            const auto bypassed = processScheduled (*processor, output, blockSize, schedule);
            processInBlocks (*twin, engine, blockSize);

            const auto dry = delayedBy (input, processor->getLatencySamples());
            EXPECT_TRUE (sameSamples (output, expectedBlend (engine, dry, bypassed, rate, false)));

            // Some of the output was engine alone, some was ramp, and it ended as the dry path alone.
            const int last = output.getNumSamples() - 1;
            ASSERT_TRUE (bypassed[(size_t) last]);
            EXPECT_EQ (output.getSample (0, last), dry.getSample (0, last));
            EXPECT_NE (engine.getSample (0, last), dry.getSample (0, last));
        });
}

// After a complete fade-out the engine is cleared; on release it starts as a freshly prepared engine
// whose reverb has settled at the same SPACE, fed through a lookahead that holds the same (silent)
// recent input.
TEST (Bypass, ReleasingFadesTheEngineInFromAFreshStart)
{
    forEachRateLayoutAndBlock (
        [&] (double rate, bool mono, int blockSize)
        {
            const int channels = mono ? 1 : 2;
            const int prepared = preparedSizeFor (blockSize);
            const auto at = [rate] (double seconds) { return (int) (seconds * rate); };
            auto processor = makePrepared (rate, prepared, busy, mono);

            // Processing, bypass on at 0.1 s, silence from 0.13 s, bypass off at the first block from 0.15 s.
            const int release = (at (0.15) + blockSize - 1) / blockSize * blockSize;
            const Schedule schedule { { at (0.1), release } };
            auto before = noise (channels, release, 0.8f, 6);
            before.clear (at (0.13), release - at (0.13));
            const auto inputBefore = before;
            processScheduled (*processor, before, blockSize, schedule);

            ASSERT_FALSE (schedule.bypassedAt (at (0.1) - blockSize));
            ASSERT_TRUE (schedule.bypassedAt (release - 1));
            EXPECT_TRUE (sameSamples (before,
                                      delayedBy (inputBefore, processor->getLatencySamples()),
                                      at (0.1) + prepared + 2 * fadeSamples (rate)));

            auto reference = makePrepared (rate, prepared, busy, mono);
            juce::AudioBuffer<float> silent (channels, prepared);
            silent.clear();
            processBlock (*reference, silent);
            reference->prepareToPlay (rate, prepared);

            const auto input = noise (channels, at (0.1), 0.8f, 7);
            auto output = input;
            auto engine = input;
            const auto bypassed = processScheduled (*processor, output, blockSize, schedule, release);
            processInBlocks (*reference, engine, blockSize);

            const auto dry = delayedBy (input, processor->getLatencySamples());
            EXPECT_TRUE (sameSamples (output, expectedBlend (engine, dry, bypassed, rate, true)));
        });
}

TEST (Bypass, TailsAreClearedWhenTheFadeOutEnds)
{
    for (const bool mono : { true, false })
    {
        SCOPED_TRACE (mono ? "mono" : "stereo");
        const int channels = mono ? 1 : 2;
        constexpr double rate = 48000.0;
        constexpr int blockSize = 256;
        auto processor = makePrepared (rate, blockSize, busy, mono);
        auto twin = makePrepared (rate, blockSize, busy, mono);

        // A loud burst, then silence; bypass on just after the burst, off 0.2 s later, when the echoes of
        // the burst still ring in the twin that was never bypassed.
        auto signal = noise (channels, 48000, 0.9f, 8);
        signal.clear (4096, signal.getNumSamples() - 4096);
        auto twinSignal = signal;
        const int release = 4096 + 9600;
        processScheduled (*processor, signal, blockSize, Schedule { { 4096, release } });
        processInBlocks (*twin, twinSignal, blockSize);

        const int length = signal.getNumSamples() - release;
        EXPECT_GT (twinSignal.getMagnitude (release, length), 1.0e-3f);

        for (int ch = 0; ch < channels; ++ch)
            for (int i = release; i < signal.getNumSamples(); ++i)
                ASSERT_EQ (signal.getSample (ch, i), 0.0f) << "channel " << ch << ", sample " << i;
    }
}

TEST (Bypass, ControlsMovedWhileBypassedApplyWithoutAGlideOnRelease)
{
    auto processor = makePrepared (48000.0, 512, busy);
    auto block = noise (2, 512);
    processBlock (*processor, block);

    for (int i = 0; i < 4; ++i)
        processBypassed (*processor, block);

    const MacroSettings moved { 10.0f, 90.0f, 0.0f, 100.0f };
    setMacros (*processor, moved);
    processBypassed (*processor, block);
    processBlock (*processor, block);

    for (int i = 0; i < 512; ++i)
        for (std::size_t k = 0; k < numMacros; ++k)
            ASSERT_EQ (EngineProbe::lane (*processor, (int) k, i), moved[k] * 0.01f) << macroTable[k].id << " at " << i;
}

// A NaN reaching the lookahead would come back out of it into the engine on release; the dry path
// silences non-finite samples in both states.
TEST (Bypass, NonFiniteInputIsSilenceOnTheDryPath)
{
    auto processor = makePrepared (48000.0, 256, busy);
    const int latency = processor->getLatencySamples();
    auto input = noise (2, 2048, 0.5f, 9);
    input.setSample (0, 100, std::numeric_limits<float>::quiet_NaN());
    input.setSample (1, 300, std::numeric_limits<float>::infinity());
    input.setSample (1, 301, -std::numeric_limits<float>::infinity());

    auto output = input;
    processScheduled (*processor, output, 256, Schedule { { 0 } });

    auto expected = input;
    expected.setSample (0, 100, 0.0f);
    expected.setSample (1, 300, 0.0f);
    expected.setSample (1, 301, 0.0f);
    EXPECT_TRUE (sameSamples (output, delayedBy (expected, latency)));

    // Released into the engine, nothing non-finite is left to come out.
    auto after = noise (2, 48000, 0.5f, 10);
    processInBlocks (*processor, after, 256);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < after.getNumSamples(); ++i)
            ASSERT_TRUE (std::isfinite (after.getSample (ch, i))) << ch << ", " << i;
}
