#include "engine/CharacterStage.h"

#include "engine/FloatBits.h"
#include "engine/MacroLaws.h"
#include "engine/OnePole.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float dcTrackerHz = 10.0f;
constexpr float levelAttackSeconds = 0.01f;
constexpr float levelReleaseSeconds = 0.2f;

constexpr float amountOn = 0.0001f; // an amount at or below this switches its stage off

// The saturator's curve before its tanh: the quadratic term bends the two half-waves apart.
float shape (float x, float amount) noexcept
{
    const float u = x * GritLaws::driveGain (amount);
    return ((amount * 0.18f) * u) * u + u;
}

float quantiseBy (float x, float step) noexcept { return std::round (x / step) * step; }
} // namespace

float CharacterStage::saturate (float x, float amount) noexcept
{
    return std::tanh (shape (x, amount)) / std::tanh (GritLaws::driveGain (amount));
}

float CharacterStage::quantise (float x, float crush) noexcept
{
    return quantiseBy (x, GritLaws::quantisationStep (crush));
}

void CharacterStage::prepare (const juce::dsp::ProcessSpec& spec)
{
    sampleRate = spec.sampleRate;

    const auto fs = static_cast<float> (sampleRate);
    levelFollower.setTimes (levelAttackSeconds, levelReleaseSeconds);
    levelFollower.prepare (spec);
    dcCoefficient = OnePole::forCutoff (dcTrackerHz, fs).step();

    updateTone (0.0f);
    reset();
}

void CharacterStage::reset() noexcept
{
    toneState = {};
    dcState = {};
    levelEnvelope = {};
    heldSample = {};
    holdCounter = {};
}

void CharacterStage::updateTone (float grit)
{
    const auto fs = static_cast<float> (sampleRate);
    toneCoefficient = OnePole::forCutoff (GritLaws::toneCutoff (grit, fs), fs).step();
}

float CharacterStage::applyLeveller (float s, float envelope, float drive) noexcept
{
    // From levellerCeilingEnvelope up the reduction is at its ceiling, the very float the full law gives
    // there, so loud material, which holds the leveller at its ceiling, skips the logarithm.
    const float reductionDb =
        envelope >= levellerCeilingEnvelope ? leveller.ceilingDb (drive) : leveller.reductionDb (envelope, drive);

    if (reductionDb == 0.0f)
        return s;

    return s * levellerGain.get (GainComputer::gainExponent (reductionDb),
                                 [] (float exponent) { return std::pow (10.0f, exponent); });
}

float CharacterStage::runLeveller (int channel, float sample, float driveAmount) noexcept
{
    auto& envelope = levelEnvelope[(size_t) channel];
    envelope = levelFollower.next (envelope, std::abs (sample));
    return applyLeveller (sample, envelope, driveAmount);
}

float CharacterStage::holdOrQuantise (float& held, int& counter, float sample, float crushAmount) noexcept
{
    // The quantised sample and the hold length are read only when the count has run out, so only then
    // computed: both are pure functions of this sample's values.
    if (counter <= 0)
    {
        const float step = stepForCrush.get (crushAmount, [] (float c) { return GritLaws::quantisationStep (c); });
        held = quantiseBy (sample, step);
        counter = holdForCrush.get (crushAmount, [] (float c) { return GritLaws::holdLength (c); });
    }

    --counter;
    return held;
}

float CharacterStage::runReducer (int channel, float sample, float crushAmount) noexcept
{
    return holdOrQuantise (heldSample[(size_t) channel], holdCounter[(size_t) channel], sample, crushAmount);
}

// GRIT's amounts and the saturator's normaliser, one set for a chunk over which GRIT rests.
struct CharacterStage::SteadyAmounts
{
    float driveAmount, crushAmount, normaliser;

    float drive (size_t) const noexcept { return driveAmount; }
    float crush (size_t) const noexcept { return crushAmount; }
    float normaliserAt (size_t) const noexcept { return normaliser; }
};

// The same per sample, for a chunk over which GRIT moves.
struct CharacterStage::MovingAmounts
{
    Chunk driveAmounts, crushAmounts, normalisers;

    float drive (size_t i) const noexcept { return driveAmounts[i]; }
    float crush (size_t i) const noexcept { return crushAmounts[i]; }
    float normaliserAt (size_t i) const noexcept { return normalisers[i]; }
};

float CharacterStage::normaliserFor (float drive) noexcept
{
    return driveNormaliser.get (GritLaws::driveGain (drive), [] (float gain) { return std::tanh (gain); });
}

template <size_t N, typename Amounts>
void CharacterStage::processChunk (const std::array<size_t, N>& ks,
                                   const std::array<float*, N>& samples,
                                   size_t length,
                                   const Amounts& amounts) noexcept
{
    std::array<Chunk, N> blend, envelopes;

    for (size_t c = 0; c < N; ++c)
        for (size_t i = 0; i < length; ++i)
        {
            blend[c][i] = samples[c][i];
            samples[c][i] = std::tanh (shape (samples[c][i], amounts.drive (i))) / amounts.normaliserAt (i);
        }

    // The states run in locals, which the stores into samples cannot alias, and the channels' chains
    // from sample to sample run side by side.
    std::array<float, N> dc, tone, envelope;

    for (size_t c = 0; c < N; ++c)
    {
        dc[c] = dcState[ks[c]];
        tone[c] = toneState[ks[c]];
        envelope[c] = levelEnvelope[ks[c]];
    }

    const float dcRate = dcCoefficient, toneRate = toneCoefficient;
    const auto follower = levelFollower;

    for (size_t i = 0; i < length; ++i)
        for (size_t c = 0; c < N; ++c)
        {
            const float sat = samples[c][i];
            dc[c] = dc[c] + (sat - dc[c]) * dcRate;

            // Crossfade from the clean blend to the saturated signal with its DC taken out.
            const float v = ((sat - dc[c]) - blend[c][i]) * amounts.drive (i) + blend[c][i];
            tone[c] = tone[c] + (v - tone[c]) * toneRate;
            samples[c][i] = tone[c];

            if (amounts.drive (i) > amountOn)
                envelopes[c][i] = envelope[c] = follower.next (envelope[c], std::abs (tone[c]));
        }

    for (size_t c = 0; c < N; ++c)
    {
        dcState[ks[c]] = dc[c];
        toneState[ks[c]] = tone[c];
        levelEnvelope[ks[c]] = envelope[c];
    }

    for (size_t c = 0; c < N; ++c)
        for (size_t i = 0; i < length; ++i)
            if (amounts.drive (i) > amountOn)
                samples[c][i] = applyLeveller (samples[c][i], envelopes[c][i], amounts.drive (i));

    for (size_t c = 0; c < N; ++c)
    {
        float held = heldSample[ks[c]];
        int counter = holdCounter[ks[c]];

        for (size_t i = 0; i < length; ++i)
        {
            float s = samples[c][i];

            if (amounts.crush (i) > amountOn)
                s = holdOrQuantise (held, counter, s, amounts.crush (i));

            samples[c][i] = GritLaws::wetTrim (amounts.drive (i), amounts.crush (i)) * s;
        }

        heldSample[ks[c]] = held;
        holdCounter[ks[c]] = counter;
    }
}

template <typename Visit>
void CharacterStage::forEachChunk (const float* grit, int numSamples, Visit&& visit) noexcept
{
    for (int start = 0; start < numSamples; start += chunkLength)
    {
        const auto length = (size_t) std::min (chunkLength, numSamples - start);
        const float* g = grit + start;

        // A resting GRIT gives every sample of the chunk the same amounts: computed once, they are the
        // same floats, and the stages' on/off tests no longer change inside the loops.
        if (std::all_of (g + 1, g + length, [first = g[0]] (float x) { return sameBits (x, first); }))
        {
            const float a = GritLaws::limit01 (g[0]);
            visit ((size_t) start,
                   length,
                   SteadyAmounts { GritLaws::driveAmount (a),
                                   GritLaws::crushAmount (a),
                                   normaliserFor (GritLaws::driveAmount (a)) });
            continue;
        }

        MovingAmounts moving;

        for (size_t i = 0; i < length; ++i)
        {
            const float a = GritLaws::limit01 (g[i]);
            moving.driveAmounts[i] = GritLaws::driveAmount (a);
            moving.crushAmounts[i] = GritLaws::crushAmount (a);
            moving.normalisers[i] = normaliserFor (moving.driveAmounts[i]);
        }

        visit ((size_t) start, length, moving);
    }
}

void CharacterStage::process (float* const* samples, int numChannels, int numSamples, const float* grit) noexcept
{
    // The amounts depend on GRIT alone, so one set serves both channels.
    forEachChunk (grit,
                  numSamples,
                  [&] (size_t start, size_t length, const auto& amounts)
                  {
                      if (numChannels == 1)
                          processChunk<1> ({ 0 }, { samples[0] + start }, length, amounts);
                      else
                          processChunk<2> ({ 0, 1 }, { samples[0] + start, samples[1] + start }, length, amounts);
                  });
}

float CharacterStage::processSample (int channel, float blend, float grit) noexcept
{
    forEachChunk (&grit,
                  1,
                  [&] (size_t, size_t, const auto& amounts)
                  { processChunk<1> ({ (size_t) channel }, { &blend }, 1, amounts); });
    return blend;
}
