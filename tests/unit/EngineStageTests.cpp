#include "EngineHarness.h"
#include "LoopCoefficient.h"

#include <cmath>
#include <gtest/gtest.h>

// The modulated delay and the low cut as the engine wires them inside the processor; the stages on their
// own are tested with the engine library alone.

using namespace EngineHarness;

TEST (Delay, EngineFeedbackIsThreeQuartersOfSpacePlusATenth)
{
    constexpr float rate = 48000.0f;
    constexpr int latency = 144;
    constexpr int beatHalf = 4800; // half a beat at 300 BPM
    constexpr int secondEcho = latency + 2 * beatHalf;

    for (const float space : { 0.0f, 40.0f, 100.0f })
    {
        SCOPED_TRACE (space);

        // Mono and without modulation, the second echo is the first one through the loop and the feedback gain.
        auto processor = makePrepared (rate, 512, { space, 0.0f, 0.0f, 50.0f }, true);
        FakePlayHead fast (FakePlayHead::Kind::tempo, 300.0);
        processor->setPlayHead (&fast);

        juce::AudioBuffer<float> input (1, 20 * 512);
        input.clear();
        input.setSample (0, 0, 1.0f);

        float echo = 0.0f;
        processInBlocks (*processor,
                         input,
                         512,
                         [&] (int start)
                         {
                             if (secondEcho >= start && secondEcho < start + 512)
                                 echo = EngineProbe::delayBuffer (*processor).getSample (0, secondEcho - start);
                         });

        const float looped = std::tanh ((0.22f * 1.0f + 0.78f * 1.0f) * loopCoefficient (rate));
        EXPECT_FLOAT_EQ (echo, looped * (0.75f * (space * 0.01f) + 0.1f));
        processor->setPlayHead (nullptr);
    }
}

TEST (Character, LowCutIsA150HzButterworthHighPass)
{
    struct Case
    {
        double hz, decibels, tolerance;
    };

    // Second order: -3 dB at the corner, 40 dB per decade below it.
    constexpr Case cases[] = { { 150.0, -3.01, 0.02 }, { 15.0, -40.0, 0.3 }, { 1500.0, 0.0, 0.01 } };

    auto processor = makePrepared (48000.0, 512);
    auto& lowCut = EngineProbe::lowCut (*processor);
    EXPECT_EQ (lowCut.getType(), juce::dsp::StateVariableTPTFilterType::highpass);
    EXPECT_EQ (lowCut.getCutoffFrequency(), 150.0f);
    EXPECT_FLOAT_EQ (lowCut.getResonance(), 1.0f / std::sqrt (2.0f));

    for (const auto& c : cases)
    {
        auto filter = lowCut;
        const double gain = sineGain ([&] (float x) { return filter.processSample (0, x); }, c.hz, 48000.0);
        EXPECT_NEAR (toDecibels (gain), c.decibels, c.tolerance) << c.hz << " Hz";
    }
}
