#include "CharacterStageProbe.h"
#include "SignalMeasures.h"
#include "engine/CharacterStage.h"
#include "engine/MacroLaws.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace SignalMeasures;

namespace
{
CharacterStage preparedCharacter (double sampleRate)
{
    CharacterStage character;
    character.prepare ({ sampleRate, 512, 2 });
    return character;
}
} // namespace

TEST (Character, GritSplitsIntoDriveAndCrushAmounts)
{
    struct Case
    {
        float grit, drive, crush;
    };

    // Drive is full from 0.55 on; crush rises from 0.45 to 1.
    constexpr Case cases[] = {
        { -1.0f, 0.0f, 0.0f },         { 0.0f, 0.0f, 0.0f },   { 0.275f, 0.5f, 0.0f }, { 0.45f, 0.45f / 0.55f, 0.0f },
        { 0.55f, 1.0f, 0.1f / 0.55f }, { 0.725f, 1.0f, 0.5f }, { 1.0f, 1.0f, 1.0f },   { 2.0f, 1.0f, 1.0f },
    };

    for (const auto& c : cases)
    {
        EXPECT_NEAR (GritLaws::driveAmount (c.grit), c.drive, 1.0e-6f) << c.grit;
        EXPECT_NEAR (GritLaws::crushAmount (c.grit), c.crush, 1.0e-6f) << c.grit;
    }
}

TEST (Character, ToneCutoffFollowsGrit)
{
    struct Case
    {
        float grit;
        float sampleRate;
        float hz, tolerance;
    };

    constexpr Case cases[] = {
        { 0.0f, 48000.0f, 20000.0f, 0.0f },  { -0.5f, 48000.0f, 20000.0f, 0.0f }, // limited to GRIT 0
        { 0.0f, 44100.0f, 19845.0f, 0.01f },                                      // 0.45 × fs is lower
        { 0.55f, 48000.0f, 4015.0f, 1.0f },  { 1.0f, 48000.0f, 7680.0f, 0.01f },
        { 1.5f, 48000.0f, 7680.0f, 0.01f },  { 1.0f, 16000.0f, 7200.0f, 0.01f },
    };

    for (const auto& c : cases)
        EXPECT_NEAR (GritLaws::toneCutoff (c.grit, c.sampleRate), c.hz, c.tolerance)
            << "GRIT " << c.grit << " at " << c.sampleRate;
}

TEST (Character, ToneFilterIsThreeDecibelsDownAtItsCorner)
{
    // At GRIT 0 the drive amount is 0 and the stage is linear: blend, tone low-pass, unit trim. The
    // tone coefficient is set on its own, here for GRIT 0.55 (about 4 kHz), well below 192 kHz.
    constexpr double rate = 192000.0;
    auto character = preparedCharacter (rate);
    character.updateTone (0.55f);
    const double corner = GritLaws::toneCutoff (0.55f, (float) rate);

    const auto gainAt = [&] (double hz)
    {
        auto fresh = character;
        return toDecibels (sineGain ([&] (float x) { return fresh.processSample (0, x, 0.0f); }, hz, rate));
    };

    EXPECT_NEAR (gainAt (corner), -3.01, 0.05);
    EXPECT_NEAR (gainAt (corner / 10.0), -0.04, 0.05);
}

TEST (Character, SaturatorIsAsymmetricWithAZeroAtFullDrive)
{
    struct Case
    {
        float x;
        int sign; // of the output
    };

    // At full drive w = 0.18 u² + u vanishes at u = -1/0.18, that is x = -1/1.62.
    constexpr Case cases[] = { { -1.0f, 1 }, { -0.7f, 1 }, { -0.3f, -1 }, { -0.01f, -1 }, { 0.0f, 0 }, { 0.3f, 1 } };

    for (const auto& c : cases)
    {
        const float y = CharacterStage::saturate (c.x, 1.0f);
        const int sign = y > 0.0f ? 1 : (y < 0.0f ? -1 : 0);
        EXPECT_EQ (sign, c.sign) << "x " << c.x << " gives " << y;
    }

    EXPECT_NEAR (CharacterStage::saturate (-1.0f / 1.62f, 1.0f), 0.0f, 1.0e-5f);

    // Without drive the curve is tanh normalised to pass through 1.
    EXPECT_EQ (CharacterStage::saturate (1.0f, 0.0f), 1.0f);
    EXPECT_EQ (CharacterStage::saturate (-1.0f, 0.0f), -1.0f);
}

TEST (Character, DcTrackerFollowsTheSaturatedSignalAtEveryDrive)
{
    struct Case
    {
        float grit;
        float expectedOutput; // after a second of a constant 0.3
        float trackedLevel;
    };

    // Full drive removes the offset (a 10 Hz high-pass); without drive the tracker runs but is not heard.
    const Case cases[] = {
        { 0.55f, 0.0f, CharacterStage::saturate (0.3f, 1.0f) },
        { 0.0f, 0.3f, CharacterStage::saturate (0.3f, 0.0f) },
    };

    constexpr int timeConstant = 764; // 1 / (2π × 10 Hz) at 48 kHz

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.grit);
        auto character = preparedCharacter (48000.0);
        character.updateTone (c.grit);
        float output = 0.0f;

        for (int n = 0; n < 48000; ++n)
        {
            output = character.processSample (0, 0.3f, c.grit);

            if (n == timeConstant - 1)
            {
                EXPECT_NEAR (
                    CharacterStageProbe::dcState (character)[0], (1.0f - std::exp (-1.0f)) * c.trackedLevel, 0.005f);
            }
        }

        EXPECT_NEAR (output, c.expectedOutput, 1.0e-3f);
        EXPECT_NEAR (CharacterStageProbe::dcState (character)[0], c.trackedLevel, 1.0e-4f);
    }
}

TEST (Character, LevellerReducesAboveMinus24Decibels)
{
    struct Case
    {
        float envelopeDb, drive, reductionDb;
    };

    // 2:1 above -24 dB, at most 6 dB, scaled by the drive amount.
    constexpr Case cases[] = {
        { -30.0f, 1.0f, 0.0f }, { -24.0f, 1.0f, 0.0f }, { -18.0f, 1.0f, 3.0f }, { -12.0f, 1.0f, 6.0f },
        { -3.0f, 1.0f, 6.0f },  { -18.0f, 0.5f, 1.5f }, { -12.0f, 0.5f, 3.0f }, { -3.0f, 0.5f, 3.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.envelopeDb << " dB, drive " << c.drive);
        auto character = preparedCharacter (48000.0);
        const float level = juce::Decibels::decibelsToGain (c.envelopeDb);
        CharacterStageProbe::levelEnvelope (character)[0] = level;

        const float levelled = character.runLeveller (0, level, c.drive);
        EXPECT_NEAR (toDecibels (levelled / level), -c.reductionDb, 1.0e-3);
    }
}

// The leveller takes no logarithm from levellerCeilingEnvelope up and uses its ceiling instead. That
// gives the same output bits only if the full law is at its ceiling for every float there: checked for
// every float from the bound to 2, and at points beyond, where the logarithm only grows.
TEST (Character, LevellerIsAtItsCeilingForEveryLevelFromTheSkipBoundUp)
{
    constexpr float ceilingDb = CharacterStage::levellerMaxReductionDb;
    long misses = 0;

    for (float e = CharacterStage::levellerCeilingEnvelope; e <= 2.0f; e = std::nextafter (e, 4.0f))
        misses += CharacterStage::levellerReductionDb (e, 1.0f) != ceilingDb ? 1 : 0;

    EXPECT_EQ (misses, 0);

    for (float e :
         { 4.0f, 1.0e3f, 1.0e12f, 1.0e30f, std::numeric_limits<float>::max(), std::numeric_limits<float>::infinity() })
        EXPECT_EQ (CharacterStage::levellerReductionDb (e, 1.0f), ceilingDb) << e;

    // The bound lies just above the law's own corner, 10^(-12/20): a level 0.1 dB lower is below the ceiling.
    EXPECT_LT (CharacterStage::levellerReductionDb (CharacterStage::levellerCeilingEnvelope * 0.98855f, 1.0f),
               ceilingDb);
}

TEST (Character, LevellerEnvelopeRisesIn10MillisecondsAndFallsIn200)
{
    constexpr int attackSamples = 480;   // 10 ms at 48 kHz
    constexpr int releaseSamples = 9600; // 200 ms
    auto character = preparedCharacter (48000.0);

    for (int n = 0; n < attackSamples; ++n)
        character.runLeveller (0, 0.5f, 1.0f);

    EXPECT_NEAR (CharacterStageProbe::levelEnvelope (character)[0], 0.5f * (1.0f - std::exp (-1.0f)), 0.002f);

    for (int n = 0; n < 20 * attackSamples; ++n)
        character.runLeveller (0, 0.5f, 1.0f);

    const float held = CharacterStageProbe::levelEnvelope (character)[0];
    ASSERT_NEAR (held, 0.5f, 1.0e-4f);

    for (int n = 0; n < releaseSamples; ++n)
        character.runLeveller (0, 0.0f, 1.0f);

    EXPECT_NEAR (CharacterStageProbe::levelEnvelope (character)[0], held * std::exp (-1.0f), 0.002f);
}

TEST (Character, LevellerGainDoesNotReachTheToneFilter)
{
    auto loud = preparedCharacter (48000.0);
    auto quiet = preparedCharacter (48000.0);
    CharacterStageProbe::levelEnvelope (loud)[0] = 1.0f; // 0 dB: the full 6 dB of reduction at full drive

    const float fromLoud = loud.processSample (0, 0.2f, 0.55f);
    const float fromQuiet = quiet.processSample (0, 0.2f, 0.55f);

    EXPECT_EQ (CharacterStageProbe::toneState (loud)[0], CharacterStageProbe::toneState (quiet)[0]);
    EXPECT_NEAR (fromLoud / fromQuiet, juce::Decibels::decibelsToGain (-6.0f), 0.02f);
}

TEST (Character, LevellerAndReducerHoldStillWhileTheirAmountIsOff)
{
    struct Case
    {
        float grit;
        bool levellerRuns, reducerRuns;
    };

    // Drive is on above GRIT 0; crush only above 0.45 plus 0.0001 × 0.55.
    constexpr Case cases[] = {
        { 0.0f, false, false },
        { 0.45f, true, false },
        { 0.45005f, true, false },
        { 0.4502f, true, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.grit);
        auto character = preparedCharacter (48000.0);
        character.updateTone (c.grit);
        CharacterStageProbe::levelEnvelope (character)[0] = 0.25f;
        CharacterStageProbe::heldSample (character)[0] = 0.5f;
        CharacterStageProbe::holdCounter (character)[0] = 3;

        for (int n = 0; n < 32; ++n)
            character.processSample (0, n % 2 == 0 ? 0.9f : -0.8f, c.grit);

        EXPECT_EQ (CharacterStageProbe::levelEnvelope (character)[0] != 0.25f, c.levellerRuns);
        EXPECT_EQ (CharacterStageProbe::heldSample (character)[0] != 0.5f ||
                       CharacterStageProbe::holdCounter (character)[0] != 3,
                   c.reducerRuns);
    }
}

TEST (Character, ReducerQuantisesToTheBitDepth)
{
    struct Case
    {
        float crush, bits, step;
    };

    constexpr Case cases[] = { { 0.0f, 16.0f, 1.0f / 32768.0f },
                               { 0.5f, 11.0f, 1.0f / 1024.0f },
                               { 1.0f, 6.0f, 0.03125f } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.crush);
        EXPECT_EQ (GritLaws::crushBits (c.crush), c.bits);
        EXPECT_EQ (CharacterStage::quantise (0.4f * c.step, c.crush), 0.0f);
        EXPECT_EQ (CharacterStage::quantise (0.6f * c.step, c.crush), c.step);

        // Halves are rounded away from zero.
        EXPECT_EQ (CharacterStage::quantise (2.5f * c.step, c.crush), 3.0f * c.step);
        EXPECT_EQ (CharacterStage::quantise (-2.5f * c.step, c.crush), -3.0f * c.step);
        EXPECT_EQ (CharacterStage::quantise (1.5f * c.step, c.crush), 2.0f * c.step);
        EXPECT_EQ (CharacterStage::quantise (-1.5f * c.step, c.crush), -2.0f * c.step);
    }
}

TEST (Character, ReducerHoldsEachSampleForItsHoldLength)
{
    struct Case
    {
        float crush;
        int hold;
    };

    // hold = 1 + trunc(23 × C^1.5): every sample is taken while C stays below about 1/8.
    constexpr Case cases[] = { { 0.12f, 1 }, { 0.13f, 2 }, { 0.25f, 3 }, { 0.5f, 9 }, { 1.0f, 24 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.crush);
        EXPECT_EQ (GritLaws::holdLength (c.crush), c.hold);

        // Distinct, already quantised inputs show which one is being held.
        const float step = 2.0f / std::pow (2.0f, GritLaws::crushBits (c.crush));
        auto character = preparedCharacter (48000.0);

        for (int n = 0; n < 3 * c.hold; ++n)
        {
            const float held = character.runReducer (0, (float) (n + 1) * step, c.crush);
            const int takenAt = n - n % c.hold; // the first sample is taken at once
            ASSERT_NEAR (held, (float) (takenAt + 1) * step, 0.5f * step) << n;
        }
    }
}

TEST (Character, TrimFallsFromOneToPointSevenFour)
{
    // GRIT 0: the output is the tone filter's state itself.
    auto clean = preparedCharacter (48000.0);
    for (int n = 0; n < 16; ++n)
        ASSERT_EQ (clean.processSample (0, 0.4f, 0.0f), CharacterStageProbe::toneState (clean)[0]);

    // GRIT 1: the held sample scaled by the trim.
    auto crushed = preparedCharacter (48000.0);
    crushed.updateTone (1.0f);
    for (int n = 0; n < 16; ++n)
    {
        const float out = crushed.processSample (0, 0.4f, 1.0f);
        ASSERT_NE (CharacterStageProbe::heldSample (crushed)[0], 0.0f);
        ASSERT_NEAR (out / CharacterStageProbe::heldSample (crushed)[0], 0.74f, 1.0e-6f) << n;
    }
}
