#include "CharacterStageProbe.h"
#include "EngineHarness.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

#if JUCE_INTEL
#include <xmmintrin.h>
#endif

using namespace EngineHarness;
using Kind = FakePlayHead::Kind;

TEST (Block, DelayTimesAreHalfAndThreeQuartersOfTheHostBeat)
{
    struct Case
    {
        double sampleRate;
        std::optional<Kind> playHead; // none: the host gives no play head at all
        double bpm;
        float left, right;
    };

    const Case cases[] = {
        { 44100.0, std::nullopt, 0.0, 11025.0f, 16537.5f },
        { 48000.0, std::nullopt, 0.0, 12000.0f, 18000.0f },
        { 48000.0, Kind::noPosition, 0.0, 12000.0f, 18000.0f },
        { 48000.0, Kind::positionWithoutTempo, 0.0, 12000.0f, 18000.0f },
        { 48000.0, Kind::tempo, 120.0, 12000.0f, 18000.0f },
        { 44100.0, Kind::tempo, 90.0, 14700.0f, 22050.0f },
        { 44100.0, Kind::tempo, 20.0, 66150.0f, 99225.0f },
        { 44100.0, Kind::tempo, 10.0, 66150.0f, 99225.0f },
        { 48000.0, Kind::tempo, 300.0, 4800.0f, 7200.0f },
        { 48000.0, Kind::tempo, 400.0, 4800.0f, 7200.0f },
        // A tempo that is not a number, or not finite, is no tempo: the plug-in's own 120 BPM.
        { 48000.0, Kind::tempo, std::numeric_limits<double>::quiet_NaN(), 12000.0f, 18000.0f },
        { 44100.0, Kind::tempo, std::numeric_limits<double>::infinity(), 11025.0f, 16537.5f },
        { 44100.0, Kind::tempo, -std::numeric_limits<double>::infinity(), 11025.0f, 16537.5f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.sampleRate << " Hz, play head " << (c.playHead ? (int) *c.playHead : -1)
                                         << ", " << c.bpm << " BPM");
        auto processor = makePrepared (c.sampleRate, 256);
        std::optional<FakePlayHead> head;

        if (c.playHead)
            processor->setPlayHead (&head.emplace (*c.playHead, c.bpm));

        auto block = noise (2, 256);
        processBlock (*processor, block);

        // The first frame jumps to the target and a constant target holds it exactly.
        EXPECT_EQ (EngineProbe::modulatedDelay (*processor).getCurrentDelay (0), c.left);
        EXPECT_EQ (EngineProbe::modulatedDelay (*processor).getCurrentDelay (1), c.right);
        processor->setPlayHead (nullptr);
    }
}

TEST (Block, TempoIsReadAnewEveryBlock)
{
    auto processor = makePrepared (48000.0, 256);
    FakePlayHead fast (Kind::tempo, 300.0);
    processor->setPlayHead (&fast);

    auto block = noise (2, 256);
    processBlock (*processor, block);
    ASSERT_EQ (EngineProbe::modulatedDelay (*processor).getCurrentDelay (0), 4800.0f);

    // Without a play head the next block aims at 120 BPM again and the tap glides towards it.
    processor->setPlayHead (nullptr);
    processBlock (*processor, block);
    const float glided = EngineProbe::modulatedDelay (*processor).getCurrentDelay (0);
    EXPECT_GT (glided, 4800.0f);
    EXPECT_LT (glided, 12000.0f);
}

TEST (Block, EmptyBlocksChangeNothing)
{
    struct Case
    {
        int channels, samples;
    };

    for (const auto& c : { Case { 2, 0 }, Case { 0, 64 } })
    {
        SCOPED_TRACE (testing::Message() << c.channels << " channels x " << c.samples << " samples");
        auto withEmpty = makePrepared (48000.0, 256);
        auto without = makePrepared (48000.0, 256);

        auto first = noise (2, 256, 0.5f, 3);
        auto firstCopy = first;
        processBlock (*withEmpty, first);
        processBlock (*without, firstCopy);

        // A ramp is pending: an empty block must neither start nor advance it.
        setMacro (*withEmpty, ParameterIDs::space, 95.0f);
        setMacro (*without, ParameterIDs::space, 95.0f);

        juce::AudioBuffer<float> empty (c.channels, c.samples);
        empty.clear();
        processBlock (*withEmpty, empty);

        EXPECT_EQ (EngineProbe::spaceSmoothed (*withEmpty).getCurrentValue(), 40.0f * 0.01f);
        EXPECT_FALSE (EngineProbe::spaceSmoothed (*withEmpty).isSmoothing());

        auto after = noise (2, 2048, 0.5f, 4);
        auto afterCopy = after;
        processInBlocks (*withEmpty, after, 256);
        processInBlocks (*without, afterCopy, 256);
        EXPECT_TRUE (bitIdentical (after, afterCopy));
    }
}

TEST (Block, MonoLayoutProcessesAndWritesOnlyChannelZero)
{
    auto processor = makePrepared (44100.0, 512, { 70.0f, 80.0f, 50.0f, 60.0f }, true);
    auto& delay = EngineProbe::modulatedDelay (*processor);
    auto& character = EngineProbe::character (*processor);

    // The host buffer carries a second channel that a mono engine must leave alone.
    auto block = noise (2, 512, 0.5f, 5);
    const auto input = block;

    for (int b = 0; b < 4; ++b)
    {
        processBlock (*processor, block);
        ASSERT_TRUE (bitIdentical (block.getReadPointer (1), input.getReadPointer (1), 512));
        block.copyFrom (0, 0, input, 0, 0, 512);
    }

    EXPECT_EQ (EngineProbe::dryBuffer (*processor).getNumChannels(), 1);
    EXPECT_EQ (EngineProbe::reverbBuffer (*processor).getNumChannels(), 1);

    // Channel 0 went through the whole engine; nothing of channel 1 moved.
    EXPECT_NE (delay.getCurrentDelay (0), -1.0f);
    EXPECT_EQ (delay.getCurrentDelay (1), -1.0f);
    EXPECT_EQ (juce::FloatVectorOperations::findMinAndMax (delay.getRing().getReadPointer (1), delay.getRingLength()),
               juce::Range<float>());
    EXPECT_NE (CharacterStageProbe::toneState (character)[0], 0.0f);
    EXPECT_EQ (CharacterStageProbe::toneState (character)[1], 0.0f);
    EXPECT_EQ (CharacterStageProbe::dcState (character)[1], 0.0f);
    EXPECT_EQ (CharacterStageProbe::levelEnvelope (character)[1], 0.0f);
    EXPECT_EQ (CharacterStageProbe::heldSample (character)[1], 0.0f);
    EXPECT_EQ (CharacterStageProbe::holdCounter (character)[1], 0);
}

TEST (Block, BlocksOfAnyLengthAreProcessedInFull)
{
    const MacroSettings busy { 80.0f, 70.0f, 60.0f, 80.0f };
    auto irregular = makePrepared (48000.0, 256, busy);
    auto regular = makePrepared (48000.0, 256, busy);

    auto signal = noise (2, 6144, 0.5f, 6);
    auto copy = signal;
    processInBlocks (*regular, copy, 256);

    // Longer, shorter and single-sample blocks; the work buffers follow each block's length.
    constexpr int lengths[] = { 1024, 100, 1, 333, 2000, 256 };
    int start = 0;

    for (int b = 0; start < signal.getNumSamples(); ++b)
    {
        const int length = juce::jmin (lengths[b % 6], signal.getNumSamples() - start);
        juce::AudioBuffer<float> block (signal.getArrayOfWritePointers(), 2, start, length);
        processBlock (*irregular, block);
        start += length;

        ASSERT_EQ (EngineProbe::dryBuffer (*irregular).getNumSamples(), length);
        ASSERT_EQ (EngineProbe::delayBuffer (*irregular).getNumSamples(), length);
        ASSERT_EQ (EngineProbe::reverbBuffer (*irregular).getNumSamples(), length);
        ASSERT_EQ (EngineProbe::controlBuffer (*irregular).getNumSamples(), length);
        ASSERT_EQ (EngineProbe::duckGainBuffer (*irregular).getNumSamples(), length);
    }

    EXPECT_TRUE (bitIdentical (signal, copy));
}

TEST (Block, NonFiniteInputSamplesCountAsSilence)
{
    const MacroSettings busy { 90.0f, 70.0f, 60.0f, 80.0f };
    auto poisoned = makePrepared (48000.0, 256, busy);
    auto clean = makePrepared (48000.0, 256, busy);

    auto first = noise (2, 1024, 0.5f, 8);
    first.setSample (0, 300, 0.0f);
    first.setSample (1, 301, 0.0f);
    auto firstPoisoned = first;
    firstPoisoned.setSample (0, 300, std::numeric_limits<float>::quiet_NaN());
    firstPoisoned.setSample (1, 301, std::numeric_limits<float>::infinity());

    processInBlocks (*poisoned, firstPoisoned, 256);
    processInBlocks (*clean, first, 256);
    EXPECT_TRUE (bitIdentical (firstPoisoned, first));

    // Long after the bad samples, every stage still holds exactly what a clean input left in it.
    auto later = noise (2, 96000, 0.5f, 9);
    auto laterCopy = later;
    processInBlocks (*poisoned, later, 256);
    processInBlocks (*clean, laterCopy, 256);
    EXPECT_TRUE (bitIdentical (later, laterCopy));

    for (const auto* output : { &firstPoisoned, &later })
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < output->getNumSamples(); ++i)
                ASSERT_TRUE (std::isfinite (output->getSample (ch, i))) << ch << ", " << i;
}

TEST (Block, FlushesDenormalsInsideAndRestoresTheCallersMode)
{
#if JUCE_INTEL
    // The control bits of MXCSR; the low six bits are sticky exception flags, not part of the mode.
    const auto mode = [] { return _mm_getcsr() & ~0x3fu; };
    const auto modeBefore = _mm_getcsr();
    constexpr unsigned flushToZero = 0x8000, denormalsAreZero = 0x0040;
    _mm_setcsr (modeBefore & ~(flushToZero | denormalsAreZero)); // a caller that honours denormals
    const auto callersMode = mode();
#endif
    // With MELT at 0 the output is the dry path times a gain of 1: a denormal survives that product only
    // while denormals are honoured.
    auto processor = makePrepared (44100.0, 512, { 40.0f, 25.0f, 20.0f, 0.0f });
    auto block = constant (2, 512, 1.0e-40f);
    processBlock (*processor, block);

    EXPECT_EQ (EngineProbe::dryBuffer (*processor).getSample (0, 511), 1.0e-40f);
    EXPECT_EQ (block.getSample (0, 511), 0.0f);
    EXPECT_EQ (block.getSample (1, 511), 0.0f);

#if JUCE_INTEL
    EXPECT_EQ (mode(), callersMode);
    juce::AudioBuffer<float> empty (2, 0);
    processBlock (*processor, empty);
    EXPECT_EQ (mode(), callersMode);
    _mm_setcsr (modeBefore);
#endif
}
