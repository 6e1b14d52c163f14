#include "EngineHarness.h"

#include <gtest/gtest.h>
#include <vector>

using namespace EngineHarness;

TEST (Lanes, MeltGivesTheWetAndDryGains)
{
    struct Case
    {
        float melt, wetGain, dryGain;
    };

    // Steady values, to two decimals; at MELT 60 the control is the float just below 0.6.
    constexpr Case cases[] = {
        { 0.0f, 0.0f, 1.0f },    { 25.0f, 0.33f, 1.0f },  { 50.0f, 0.62f, 1.0f },  { 60.0f, 0.72f, 1.0f },
        { 70.0f, 0.80f, 0.96f }, { 80.0f, 0.88f, 0.85f }, { 90.0f, 0.93f, 0.75f }, { 100.0f, 0.97f, 0.71f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.melt);
        MacroSettings macros;
        macros[macroMelt] = c.melt;
        auto processor = makePrepared (44100.0, 64, macros);
        auto block = noise (2, 64);
        processBlock (*processor, block);

        for (int i = 0; i < 64; ++i)
        {
            const float wet = EngineProbe::lane (*processor, EngineProbe::laneWetGain, i);
            const float dry = EngineProbe::lane (*processor, EngineProbe::laneDryGain, i);
            ASSERT_NEAR (wet, c.wetGain, 0.005f) << i;
            ASSERT_NEAR (dry, c.dryGain, 0.005f) << i;

            if (c.melt <= 60.0f)
            {
                ASSERT_EQ (dry, 1.0f) << i;
            }
            if (c.melt == 0.0f)
            {
                ASSERT_EQ (wet, 0.0f) << i;
            }
            if (c.melt == 100.0f)
            {
                ASSERT_FLOAT_EQ (dry, 1.0f - 0.2921f) << i;
            }
        }
    }
}

TEST (Lanes, SpaceRampsLinearlyAcrossBlocks)
{
    constexpr int blockSize = 512;
    constexpr int rampSteps = 2400; // 0.05 s at 48 kHz
    auto processor = makePrepared (48000.0, blockSize);

    juce::AudioBuffer<float> block (2, blockSize);
    block.clear();
    processBlock (*processor, block);

    for (int i = 0; i < blockSize; ++i)
        ASSERT_EQ (EngineProbe::lane (*processor, macroSpace, i), 40.0f * 0.01f) << i;

    setMacro (*processor, ParameterIDs::space, 100.0f);
    std::vector<float> space;

    while ((int) space.size() < rampSteps + blockSize)
    {
        block.clear();
        processBlock (*processor, block);

        for (int i = 0; i < blockSize; ++i)
            space.push_back (EngineProbe::lane (*processor, macroSpace, i));
    }

    for (int j = 0; j < rampSteps; ++j)
        ASSERT_NEAR (space[(size_t) j], 0.4f + 0.6f * (float) (j + 1) / (float) rampSteps, 1.0e-4f) << j;

    EXPECT_LT (space[rampSteps - 2], 1.0f);

    for (size_t j = rampSteps - 1; j < space.size(); ++j)
        ASSERT_EQ (space[j], 1.0f) << j;
}

// JUCE 7's smoother starts a ramp on any new target; JUCE 8's ignores a target approximately equal to the current
// one. The parameters sit on a 0.1 grid, so the smallest step a host can make must still glide on both.
TEST (Lanes, TheSmallestStepAHostCanMakeGlides)
{
    constexpr int blockSize = 4096; // longer than the 0.05 s ramp at 48 kHz
    auto processor = makePrepared (48000.0, blockSize);
    juce::AudioBuffer<float> block (2, blockSize);

    // One step up from the default, as a host's automation lands on it (the snapped value need not be 40.1f).
    auto* space = processor->parameters.getParameter (ParameterIDs::space);
    space->setValueNotifyingHost (space->convertTo0to1 (40.1f));
    const float stepped = processor->parameters.getRawParameterValue (ParameterIDs::space)->load();
    ASSERT_NEAR (stepped, 40.1f, 1.0e-4f);
    block.clear();
    processBlock (*processor, block);

    const float start = 40.0f * 0.01f, target = stepped * 0.01f;
    const float first = EngineProbe::lane (*processor, macroSpace, 0);
    const float middle = EngineProbe::lane (*processor, macroSpace, 1200);
    EXPECT_GT (first, start);
    EXPECT_LT (first, middle);
    EXPECT_LT (middle, target);
    EXPECT_EQ (EngineProbe::lane (*processor, macroSpace, blockSize - 1), target);
}
