#include "engine/CharacterState.h"

#include "engine/GainLaws.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float twoPi = 6.2831855f;
constexpr float dcTrackerOmega = 62.831856f; // 2π × 10 Hz
constexpr float levelAttackSeconds = 0.01f;
constexpr float levelReleaseSeconds = 0.2f;

constexpr float driveRange = 0.55f; // GRIT at which the drive amount is full
constexpr float crushStart = 0.45f; // GRIT above which the crush amount rises
constexpr float amountOn = 0.0001f; // an amount at or below this switches its stage off

constexpr float maxCutoffRatio = 0.45f;
constexpr float levellerThresholdDb = -24.0f;
constexpr float levellerMaxReductionDb = 6.0f;

float limit01 (float x) noexcept { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

float driveGain (float amount) noexcept { return amount * 8.0f + 1.0f; }

// The saturator's curve before its tanh: the quadratic term bends the two half-waves apart.
float shape (float x, float amount) noexcept
{
    const float u = x * driveGain (amount);
    return ((amount * 0.18f) * u) * u + u;
}

float quantiseBy (float x, float step) noexcept { return std::round (x / step) * step; }
} // namespace

float CharacterState::driveAmount (float grit) noexcept { return limit01 (grit / driveRange); }

float CharacterState::crushAmount (float grit) noexcept { return limit01 ((grit - crushStart) / driveRange); }

float CharacterState::toneCutoff (float grit, float sampleRateHz) noexcept
{
    const float a = limit01 (grit);
    const float d = driveAmount (a);
    const float c = crushAmount (a);
    const float fc = (std::pow (0.16f, d) * 20000.0f) * (c * 1.4f + 1.0f);
    return std::min (fc, maxCutoffRatio * sampleRateHz);
}

float CharacterState::saturate (float x, float amount) noexcept
{
    return std::tanh (shape (x, amount)) / std::tanh (driveGain (amount));
}

float CharacterState::saturateDriven (float x, float amount) noexcept
{
    const float normaliser = driveNormaliser.get (driveGain (amount), [] (float drive) { return std::tanh (drive); });
    return std::tanh (shape (x, amount)) / normaliser;
}

float CharacterState::crushBits (float crush) noexcept { return 16.0f - crush * 10.0f; }

float CharacterState::quantisationStep (float crush) noexcept { return 2.0f / std::pow (2.0f, crushBits (crush)); }

float CharacterState::quantise (float x, float crush) noexcept { return quantiseBy (x, quantisationStep (crush)); }

int CharacterState::holdLength (float crush) noexcept { return 1 + static_cast<int> (23.0f * std::pow (crush, 1.5f)); }

void CharacterState::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;

    const auto fs = static_cast<float> (newSampleRate);
    levelAttack = std::exp (-1.0f / (fs * levelAttackSeconds));
    levelRelease = std::exp (-1.0f / (fs * levelReleaseSeconds));
    dcCoefficient = 1.0f - std::exp (-dcTrackerOmega / fs);

    updateTone (0.0f);

    toneState = {};
    dcState = {};
    levelEnvelope = {};
    heldSample = {};
    holdCounter = {};
}

void CharacterState::updateTone (float grit)
{
    const auto fs = static_cast<float> (sampleRate);
    toneCoefficient = 1.0f - std::exp ((toneCutoff (grit, fs) * -twoPi) / fs);
}

float CharacterState::followLevel (int k, float s) noexcept
{
    auto& envelope = levelEnvelope[(size_t)k];
    const float magnitude = std::abs (s);
    const float e = magnitude > envelope ? levelAttack : levelRelease;
    envelope = (1.0f - e) * magnitude + e * envelope;
    return envelope;
}

float CharacterState::applyLeveller (float s, float envelope, float drive) noexcept
{
    const float over = gainToDecibels (envelope) - levellerThresholdDb;

    if (over <= 0.0f)
        return s;

    const float reductionDb = std::min (levellerMaxReductionDb, over * 0.5f) * drive;
    return s * levellerGain.get (-reductionDb * 0.05f, [] (float exponent) { return std::pow (10.0f, exponent); });
}

float CharacterState::level (int k, float s, float drive) noexcept
{
    return applyLeveller (s, followLevel (k, s), drive);
}

float CharacterState::reduce (int k, float s, float crush) noexcept
{
    auto& counter = holdCounter[(size_t)k];

    // The quantised sample and the hold length are read only when the count has run out, so only then
    // computed: both are pure functions of this sample's values.
    if (counter <= 0)
    {
        const float step = stepForCrush.get (crush, [] (float c) { return quantisationStep (c); });
        heldSample[(size_t)k] = quantiseBy (s, step);
        counter = holdForCrush.get (crush, [] (float c) { return holdLength (c); });
    }

    --counter;
    return heldSample[(size_t)k];
}

void CharacterState::processChunk (int k, float* samples, const float* grit, int length) noexcept
{
    Chunk blend, drive, crush, envelope;

    for (int i = 0; i < length; ++i)
    {
        const float g = limit01 (grit[i]);
        drive[(size_t)i] = driveAmount (g);
        crush[(size_t)i] = crushAmount (g);
        blend[(size_t)i] = samples[i];
        samples[i] = saturateDriven (samples[i], drive[(size_t)i]);
    }

    auto& dc = dcState[(size_t)k];
    auto& tone = toneState[(size_t)k];

    for (size_t i = 0; i < (size_t)length; ++i)
    {
        const float sat = samples[i];
        dc = dc + (sat - dc) * dcCoefficient;

        // Crossfade from the clean blend to the saturated signal with its DC taken out.
        const float v = ((sat - dc) - blend[i]) * drive[i] + blend[i];
        tone = tone + (v - tone) * toneCoefficient;
        samples[i] = tone;

        if (drive[i] > amountOn)
            envelope[i] = followLevel (k, tone);
    }

    for (size_t i = 0; i < (size_t)length; ++i)
        if (drive[i] > amountOn)
            samples[i] = applyLeveller (samples[i], envelope[i], drive[i]);

    for (size_t i = 0; i < (size_t)length; ++i)
    {
        float s = samples[i];

        if (crush[i] > amountOn)
            s = reduce (k, s, crush[i]);

        samples[i] = ((1.0f - drive[i] * 0.16f) - crush[i] * 0.1f) * s;
    }
}

void CharacterState::processBlock (int k, float* samples, const float* grit, int numSamples) noexcept
{
    for (int start = 0; start < numSamples; start += chunkLength)
        processChunk (k, samples + start, grit + start, std::min (chunkLength, numSamples - start));
}

float CharacterState::processSample (int k, float blend, float grit) noexcept
{
    processBlock (k, &blend, &grit, 1);
    return blend;
}
