#include "CharacterStageProbe.h"
#include "EngineHarness.h"

#include <gtest/gtest.h>

using namespace EngineHarness;

TEST (EngineMix, ReverbRoomSizeFollowsSpace)
{
    struct Case
    {
        float space, roomSize;
    };

    for (const auto& c : { Case { 0.0f, 0.3f }, Case { 40.0f, 0.572f }, Case { 100.0f, 0.98f } })
    {
        SCOPED_TRACE (c.space);
        MacroSettings macros;
        macros[macroSpace] = c.space;
        auto processor = makePrepared (44100.0, 128, macros);
        auto block = noise (2, 128);
        processBlock (*processor, block);

        const auto& settings = EngineProbe::reverb (*processor).getParameters();
        EXPECT_NEAR (settings.roomSize, c.roomSize, 1.0e-6f);
        EXPECT_EQ (settings.damping, 0.4f);
        EXPECT_EQ (settings.wetLevel, 1.0f);
        EXPECT_EQ (settings.dryLevel, 0.0f);
        EXPECT_EQ (settings.width, 1.0f);
        EXPECT_EQ (settings.freezeMode, 0.0f);
    }
}

TEST (EngineMix, BlockSettingsComeFromTheLastSampleOfTheBlock)
{
    auto processor = makePrepared (48000.0, 512);
    setMacro (*processor, ParameterIDs::space, 100.0f);
    setMacro (*processor, ParameterIDs::grit, 100.0f);
    auto block = noise (2, 512);
    processBlock (*processor, block);

    const float lastSpace = EngineProbe::lane (*processor, macroSpace, 511);
    ASSERT_GT (lastSpace, EngineProbe::lane (*processor, macroSpace, 0));
    EXPECT_FLOAT_EQ (EngineProbe::reverb (*processor).getParameters().roomSize, lastSpace * 0.68f + 0.3f);

    CharacterStage reference;
    reference.prepare ({ 48000.0, 512, 2 });
    reference.updateTone (EngineProbe::lane (*processor, macroGrit, 511));
    EXPECT_EQ (EngineProbe::character (*processor).getToneCoefficient(), reference.getToneCoefficient());
}

TEST (EngineMix, ReverbHearsThreeQuartersOfTheDelayAndSixTenthsOfTheDry)
{
    for (const bool mono : { false, true })
    {
        SCOPED_TRACE (mono ? "mono" : "stereo");
        constexpr int blockSize = 256;
        const int channels = mono ? 1 : 2;
        auto processor = makePrepared (48000.0, blockSize, { 70.0f, 30.0f, 40.0f, 50.0f }, mono);

        // At 300 BPM the first echo (4800 samples) is heard through the reverb (itself late by over 1200
        // samples) well within the run, so both terms of the send reach its output.
        FakePlayHead fast (FakePlayHead::Kind::tempo, 300.0);
        processor->setPlayHead (&fast);

        // A reverb prepared like the engine's, fed the send as the mix law gives it.
        juce::dsp::Reverb reference;
        reference.prepare ({ 48000.0, (juce::uint32) blockSize, (juce::uint32) channels });
        reference.reset();

        auto signal = noise (channels, 48 * blockSize);
        float loudestEcho = 0.0f;

        processInBlocks (*processor,
                         signal,
                         blockSize,
                         [&] (int)
                         {
                             const auto& delay = EngineProbe::delayBuffer (*processor);
                             const auto& dry = EngineProbe::dryBuffer (*processor);
                             juce::AudioBuffer<float> send (channels, blockSize);

                             for (int ch = 0; ch < channels; ++ch)
                             {
                                 loudestEcho = juce::jmax (loudestEcho, delay.getMagnitude (ch, 0, blockSize));

                                 for (int i = 0; i < blockSize; ++i)
                                     send.setSample (
                                         ch, i, 0.75f * delay.getSample (ch, i) + 0.6f * dry.getSample (ch, i));
                             }

                             reference.setParameters (EngineProbe::reverb (*processor).getParameters());
                             juce::dsp::AudioBlock<float> sendBlock (send);
                             reference.process (juce::dsp::ProcessContextReplacing<float> (sendBlock));

                             ASSERT_TRUE (bitIdentical (send, EngineProbe::reverbBuffer (*processor)));
                         });

        EXPECT_GT (loudestEcho, 0.1f);
        processor->setPlayHead (nullptr);
    }
}

TEST (EngineMix, OutputIsTheDuckedWetPathPlusTheDryPath)
{
    constexpr int blockSize = 256;
    auto processor = makePrepared (48000.0, blockSize, { 60.0f, 50.0f, 30.0f, 80.0f });
    auto& character = EngineProbe::character (*processor);
    auto& lowCut = EngineProbe::lowCut (*processor);

    // GRIT and SPACE glide inside these blocks, so each sample must use its own lane values.
    setMacro (*processor, ParameterIDs::grit, 90.0f);
    setMacro (*processor, ParameterIDs::space, 20.0f);

    for (int b = 0; b < 4; ++b)
    {
        SCOPED_TRACE (b);
        auto stateBefore = character;
        auto lowCutBefore = lowCut;

        auto block = noise (2, blockSize, 0.8f, 20 + b);
        processBlock (*processor, block);

        // updateTone, at the block's last GRIT, is the block's only change to the character coefficients.
        stateBefore.updateTone (EngineProbe::lane (*processor, macroGrit, blockSize - 1));
        ASSERT_EQ (stateBefore.getToneCoefficient(), character.getToneCoefficient());
        const auto lane = [&] (int index, int i) { return EngineProbe::lane (*processor, index, i); };

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
            {
                const float t = lane (macroSpace, i) * 0.45f + 0.35f;
                const float blend = t * EngineProbe::reverbBuffer (*processor).getSample (ch, i) +
                                    (1.0f - t) * EngineProbe::delayBuffer (*processor).getSample (ch, i);
                const float wet =
                    lowCutBefore.processSample (ch, stateBefore.processSample (ch, blend, lane (macroGrit, i)));
                const float expected =
                    (wet * EngineProbe::duckGain (*processor, i)) * lane (EngineProbe::laneWetGain, i) +
                    lane (EngineProbe::laneDryGain, i) * EngineProbe::dryBuffer (*processor).getSample (ch, i);
                ASSERT_EQ (block.getSample (ch, i), expected) << ch << ", " << i;
            }
    }
}

TEST (EngineMix, MeltZeroGivesTheInputDelayedByTheLatency)
{
    for (const bool mono : { false, true })
    {
        SCOPED_TRACE (mono ? "mono" : "stereo");
        constexpr int latency = 132;
        const int channels = mono ? 1 : 2;
        auto processor = makePrepared (44100.0, 512, { 90.0f, 80.0f, 70.0f, 0.0f }, mono);

        const auto input = noise (channels, 2048);
        auto output = input;
        processInBlocks (*processor, output, 512);

        for (int ch = 0; ch < channels; ++ch)
            for (int i = 0; i < 2048; ++i)
                ASSERT_EQ (output.getSample (ch, i), i < latency ? 0.0f : input.getSample (ch, i - latency))
                    << ch << ", " << i;

        // The wet path is silent, not stopped.
        EXPECT_NE (CharacterStageProbe::toneState (EngineProbe::character (*processor))[0], 0.0f);
        EXPECT_NE (EngineProbe::duckEnvelope (*processor), 0.0f);
    }
}
