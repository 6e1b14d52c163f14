#include "engine/Dynamics.h"

#include <cmath>
#include <gtest/gtest.h>

// The parts shared by the ducker and the leveller, on their own.

TEST (Dynamics, AOnePoleCoversAllButOneOverEOfAStepInItsTime)
{
    struct Case
    {
        float seconds, sampleRate;
    };

    constexpr Case cases[] = { { 0.002f, 48000.0f }, { 0.14f, 44100.0f }, { 0.2f, 96000.0f } };

    for (const auto& c : cases)
    {
        const float coefficient = OnePole::forTime (c.seconds, c.sampleRate).pole;
        float y = 0.0f;

        for (int i = 0; i < (int) std::lround (c.seconds * c.sampleRate); ++i)
            y = (1.0f - coefficient) * 1.0f + coefficient * y;

        EXPECT_NEAR (y, 1.0f - std::exp (-1.0f), 0.002f) << c.seconds << " s at " << c.sampleRate;
    }
}

TEST (Dynamics, TheFollowerRisesAtTheAttackAndFallsAtTheRelease)
{
    constexpr float rate = 48000.0f, attackSeconds = 0.001f, releaseSeconds = 0.1f;
    EnvelopeFollower follower;
    follower.setTimes (attackSeconds, releaseSeconds);
    follower.prepare ({ rate, 512, 1 });

    const float attack = OnePole::forTime (attackSeconds, rate).pole;
    const float release = OnePole::forTime (releaseSeconds, rate).pole;

    // One step each way, from an envelope of 0.5: the coefficient is chosen by the direction.
    EXPECT_EQ (follower.next (0.5f, 0.9f), (1.0f - attack) * 0.9f + attack * 0.5f);
    EXPECT_EQ (follower.next (0.5f, 0.1f), (1.0f - release) * 0.1f + release * 0.5f);
    EXPECT_EQ (follower.next (0.5f, 0.5f), 0.5f);
}

TEST (Dynamics, TheGainComputerReducesTheOvershootBySlopeUpToItsCeiling)
{
    constexpr GainComputer computer { -20.0f, 0.5f, 6.0f };

    struct Case
    {
        float levelDb, amount, reductionDb;
    };

    constexpr Case cases[] = {
        { -40.0f, 1.0f, 0.0f }, // below the threshold
        { -20.0f, 1.0f, 0.0f }, // at it
        { -10.0f, 1.0f, 5.0f }, // 10 dB over at half a dB per dB
        { -10.0f, 0.5f, 2.5f }, // the amount scales the reduction
        { 0.0f, 1.0f, 6.0f },   // 20 dB over: at the ceiling
        { 0.0f, 0.25f, 1.5f },
    };

    for (const auto& c : cases)
    {
        const float level = std::pow (10.0f, c.levelDb / 20.0f);
        EXPECT_NEAR (computer.reductionDb (level, c.amount), c.reductionDb, 1.0e-4f) << c.levelDb << " dB";
    }

    EXPECT_EQ (computer.reductionDb (0.0f, 1.0f), 0.0f);
    EXPECT_EQ (computer.reductionDb (10.0f, 0.7f), computer.ceilingDb (0.7f));
    EXPECT_EQ (GainComputer::gainExponent (6.0f), -0.3f);
}
